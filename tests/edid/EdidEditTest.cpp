#include "edid/EdidEdit.h"
#include "edid/Checksum.h"
#include "edid/EdidImage.h"
#include "edid/EdidStructure.h"
#include "tests/support/RealSamples.h"

#include <QtTest>

#include <functional>

namespace {

using Edit = std::function<EdidEditOutcome(EdidTable&)>;
using Ranges = QList<QPair<int, int>>; // first and last byte an edit may change

const char kDenon[] = "Digital_DENON_DON004C_8270BDA0552D.bin";   // HDMI, audio, 28 VICs
const char kDell[] = "Digital_Dell_DELD146_90104EB362F7.bin";     // DisplayPort, no audio
const char kLg[] = "Digital_LG-Display_LGD05B4_263B8F627331.bin"; // one block, no name
const char kApple[] = "Digital_Apple_APPAE05_72E0F4C534DE.bin";   // no video data block
const char kSamsung[] = "Digital_Samsung_SAM0DF7_DE048E9131C5.bin";

const Ranges kDescriptors = {{54, 125}};
const Ranges kCtaBlock = {{128, 254}};

QString Run(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        return {};
    }
    QProcess process;
    process.start(path, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString EdidDecode(const EdidTable& table) {
    return Run("edid-decode", {"--skip-sha", "-c", "-"},
               QByteArray(reinterpret_cast<const char*>(table.data()), int(table.size())));
}

// The failures edid-decode lists, with their numbers left out, so that a
// failure whose figures an edit moved counts as the same one.
QSet<QString> Failures(const QString& decoded) {
    QSet<QString> failures;
    const int start = decoded.indexOf("\nFailures:");
    if (start < 0) {
        return failures;
    }
    for (QString line : decoded.mid(start).split('\n')) {
        if (line.startsWith("  ")) {
            failures.insert(line.replace(QRegularExpression("[0-9.]+"), "#"));
        }
    }
    return failures;
}

bool ChecksumsRight(const EdidTable& table) {
    for (std::size_t at = 0; at + kEdidBlockSize <= table.size(); at += kEdidBlockSize) {
        if (table[at + kChecksumOffset] != EDIDChkSum(table.data() + at)) {
            return false;
        }
    }
    return true;
}

bool Allowed(const Ranges& ranges, int offset) {
    if (offset % int(kEdidBlockSize) == int(kChecksumOffset)) {
        return true;
    }
    for (const auto& range : ranges) {
        if (offset >= range.first && offset <= range.second) {
            return true;
        }
    }
    return false;
}

// The DTD lines of edid-decode's text for the first detailed timing, or for
// a VIC of its table: porches, syncs and polarities.
QString TimingLines(const QString& text, const QString& heading) {
    const int at = text.indexOf(heading);
    if (at < 0) {
        return {};
    }
    const QStringList lines = text.mid(at).split('\n');
    return lines.value(1).simplified() + " / " + lines.value(2).simplified();
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class EdidEditTest : public QObject {
    Q_OBJECT

private slots:
    // Each kind of edit, checked with edid-decode: it shows the new value,
    // the checksums are right, no new failure appears, and no byte outside
    // the edit's own changed.
    void editsShowInEdidDecode_data() {
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<Ranges>("bytes");
        QTest::addColumn<QString>("shows"); // patterns
        QTest::addColumn<QString>("hides");
        QTest::newRow("manufacturer")
            << QByteArray(kDell) << Edit([](EdidTable& t) { return SetManufacturer(t, "XYZ"); })
            << Ranges{{8, 9}} << "Manufacturer: XYZ\n"
            << "";
        QTest::newRow("product") << QByteArray(kDell)
                                 << Edit([](EdidTable& t) { return SetProductCode(t, 0x1234); })
                                 << Ranges{{10, 11}} << "Model: 4660\n"
                                 << "";
        QTest::newRow("serial") << QByteArray(kDell)
                                << Edit([](EdidTable& t) { return SetSerialNumber(t, 7); })
                                << Ranges{{12, 15}} << "Serial Number: 7\n"
                                << "";
        QTest::newRow("week and year") << QByteArray(kDell) << Edit([](EdidTable& t) {
            SetYear(t, 2020);
            return SetWeek(t, 10);
        }) << Ranges{{16, 17}} << "Made in: week 10 of 2020\n"
                                       << "";
        QTest::newRow("year after a model year") << QByteArray(kDell) << Edit([](EdidTable& t) {
            SetModelYear(t, 2019);
            return SetYear(t, 2020);
        }) << Ranges{{16, 17}} << "Made in: 2020\n"
                                                 << "Model year";
        QTest::newRow("model year")
            << QByteArray(kDell) << Edit([](EdidTable& t) { return SetModelYear(t, 2021); })
            << Ranges{{16, 17}} << "Model year: 2021\n"
            << "Made in";
        QTest::newRow("name replaced")
            << QByteArray(kDenon) << Edit([](EdidTable& t) { return SetDisplayName(t, "BENCH 7"); })
            << kDescriptors << "Display Product Name: 'BENCH 7'"
            << "DENON-AVR";
        QTest::newRow("name into an empty slot")
            << QByteArray(kLg)
            << Edit([](EdidTable& t) { return SetDisplayName(t, "THIRTEEN CHRS"); }) << kDescriptors
            << "Display Product Name: 'THIRTEEN CHRS'"
            << "";
        QTest::newRow("serial string")
            << QByteArray(kDell) << Edit([](EdidTable& t) { return SetSerialString(t, "SN-42"); })
            << kDescriptors << "Display Product Serial Number: 'SN-42'"
            << "";
        QTest::newRow("preferred DMT")
            << QByteArray(kDell)
            << Edit([](EdidTable& t) { return SetPreferredTiming(t, 1280, 1024, 60); })
            << Ranges{{24, 24}, {54, 71}} << "DTD 1:  1280x1024   60.019740 Hz"
            << "";
        QTest::newRow("add VIC") << QByteArray(kDenon)
                                 << Edit([](EdidTable& t) { return AddVic(t, 2); }) << kCtaBlock
                                 << "VIC   2:   720x480    59.940060 Hz"
                                 << "";
        QTest::newRow("add a VIC listed already")
            << QByteArray(kDenon) << Edit([](EdidTable& t) { return AddVic(t, 16); }) << Ranges{}
            << "VIC  16:"
            << "";
        QTest::newRow("add VIC, block created")
            << QByteArray(kApple) << Edit([](EdidTable& t) { return AddVic(t, 16); }) << kCtaBlock
            << "VIC  16:  1920x1080   60.000000 Hz"
            << "";
        QTest::newRow("remove VIC")
            << QByteArray(kDenon) << Edit([](EdidTable& t) { return RemoveVic(t, 31); })
            << kCtaBlock << "VIC  16:"
            << "VIC  31:";
        QTest::newRow("native VIC")
            << QByteArray(kDenon) << Edit([](EdidTable& t) { return MarkNativeVic(t, 4); })
            << Ranges{{133, 159}}
            << "VIC   4:  1280x720    60.000000 Hz  16:9     45.000 kHz     "
               "74.250000 MHz \\(native\\)"
            << "";
        QTest::newRow("audio none")
            << QByteArray(kDenon) << Edit([](EdidTable& t) { return SetNoAudio(t); }) << kCtaBlock
            << "Vendor-Specific Data Block \\(HDMI\\)"
            << "[Aa]udio";
        QTest::newRow("audio LPCM")
            << QByteArray(kDenon) << Edit([](EdidTable& t) {
                   return SetLpcmAudio(t, LpcmAudio{2, 0x07, 0x05});
               })
            << kCtaBlock
            << "Basic audio support\n(.*\n)*  Audio Data Block:\n    Linear PCM:\n      Max "
               "channels: 2\n      Supported sample rates \\(kHz\\): 48 44.1 32\n      Supported "
               "sample sizes \\(bits\\): 24 16\n  [^ ]"
            << "AC-3";
        QTest::newRow("physical address") << QByteArray(kDenon) << Edit([](EdidTable& t) {
            return SetPhysicalAddress(t, {1, 0xA, 0, 0});
        }) << Ranges{{190, 191}} << "Source physical address: 1.a.0.0"
                                          << "";
        QTest::newRow("max TMDS") << QByteArray(kDenon)
                                  << Edit([](EdidTable& t) { return SetMaxTmdsClock(t, 225); })
                                  << Ranges{{193, 193}} << "Maximum TMDS clock: 225 MHz"
                                  << "";
        QTest::newRow("range limits widened") << QByteArray(kSamsung) << Edit([](EdidTable& t) {
            SetPreferredTiming(t, 2560, 1440, 120);
            return FitRangeLimits(t);
        }) << Ranges{{24, 24}, {54, 125}} << "DTD 1:  2560x1440  "
                                              << "outside";
    }

    void editsShowInEdidDecode() {
        QFETCH(QByteArray, sample);
        QFETCH(Edit, edit);
        QFETCH(Ranges, bytes);
        QFETCH(QString, shows);
        QFETCH(QString, hides);
        const EdidTable before = RealSampleBytes(sample.constData());
        EdidTable after = before;
        QCOMPARE(edit(after), EdidEditOutcome::Done);
        QVERIFY(ChecksumsRight(after));
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < int(before.size()); ++i) {
            if (!Allowed(bytes, i)) {
                QVERIFY2(before[i] == after[i], qPrintable(QString("byte %1 changed").arg(i)));
            }
        }
        const QString decoded = EdidDecode(after);
        if (decoded.isEmpty()) {
            QSKIP("edid-decode is not installed (Debian package edid-decode)");
        }
        QVERIFY2(decoded.contains(QRegularExpression(shows)), qPrintable(decoded));
        if (!hides.isEmpty()) {
            QVERIFY2(!decoded.contains(QRegularExpression(hides)), qPrintable(decoded));
        }
        const QSet<QString> added = Failures(decoded) - Failures(EdidDecode(before));
        QVERIFY2(added.isEmpty(), qPrintable(QStringList(added.values()).join('\n')));
        // Nor do the structural checks find a new kind of problem.
        QSet<int> kinds;
        for (const EdidProblem& problem : CheckEdidStructure(before)) {
            kinds.insert(int(problem.kind));
        }
        for (const EdidProblem& problem : CheckEdidStructure(after)) {
            QVERIFY2(
                kinds.contains(int(problem.kind)),
                qPrintable(QString("problem %1 at %2").arg(int(problem.kind)).arg(problem.offset)));
        }
    }

    // An edit that cannot be made says why and leaves every byte as it was.
    void refusesAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<EdidEditOutcome>("outcome");
        const auto row = [](const char* name, const char* sample, Edit edit,
                            EdidEditOutcome outcome) {
            QTest::newRow(name) << QByteArray(sample) << edit << outcome;
        };
        using O = EdidEditOutcome;
        row(
            "manufacturer with a digit", kDell,
            [](EdidTable& t) { return SetManufacturer(t, "AB1"); }, O::ManufacturerInvalid);
        row(
            "manufacturer of four", kDell, [](EdidTable& t) { return SetManufacturer(t, "ABCD"); },
            O::ManufacturerInvalid);
        row(
            "product past 16 bits", kDell, [](EdidTable& t) { return SetProductCode(t, 0x10000); },
            O::ValueOutOfRange);
        row(
            "serial past 32 bits", kDell,
            [](EdidTable& t) { return SetSerialNumber(t, 0x100000000ull); }, O::ValueOutOfRange);
        row(
            "week 55", kDell, [](EdidTable& t) { return SetWeek(t, 55); }, O::ValueOutOfRange);
        row(
            "year 1989", kDell, [](EdidTable& t) { return SetYear(t, 1989); }, O::ValueOutOfRange);
        row(
            "model year 2246", kDell, [](EdidTable& t) { return SetModelYear(t, 2246); },
            O::ValueOutOfRange);
        row(
            "name of 14", kDell, [](EdidTable& t) { return SetDisplayName(t, "FOURTEEN CHARS"); },
            O::TextTooLong);
        row(
            "name with a line feed", kDell, [](EdidTable& t) { return SetDisplayName(t, "A\nB"); },
            O::TextInvalid);
        row(
            "serial string, no free slot", kSamsung,
            [](EdidTable& t) { return SetSerialString(t, "1"); }, O::NoFreeDescriptor);
        row(
            "preferred of zero rate", kDell,
            [](EdidTable& t) { return SetPreferredTiming(t, 1920, 1080, 0); }, O::NoTiming);
        row(
            "preferred past the pixel clock", kDell,
            [](EdidTable& t) { return SetPreferredTiming(t, 7680, 4320, 60); }, O::TimingTooLarge);
        row(
            "VIC 0", kDenon, [](EdidTable& t) { return AddVic(t, 0); }, O::VicUndefined);
        row(
            "VIC 128", kDenon, [](EdidTable& t) { return AddVic(t, 128); }, O::VicUndefined);
        row(
            "VIC in one block", kLg, [](EdidTable& t) { return AddVic(t, 16); }, O::NoCtaBlock);
        row(
            "remove a VIC not listed", kDenon, [](EdidTable& t) { return RemoveVic(t, 1); },
            O::VicNotListed);
        row(
            "native VIC 65", kDenon, [](EdidTable& t) { return MarkNativeVic(t, 65); },
            O::VicCannotBeNative);
        row(
            "native VIC not listed", kDenon, [](EdidTable& t) { return MarkNativeVic(t, 1); },
            O::VicNotListed);
        row(
            "LPCM of 9 channels", kDenon,
            [](EdidTable& t) {
                return SetLpcmAudio(t, LpcmAudio{9, 1, 1});
            },
            O::ValueOutOfRange);
        row(
            "LPCM without rates", kDenon,
            [](EdidTable& t) {
                return SetLpcmAudio(t, LpcmAudio{2, 0, 1});
            },
            O::ValueOutOfRange);
        row(
            "address digit 16", kDenon,
            [](EdidTable& t) {
                return SetPhysicalAddress(t, {16, 0, 0, 0});
            },
            O::ValueOutOfRange);
        row(
            "address without HDMI", kDell,
            [](EdidTable& t) {
                return SetPhysicalAddress(t, {1, 0, 0, 0});
            },
            O::NoHdmiBlock);
        row(
            "TMDS not a multiple of 5", kDenon,
            [](EdidTable& t) { return SetMaxTmdsClock(t, 301); }, O::ValueOutOfRange);
        row(
            "TMDS past 1275", kDenon, [](EdidTable& t) { return SetMaxTmdsClock(t, 1280); },
            O::ValueOutOfRange);
        row(
            "no range limits", kLg, [](EdidTable& t) { return FitRangeLimits(t); },
            O::NoRangeLimits);
        row(
            "DTD offset broken", kDenon,
            [](EdidTable& t) {
                t[130] = 2;
                return AddVic(t, 1);
            },
            O::CtaBlockBroken);
    }

    void refusesAndChangesNothing() {
        QFETCH(QByteArray, sample);
        QFETCH(Edit, edit);
        QFETCH(EdidEditOutcome, outcome);
        EdidTable table = RealSampleBytes(sample.constData());
        // Rows may break the table first; what counts is the table the
        // refused edit was given.
        EdidTable given = table;
        EdidTable edited = table;
        QCOMPARE(edit(edited), outcome);
        if (outcome == EdidEditOutcome::CtaBlockBroken) {
            given[130] = 2;
        }
        QVERIFY(edited == given);
    }

    // VICs go in until the block is full; the one that does not fit changes
    // nothing, and every DTD after the data blocks stays whole.
    void fillsTheBlockThenRefuses() {
        EdidTable table = RealSampleBytes(kSamsung);
        const auto dtds = [](const EdidTable& t) {
            return DecodeEdid(t).extensions[0].cta->detailedTimings.size();
        };
        const std::size_t before = dtds(table);
        EdidEditOutcome outcome = EdidEditOutcome::Done;
        std::uint8_t vic = 1;
        EdidTable last;
        for (; vic <= 127 && outcome == EdidEditOutcome::Done; ++vic) {
            last = table;
            outcome = AddVic(table, vic);
        }
        QCOMPARE(outcome, EdidEditOutcome::NoRoom);
        QVERIFY(table == last);
        QVERIFY(ChecksumsRight(table));
        QCOMPARE(dtds(table), before);
        QVERIFY(CheckEdidStructure(table).size() ==
                CheckEdidStructure(RealSampleBytes(kSamsung)).size());
    }

    // The 4:2:0 capability map marks SVDs by place; a removed SVD's mark
    // goes, and the marks after it stay with their VICs.
    void keepsTheCapabilityMapWithItsVics() {
        EdidTable table = RealSampleBytes(kDenon);
        table[221] = 0x0A; // also the second and fourth SVDs: VICs 31 and 20
        table[255] = EDIDChkSum(table.data() + 128);
        const auto capable = [](const EdidTable& t) {
            return DecodeEdid(t).extensions[0].cta->ycbcr420CapableVics;
        };
        std::vector<std::uint8_t> expected = capable(table);
        QCOMPARE(expected.front(), std::uint8_t{31});
        expected.erase(expected.begin());
        QCOMPARE(RemoveVic(table, 31), EdidEditOutcome::Done);
        QCOMPARE(capable(table), expected);
    }

    // The preferred timing of a mode neither CTA-861 nor DMT lists is the
    // one Debian's cvt -r gives.
    void preferredTimingMatchesCvt_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("2560x1440") << 2560 << 1440;
        QTest::newRow("3440x1440, no standard aspect") << 3440 << 1440;
        QTest::newRow("2048x1536") << 2048 << 1536;
    }

