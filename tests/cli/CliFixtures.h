#pragma once

#include "Checksum.h"
#include "EdidImage.h"
#include "HexText.h"
#include "SimulatedUnit.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <array>

// The files and request lists that the tool's suites share.
namespace cli_fixtures {

// A table with right checksums that differs from every table the simulated
// unit starts with.
inline EdidImage GoodTable() {
    EdidImage table = SimulatedUnit::DefaultTable(0xB6);
    table[0x0F] = 0x5A;
    RepairChecksums(table);
    return table;
}

inline QByteArray Bytes(const EdidImage& table, std::size_t length = kEdidSize) {
    return QByteArray(reinterpret_cast<const char*>(table.data()), static_cast<int>(length));
}

inline QByteArray HexText(const EdidImage& table) {
    return QByteArray::fromStdString(CanonicalHexText(table));
}

// The good table in every form the tool reads, and files that it refuses.
inline bool WriteFixtures(const QDir& dir) {
    const EdidImage good = GoodTable();
    EdidImage badChecksum = good;
    badChecksum[kChecksumOffset] ^= 0x01;
    EdidImage oneBlock = good;
    oneBlock[126] = 0;
    RepairChecksums(oneBlock);
    // A table without extension as the unit holds it: block 1 still there.
    EdidImage baseOnly = oneBlock;
    baseOnly[200] = 0x77;
    RepairChecksums(baseOnly);

    QByteArray cArray = "static const unsigned char table[] = {\n";
    for (std::uint8_t value : good) {
        cArray += QByteArray::number(value) + ", ";
    }
    cArray += "\n};\n";
    const QByteArray hex = HexText(good);
    const std::pair<const char*, QByteArray> files[] = {
        {"good.bin", Bytes(good)},
        {"good.hex", hex},
        {"good-loose.txt", hex.toLower().replace(' ', "  ").replace('\n', "\r\n")},
        {"good.c", cArray},
        {"good.dump", "edid-decode (hex):\n\n" + hex + "\n----------------\n\nBlock 0\n"},
        {"badsum.bin", Bytes(badChecksum)},
        {"badsum.hex", HexText(badChecksum)},
        {"badsum.dump", "edid-decode (hex):\n\n" + HexText(badChecksum) + "\n----------------\n"},
        {"oneblock.bin", Bytes(oneBlock, kEdidBlockSize)},
        {"base-only.bin", Bytes(baseOnly)},
        {"junk.txt", "no table here\n"},
    };
    for (const auto& [name, content] : files) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            return false;
        }
    }
    return true;
}

// The requests a group stands for: "status", "mode 03", "read B2",
// "write B0" (of the good table), "resets".
inline QStringList RequestGroup(const QString& group) {
    const QStringList words = group.split(' ');
    QStringList requests;
    if (words[0] == "status") {
        requests.append("02");
    } else if (words[0] == "mode") {
        for (const char* control : {"E0", "E1", "E4"}) {
            requests.append(QStringLiteral("11 02 %1 23 24 %2 0D").arg(control, words[1]));
        }
    } else if (words[0] == "read") {
        for (int offset = 0; offset < 256; offset += 16) {
            requests.append(QStringLiteral("11 10 %1 %2")
                                .arg(words[1])
                                .arg(offset, 2, 16, QChar('0'))
                                .toUpper());
        }
        requests.append(QStringLiteral("02 10 %1 F0 00 00 00 00").arg(words[1]));
    } else if (words[0] == "write") {
        const QByteArray good = Bytes(GoodTable());
        for (int offset = 0; offset < 256; offset += 8) {
            const QString chunk = QString::fromLatin1(good.mid(offset, 8).toHex(' '));
            requests.append(QStringLiteral("10 0C %1 %2 %3")
                                .arg(words[1])
                                .arg(offset, 2, 16, QChar('0'))
                                .arg(chunk)
                                .toUpper());
        }
    } else if (words[0] == "resets") {
        requests << "11 01 EA 23 20 0D"
                 << "11 01 EB 23 20 0D";
    }
    return requests;
}

inline QStringList ExpectedRequests(const QString& groups) {
    QStringList requests;
    for (const QString& group : groups.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        requests += RequestGroup(group);
    }
    return requests;
}

// The requests of a bridge log, without its open and close lines.
inline QStringList RequestsOf(const QStringList& log) {
    QStringList requests = log;
    requests.removeAll(QStringLiteral("open"));
    requests.removeAll(QStringLiteral("close"));
    return requests;
}

// The command line of a case, with {dir} standing for the case's folder.
inline QStringList Arguments(const QString& line, const QDir& dir) {
    QString expanded = line;
    expanded.replace(QStringLiteral("{dir}"), dir.absolutePath());
    return expanded.split(' ', Qt::SkipEmptyParts);
}

} // namespace cli_fixtures
