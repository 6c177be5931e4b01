#include "edid/EdidDecode.h"
#include "edid/EdidFieldMap.h"
#include "edid/EdidImport.h"
#include "edid/EdidProblemName.h"
#include "edid/EdidSummary.h"
#include "tests/support/RealSamples.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(EdidProblemKind)

namespace {

const char kDell[] = "Digital_Dell_DELA0A4_2C4EE7EB150B.bin";

QString Checksum(std::size_t block, const BlockChecksum& checksum) {
    const auto hex = [](std::uint8_t value) { return QString::asprintf("0x%02x", value); };
    return QString("block %1 checksum %2").arg(block).arg(hex(checksum.stored)) +
           (checksum.Correct() ? QString() : " should be " + hex(checksum.computed));
}

// The fields of a table that edid-decode also prints, in words of our own.
QStringList OurFields(const DecodedEdid& d) {
    const EdidBaseBlock& b = d.base;
    QStringList fields{"manufacturer " + QString::fromStdString(b.manufacturerId),
                       QString("product %1").arg(b.productCode)};
    if (b.serialNumber != 0) {
        fields << QString("serial %1").arg(b.serialNumber);
    }
    fields << (b.modelYear   ? QString("model year %1").arg(b.year)
               : b.week != 0 ? QString("made week %1 of %2").arg(b.week).arg(b.year)
                             : QString("made %1").arg(b.year))
           << QString("version %1.%2").arg(b.version).arg(b.revision);
    if (b.aspectRatio) {
        fields << QString("aspect ratio %1").arg(*b.aspectRatio, 0, 'f', 2);
    } else {
        fields << (b.screenWidthCm != 0 && b.screenHeightCm != 0
                       ? QString("size %1 cm x %2 cm").arg(b.screenWidthCm).arg(b.screenHeightCm)
                       : QString("size variable"));
    }
    fields << (b.gamma ? QString("gamma %1").arg(*b.gamma, 0, 'f', 2) : "gamma in extension");
    if (!b.productName.empty()) {
        fields << "name " + QString::fromStdString(b.productName);
    }
    if (!b.detailedTimings.empty()) {
        const DetailedTiming& t = b.detailedTimings.front();
        fields << QString("dtd1 %1x%2%3 %4")
                      .arg(t.hActive)
                      .arg(t.interlaced ? 2 * t.vActive : t.vActive)
                      .arg(t.interlaced ? "i" : "")
                      .arg(t.refreshHz, 0, 'f', 3);
    }
    fields << Checksum(0, b.checksum);
    for (const EdidExtension& e : d.extensions) {
        if (e.cta) {
            QStringList vics;
            for (const ShortVideoDescriptor& v : e.cta->videoDescriptors) {
                vics << (v.known ? QString("%1 %2x%3%4@%5%6")
                                       .arg(v.vic)
                                       .arg(v.mode.width)
                                       .arg(v.mode.height)
                                       .arg(v.interlaced ? "i" : "")
                                       .arg(v.mode.refreshHz)
                                       .arg(v.native ? " native" : "")
                                 : QString("%1 unknown").arg(v.vic));
            }
            fields << "vics " + vics.join(", ");
            if (e.cta->hdmi) {
                const std::uint8_t* p = e.cta->hdmi->physicalAddress;
                fields << QString("hdmi %1.%2.%3.%4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]);
                if (e.cta->hdmi->maxTmdsClockMHz) {
                    fields << QString("tmds %1").arg(*e.cta->hdmi->maxTmdsClockMHz);
                }
            }
            if (e.cta->hdmiForum && e.cta->hdmiForum->maxTmdsCharacterRateMHz != 0) {
                fields << QString("tmds rate %1").arg(e.cta->hdmiForum->maxTmdsCharacterRateMHz);
            }
        }
        fields << Checksum(e.block, e.checksum);
    }
    return fields;
}

// The same fields read from edid-decode's text. Lines that carry one field
// each: where they count (b base block, c CTA block, * any), their start,
// the field, and whether only the value's first word is kept.
struct ReferenceLine {
    char where;
    const char* start;
    const char* field;
    bool firstWord;
};
const ReferenceLine kReferenceLines[] = {
    {'*', "    Manufacturer: ", "manufacturer", false},
    {'*', "    Model: ", "product", false},
    {'*', "    Serial Number: ", "serial", false},
    {'*', "    Made in: ", "made", false},
    {'*', "    Model year: ", "model year", false},
    {'*', "  EDID Structure Version & Revision: ", "version", false},
    {'b', "    Maximum image size: ", "size", false},
    {'b', "    Image size is variable", "size variable", false},
    {'b', "    Aspect ratio: ", "aspect ratio", true},
    {'b', "    Gamma: ", "gamma", false},
    {'b', "    Gamma is defined in an extension block", "gamma in extension", false},
    {'c', "    Source physical address: ", "hdmi", false},
    {'c', "    Maximum TMDS clock: ", "tmds", true},
    {'c', "    Maximum TMDS Character Rate: ", "tmds rate", true},
};

QStringList ReferenceFields(const QString& output) {
    static const QRegularExpression kDtd(R"(^    DTD 1: +(\d+x\d+i?) +([\d.]+) Hz)");
    static const QRegularExpression kVic(
        R"(^    VIC +(\d+): +(\d+x\d+i?) +([\d.]+) Hz.*?( \(native\))?$)");
    static const QRegularExpression kUnknownVic(R"(^    Unknown \(VIC +(\d+)\))");
    static const QRegularExpression kChecksum(
        R"(^Checksum: (0x[0-9a-f]{2})(?: \(should be (0x[0-9a-f]{2})\))?)");
    QStringList fields, vics;
    QString blockNumber, block, section;
    bool named = false;
    for (const QString& line : output.split('\n')) {
        if (line.startsWith("Block ")) {
            blockNumber = line.section(' ', 1, 1).chopped(1);
            block = line.section(", ", 1);
            vics.clear();
        }
        if (line.startsWith("  ") && !line.startsWith("   ")) {
            section = line.trimmed();
        }
        const bool cta = block.startsWith("CTA-861");
        const bool base = blockNumber == "0";
        const bool video = cta && section == "Video Data Block:";
        for (const ReferenceLine& r : kReferenceLines) {
            if (line.startsWith(r.start) && (r.where == '*' || (r.where == 'b' ? base : cta))) {
                const QString value = line.mid(int(std::strlen(r.start)));
                fields << (QString(r.field) + ' ' +
                           (r.firstWord ? value.section(' ', 0, 0) : value))
                              .trimmed();
            }
        }
        QRegularExpressionMatch m;
        if (base && line.startsWith("    Display Product Name: ") && !named) {
            named = true;
            const QString value = line.section(": ", 1);
            fields << "name " + value.mid(1, value.size() - 2);
        } else if ((m = kDtd.match(line)).hasMatch()) {
            fields << QString("dtd1 %1 %2")
                          .arg(m.captured(1))
                          .arg(m.captured(2).toDouble(), 0, 'f', 3);
        } else if ((m = kChecksum.match(line)).hasMatch()) {
            if (cta) {
                fields << "vics " + vics.join(", ");
            }
            fields << QString("block %1 checksum %2").arg(blockNumber, m.captured(1)) +
                          (m.hasCaptured(2) ? " should be " + m.captured(2) : QString());
        } else if (video && (m = kVic.match(line)).hasMatch()) {
            vics << QString("%1 %2@%3%4")
                        .arg(m.captured(1), m.captured(2))
                        .arg(std::lround(m.captured(3).toDouble()))
                        .arg(m.hasCaptured(4) ? " native" : "");
        } else if (video && (m = kUnknownVic.match(line)).hasMatch()) {
            vics << m.captured(1) + " unknown";
        }
    }
    return fields;
}

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> table, std::size_t offset,
                                   std::uint8_t value) {
    table[offset] = value;
    return table;
}

} // namespace

