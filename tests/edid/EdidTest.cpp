#include "edid/Checksum.h"
#include "edid/EdidFile.h"
#include "edid/EdidImport.h"
#include "edid/HexText.h"
#include "tests/support/RealSamples.h"

#include <QtTest>

#include <tuple>

Q_DECLARE_METATYPE(EdidFileForm)
Q_DECLARE_METATYPE(EdidTableForm)
Q_DECLARE_METATYPE(EdidTableSize)
Q_DECLARE_METATYPE(EdidImportFailure)

namespace {

EdidImage Image(const QByteArray& bytes) {
    EdidImage image{};
    std::copy(bytes.begin(), bytes.begin() + std::min<int>(bytes.size(), kEdidSize), image.begin());
    return image;
}

QByteArray Bytes(const EdidImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
}

std::vector<std::uint8_t> Vector(const QByteArray& data) {
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

QByteArray Canonical(const EdidImage& image) {
    return QByteArray::fromStdString(CanonicalHexText(image));
}

// Every byte value once: all digits in both places of a group.
EdidImage RampImage() {
    EdidImage image;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i);
    }
    return image;
}

// A real monitor's table with right checksums and one extension.
EdidImage MonitorImage() {
    return Image(RealSample("Digital_Samsung_SAM0DF7_DE048E9131C5.bin"));
}

// Each byte as two digits with the given case, prefix and separator, and a
// line break after every perLine bytes.
QByteArray HexLines(const QByteArray& table, const QByteArray& prefix, const QByteArray& separator,
                    int perLine, bool upper) {
    QByteArray text;
    for (int i = 0; i < table.size(); ++i) {
        const QByteArray digits = QByteArray(1, table[i]).toHex();
        text += prefix + (upper ? digits.toUpper() : digits);
        text += (i % perLine == perLine - 1) ? QByteArray("\n") : separator;
    }
    return text;
}

// The layout of edid-decode's output: the hex section, a line of dashes and
// then the decoded text, which holds digits too.
QByteArray EdidDecodeDump(const QByteArray& table) {
    QByteArray hex;
    for (int block = 0; block < table.size(); block += 128) {
        hex += HexLines(table.mid(block, 128), "", " ", 16, false) + "\n";
    }
    return "edid-decode (hex):\n\n" + hex +
           "----------------\n\nBlock 0, Base EDID:\n  EDID Structure Version & Revision: 1.3\n"
           "    DTD 1:  1920x1080   60.000000 Hz  16:9\n";
}

// The characters column of the two hex dump tools: printable ASCII, others
// as dots.
QByteArray DumpCharacters(const QByteArray& line) {
    QByteArray characters;
    for (const char c : line) {
        characters += c >= 0x20 && c < 0x7F ? c : '.';
    }
    return characters;
}

// As xxd prints it: offset, eight groups of two bytes, characters.
QByteArray XxdDump(const QByteArray& table) {
    QByteArray text;
    for (int offset = 0; offset < table.size(); offset += 16) {
        const QByteArray line = table.mid(offset, 16);
        QByteArray hex;
        for (int i = 0; i < line.size(); ++i) {
            hex += (i > 0 && i % 2 == 0 ? " " : "") + line.mid(i, 1).toHex();
        }
        text += QByteArray::number(offset, 16).rightJustified(8, '0') + ": " +
                hex.leftJustified(39, ' ') + "  " + DumpCharacters(line) + "\n";
    }
    return text;
}

// As hexdump -C prints it: a line that repeats the one before it becomes
// "*", and the offset past the end closes the dump.
QByteArray HexdumpCanonical(const QByteArray& table) {
    QByteArray text;
    QByteArray previous;
    bool starred = false;
    for (int offset = 0; offset < table.size(); offset += 16) {
        const QByteArray line = table.mid(offset, 16);
        if (line == previous) {
            text += starred ? "" : "*\n";
            starred = true;
            continue;
        }
        starred = false;
        previous = line;
        QByteArray hex;
        for (int i = 0; i < line.size(); ++i) {
            hex += line.mid(i, 1).toHex() + (i == 7 ? "  " : " ");
        }
        text += QByteArray::number(offset, 16).rightJustified(8, '0') + "  " +
                hex.leftJustified(49, ' ') + " |" + DumpCharacters(line) + "|\n";
    }
    return text + QByteArray::number(table.size(), 16).rightJustified(8, '0') + "\n";
}

QByteArray WithByte(QByteArray table, int offset, char value) {
    table[offset] = value;
    return table;
}

} // namespace

