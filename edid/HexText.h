#pragma once

#include "edid/EdidImage.h"
#include "edid/EdidLayout.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A group is two hexadecimal digits and one separator; groups follow each other
// at a fixed stride, so exactly one separator lies between two byte values.
inline constexpr std::size_t kHexGroupLength = 3;
inline constexpr std::size_t kHexLineLength = kHexBytesPerLine * kHexGroupLength;

// Longest text the parser accepts; longer texts are refused rather than cut.
inline constexpr std::size_t kMaxHexTextLength = 1023;

// Decodes group[0..1] (upper-case hexadecimal digits) into *destination when
// group[2] is '\0', ' ' or '\n'. Returns 0 for a valid group, 1 otherwise, in
// which case *destination is left untouched.
int HexPairToByte(const char* group, std::uint8_t* destination);

// text must already be upper-cased 8-bit text. Returns the number of groups, or
// -1 on a format error, when *errorOffset (if given) is set to where the
// offending group starts. The image is zero-filled first; groups beyond the
// 256th are checked and counted but not stored. Spaces and line breaks after
// the last group end the text; a NUL separates groups only as the text's last
// character, where the terminating zero would stand.
int ParseHexText(const std::string& text, EdidImage& image, std::size_t* errorOffset = nullptr);

// The values 16 a line, each as two upper-case hexadecimal digits between
// prefix and suffix, separated by single spaces; each line starts with
// indent and ends in '\n', and the last one may be shorter.
std::string HexLines(const std::uint8_t* bytes, std::size_t size, const std::string& indent = "",
                     const std::string& prefix = "", const std::string& suffix = "");

// 16 lines of 16 "%02X" values separated by single spaces, each line ending
// in '\n'.
std::string CanonicalHexText(const EdidImage& image);