class EdidDecodeTest : public QObject {
    Q_OBJECT

private slots:
    // Every real table in the samples, decoded here and by Debian's
    // edid-decode: the fields both give must agree.
    void agreesWithEdidDecode_data() {
        QTest::addColumn<QString>("path");
        const QDir samples(TALVO_EDID_SAMPLES_DIR);
        for (const QString& name : samples.entryList({"*.bin"}, QDir::Files)) {
            QTest::newRow(qPrintable(name)) << samples.filePath(name);
        }
    }

    void agreesWithEdidDecode() {
        QFETCH(QString, path);
        const QString reference = QStandardPaths::findExecutable("edid-decode");
        if (reference.isEmpty()) {
            QSKIP("edid-decode is not installed (Debian package edid-decode)");
        }
        QProcess process;
        process.start(reference, {"--skip-sha", path});
        QVERIFY(process.waitForFinished(10000));
        const QByteArray output = process.readAllStandardOutput();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const std::vector<std::uint8_t> table(bytes.begin(), bytes.end());
        // Sorted: the two list the fields of a block in different orders.
        QStringList ours = OurFields(DecodeEdid(table));
        QStringList theirs = ReferenceFields(QString::fromUtf8(output));
        ours.sort();
        theirs.sort();
        for (int i = 0; i < std::max(ours.size(), theirs.size()); ++i) {
            QCOMPARE(ours.value(i), theirs.value(i));
        }
        // edid-decode's own text is one of the forms the importer reads.
        const ImportedEdid imported = ImportEdidTable(
            std::vector<std::uint8_t>(output.begin(), output.end()), EdidTableSize::AsDeclared);
        QCOMPARE(imported.form, EdidTableForm::EdidDecodeDump);
        QVERIFY(imported.table == table);
    }