    void preferredTimingMatchesCvt() {
        QFETCH(int, width);
        QFETCH(int, height);
        const QString modeline =
            Run("cvt", {"-r", QString::number(width), QString::number(height), "60"});
        if (modeline.isEmpty()) {
            QSKIP("cvt is not installed (Debian package xcvt)");
        }
        const QRegularExpressionMatch line =
            QRegularExpression("Modeline \"[^\"]*\"\\s+([0-9.]+)\\s+(.*) ([+-])hsync ([+-])vsync")
                .match(modeline);
        QVERIFY2(line.hasMatch(), qPrintable(modeline));
        EdidTable table = RealSampleBytes(kDell);
        QCOMPARE(SetPreferredTiming(table, quint16(width), quint16(height), 60),
                 EdidEditOutcome::Done);
        const DetailedTiming t = DecodeEdid(table).base.detailedTimings.at(0);
        const QString ours = QString("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                                 .arg(t.pixelClockKHz / 1000.0, 0, 'f', 2)
                                 .arg(t.hActive)
                                 .arg(t.hActive + t.hFrontPorch)
                                 .arg(t.hActive + t.hFrontPorch + t.hSyncWidth)
                                 .arg(t.hActive + t.hBlanking)
                                 .arg(t.vActive)
                                 .arg(t.vActive + t.vFrontPorch)
                                 .arg(t.vActive + t.vFrontPorch + t.vSyncWidth)
                                 .arg(t.vActive + t.vBlanking) +
                             (t.hSyncPositive ? " +" : " -") + (t.vSyncPositive ? "+" : "-");
        QCOMPARE(ours, line.captured(1) + " " + line.captured(2).simplified() + " " +
                           line.captured(3) + line.captured(4));
    }

    // A mode the CTA-861 table lists takes that VIC's timing.
    void preferredTimingMatchesCta_data() {
        QTest::addColumn<int>("vic");
        QTest::addColumn<QString>("mode");
        QTest::newRow("VIC 16") << 16 << "1920x1080@60";
        QTest::newRow("VIC 95") << 95 << "3840x2160@30";
    }

    void preferredTimingMatchesCta() {
        QFETCH(int, vic);
        QFETCH(QString, mode);
        const QStringList parts = mode.split(QRegularExpression("[x@]"));
        EdidTable table = RealSampleBytes(kDell);
        QCOMPARE(SetPreferredTiming(table, quint16(parts[0].toUInt()), quint16(parts[1].toUInt()),
                                    parts[2].toDouble()),
                 EdidEditOutcome::Done);
        const QString reference = Run("edid-decode", {"--vic", QString::number(vic)});
        if (reference.isEmpty()) {
            QSKIP("edid-decode is not installed (Debian package edid-decode)");
        }
        const QString decoded = EdidDecode(table);
        QCOMPARE(TimingLines(decoded, "DTD 1:"), TimingLines(reference, "VIC"));
        const auto clock = [](const QString& text, const QString& heading) {
            return text.mid(text.indexOf(heading))
                .section('\n', 0, 0)
                .section("kHz", 1)
                .simplified()
                .section(' ', 0, 1);
        };
        QCOMPARE(clock(decoded, "DTD 1:"), clock(reference, "VIC"));
    }

    // Each structural problem, made in a real table, is found at its place.
    void findsStructuralProblems_data() {
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<Edit>("damage");
        QTest::addColumn<EdidProblemKind>("kind");
        QTest::addColumn<int>("offset");
        const auto row = [](const char* name, const char* sample, Edit damage, EdidProblemKind kind,
                            int offset) {
            QTest::newRow(name) << QByteArray(sample) << damage << kind << offset;
        };
        using K = EdidProblemKind;
        const auto fixed = [](std::function<void(EdidTable&)> change) {
            return Edit([change](EdidTable& t) {
                change(t);
                for (std::size_t at = 0; at < t.size(); at += kEdidBlockSize) {
                    t[at + kChecksumOffset] = EDIDChkSum(t.data() + at);
                }
                return EdidEditOutcome::Done;
            });
        };
        row("header", kDenon, fixed([](EdidTable& t) { t[3] = 0; }), K::HeaderInvalid, 0);
        row(
            "checksum", kDenon,
            [](EdidTable& t) {
                ++t[200];
                return EdidEditOutcome::Done;
            },
            K::ChecksumWrong, 255);
        row("extension count", kDenon, fixed([](EdidTable& t) { t[126] = 0; }),
            K::ExtensionCountMismatch, 126);
        row("extension missing", kLg, fixed([](EdidTable& t) { t[126] = 1; }), K::ExtensionsMissing,
            128);
        row("DTD offset", kDenon, fixed([](EdidTable& t) { t[130] = 127; }), K::DtdOffsetInvalid,
            130);
        row("data block length", kDenon, fixed([](EdidTable& t) { t[231] = 0xFF; }),
            K::DataBlockOverrun, 231);
        row("name missing", kDenon, fixed([](EdidTable& t) { t[93] = 0xFE; }),
            K::NameDescriptorMissing, 54);
        row("VIC twice", kDenon, fixed([](EdidTable& t) { t[134] = t[133]; }), K::DuplicateVic,
            134);
        row("VIC twice, once native", kDenon, fixed([](EdidTable& t) { t[134] = t[133] | 0x80; }),
            K::DuplicateVic, 134);
        row("pixel clock zero", kDell, fixed([](EdidTable& t) {
                t[54] = 0;
                t[55] = 0;
            }),
            K::PixelClockZero, 54);
        row("pixel clock past the limit", kDenon, fixed([](EdidTable& t) { t[117] = 30; }),
            K::PixelClockPastRangeLimit, 54);
        row("refresh past the limit", kDenon, fixed([](EdidTable& t) { t[114] = 50; }),
            K::TimingOutsideRangeLimits, 54);
        // Timings listed by name count as much as detailed ones.
        row("established timing below the limit", kDenon, fixed([](EdidTable& t) { t[113] = 60; }),
            K::TimingOutsideRangeLimits, 35);
        row("standard timing below the limit", kDenon, fixed([](EdidTable& t) { t[113] = 60; }),
            K::TimingOutsideRangeLimits, 38);
        row("VIC past the pixel clock limit", kDenon, fixed([](EdidTable& t) { t[117] = 30; }),
            K::PixelClockPastRangeLimit, 152);
    }

    // Fitting the range limits covers every timing that the structural
    // checks hold against them.
    void fitCoversWhatTheChecksList_data() {
        QTest::addColumn<Edit>("damage");
        const auto fixed = [](std::function<void(EdidTable&)> change) {
            return Edit([change](EdidTable& t) {
                change(t);
                for (std::size_t at = 0; at < t.size(); at += kEdidBlockSize) {
                    t[at + kChecksumOffset] = EDIDChkSum(t.data() + at);
                }
                return EdidEditOutcome::Done;
            });
        };
        QTest::newRow("VIC above the rates") << Edit([](EdidTable& t) { return AddVic(t, 63); });
        QTest::newRow("named timings below the rates") << fixed([](EdidTable& t) { t[113] = 60; });
        QTest::newRow("pixel clocks past the limit") << fixed([](EdidTable& t) { t[117] = 30; });
    }

    void fitCoversWhatTheChecksList() {
        QFETCH(Edit, damage);
        EdidTable table = RealSampleBytes(kDenon);
        QCOMPARE(damage(table), EdidEditOutcome::Done);
        const auto outside = [](const EdidTable& t) {
            const std::vector<EdidProblem> problems = CheckEdidStructure(t);
            return std::count_if(problems.begin(), problems.end(), [](const EdidProblem& p) {
                return p.kind == EdidProblemKind::TimingOutsideRangeLimits ||
                       p.kind == EdidProblemKind::PixelClockPastRangeLimit;
            });
        };
        QVERIFY(outside(table) > 0);
        QCOMPARE(FitRangeLimits(table), EdidEditOutcome::Done);
        QCOMPARE(outside(table), 0);
    }

    void findsStructuralProblems() {
        QFETCH(QByteArray, sample);
        QFETCH(Edit, damage);
        QFETCH(EdidProblemKind, kind);
        QFETCH(int, offset);
        EdidTable table = RealSampleBytes(sample.constData());
        const auto has = [&](const std::vector<EdidProblem>& problems) {
            return std::any_of(problems.begin(), problems.end(), [&](const EdidProblem& p) {
                return p.kind == kind && p.offset == std::size_t(offset);
            });
        };
        QVERIFY(!has(CheckEdidStructure(table)));
        damage(table);
        QVERIFY(has(CheckEdidStructure(table)));
    }
};

QTEST_APPLESS_MAIN(EdidEditTest)
#include "EdidEditTest.moc"