class EdidTest : public QObject {
    Q_OBJECT

private slots:
    // A repair changes the two checksum bytes and nothing else.
    void verifyAndRepair_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<bool>("correct");
        const QByteArray monitor = Bytes(MonitorImage());
        QTest::newRow("all zero") << QByteArray(256, '\0') << true;
        QTest::newRow("monitor") << monitor << true;
        QTest::newRow("byte 255 wrong") << WithByte(monitor, 255, char(monitor[255] + 1)) << false;
        QTest::newRow("block 0 edited") << WithByte(monitor, 3, 0) << false;
        // No extension declared in byte 126, yet block 1 is still checked.
        QTest::newRow("undeclared extension") << WithByte(QByteArray(256, '\0'), 200, 1) << false;
    }

    void verifyAndRepair() {
        QFETCH(QByteArray, image);
        QFETCH(bool, correct);
        EdidImage edid = Image(image);
        QCOMPARE(ChecksumsCorrect(edid), correct);
        RepairChecksums(edid);
        QVERIFY(ChecksumsCorrect(edid));
        const QByteArray repaired = Bytes(edid);
        QCOMPARE(repaired.left(127) + repaired.mid(128, 127),
                 image.left(127) + image.mid(128, 127));
    }

    void canonicalTextLayout() {
        EdidImage image{};
        image[0] = 0xAB;
        image[1] = 0x05;
        image[255] = 0xF0;
        const QByteArray zeros = QByteArray("00 ").repeated(15);
        QCOMPARE(Canonical(image), "AB 05 " + QByteArray("00 ").repeated(13) + "00\n" +
                                       (zeros + "00\n").repeated(14) + zeros + "F0\n");
    }

    // The image is pre-filled so that bytes a parse leaves alone show up; a
    // malformed text gives -1 and where its offending group starts.
    void parseHexText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("leading");
        QTest::addColumn<int>("errorOffset");
        const QByteArray pair("\x00\xFF", 2);
        const QByteArray ramp = Bytes(RampImage());
        const QByteArray table = Canonical(RampImage());
        const std::tuple<const char*, QByteArray, int, QByteArray> parsed[] = {
            {"empty", "", 0, ""},
            {"only blanks", " \n\n", 0, ""},
            {"pair", "00 FF", 2, pair},
            {"pair, line break", "00 FF\n", 2, pair},
            {"pair, space", "00 FF ", 2, pair},
            {"pair, blank lines", "00 FF\n\n \n", 2, pair},
            {"canonical table", table, 256, ramp},
            {"table, no last break", table.chopped(1), 256, ramp},
            {"table, empty line", table + "\n", 256, ramp},
            {"more than 256 groups", table + "01 02", 258, ramp},
            {"longest text", QByteArray("7F ").repeated(341), 341, QByteArray(256, '\x7F')},
            {"NUL at the end", QByteArray("00 FF\0", 6), 2, pair}};
        for (const auto& [name, text, count, leading] : parsed) {
            QTest::newRow(name) << text << count << leading << 0;
        }
        const std::tuple<const char*, QByteArray, int> malformed[] = {
            {"two spaces between bytes", "00  FF", 3},
            {"space before line break", "00 \n01", 3},
            {"empty line between lines", "00\n\n01", 3},
            {"leading space", " 00 FF", 0},
            {"TAB separator", "00\tFF", 0},
            {"CR separator", "00\r\nFF", 0},
            {"lower case", "00 ab", 3},
            {"three-digit group", "000 FF", 0},
            {"digits ZZ on line 2", "00 FF\nZZ", 6},
            {"outside Latin-1", "?0 01", 0},
            {"lone trailing digit", "00 F", 3},
            {"lone digit after empty line", "00 FF\n\n0", 6},
            {"lone digit, then space", "00 FF\n0 ", 6},
            {"NUL between groups", QByteArray("00\0FF", 5), 0},
            {"NUL before a line break", QByteArray("00 FF\0\n", 7), 3},
            {"1024 characters", QByteArray("00 ").repeated(341) + "\n", 1023}};
        for (const auto& [name, text, offset] : malformed) {
            QTest::newRow(name) << text << -1 << QByteArray() << offset;
        }
    }

    void parseHexText() {
        QFETCH(QByteArray, text);
        QFETCH(int, count);
        QFETCH(QByteArray, leading);
        QFETCH(int, errorOffset);
        EdidImage image;
        image.fill(0xEE);
        std::size_t offset = 9999;
        QCOMPARE(ParseHexText(text.toStdString(), image, &offset), count);
        if (count < 0) {
            QCOMPARE(int(offset), errorOffset);
        } else {
            QCOMPARE(Bytes(image), leading + QByteArray(int(kEdidSize) - leading.size(), '\0'));
        }
    }

    // A file's first bytes as the window loads them: the raw form padded or
    // cut to 256 bytes, anything not starting with a zero byte as text.
    void binaryFile_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<EdidFileForm>("form");
        QTest::addColumn<QByteArray>("image");
        const QByteArray monitor = Bytes(MonitorImage());
        QTest::newRow("empty") << QByteArray() << EdidFileForm::Binary << QByteArray(256, '\0');
        QTest::newRow("128 bytes") << monitor.left(128) << EdidFileForm::Binary
                                   << monitor.left(128) + QByteArray(128, '\0');
        QTest::newRow("300 bytes")
            << monitor + QByteArray(44, '\x11') << EdidFileForm::Binary << monitor;
        QTest::newRow("first byte not zero")
            << QByteArray(256, '\xFF') << EdidFileForm::Text << QByteArray(256, '\xFF');
    }

    void binaryFile() {
        QFETCH(QByteArray, head);
        QFETCH(EdidFileForm, form);
        QFETCH(QByteArray, image);
        QCOMPARE(ClassifyEdidFile(Vector(head)), form);
        QCOMPARE(Bytes(BinaryEdidImage(Vector(head))), image);
    }

    // Lines that keep an editor's trailing space become the canonical layout;
    // the window's text edit then shows CR LF as a single line break.
    void textFile_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("count");
        const QByteArray canonical = Canonical(MonitorImage());
        const QByteArray spacedLf = QByteArray(canonical).replace("\n", " \n");
        const QByteArray spacedCrLf = QByteArray(canonical).replace("\n", " \r\n");
        const QByteArray canonicalCrLf = QByteArray(canonical).replace("\n", "\r\n");
        QTest::newRow("hex text") << QByteArray("00 FF") << QByteArray("00 FF") << 2;
        QTest::newRow("spaced lines, CR LF") << spacedCrLf << canonical << 256;
        QTest::newRow("spaced lines, LF") << spacedLf << canonical << 256;
        QTest::newRow("first line short") << spacedCrLf.mid(3) << spacedCrLf.mid(3) << -1;
        QTest::newRow("canonical, LF") << canonical << canonical << 256;
        QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + spacedCrLf << canonical << 256;
        QTest::newRow("canonical, CR LF") << canonicalCrLf << canonicalCrLf << 256;
        QTest::newRow("ends at zero byte")
            << QByteArray("00 FF\n\0junk", 11) << QByteArray("00 FF\n") << 2;
        // 22 spaced lines of 49 bytes: the read limit cuts line 21 after 44 bytes.
        QTest::newRow("read limit")
            << spacedLf + spacedLf.left(6 * 49)
            << canonical + canonical.left(4 * 48) + canonical.mid(4 * 48, 44) << 20 * 16 + 15;
    }

    void textFile() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, text);
        QFETCH(int, count);
        QCOMPARE(ClassifyEdidFile(Vector(head)), EdidFileForm::Text);
        const QByteArray normalised = QByteArray::fromStdString(NormaliseLineEnds(Vector(head)));
        QCOMPARE(normalised, text);
        EdidImage image;
        QCOMPARE(ParseHexText(QByteArray(normalised).replace("\r\n", "\n").toStdString(), image),
                 count);
    }

    void importTable_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<EdidTableSize>("size");
        QTest::addColumn<EdidImportFailure>("failure");
        QTest::addColumn<EdidTableForm>("form");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("extended");
        const auto two = EdidTableSize::TwoBlocks;
        const auto declared = EdidTableSize::AsDeclared;
        const auto none = EdidImportFailure::None;
        const auto row = [](const QByteArray& name, const QByteArray& file, EdidTableSize size,
                            EdidImportFailure failure, EdidTableForm form, const QByteArray& table,
                            bool extended = false) {
            QTest::newRow(name) << file << size << failure << form << table << extended;
        };
        for (const char* name : {"Digital_Samsung_SAM0DF7_DE048E9131C5.bin",
                                 "Digital_Apple_APPA032_7E06E4CA3589.bin"}) {
            const QByteArray t = RealSample(name);
            const QByteArray tag = QByteArray(name).mid(8, 16);
            const auto hex = EdidTableForm::HexText;
            row(tag + ": binary", t, two, none, EdidTableForm::Binary, t);
            row(tag + ": spaced upper-case hex", HexLines(t, "", "  ", 16, true), two, none, hex,
                t);
            row(tag + ": 0x, commas", HexLines(t, "0X", ",", 32, false), two, none, hex, t);
            row(tag + ": one digit run, CR LF",
                HexLines(t, "", "", 32, false).replace("\n", "\r\n"), two, none, hex, t);
            row(tag + ": C array",
                "/* from a driver */\nstatic const unsigned char edid[256] = {\n" +
                    HexLines(t, "0x", ", ", 8, false).replace("\n", ",\n") + "};\n",
                two, none, EdidTableForm::CArray, t);
            row(tag + ": edid-decode dump", EdidDecodeDump(t), two, none,
                EdidTableForm::EdidDecodeDump, t);
            row(tag + ": doubled dump", EdidDecodeDump(t + t), declared, none,
                EdidTableForm::EdidDecodeDump, t);
        }
        const QByteArray one = RealSample("Analog_AOC_AOC2216_2F7D4FEE1637.bin");
        const QByteArray cta = RealSample("Digital_Samsung_SAM0DF7_DE048E9131C5.bin");
        const QByteArray zeroBlock(128, '\0');
        row("one block, two asked", one, two, none, EdidTableForm::Binary, one + zeroBlock, true);
        row("one block, as declared", one, declared, none, EdidTableForm::Binary, one);
        row("one block declared, block 0 repeated", HexLines(one + one, "", " ", 16, true), two,
            none, EdidTableForm::HexText, one + zeroBlock, true);
        row("three blocks declared, two asked", WithByte(cta, 126, 2) + cta.left(128), two, none,
            EdidTableForm::Binary, WithByte(cta, 126, 2));
        row("C array in decimal",
            "{0,255,255,255,255,255,255,0," + HexLines(one.mid(8), "0x", ",", 8, true) + "}",
            declared, none, EdidTableForm::CArray, one);

        const QByteArray hex = HexLines(cta, "", " ", 16, false);
        using F = EdidImportFailure;
        row("odd digit count", QByteArray(hex).insert(30, '0'), two, F::OddDigitCount,
            EdidTableForm::HexText, {});
        row("no header", hex.mid(3), two, F::NoHeader, EdidTableForm::HexText, {});
        row("one block of two declared, taken as far as it goes", cta.left(200), declared, none,
            EdidTableForm::Binary, cta.left(128));
        row("one block of two declared, two asked", cta.left(200), two, F::Truncated,
            EdidTableForm::Binary, {});
        // A unit's table keeps its 256 bytes whatever its header and byte 126 say.
        const QByteArray headless = WithByte(WithByte(cta, 0, 0x55), 126, 5);
        row("256 raw bytes without a header", headless, declared, none, EdidTableForm::Binary,
            headless);
        row("256 raw bytes without a header, two asked", headless, two, F::NoHeader,
            EdidTableForm::Binary, {});
        row("256 hex values, one block declared", HexLines(one + one, "", " ", 16, true), declared,
            none, EdidTableForm::HexText, one + one);
        row("256 hex values without a header", HexLines(headless, "", " ", 16, true), declared,
            none, EdidTableForm::HexText, headless);
        row("xxd", XxdDump(cta), declared, none, EdidTableForm::HexDump, cta);
        row("xxd, one block", XxdDump(one), two, none, EdidTableForm::HexDump, one + zeroBlock,
            true);
        row("hexdump -C with repeated lines", HexdumpCanonical(one + zeroBlock), declared, none,
            EdidTableForm::HexDump, one + zeroBlock);
        QByteArray gap = HexdumpCanonical(cta);
        gap.remove(gap.indexOf("00000020"), gap.indexOf("00000030") - gap.indexOf("00000020"));
        row("hexdump -C with a line missing", gap, declared, F::DumpGap, EdidTableForm::HexDump,
            {});
        row("garbage",
            QByteArray("\x7f"
                       "ELF\x02\x01\x01\0\0\0\0",
                       12),
            two, F::NotAByte, EdidTableForm::HexText, {});
        row("C array value over 255", "{ 0x00, 0xff, 256 }", two, F::NotAByte,
            EdidTableForm::CArray, {});
        row("empty", {}, two, F::NoValues, EdidTableForm::HexText, {});
    }

    void importTable() {
        QFETCH(QByteArray, file);
        QFETCH(EdidTableSize, size);
        QFETCH(EdidImportFailure, failure);
        QFETCH(EdidTableForm, form);
        QFETCH(QByteArray, table);
        QFETCH(bool, extended);
        const ImportedEdid imported = ImportEdidTable(Vector(file), size);
        QCOMPARE(imported.failure, failure);
        QCOMPARE(imported.form, form);
        const QByteArray got(reinterpret_cast<const char*>(imported.table.data()),
                             int(imported.table.size()));
        QCOMPARE(got.toHex(' '), table.toHex(' '));
        QCOMPARE(imported.extendedWithZeroBlock, extended);
    }
};

QTEST_APPLESS_MAIN(EdidTest)
#include "EdidTest.moc"
