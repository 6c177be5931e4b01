#include "cli/CliSession.h"

#include "cli/FileAccess.h"
#include "cli/TableImport.h"

#include <cerrno>
#include <cstring>

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
    const bool standardInput = path == kStandardStream;
    if (standardInput && services_.in == nullptr) {
        Message("standard input cannot be read here");
        return kExitUsage;
    }
    const bool read = standardInput ? ReadWholeStream(*services_.in, &bytes, &reason)
                                    : ReadWholeFile(path, &bytes, &reason);
    if (!read && services_.interrupted && services_.interrupted()) {
        Message("interrupted; nothing was read");
        return kExitInterrupted;
    }
    if (!read) {
        Message("cannot read " + (standardInput ? std::string("standard input") : path) + ": " +
                reason);
        return kExitUsage;
    }
    EdidTableForm found = EdidTableForm::Binary;
    std::string note;
    if (!ImportTable(bytes, table, &found, &reason, &note)) {
        Message(path + ": " + reason);
        return kExitUsage;
    }
    if (!note.empty()) {
        Note(path + ": " + note);
    }
    if (form != nullptr) {
        *form = found;
    }
    return kExitDone;
}

int CliSession::SaveTable(const std::string& path, const EdidTable& table, TableFormat format) {
    const std::string bytes = RenderTable(table, format);
    if (path == kStandardStream) {
        errno = 0;
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

int CliSession::FinishOutput(int status) {
    // A stream that failed earlier keeps the reason its write left.
    if (services_.out.good()) {
        errno = 0;
    }
    if (!services_.out.flush()) {
        Message(std::string("cannot write standard output: ") +
                (errno != 0 ? std::strerror(errno) : "input/output error"));
        return status <= kExitNegative ? int{kExitUsage} : status;
    }
    return status;
}
