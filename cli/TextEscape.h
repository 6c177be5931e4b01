#pragma once

#include <nlohmann/json.hpp>

#include <string>

// Text from a table or a device is untrusted: it may hold any byte, including
// the control bytes that recolour or rewrite a terminal, and need not be
// UTF-8. It reaches the tool's output only in these forms.

// Printable ASCII as it is; any other byte as \xXX.
std::string TerminalText(const std::string& bytes);

// Each byte as the character of the same number (Latin-1), so that the JSON
// output (see DumpJson) gives a byte outside printable ASCII as \u00XX.
std::string JsonText(const std::string& bytes);

// The object on one line, in ASCII only: every character outside printable
// ASCII escaped, so that it never reaches a terminal raw.
std::string DumpJson(const nlohmann::json& json);
