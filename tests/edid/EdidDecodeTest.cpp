#include "EdidDecode.h"
#include "EdidImport.h"

#include <QtTest>

#include <cmath>

// Every real table in the samples, decoded here and by Debian's edid-decode:
// the fields both give must agree.
class EdidDecodeTest : public QObject {
    Q_OBJECT

private slots:
    void agreesWithEdidDecode_data();
    void agreesWithEdidDecode();
};

namespace {

const char* AudioFormatName(std::uint8_t format) {
    static const char* const kNames[] = {"",
                                         "Linear PCM",
                                         "AC-3",
                                         "MPEG 1 (Layers 1 & 2)",
                                         "MP3",
                                         "MPEG 2 (multichannel)",
                                         "AAC LC",
                                         "DTS",
                                         "ATRAC",
                                         "One Bit Audio",
                                         "Enhanced AC-3 (DD+)",
                                         "DTS-HD",
                                         "MAT (MLP)",
                                         "DST",
                                         "WMA Pro"};
    return format < std::size(kNames) ? kNames[format] : "extended";
}

QString Refresh(double hz) {
    return QString::number(hz, 'f', 3);
}

QString Checksum(std::size_t block, const BlockChecksum& checksum) {
    QString line = QStringLiteral("block %1 checksum 0x%2")
                       .arg(block)
                       .arg(checksum.stored, 2, 16, QLatin1Char('0'));
    if (!checksum.Correct()) {
        line += QStringLiteral(" should be 0x%1").arg(checksum.computed, 2, 16, QLatin1Char('0'));
    }
    return line;
}

QStringList OurFields(const DecodedEdid& d) {
    const EdidBaseBlock& b = d.base;
    QStringList fields{QStringLiteral("manufacturer ") + QString::fromStdString(b.manufacturerId),
                       QStringLiteral("product %1").arg(b.productCode)};
    if (b.serialNumber != 0) {
        fields << QStringLiteral("serial %1").arg(b.serialNumber);
    }
    if (b.modelYear) {
        fields << QStringLiteral("model year %1").arg(b.year);
    } else if (b.week != 0) {
        fields << QStringLiteral("made week %1 of %2").arg(b.week).arg(b.year);
    } else {
        fields << QStringLiteral("made %1").arg(b.year);
    }
    fields << QStringLiteral("version %1.%2").arg(b.version).arg(b.revision);
    if (b.aspectRatio) {
        fields << QStringLiteral("aspect ratio %1").arg(*b.aspectRatio, 0, 'f', 2);
    } else if (b.screenWidthCm != 0 && b.screenHeightCm != 0) {
        fields << QStringLiteral("size %1 cm x %2 cm").arg(b.screenWidthCm).arg(b.screenHeightCm);
    } else {
        fields << QStringLiteral("size variable");
    }
    fields << (b.gamma ? QStringLiteral("gamma %1").arg(*b.gamma, 0, 'f', 2)
                       : QStringLiteral("gamma in extension"));
    if (!b.productName.empty()) {
        fields << QStringLiteral("name ") + QString::fromStdString(b.productName);
    }
    if (!b.detailedTimings.empty()) {
        const DetailedTiming& t = b.detailedTimings.front();
        fields << QStringLiteral("dtd1 %1x%2%3 %4")
                      .arg(t.hActive)
                      .arg(t.interlaced ? 2 * t.vActive : t.vActive)
                      .arg(t.interlaced ? "i" : "")
                      .arg(Refresh(t.refreshHz));
    }
    fields << Checksum(0, b.checksum);
    for (const EdidExtension& e : d.extensions) {
        if (e.cta) {
            QStringList vics;
            for (const ShortVideoDescriptor& v : e.cta->videoDescriptors) {
                if (!v.known) {
                    vics << QStringLiteral("%1 unknown").arg(v.vic);
                    continue;
                }
                vics << QStringLiteral("%1 %2x%3%4@%5%6")
                            .arg(v.vic)
                            .arg(v.mode.width)
                            .arg(v.mode.height)
                            .arg(v.interlaced ? "i" : "")
                            .arg(v.mode.refreshHz)
                            .arg(v.native ? " native" : "");
            }
            QStringList audio;
            for (const ShortAudioDescriptor& a : e.cta->audioDescriptors) {
                // A reserved format has no channel count.
                audio << (a.format == 0 ? QStringLiteral("reserved")
                                        : QStringLiteral("%1 %2ch")
                                              .arg(AudioFormatName(a.format))
                                              .arg(a.channels));
            }
            fields << QStringLiteral("vics ") + vics.join(QStringLiteral(", "))
                   << QStringLiteral("audio ") + audio.join(QStringLiteral(", "));
            if (e.cta->hdmi) {
                const std::uint8_t* p = e.cta->hdmi->physicalAddress;
                fields
                    << QStringLiteral("hdmi %1.%2.%3.%4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]);
                if (e.cta->hdmi->maxTmdsClockMHz) {
                    fields << QStringLiteral("tmds %1").arg(*e.cta->hdmi->maxTmdsClockMHz);
                }
            }
            if (e.cta->hdmiForum && e.cta->hdmiForum->maxTmdsCharacterRateMHz != 0) {
                fields << QStringLiteral("tmds rate %1")
                              .arg(e.cta->hdmiForum->maxTmdsCharacterRateMHz);
            }
        }
        fields << Checksum(e.block, e.checksum);
    }
    return fields;
}

// The same fields read from edid-decode's text.
QStringList ReferenceFields(const QString& output) {
    static const QRegularExpression kDtd(
        QStringLiteral(R"(^    DTD 1: +(\d+x\d+i?) +([\d.]+) Hz)"));
    static const QRegularExpression kVic(
        QStringLiteral(R"(^    VIC +(\d+): +(\d+x\d+i?) +([\d.]+) Hz.*?( \(native\))?$)"));
    static const QRegularExpression kUnknownVic(QStringLiteral(R"(^    Unknown \(VIC +(\d+)\))"));
    static const QRegularExpression kChecksum(
        QStringLiteral(R"(^Checksum: (0x[0-9a-f]{2})(?: \(should be (0x[0-9a-f]{2})\))?)"));
    QStringList fields;
    QStringList vics;
    QStringList audio;
    QString blockNumber;
    QString block;
    QString section;
    QString audioFormat;
    bool named = false;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Block "))) {
            blockNumber = line.section(QLatin1Char(' '), 1, 1).chopped(1);
            block = line.section(QStringLiteral(", "), 1);
            vics.clear();
            audio.clear();
        }
        if (line.startsWith(QLatin1String("  ")) && !line.startsWith(QLatin1String("   "))) {
            section = line.trimmed();
        }
        const QString value = line.section(QStringLiteral(": "), 1);
        const bool cta = block.startsWith(QLatin1String("CTA-861"));
        const bool base = blockNumber == QLatin1String("0");
        QRegularExpressionMatch m;
        if (line.startsWith(QLatin1String("    Manufacturer: "))) {
            fields << QStringLiteral("manufacturer ") + value;
        } else if (line.startsWith(QLatin1String("    Model: "))) {
            fields << QStringLiteral("product ") + value;
        } else if (line.startsWith(QLatin1String("    Serial Number: "))) {
            fields << QStringLiteral("serial ") + value;
        } else if (line.startsWith(QLatin1String("    Made in: "))) {
            fields << QStringLiteral("made ") + value;
        } else if (line.startsWith(QLatin1String("    Model year: "))) {
            fields << QStringLiteral("model year ") + value;
        } else if (line.startsWith(QLatin1String("  EDID Structure Version & Revision: "))) {
            fields << QStringLiteral("version ") + value;
        } else if (base && line.startsWith(QLatin1String("    Maximum image size: "))) {
            fields << QStringLiteral("size ") + value;
        } else if (base && line == QLatin1String("    Image size is variable")) {
            fields << QStringLiteral("size variable");
        } else if (base && line.startsWith(QLatin1String("    Aspect ratio: "))) {
            fields << QStringLiteral("aspect ratio ") + value.section(QLatin1Char(' '), 0, 0);
        } else if (base && line.startsWith(QLatin1String("    Gamma: "))) {
            fields << QStringLiteral("gamma ") + value;
        } else if (base && line == QLatin1String("    Gamma is defined in an extension block")) {
            fields << QStringLiteral("gamma in extension");
        } else if (line.startsWith(QLatin1String("    Display Product Name: ")) &&
                   blockNumber == QLatin1String("0") && !named) {
            named = true;
            fields << QStringLiteral("name ") + value.mid(1, value.size() - 2);
        } else if ((m = kDtd.match(line)).hasMatch()) {
            fields << QStringLiteral("dtd1 %1 %2")
                          .arg(m.captured(1), Refresh(m.captured(2).toDouble()));
        } else if ((m = kChecksum.match(line)).hasMatch()) {
            if (cta) {
                fields << QStringLiteral("vics ") + vics.join(QStringLiteral(", "))
                       << QStringLiteral("audio ") + audio.join(QStringLiteral(", "));
            }
            fields << QStringLiteral("block %1 checksum %2").arg(blockNumber, m.captured(1)) +
                          (m.hasCaptured(2) ? QStringLiteral(" should be ") + m.captured(2)
                                            : QString());
        } else if (cta && section == QLatin1String("Video Data Block:") &&
                   (m = kVic.match(line)).hasMatch()) {
            vics << QStringLiteral("%1 %2@%3%4")
                        .arg(m.captured(1), m.captured(2))
                        .arg(std::lround(m.captured(3).toDouble()))
                        .arg(m.hasCaptured(4) ? " native" : "");
        } else if (cta && section == QLatin1String("Video Data Block:") &&
                   (m = kUnknownVic.match(line)).hasMatch()) {
            vics << m.captured(1) + QStringLiteral(" unknown");
        } else if (cta && section == QLatin1String("Audio Data Block:") &&
                   line.startsWith(QLatin1String("    ")) &&
                   !line.startsWith(QLatin1String("     "))) {
            audioFormat = line.trimmed();
            if (audioFormat == QLatin1String("Reserved (0x00)")) {
                audio << QStringLiteral("reserved");
            }
            audioFormat.chop(1);
        } else if (cta && section == QLatin1String("Audio Data Block:") &&
                   line.startsWith(QLatin1String("      Max channels: "))) {
            audio << QStringLiteral("%1 %2ch").arg(audioFormat, value);
        } else if (cta && line.startsWith(QLatin1String("    Source physical address: "))) {
            fields << QStringLiteral("hdmi ") + value;
        } else if (cta && line.startsWith(QLatin1String("    Maximum TMDS clock: "))) {
            fields << QStringLiteral("tmds ") + value.section(QLatin1Char(' '), 0, 0);
        } else if (cta && line.startsWith(QLatin1String("    Maximum TMDS Character Rate: "))) {
            fields << QStringLiteral("tmds rate ") + value.section(QLatin1Char(' '), 0, 0);
        }
    }
    return fields;
}

} // namespace

void EdidDecodeTest::agreesWithEdidDecode_data() {
    QTest::addColumn<QString>("path");
    const QDir samples(QStringLiteral(TALVO_EDID_SAMPLES_DIR));
    for (const QString& name : samples.entryList({QStringLiteral("*.bin")}, QDir::Files)) {
        QTest::newRow(qPrintable(name)) << samples.filePath(name);
    }
}

void EdidDecodeTest::agreesWithEdidDecode() {
    QFETCH(QString, path);
    const QString reference = QStandardPaths::findExecutable(QStringLiteral("edid-decode"));
    if (reference.isEmpty()) {
        QSKIP("edid-decode is not installed (Debian package edid-decode)");
    }
    QProcess process;
    process.start(reference, {QStringLiteral("--skip-sha"), path});
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

QTEST_APPLESS_MAIN(EdidDecodeTest)
#include "EdidDecodeTest.moc"
