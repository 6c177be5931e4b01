#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// The simulated bridge and the recorders keep std::string; tests compare
// QStringLists, which QCOMPARE prints in full on a mismatch.
inline QStringList ToStringList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list.append(QString::fromStdString(text));
    }
    return list;
}
