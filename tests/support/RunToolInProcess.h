#pragma once

#include "cli/TalvoEdid.h"

#include <QStringList>

#include <string>
#include <vector>

// Runs talvo-edid in process with these arguments and returns its exit status.
inline int RunTalvoEdidWith(const QStringList& arguments, const CliServices& services) {
    std::vector<std::string> words{"talvo-edid"};
    for (const QString& argument : arguments) {
        words.push_back(argument.toStdString());
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    return RunTalvoEdid(static_cast<int>(argv.size()), argv.data(), services);
}
