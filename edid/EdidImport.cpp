#include "edid/EdidImport.h"

#include "edid/EdidImage.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr std::uint8_t kEdidHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kExtensionCountOffset = 126;
constexpr char kDumpMarker[] = "edid-decode (hex):";
// edid-decode ends its hex section with a line of dashes.
constexpr char kDumpSectionEnd[] = "----";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct Values {
    EdidImportFailure failure = EdidImportFailure::None;
    std::vector<std::uint8_t> bytes;
};

bool StartsWithHeader(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= sizeof kEdidHeader &&
           std::equal(std::begin(kEdidHeader), std::end(kEdidHeader), bytes.begin());
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

Values ReadValues(const std::vector<std::uint8_t>& file, EdidTableForm& form) {
    if (StartsWithHeader(file)) {
        form = EdidTableForm::Binary;
        return Values{EdidImportFailure::None, file};
    }
    std::string text(file.begin(), file.end());
    if (text.compare(0, sizeof kUtf8ByteOrderMark - 1, kUtf8ByteOrderMark) == 0) {
        text.erase(0, sizeof kUtf8ByteOrderMark - 1);
    }
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
    form = EdidTableForm::HexText;
    return ReadHexValues(text);
}

} // namespace

ImportedEdid ImportEdidTable(const std::vector<std::uint8_t>& file, EdidTableSize size) {
    ImportedEdid result;
    Values values = ReadValues(file, result.form);
    if (values.failure == EdidImportFailure::None && values.bytes.empty()) {
        values.failure = EdidImportFailure::NoValues;
    }
    if (values.failure == EdidImportFailure::None && !StartsWithHeader(values.bytes)) {
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
    const std::size_t available =
        result.extendedWithZeroBlock ? kEdidBlockSize : blocks * kEdidBlockSize;
    if (values.bytes.size() < available) {
        result.failure = EdidImportFailure::Truncated;
        return result;
    }
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
    }
    return "";
}
