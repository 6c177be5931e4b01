#pragma once

#include "edid/Checksum.h"
#include "edid/EdidImage.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <cstdint>

// What the Hex view shows, worked out independently of the window's own
// codec, and the character formats the view holds.

// 16 lines of 16 "%02X" values, single spaces inside a line, every line
// ending in a line break.
inline QString CanonicalLayout(const EdidImage& image) {
    QString text;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        text += QString::asprintf("%02X", image[i]);
        text += (i % 16 == 15) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

// The given leading bytes, zero after them; bytes past 256 are dropped.
inline EdidImage ImageStartingWith(const QByteArray& bytes) {
    EdidImage image{};
    for (int i = 0; i < bytes.size() && i < static_cast<int>(kEdidSize); ++i) {
        image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
    }
    return image;
}

inline QByteArray BytesOf(const EdidImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

// A table with right checksums in which every byte differs from its
// neighbours, so that a shifted or dropped byte shows; seeds give different
// tables.
inline EdidImage PatternTable(std::uint8_t seed = 3) {
    EdidImage image{};
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        image[i] = i < sizeof header ? header[i] : static_cast<std::uint8_t>(i * 7 + seed);
    }
    RepairChecksums(image);
    return image;
}

// Colour, weight ("unset" when the format leaves it to the view) and, when
// set, point size: "#ff0000 700", "#0000ff 700 8pt".
inline QString DescribeFormat(const QTextCharFormat& format) {
    const QString weight = format.hasProperty(QTextFormat::FontWeight)
                               ? QString::number(format.fontWeight())
                               : QStringLiteral("unset");
    QString text = format.foreground().color().name() + QLatin1Char(' ') + weight;
    if (format.hasProperty(QTextFormat::FontPointSize)) {
        text += QStringLiteral(" %1pt").arg(format.fontPointSize());
    }
    return text;
}

// The description of every character of the view's plain text, line breaks
// included (a line break carries the format of the line it ends).
inline QStringList CharacterFormats(const QTextDocument* document) {
    QStringList formats;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QString format = DescribeFormat(fragment.fragment().charFormat());
            for (int i = 0; i < fragment.fragment().length(); ++i) {
                formats.append(format);
            }
        }
        if (block.next().isValid()) {
            formats.append(DescribeFormat(block.charFormat()));
        }
    }
    return formats;
}

// The distinct formats of the characters other than line breaks.
inline QStringList TextFormats(const QTextDocument* document) {
    const QString text = document->toPlainText();
    const QStringList formats = CharacterFormats(document);
    QStringList distinct;
    for (int i = 0; i < text.size() && i < formats.size(); ++i) {
        if (text[i] != QLatin1Char('\n') && !distinct.contains(formats[i])) {
            distinct.append(formats[i]);
        }
    }
    return distinct;
}

// One description per byte of a view in the canonical layout, covering its
// two digits and, inside a line, the space after it; characters of one byte
// that differ are all named.
inline QStringList ByteFormats(const QTextDocument* document) {
    const QStringList formats = CharacterFormats(document);
    QStringList bytes;
    for (int i = 0; i < static_cast<int>(kEdidSize); ++i) {
        QStringList described;
        for (int c = 0; c < (i % 16 == 15 ? 2 : 3) && 3 * i + c < formats.size(); ++c) {
            if (!described.contains(formats[3 * i + c])) {
                described.append(formats[3 * i + c]);
            }
        }
        bytes.append(described.join(QLatin1Char('/')));
    }
    return bytes;
}

// A rendered table: the checksum bytes red and bold, the other line ends
// black at normal weight, every other byte black with the view's own weight.
inline QStringList RenderedByteFormats() {
    QStringList bytes;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        bytes.append(i == 127 || i == 255 ? QStringLiteral("#ff0000 %1").arg(int(QFont::Bold))
                     : i % 16 == 15       ? QStringLiteral("#000000 %1").arg(int(QFont::Normal))
                                          : QStringLiteral("#000000 unset"));
    }
    return bytes;
}
