#pragma once

#include "cli/TableImport.h"

#include <optional>
#include <string>

// The forms in which the tool writes a table.
enum class TableFormat {
    Binary, // the raw bytes
    Hex,    // the canonical hex text of the window's view: 16 values a line
    CArray, // a C array definition, for firmware sources
};

// "bin", "hex" or "c"; nothing for any other name.
std::optional<TableFormat> TableFormatNamed(const std::string& name);

// By the file's extension: .hex and .txt canonical text, .c and .h a C array,
// anything else (.bin included) the raw bytes.
TableFormat TableFormatOfPath(const std::string& path);

// The file's or the output's bytes.
std::string RenderTable(const EdidTable& table, TableFormat format);