    void summarises_data() {
        QTest::addColumn<std::vector<std::uint8_t>>("table");
        QTest::addColumn<QString>("summary");
        const auto dell = RealSampleBytes(kDell);
        const QString dellHdmi = "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · "
                                 "HDMI 1.0.0.0 · LPCM 2ch · ";
        QTest::newRow("HDMI monitor, block 1 checksum wrong")
            << dell << dellHdmi + "checksum of block 1 wrong";
        QTest::newRow("TV, several audio formats")
            << RealSampleBytes("Digital_DENON_DON004C_8270BDA0552D.bin")
            << "DON DENON-AVR · 3840x2160 @ 60.00 Hz · CTA-861 rev 3 · HDMI 2.3.0.0 · LPCM 8ch, "
               "DTS 6ch, AC-3 6ch, DTS-HD 8ch, E-AC-3 8ch, MAT 8ch";
        QTest::newRow("one block") << RealSampleBytes("Analog_AOC_AOC2216_2F7D4FEE1637.bin")
                                   << "AOC 2216 · 1680x1050 @ 59.85 Hz";
        QTest::newRow("DisplayID") << RealSampleBytes("Digital_Apple_APPA032_7E06E4CA3589.bin")
                                   << "APP iMac · 3840x2160 @ 60.00 Hz · DisplayID";
        // The audio block's length byte claims 31 bytes, past the DTD offset.
        // A table the decoder finds faults in ends with the name of the first.
        QTest::newRow("data block overrun")
            << WithByte(dell, 145, 0x3F)
            << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · checksum of block 1 "
               "wrong · cta_data_block_length";
        QTest::newRow("data block one byte too long")
            << WithByte(dell, 155, 0x84)
            << dellHdmi + "checksum of block 1 wrong · cta_data_block_length";
        QTest::newRow("DTD offset inside the header")
            << WithByte(dell, 130, 0x02)
            << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · checksum of block 1 "
               "wrong · cta_dtd_offset";
        QTest::newRow("extensions missing, then a data block overrun")
            << WithByte(WithByte(dell, 145, 0x3F), 126, 2)
            << "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · checksum of block 0 "
               "wrong · checksum of block 1 wrong · extensions_missing";
        QTest::newRow("no header") << WithByte(dell, 1, 0x00)
                                   << "no EDID header · " + dellHdmi +
                                          "checksum of block 0 wrong · checksum of block 1 wrong";
    }

    void summarises() {
        QFETCH(std::vector<std::uint8_t>, table);
        QFETCH(QString, summary);
        QCOMPARE(QString::fromStdString(SummariseEdid(DecodeEdid(table))), summary);
    }

