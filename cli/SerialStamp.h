#pragma once

#include "edid/EdidImage.h"

#include <cstdint>
#include <optional>
#include <string>

// The serial number each programmed unit gets: start + k * step for the k-th
// unit, from 0, in bytes 12 to 15 and, with a format, in a serial string
// descriptor too.
struct SerialPlan {
    std::optional<std::uint64_t> start;
    std::uint64_t step = 1;
    // Text around one %u (with an optional 0 flag and width, as "%06u");
    // "%%" stands for a percent sign. Empty: no serial string.
    std::string stringFormat;
};

// False, having said why, for a format that is not text around one %u.
bool CheckSerialFormat(const std::string& format, std::string* reason);
// The format with the number in place of its %u; the format must have passed
// CheckSerialFormat.
std::string FormatSerial(const std::string& format, std::uint32_t serial);
// The plan's k-th number, or nothing past the 32 bits of the field.
std::optional<std::uint32_t> PlannedSerial(const SerialPlan& plan, std::uint64_t k);
// Writes the number (and the string) into the table, checksums recomputed;
// false, with the table as it was, having said why, when it does not fit.
bool StampSerial(EdidImage& table, const SerialPlan& plan, std::uint32_t serial,
                 std::string* reason);
