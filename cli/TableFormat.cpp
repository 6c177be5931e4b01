#include "cli/TableFormat.h"

#include "edid/HexText.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string CArray(const EdidTable& table) {
    const std::string size = std::to_string(table.size());
    return "/* EDID table, " + size + " bytes */\n" + "const unsigned char edid[" + size +
           "] = {\n" + HexLines(table.data(), table.size(), "    ", "0x", ",") + "};\n";
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
        return HexLines(table.data(), table.size());
    case TableFormat::CArray:
        return CArray(table);
    }
    return {};
}
