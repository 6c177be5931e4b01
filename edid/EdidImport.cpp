#include "edid/EdidImport.h"

#include "edid/EdidLayout.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr char kDumpMarker[] = "edid-decode (hex):";
// edid-decode ends its hex section with a line of dashes.
constexpr char kDumpSectionEnd[] = "----";

struct Values {
    EdidImportFailure failure = EdidImportFailure::None;
    std::vector<std::uint8_t> bytes;
};

bool StartsWithHeader(const std::vector<std::uint8_t>& bytes) {
    return StartsWithEdidHeader(bytes.data(), bytes.size());
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

bool IsSeparator(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0 || c == ',';
}

bool HasHexPrefix(const std::string& token) {
    return token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
}

// Splits text into the tokens between separators, handing each to take until
// take reports a failure.
template <typename Take> EdidImportFailure ForEachToken(const std::string& text, Take take) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsSeparator(text[pos])) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        if (end > pos) {
            const EdidImportFailure failure = take(text.substr(pos, end - pos));
            if (failure != EdidImportFailure::None) {
                return failure;
            }
        }
        pos = end;
    }
    return EdidImportFailure::None;
}

// A token is a run of digit pairs ("00ffffff"), or after "0x" one or two
// digits of a single value.
Values ReadHexValues(const std::string& text) {
    Values values;
    values.failure = ForEachToken(text, [&values](const std::string& token) {
        const bool prefixed = HasHexPrefix(token);
        const std::string digits = prefixed ? token.substr(2) : token;
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return HexDigitValue(c) >= 0; })) {
            return EdidImportFailure::NotAByte;
        }
        if (prefixed && digits.size() == 1) {
            values.bytes.push_back(static_cast<std::uint8_t>(HexDigitValue(digits[0])));
            return EdidImportFailure::None;
        }
        if (digits.size() % 2 != 0) {
            return EdidImportFailure::OddDigitCount;
        }
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            values.bytes.push_back(static_cast<std::uint8_t>(HexDigitValue(digits[i]) * 16 +
                                                             HexDigitValue(digits[i + 1])));
        }
        return EdidImportFailure::None;
    });
    return values;
}

std::string WithoutComments(const std::string& code) {
    std::string out;
    std::size_t pos = 0;
    while (pos < code.size()) {
        if (code.compare(pos, 2, "//") == 0) {
            pos = code.find('\n', pos);
        } else if (code.compare(pos, 2, "/*") == 0) {
            const std::size_t close = code.find("*/", pos + 2);
            pos = close == std::string::npos ? close : close + 2;
            out += ' ';
        } else {
            out += code[pos++];
        }
    }
    return out;
}

// As C reads them: "0x" values in hexadecimal, others in decimal.
Values ReadCArrayValues(const std::string& body) {
    Values values;
    values.failure = ForEachToken(WithoutComments(body), [&values](const std::string& token) {
        const bool hex = HasHexPrefix(token);
        const std::string digits = hex ? token.substr(2) : token;
        unsigned value = 0;
        for (const char c : digits) {
            const int digit = hex ? HexDigitValue(c)
                                  : (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : -1);
            if (digit < 0 || digits.size() > 3) {
                return EdidImportFailure::NotAByte;
            }
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        }
        if (value > 0xFF) {
            return EdidImportFailure::NotAByte;
        }
        values.bytes.push_back(static_cast<std::uint8_t>(value));
        return EdidImportFailure::None;
    });
    return values;
}

std::string SectionAfter(const std::string& text, std::size_t begin, const char* endMark) {
    const std::size_t end = text.find(endMark, begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// xxd and hexdump -C start each line with the offset of its first value in
// eight hexadecimal digits: xxd follows it with ": ", hexdump -C with two
// spaces and closes the line with the characters between bars.
constexpr std::size_t kDumpOffsetDigits = 8;

enum class DumpStyle { None, Xxd, HexdumpC };

bool StartsWithOffset(const std::string& line) {
    return line.size() >= kDumpOffsetDigits &&
           std::all_of(line.begin(), line.begin() + kDumpOffsetDigits,
                       [](char c) { return HexDigitValue(c) >= 0; });
}

DumpStyle StyleOfDump(const std::string& text) {
    const std::string first = text.substr(0, text.find('\n'));
    if (!StartsWithOffset(first) || first.compare(0, kDumpOffsetDigits, "00000000") != 0) {
        return DumpStyle::None;
    }
    if (first.compare(kDumpOffsetDigits, 2, ": ") == 0) {
        return DumpStyle::Xxd;
    }
    if (first.compare(kDumpOffsetDigits, 2, "  ") == 0 && first.find('|') != std::string::npos) {
        return DumpStyle::HexdumpC;
    }
    return DumpStyle::None;
}

// The values of a dump, each line placed at its offset. A line "*" stands
// for repeats of the line before it, up to the next line's offset; hexdump
// ends with the bare offset past the last value.
Values ReadHexDump(const std::string& text, DumpStyle style) {
    Values values;
    std::vector<std::uint8_t> previous;
    bool repeating = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == "*") {
            repeating = true;
            continue;
        }
        if (!StartsWithOffset(line)) {
            continue;
        }
        const std::size_t offset = std::stoul(line.substr(0, kDumpOffsetDigits), nullptr, 16);
        while (repeating && !previous.empty() && values.bytes.size() < offset) {
            values.bytes.insert(values.bytes.end(), previous.begin(), previous.end());
        }
        repeating = false;
        if (offset != values.bytes.size()) {
            values.failure = EdidImportFailure::DumpGap;
            return values;
        }
        std::string part = line.substr(std::min(line.size(), kDumpOffsetDigits + 1));
        part = style == DumpStyle::Xxd ? part.substr(0, part.find("  ", 1))
                                       : part.substr(0, part.find('|'));
        const Values lineValues = ReadHexValues(part);
        if (lineValues.failure != EdidImportFailure::None) {
            values.failure = lineValues.failure;
            return values;
        }
        values.bytes.insert(values.bytes.end(), lineValues.bytes.begin(), lineValues.bytes.end());
        previous = lineValues.bytes;
    }
    return values;
}

