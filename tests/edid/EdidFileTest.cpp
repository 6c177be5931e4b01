#include "EdidFile.h"
#include "EdidSamples.h"
#include "HexText.h"

#include <QtTest>

Q_DECLARE_METATYPE(EdidFileForm)

class EdidFileTest : public QObject {
    Q_OBJECT

private slots:
    void binaryForm_data();
    void binaryForm();
    void textForm_data();
    void textForm();
};

void EdidFileTest::binaryForm_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<EdidFileForm>("form");
    QTest::addColumn<QByteArray>("image");

    const QByteArray monitor = ToByteArray(MonitorImage());
    QTest::newRow("empty") << QByteArray() << EdidFileForm::Binary << QByteArray(256, '\0');
    QTest::newRow("128 bytes") << monitor.left(128) << EdidFileForm::Binary
                               << monitor.left(128) + QByteArray(128, '\0');
    QTest::newRow("300 bytes") << monitor + QByteArray(44, '\x11') << EdidFileForm::Binary
                               << monitor;
    QTest::newRow("first byte not zero")
        << ToByteArray(FilledImage(0xFF)) << EdidFileForm::Text << ToByteArray(FilledImage(0xFF));
    QTest::newRow("hex text") << QByteArray("00 FF") << EdidFileForm::Text
                              << QByteArray("00 FF") + QByteArray(251, '\0');
}

void EdidFileTest::binaryForm() {
    QFETCH(QByteArray, head);
    QFETCH(EdidFileForm, form);
    QFETCH(QByteArray, image);

    QCOMPARE(ClassifyEdidFile(ToBytes(head)), form);
    QCOMPARE(ToByteArray(BinaryEdidImage(ToBytes(head))), image);
}

namespace {

// The table as many editors save it: a space after every group.
QByteArray SpacedLines(const EdidImage& image, const QByteArray& lineEnd) {
    QByteArray text = QByteArray::fromStdString(CanonicalHexText(image));
    return text.replace("\n", " " + lineEnd);
}

} // namespace

void EdidFileTest::textForm_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");

    const QByteArray canonical = QByteArray::fromStdString(CanonicalHexText(MonitorImage()));
    const QByteArray spacedCrLf = SpacedLines(MonitorImage(), "\r\n");
    QByteArray shortFirstLine = spacedCrLf;
    shortFirstLine.remove(0, 3);

    QTest::newRow("spaced lines, CR LF") << spacedCrLf << canonical << 256;
    QTest::newRow("spaced lines, LF") << SpacedLines(MonitorImage(), "\n") << canonical << 256;
    QTest::newRow("first line short") << shortFirstLine << shortFirstLine << -1;
    QTest::newRow("canonical, LF") << canonical << canonical << 256;
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + spacedCrLf << canonical << 256;
    QByteArray canonicalCrLf = canonical;
    canonicalCrLf.replace("\n", "\r\n");
    QTest::newRow("canonical, CR LF") << canonicalCrLf << canonicalCrLf << 256;
    QTest::newRow("ends at zero byte")
        << QByteArray("00 FF\n\0junk", 11) << QByteArray("00 FF\n") << 2;

    // 22 spaced lines of 49 bytes: the read limit cuts line 21 after 44 bytes.
    const QByteArray spacedLf = SpacedLines(MonitorImage(), "\n");
    QTest::newRow("read limit") << spacedLf + spacedLf.left(6 * 49)
                                << canonical + canonical.left(4 * 48) + canonical.mid(4 * 48, 44)
                                << 20 * 16 + 15;
}

void EdidFileTest::textForm() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, text);
    QFETCH(int, count);

    QCOMPARE(ClassifyEdidFile(ToBytes(head)), EdidFileForm::Text);
    const std::string normalised = NormaliseLineEnds(ToBytes(head));
    QCOMPARE(QByteArray::fromStdString(normalised), text);
    // The window's text edit shows CR LF as a single line break.
    const QByteArray shown = QByteArray::fromStdString(normalised).replace("\r\n", "\n");
    EdidImage image;
    QCOMPARE(ParseHexText(shown.toStdString(), image), count);
}

QTEST_APPLESS_MAIN(EdidFileTest)
#include "EdidFileTest.moc"
