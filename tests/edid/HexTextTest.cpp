#include "HexText.h"
#include "EdidSamples.h"

#include <QtTest>

#include <string>
#include <tuple>

class HexTextTest : public QObject {
    Q_OBJECT

private slots:
    void canonicalTextParsesBack_data();
    void canonicalTextParsesBack();
    void canonicalTextLayout();
    void parse_data();
    void parse();
    void groupDecoder_data();
    void groupDecoder();
};

void HexTextTest::canonicalTextParsesBack_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("all zero") << ToByteArray(FilledImage(0x00));
    QTest::newRow("monitor") << ToByteArray(MonitorImage());
    QTest::newRow("all 0xFF") << ToByteArray(FilledImage(0xFF));
    QTest::newRow("every value") << ToByteArray(RampImage());
}

void HexTextTest::canonicalTextParsesBack() {
    QFETCH(QByteArray, image);
    EdidImage original;
    std::copy(image.begin(), image.end(), original.begin());

    const std::string text = CanonicalHexText(original);
    QCOMPARE(text.size(), kCanonicalHexTextLength);
    EdidImage parsed = FilledImage(0xEE);
    QCOMPARE(ParseHexText(text, parsed), 256);
    QCOMPARE(ToByteArray(parsed), image);
}

void HexTextTest::canonicalTextLayout() {
    EdidImage image{};
    image[0] = 0xAB;
    image[1] = 0x05;
    image[255] = 0xF0;
    const QByteArray zeroLine = QByteArray("00 ").repeated(15) + "00\n";
    const QByteArray expected = "AB 05 " + QByteArray("00 ").repeated(13) + "00\n" +
                                zeroLine.repeated(14) + QByteArray("00 ").repeated(15) + "F0\n";
    QCOMPARE(QByteArray::fromStdString(CanonicalHexText(image)), expected);
}

void HexTextTest::parse_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("leading");
    QTest::addColumn<int>("errorOffset");

    const QByteArray pair("\x00\xFF", 2);
    const QByteArray table = QByteArray::fromStdString(CanonicalHexText(RampImage()));
    QTest::newRow("empty") << QByteArray() << 0 << QByteArray() << 0;
    QTest::newRow("only blanks") << QByteArray(" \n\n") << 0 << QByteArray() << 0;
    QTest::newRow("pair") << QByteArray("00 FF") << 2 << pair << 0;
    QTest::newRow("pair, line break") << QByteArray("00 FF\n") << 2 << pair << 0;
    QTest::newRow("pair, space") << QByteArray("00 FF ") << 2 << pair << 0;
    QTest::newRow("pair, blank lines") << QByteArray("00 FF\n\n \n") << 2 << pair << 0;
    QTest::newRow("table, no last break")
        << table.chopped(1) << 256 << ToByteArray(RampImage()) << 0;
    QTest::newRow("table, empty line") << table + "\n" << 256 << ToByteArray(RampImage()) << 0;
    QTest::newRow("table, trailing space") << table + " " << 256 << ToByteArray(RampImage()) << 0;
    QTest::newRow("more than 256 groups")
        << table + "01 02" << 258 << ToByteArray(RampImage()) << 0;
    QTest::newRow("longest text") << QByteArray("7F ").repeated(341) << 341
                                  << QByteArray(256, '\x7F') << 0;
    QTest::newRow("NUL at the end") << QByteArray("00 FF\0", 6) << 2 << pair << 0;

    // Where the offending group starts.
    const std::tuple<const char*, QByteArray, int> malformed[] = {
        {"two spaces between bytes", "00  FF", 3},
        {"space before line break", "00 \n01", 3},
        {"empty line between lines", "00\n\n01", 3},
        {"leading space", " 00 FF", 0},
        {"TAB separator", "00\tFF", 0},
        {"CR separator", "00\r\nFF", 0},
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

// The image is pre-filled so that bytes a parse leaves alone show up.
void HexTextTest::parse() {
    QFETCH(QByteArray, text);
    QFETCH(int, count);
    QFETCH(QByteArray, leading);
    QFETCH(int, errorOffset);

    EdidImage image = FilledImage(0xEE);
    std::size_t offset = 9999;
    QCOMPARE(ParseHexText(text.toStdString(), image, &offset), count);
    if (count < 0) {
        QCOMPARE(int(offset), errorOffset);
        return;
    }
    QByteArray expected = leading;
    expected.append(QByteArray(int(kEdidSize) - leading.size(), '\0'));
    QCOMPARE(ToByteArray(image), expected);
}

void HexTextTest::groupDecoder_data() {
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("value");

    QTest::newRow("end of text") << QByteArray("7F") << 0 << 0x7F;
    QTest::newRow("space") << QByteArray("A0 ") << 0 << 0xA0;
    QTest::newRow("line break") << QByteArray("09\n") << 0 << 0x09;
    QTest::newRow("TAB") << QByteArray("7F\t") << 1 << 0xEE;
    QTest::newRow("lower case") << QByteArray("ab ") << 1 << 0xEE;
    QTest::newRow("one digit") << QByteArray("7") << 1 << 0xEE;
}

void HexTextTest::groupDecoder() {
    QFETCH(QByteArray, group);
    QFETCH(int, result);
    QFETCH(int, value);

    std::uint8_t destination = 0xEE;
    QCOMPARE(HexPairToByte(group.constData(), &destination), result);
    QCOMPARE(int(destination), value);
}

QTEST_APPLESS_MAIN(HexTextTest)
#include "HexTextTest.moc"
