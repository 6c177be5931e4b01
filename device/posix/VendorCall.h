#pragma once

// An operation of the bridge library in the platform's C calling convention.
template <typename... Arguments> using VendorFunction = int (*)(Arguments...);