    // The names are keys of the tool's JSON: each kind keeps its own.
    void namesProblems_data() {
        QTest::addColumn<EdidProblemKind>("kind");
        QTest::addColumn<QString>("name");
        const std::pair<EdidProblemKind, const char*> rows[] = {
            {EdidProblemKind::TooShort, "table_too_short"},
            {EdidProblemKind::ExtensionsMissing, "extensions_missing"},
            {EdidProblemKind::DataBlockOverrun, "cta_data_block_length"},
            {EdidProblemKind::DtdOffsetInvalid, "cta_dtd_offset"},
            {EdidProblemKind::HeaderInvalid, "header"},
            {EdidProblemKind::ChecksumWrong, "checksum"},
            {EdidProblemKind::ExtensionCountMismatch, "extension_count"},
            {EdidProblemKind::TimingOutsideRangeLimits, "timing_outside_range_limits"},
            {EdidProblemKind::NameDescriptorMissing, "name_descriptor_missing"},
            {EdidProblemKind::DuplicateVic, "duplicate_vic"},
            {EdidProblemKind::PixelClockZero, "dtd_pixel_clock_zero"},
            {EdidProblemKind::PixelClockPastRangeLimit, "pixel_clock_past_range_limits"},
        };
        for (const auto& [kind, name] : rows) {
            QTest::newRow(name) << kind << QString(name);
        }
    }

    void namesProblems() {
        QFETCH(EdidProblemKind, kind);
        QFETCH(QString, name);
        QCOMPARE(QString(EdidProblemName(kind)), name);
    }

    // Block 1 of the Dell's table: data blocks at 132 (video), 145 (audio),
    // 149 (HDMI), 155 (speakers); four DTDs from 159.
    void namesFields_data() {
        QTest::addColumn<std::vector<std::uint8_t>>("table");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("field");
        const auto dell = RealSampleBytes(kDell);
        const std::pair<int, const char*> rows[] = {
            {9, "manufacturer ID"},
            {11, "product code"},
            {40, "standard timing 2"},
            {53, "standard timing 8"},
            {54, "detailed timing 1"},
            {90, "display descriptor 2: product name"},
            {125, "display descriptor 3: range limits"},
            {126, "extension count"},
            {127, "checksum"},
            {128, "block 1: CTA-861 tag"},
            {145, "block 1: CTA data block: audio"},
            {150, "block 1: CTA data block: vendor-specific 00-0C-03"},
            {158, "block 1: CTA data block: speaker allocation"},
            {159, "block 1: CTA detailed timing 1"},
            {231, "block 1: padding"},
            {255, "block 1: checksum"},
            {256, "beyond the table"},
        };
        for (const auto& [offset, field] : rows) {
            QTest::newRow(field) << dell << offset << QString(field);
        }
        QTest::newRow("block 1 not declared")
            << WithByte(dell, 126, 0) << 200 << QString("block 1: undeclared block");
        QTest::newRow("DisplayID data") << RealSampleBytes("Digital_Apple_APPA032_7E06E4CA3589.bin")
                                        << 130 << QString("block 1: DisplayID data");
    }

    void namesFields() {
        QFETCH(std::vector<std::uint8_t>, table);
        QFETCH(int, offset);
        QFETCH(QString, field);
        QCOMPARE(QString::fromStdString(NameEdidField(table, std::size_t(offset))), field);
    }

    void namesManufacturer() {
        const std::string name = DecodeEdid(RealSampleBytes(kDell)).base.manufacturerName;
        if (name.empty()) {
            QSKIP("built without hwdata's pnp.ids (Debian package hwdata)");
        }
        QCOMPARE(QString::fromStdString(name), QString("Dell Inc."));
    }

    // No real table in the samples gives one, so these are made from the
    // Dell's: revision, bytes 21 and 22, and the ratio (0: none).
    void decodesAspectRatio_data() {
        QTest::addColumn<int>("revision");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("ratio");
        QTest::newRow("1.4 landscape 16:9") << 4 << 79 << 0 << 1.78;
        QTest::newRow("1.4 portrait 9:16") << 4 << 0 << 79 << 100.0 / 178;
        QTest::newRow("1.4 size") << 4 << 53 << 30 << 0.0;
        QTest::newRow("1.3 one byte zero") << 3 << 79 << 0 << 0.0;
    }

    void decodesAspectRatio() {
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
};

QTEST_APPLESS_MAIN(EdidDecodeTest)
#include "EdidDecodeTest.moc"
