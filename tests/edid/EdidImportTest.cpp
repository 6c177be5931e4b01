#include "EdidImport.h"
#include "EdidSamples.h"
#include "RealSamples.h"

#include <QtTest>

Q_DECLARE_METATYPE(EdidTableForm)
Q_DECLARE_METATYPE(EdidTableSize)
Q_DECLARE_METATYPE(EdidImportFailure)

class EdidImportTest : public QObject {
    Q_OBJECT

private slots:
    void importsTable_data();
    void importsTable();
};

namespace {

// Each byte as two digits with the given case, prefix and separator, and a
// line break after every perLine bytes.
QByteArray HexLines(const QByteArray& table, const QByteArray& prefix, const QByteArray& separator,
                    int perLine, bool upper) {
    QByteArray text;
    for (int i = 0; i < table.size(); ++i) {
        QByteArray digits = QByteArray(1, table[i]).toHex();
        text += prefix + (upper ? digits.toUpper() : digits);
        text += (i % perLine == perLine - 1) ? QByteArray("\n") : separator;
    }
    return text;
}

QByteArray CArray(const QByteArray& table) {
    return "/* from a driver */\nstatic const unsigned char edid[256] = {\n" +
           HexLines(table, "0x", ", ", 8, false).replace("\n", ",\n") + "};\n";
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

QByteArray WithByte(QByteArray table, int offset, char value) {
    table[offset] = value;
    return table;
}

} // namespace

void EdidImportTest::importsTable_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<EdidTableSize>("size");
    QTest::addColumn<EdidImportFailure>("failure");
    QTest::addColumn<EdidTableForm>("form");
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("extended");

    const auto two = EdidTableSize::TwoBlocks;
    const auto declared = EdidTableSize::AsDeclared;
    const auto none = EdidImportFailure::None;
    for (const char* name :
         {"Digital_Samsung_SAM0DF7_DE048E9131C5.bin", "Digital_Apple_APPA032_7E06E4CA3589.bin",
          "Digital_AOpen_AOP0807_058E4F5268BF.bin"}) {
        const QByteArray t = RealSample(name);
        const QByteArray tag = QByteArray(name).mid(8, 16);
        QTest::newRow(tag + ": binary") << t << two << none << EdidTableForm::Binary << t << false;
        QTest::newRow(tag + ": spaced upper-case hex")
            << HexLines(t, "", "  ", 16, true) << two << none << EdidTableForm::HexText << t
            << false;
        QTest::newRow(tag + ": 0x, commas") << HexLines(t, "0X", ",", 32, false) << two << none
                                            << EdidTableForm::HexText << t << false;
        QTest::newRow(tag + ": one digit run, CR LF")
            << HexLines(t, "", "", 32, false).replace("\n", "\r\n") << two << none
            << EdidTableForm::HexText << t << false;
        QTest::newRow(tag + ": C array")
            << CArray(t) << two << none << EdidTableForm::CArray << t << false;
        QTest::newRow(tag + ": edid-decode dump")
            << EdidDecodeDump(t) << two << none << EdidTableForm::EdidDecodeDump << t << false;
        QTest::newRow(tag + ": doubled dump") << EdidDecodeDump(t + t) << declared << none
                                              << EdidTableForm::EdidDecodeDump << t << false;
    }

    const QByteArray one = RealSample("Analog_AOC_AOC2216_2F7D4FEE1637.bin");
    const QByteArray cta = RealSample("Digital_Samsung_SAM0DF7_DE048E9131C5.bin");
    QTest::newRow("one block, two asked")
        << one << two << none << EdidTableForm::Binary << one + QByteArray(128, '\0') << true;
    QTest::newRow("one block, as declared")
        << one << declared << none << EdidTableForm::Binary << one << false;
    QTest::newRow("one block declared, block 0 repeated")
        << HexLines(one + one, "", " ", 16, true) << two << none << EdidTableForm::HexText
        << one + QByteArray(128, '\0') << true;
    QTest::newRow("three blocks declared, two asked")
        << WithByte(cta, 126, 2) + cta.left(128) << two << none << EdidTableForm::Binary
        << WithByte(cta, 126, 2) << false;
    QTest::newRow("C array in decimal")
        << QByteArray("{0,255,255,255,255,255,255,0,") + HexLines(one.mid(8), "0x", ",", 8, true) +
               "}"
        << declared << none << EdidTableForm::CArray << one << false;

    const QByteArray hex = HexLines(cta, "", " ", 16, false);
    QTest::newRow("odd digit count")
        << QByteArray(hex).insert(30, '0') << two << EdidImportFailure::OddDigitCount
        << EdidTableForm::HexText << QByteArray() << false;
    QTest::newRow("no header") << hex.mid(3) << two << EdidImportFailure::NoHeader
                               << EdidTableForm::HexText << QByteArray() << false;
    QTest::newRow("one block of two declared")
        << cta.left(200) << declared << EdidImportFailure::Truncated << EdidTableForm::Binary
        << QByteArray() << false;
    QTest::newRow("garbage") << QByteArray("\x7f"
                                           "ELF\x02\x01\x01\0\0\0\0",
                                           12)
                             << two << EdidImportFailure::NotAByte << EdidTableForm::HexText
                             << QByteArray() << false;
    QTest::newRow("C array value over 255")
        << QByteArray("{ 0x00, 0xff, 256 }") << two << EdidImportFailure::NotAByte
        << EdidTableForm::CArray << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << two << EdidImportFailure::NoValues
                           << EdidTableForm::HexText << QByteArray() << false;
}

void EdidImportTest::importsTable() {
    QFETCH(QByteArray, file);
    QFETCH(EdidTableSize, size);
    QFETCH(EdidImportFailure, failure);
    QFETCH(EdidTableForm, form);
    QFETCH(QByteArray, table);
    QFETCH(bool, extended);

    const ImportedEdid imported = ImportEdidTable(ToBytes(file), size);
    QCOMPARE(imported.failure, failure);
    QCOMPARE(imported.form, form);
    const QByteArray got(reinterpret_cast<const char*>(imported.table.data()),
                         int(imported.table.size()));
    QCOMPARE(got.toHex(' '), table.toHex(' '));
    QCOMPARE(imported.extendedWithZeroBlock, extended);
}

QTEST_APPLESS_MAIN(EdidImportTest)
#include "EdidImportTest.moc"
