#include "cli/TableFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {

constexpr std::size_t kBytesPerLine = 16;

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Each value in `valueFormat`, 16 a line after `indent`, separated by `separator`.
std::string Lines(const EdidTable& table, const char* indent, const char* valueFormat,
                  const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        char value[8];
        std::snprintf(value, sizeof value, valueFormat, table[i]);
        text += i % kBytesPerLine == 0 ? indent : separator;
        text += value;
        if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == table.size()) {
            text += '\n';
        }
    }
    return text;
}

std::string CArray(const EdidTable& table) {
    const std::string size = std::to_string(table.size());
    return "/* EDID table, " + size + " bytes */\n" + "const unsigned char edid[" + size +
           "] = {\n" + Lines(table, "    ", "0x%02X,", " ") + "};\n";
}

} // namespace

std::optional<TableFormat> TableFormatNamed(const std::string& name) {
    if (name == "bin") {
        return TableFormat::Binary;
    }
    if (name == "hex") {
        return TableFormat::Hex;
    }
    if (name == "c") {
        return TableFormat::CArray;
    }
    return std::nullopt;
}

TableFormat TableFormatOfPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".hex" || extension == ".txt") {
        return TableFormat::Hex;
    }
    if (extension == ".c" || extension == ".h") {
        return TableFormat::CArray;
    }
    return TableFormat::Binary;
}

std::string RenderTable(const EdidTable& table, TableFormat format) {
    switch (format) {
    case TableFormat::Binary:
        return std::string(table.begin(), table.end());
    case TableFormat::Hex:
        return Lines(table, "", "%02X", " ");
    case TableFormat::CArray:
        return CArray(table);
    }
    return {};
}
