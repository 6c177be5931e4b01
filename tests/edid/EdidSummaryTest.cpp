#include "EdidSummary.h"
#include "EdidDecode.h"
#include "EdidFieldMap.h"
#include "RealSamples.h"

#include <QtTest>

class EdidSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void summarises_data();
    void summarises();
    void namesFields_data();
    void namesFields();
    void namesManufacturer();
    void decodesAspectRatio_data();
    void decodesAspectRatio();
};

namespace {

const char kDell[] = "Digital_Dell_DELA0A4_2C4EE7EB150B.bin";

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> table, std::size_t offset,
                                   std::uint8_t value) {
    table[offset] = value;
    return table;
}

} // namespace

void EdidSummaryTest::summarises_data() {
    QTest::addColumn<std::vector<std::uint8_t>>("table");
    QTest::addColumn<QString>("summary");

    const auto dell = RealSampleBytes(kDell);
    QTest::newRow("HDMI monitor, block 1 checksum wrong")
        << dell
        << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · HDMI 1.0.0.0 · LPCM 2ch · "
           "checksum of block 1 wrong";
    QTest::newRow("TV, several audio formats")
        << RealSampleBytes("Digital_DENON_DON004C_8270BDA0552D.bin")
        << "DON DENON-AVR · 3840x2160 @ 60.00 Hz · CTA-861 rev 3 · HDMI 2.3.0.0 · LPCM 8ch, "
           "DTS 6ch, AC-3 6ch, DTS-HD 8ch, E-AC-3 8ch, MAT 8ch";
    QTest::newRow("one block") << RealSampleBytes("Analog_AOC_AOC2216_2F7D4FEE1637.bin")
                               << "AOC 2216 · 1680x1050 @ 59.85 Hz";
    QTest::newRow("DisplayID") << RealSampleBytes("Digital_Apple_APPA032_7E06E4CA3589.bin")
                               << "APP iMac · 3840x2160 @ 60.00 Hz · DisplayID";
    // The audio block's length byte claims 31 bytes, past the DTD offset.
    QTest::newRow("data block overrun")
        << WithByte(dell, 145, 0x3F)
        << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · checksum of block 1 wrong "
           "· malformed";
    QTest::newRow("data block one byte too long")
        << WithByte(dell, 155, 0x84)
        << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · HDMI 1.0.0.0 · LPCM 2ch · "
           "checksum of block 1 wrong · malformed";
    QTest::newRow("no header") << WithByte(dell, 1, 0x00)
                               << "no EDID header · DEL DELL U2414H · 1920x1080 @ 60.00 Hz · "
                                  "CTA-861 rev 3 · HDMI 1.0.0.0 · LPCM 2ch · checksum of block 0 "
                                  "wrong · checksum of block 1 wrong";
}

void EdidSummaryTest::summarises() {
    QFETCH(std::vector<std::uint8_t>, table);
    QFETCH(QString, summary);

    QCOMPARE(QString::fromStdString(SummariseEdid(DecodeEdid(table))), summary);
}

void EdidSummaryTest::namesFields_data() {
    QTest::addColumn<std::vector<std::uint8_t>>("table");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("field");

    // Block 1 of this table: data blocks at 132 (video), 145 (audio), 149
    // (HDMI), 155 (speakers); four DTDs from 159.
    const auto dell = RealSampleBytes(kDell);
    const struct {
        int offset;
        const char* field;
    } rows[] = {
        {0, "header"},
        {9, "manufacturer ID"},
        {11, "product code"},
        {16, "week of manufacture"},
        {40, "standard timing 2"},
        {53, "standard timing 8"},
        {54, "detailed timing 1"},
        {89, "display descriptor 1: product serial"},
        {90, "display descriptor 2: product name"},
        {125, "display descriptor 3: range limits"},
        {126, "extension count"},
        {127, "checksum"},
        {128, "block 1: CTA-861 tag"},
        {131, "block 1: CTA-861 flags"},
        {132, "block 1: CTA data block: video"},
        {144, "block 1: CTA data block: video"},
        {145, "block 1: CTA data block: audio"},
        {150, "block 1: CTA data block: vendor-specific 00-0C-03"},
        {158, "block 1: CTA data block: speaker allocation"},
        {159, "block 1: CTA detailed timing 1"},
        {230, "block 1: CTA detailed timing 4"},
        {231, "block 1: padding"},
        {255, "block 1: checksum"},
        {256, "beyond the table"},
    };
    for (const auto& row : rows) {
        QTest::newRow(row.field) << dell << row.offset << QString::fromLatin1(row.field);
    }
    QTest::newRow("block 1 not declared")
        << WithByte(dell, 126, 0) << 200 << QStringLiteral("block 1: undeclared block");
    QTest::newRow("DisplayID data") << RealSampleBytes("Digital_Apple_APPA032_7E06E4CA3589.bin")
                                    << 130 << QStringLiteral("block 1: DisplayID data");
}

void EdidSummaryTest::namesFields() {
    QFETCH(std::vector<std::uint8_t>, table);
    QFETCH(int, offset);
    QFETCH(QString, field);

    QCOMPARE(QString::fromStdString(NameEdidField(table, std::size_t(offset))), field);
}

void EdidSummaryTest::namesManufacturer() {
    const std::string name = DecodeEdid(RealSampleBytes(kDell)).base.manufacturerName;
    if (name.empty()) {
        QSKIP("built without hwdata's pnp.ids (Debian package hwdata)");
    }
    QCOMPARE(QString::fromStdString(name), QStringLiteral("Dell Inc."));
}

// No real table in the samples gives one, so these are made from the Dell's.
void EdidSummaryTest::decodesAspectRatio_data() {
    QTest::addColumn<int>("revision");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("ratio"); // 0: none
    QTest::newRow("1.4 landscape 16:9") << 4 << 79 << 0 << 1.78;
    QTest::newRow("1.4 portrait 9:16") << 4 << 0 << 79 << 100.0 / 178;
    QTest::newRow("1.4 size") << 4 << 53 << 30 << 0.0;
    QTest::newRow("1.3 one byte zero") << 3 << 79 << 0 << 0.0;
}

void EdidSummaryTest::decodesAspectRatio() {
    QFETCH(int, revision);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, ratio);
    auto table = RealSampleBytes(kDell);
    table[19] = std::uint8_t(revision);
    table[21] = std::uint8_t(width);
    table[22] = std::uint8_t(height);

    const EdidBaseBlock base = DecodeEdid(table).base;
    QCOMPARE(base.aspectRatio.value_or(0.0), ratio);
    QCOMPARE(int(base.screenWidthCm), width);
}

QTEST_APPLESS_MAIN(EdidSummaryTest)
#include "EdidSummaryTest.moc"
