#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Files as the tool reads and writes them. Failures give the reason in
// words; nothing throws.

// The file's bytes; false, with the reason, when it cannot be read or is far
// larger than any EDID file.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason);

// Writes the bytes to a new file beside `path` and renames it over `path`,
// so that `path` is replaced only once it is complete. An existing target
// that is not a regular file (a pipe, a device node) is refused, and a failed
// write leaves the target as it was.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* reason);
