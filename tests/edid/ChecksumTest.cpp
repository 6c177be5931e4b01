#include "Checksum.h"
#include "EdidSamples.h"

#include <QtTest>

class ChecksumTest : public QObject {
    Q_OBJECT

private slots:
    void blockChecksum_data();
    void blockChecksum();
    void verifyAndRepair_data();
    void verifyAndRepair();
};

void ChecksumTest::blockChecksum_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("checksum");

    // Byte 127 holds a stray value in every row: it must not count.
    const QByteArray header("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8);
    QTest::newRow("EDID header") << header + QByteArray(119, '\0') + '\x55' << 0x06;
    QTest::newRow("all 0xFF") << QByteArray(127, '\xFF') + '\x55' << 0x7F;
    QTest::newRow("all zero") << QByteArray(127, '\0') + '\x55' << 0x00;
}

void ChecksumTest::blockChecksum() {
    QFETCH(QByteArray, block);
    QFETCH(int, checksum);
    QCOMPARE(int(EDIDChkSum(reinterpret_cast<const std::uint8_t*>(block.constData()))), checksum);
}

void ChecksumTest::verifyAndRepair_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("correct");

    QByteArray wrongSecond = ToByteArray(MonitorImage());
    wrongSecond[255] = char(wrongSecond[255] + 1);
    QByteArray wrongFirst = ToByteArray(MonitorImage());
    wrongFirst[3] = 0x00;
    // No extension declared in byte 126, yet block 1 is still checked.
    QByteArray undeclaredExtension(256, '\0');
    undeclaredExtension[200] = 0x01;

    QTest::newRow("all zero") << QByteArray(256, '\0') << true;
    QTest::newRow("monitor") << ToByteArray(MonitorImage()) << true;
    QTest::newRow("byte 255 wrong") << wrongSecond << false;
    QTest::newRow("block 0 edited") << wrongFirst << false;
    QTest::newRow("undeclared extension") << undeclaredExtension << false;
}

void ChecksumTest::verifyAndRepair() {
    QFETCH(QByteArray, image);
    QFETCH(bool, correct);

    EdidImage edid;
    std::copy(image.begin(), image.end(), edid.begin());
    QCOMPARE(ChecksumsCorrect(edid), correct);

    RepairChecksums(edid);
    QVERIFY(ChecksumsCorrect(edid));
    const QByteArray repaired = ToByteArray(edid);
    QCOMPARE(repaired.left(127) + repaired.mid(128, 127), image.left(127) + image.mid(128, 127));
}

QTEST_APPLESS_MAIN(ChecksumTest)
#include "ChecksumTest.moc"
