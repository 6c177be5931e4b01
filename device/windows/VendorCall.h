#pragma once

// An operation of SiUSBXp.dll: the library is built with __stdcall.
template <typename... Arguments> using VendorFunction = int(__stdcall*)(Arguments...);
