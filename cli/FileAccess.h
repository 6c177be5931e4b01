#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// Files as the tool reads and writes them. Failures give the reason in
// words; nothing throws.

// The file's bytes; false, with the reason, when it cannot be read, is not a
// regular file (a named pipe would block the tool, a device could be
// endless), or is far larger than any EDID file. Nothing is opened that is
// not a regular file.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason);

// Everything the stream holds, with the same size limit.
bool ReadWholeStream(std::istream& stream, std::vector<std::uint8_t>* bytes, std::string* reason);

// Writes the bytes to a new file beside the target and renames it over the
// target, so that the target is replaced only once it is complete. The target
// is `path`, or, when `path` is a symbolic link, the file the link leads to:
// the link stays. An existing target that is not a regular file (a pipe, a
// device node) or that is write-protected is refused, and a failed write
// leaves the target as it was.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* reason);

// Whether both paths name one existing file, through links too.
bool SameFile(const std::string& first, const std::string& second);
