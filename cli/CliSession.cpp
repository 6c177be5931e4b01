#include "cli/CliSession.h"

#include "cli/FileAccess.h"
#include "cli/TableImport.h"

void CliSession::Message(const std::string& text) {
    services_.err << "talvo-edid: " << text << '\n';
}

void CliSession::Note(const std::string& text) {
    if (!quiet) {
        Message(text);
    }
}

int CliSession::LoadTable(const std::string& path, EdidTable* table, EdidTableForm* form) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(path, &bytes, &reason)) {
        Message("cannot read " + path + ": " + reason);
        return kExitUsage;
    }
    EdidTableForm found = EdidTableForm::Binary;
    if (!ImportTable(bytes, table, &found, &reason)) {
        Message(path + ": " + reason);
        return kExitUsage;
    }
    if (form != nullptr) {
        *form = found;
    }
    return kExitDone;
}

int CliSession::SaveTable(const std::string& path, const EdidTable& table, TableFormat format) {
    const std::string bytes = RenderTable(table, format);
    if (path == "-") {
        services_.out << bytes << std::flush;
        return kExitDone;
    }
    std::string reason;
    if (!ReplaceFile(path, bytes, &reason)) {
        Message("cannot write " + path + ": " + reason);
        return kExitUsage;
    }
    return kExitDone;
}