Values ReadValues(const std::vector<std::uint8_t>& file, EdidTableForm& form) {
    if (StartsWithHeader(file)) {
        form = EdidTableForm::Binary;
        return Values{EdidImportFailure::None, file};
    }
    const std::size_t textStart =
        StartsWithByteOrderMark(file.data(), file.size()) ? std::size(kUtf8ByteOrderMark) : 0;
    const std::string text(file.begin() + static_cast<std::ptrdiff_t>(textStart), file.end());
    const std::size_t marker = text.find(kDumpMarker);
    if (marker != std::string::npos) {
        form = EdidTableForm::EdidDecodeDump;
        return ReadHexValues(SectionAfter(text, marker + sizeof kDumpMarker - 1, kDumpSectionEnd));
    }
    const std::size_t brace = text.find('{');
    if (brace != std::string::npos) {
        form = EdidTableForm::CArray;
        return ReadCArrayValues(SectionAfter(text, brace + 1, "}"));
    }
    if (const DumpStyle style = StyleOfDump(text); style != DumpStyle::None) {
        form = EdidTableForm::HexDump;
        return ReadHexDump(text, style);
    }
    form = EdidTableForm::HexText;
    return ReadHexValues(text);
}

// Printable ASCII and white space only, as no raw table is.
bool IsText(const std::vector<std::uint8_t>& file) {
    return std::all_of(file.begin(), file.end(), [](std::uint8_t byte) {
        return (byte >= 0x20 && byte < 0x7F) || std::isspace(byte) != 0;
    });
}

// Whether values in a text form hold the start of a table.
bool FoundTable(const Values& values) {
    return values.failure == EdidImportFailure::None && StartsWithHeader(values.bytes);
}

} // namespace

ImportedEdid ImportEdidTable(const std::vector<std::uint8_t>& file, EdidTableSize size) {
    ImportedEdid result;
    Values values = ReadValues(file, result.form);
    // A table read from the unit keeps its 256 bytes even when its header
    // is damaged: it must load back as it was saved.
    if (file.size() == kEdidSize && !FoundTable(values) && !IsText(file)) {
        result.form = EdidTableForm::Binary;
        values = Values{EdidImportFailure::None, file};
    }
    const bool whole = size == EdidTableSize::AsDeclared &&
                       values.failure == EdidImportFailure::None &&
                       values.bytes.size() == kEdidSize;
    if (values.failure == EdidImportFailure::None && values.bytes.empty()) {
        values.failure = EdidImportFailure::NoValues;
    }
    if (values.failure == EdidImportFailure::None && !whole && !StartsWithHeader(values.bytes)) {
        values.failure = EdidImportFailure::NoHeader;
    }
    if (values.failure == EdidImportFailure::None && values.bytes.size() < kEdidBlockSize) {
        values.failure = EdidImportFailure::Truncated;
    }
    if (values.failure != EdidImportFailure::None) {
        result.failure = values.failure;
        return result;
    }

    result.declaredBlocks = 1 + std::size_t{values.bytes[kExtensionCountOffset]};
    std::size_t blocks = result.declaredBlocks;
    if (size == EdidTableSize::TwoBlocks) {
        result.extendedWithZeroBlock = blocks == 1;
        result.extraBlocksDropped = blocks > kEdidBlockCount;
        blocks = std::min(blocks, kEdidBlockCount);
    }
    std::size_t available = result.extendedWithZeroBlock ? kEdidBlockSize : blocks * kEdidBlockSize;
    if (whole) {
        available = kEdidSize;
    } else if (values.bytes.size() < available && size == EdidTableSize::AsDeclared) {
        // Decoded as far as it goes: the blocks held, whole.
        available = values.bytes.size() / kEdidBlockSize * kEdidBlockSize;
    } else if (values.bytes.size() < available) {
        result.failure = EdidImportFailure::Truncated;
        return result;
    }
    result.truncated =
        size == EdidTableSize::AsDeclared && result.declaredBlocks * kEdidBlockSize > available;
    result.table.assign(values.bytes.begin(), values.bytes.begin() + available);
    if (size == EdidTableSize::TwoBlocks) {
        result.table.resize(kEdidSize, 0x00);
    }
    return result;
}

const char* EdidTableFormName(EdidTableForm form) {
    switch (form) {
    case EdidTableForm::Binary:
        return "binary";
    case EdidTableForm::HexText:
        return "hex text";
    case EdidTableForm::CArray:
        return "C array";
    case EdidTableForm::EdidDecodeDump:
        return "edid-decode dump";
    case EdidTableForm::HexDump:
        return "hex dump";
    }
    return "";
}

const char* EdidImportFailureReason(EdidImportFailure failure) {
    switch (failure) {
    case EdidImportFailure::None:
        return "";
    case EdidImportFailure::NoValues:
        return "no values found";
    case EdidImportFailure::NotAByte:
        return "a value is not a byte";
    case EdidImportFailure::OddDigitCount:
        return "odd number of hexadecimal digits";
    case EdidImportFailure::NoHeader:
        return "no EDID header at the start";
    case EdidImportFailure::Truncated:
        return "fewer bytes than the declared blocks";
    case EdidImportFailure::DumpGap:
        return "the dump's offsets do not follow on";
    }
    return "";
}
