#include "cli/SerialStamp.h"

#include "cli/EditWords.h"
#include "edid/EdidEdit.h"

#include <cctype>

namespace {

// The part of a format at `at` that stands for the number: "%", an optional
// "0", width digits and "u". Its length, or 0 when there is none.
std::size_t Conversion(const std::string& format, std::size_t at, bool* zeros, std::size_t* width) {
    std::size_t i = at + 1;
    *zeros = i < format.size() && format[i] == '0';
    i += *zeros ? 1 : 0;
    *width = 0;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])) &&
           *width < 100) {
        *width = *width * 10 + static_cast<std::size_t>(format[i++] - '0');
    }
    return i < format.size() && format[i] == 'u' ? i + 1 - at : 0;
}

} // namespace

bool CheckSerialFormat(const std::string& format, std::string* reason) {
    int numbers = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        bool zeros = false;
        std::size_t width = 0;
        const std::size_t length = Conversion(format, i, &zeros, &width);
        if (length == 0) {
            *reason = "a % must begin %u, %0Nu or %Nu, or be %%";
            return false;
        }
        ++numbers;
        i += length - 1;
    }
    if (numbers != 1) {
        *reason = "the format must hold exactly one %u for the number";
        return false;
    }
    return true;
}

std::string FormatSerial(const std::string& format, std::uint32_t serial) {
    std::string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            text += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            text += '%';
            ++i;
            continue;
        }
        bool zeros = false;
        std::size_t width = 0;
        const std::size_t length = Conversion(format, i, &zeros, &width);
        const std::string digits = std::to_string(serial);
        if (digits.size() < width) {
            text.append(width - digits.size(), zeros ? '0' : ' ');
        }
        text += digits;
        i += length - 1;
    }
    return text;
}

std::optional<std::uint32_t> PlannedSerial(const SerialPlan& plan, std::uint64_t k) {
    constexpr std::uint64_t kLargest = 0xFFFFFFFFu;
    const std::uint64_t start = plan.start.value_or(0);
    if (start > kLargest || (plan.step != 0 && k > (kLargest - start) / plan.step)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(start + k * plan.step);
}

bool StampSerial(EdidImage& table, const SerialPlan& plan, std::uint32_t serial,
                 std::string* reason) {
    EdidTable bytes(table.begin(), table.end());
    EdidEditOutcome outcome = SetSerialNumber(bytes, serial);
    if (outcome == EdidEditOutcome::Done && !plan.stringFormat.empty()) {
        const std::string text = FormatSerial(plan.stringFormat, serial);
        outcome = SetSerialString(bytes, text);
        if (outcome != EdidEditOutcome::Done) {
            *reason = "the serial string \"" + text + "\": " + EditOutcomeText(outcome);
            return false;
        }
    }
    if (outcome != EdidEditOutcome::Done) {
        *reason = "serial number " + std::to_string(serial) + ": " + EditOutcomeText(outcome);
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), table.begin());
    return true;
}
