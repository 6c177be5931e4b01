#include "HexViewProbe.h"
#include "RealSamples.h"
#include "WindowRig.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// Load from File converting the text forms the importer knows, and the
// table's summary on the right of the status bar.
class ImportAndSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsConvertedTable_data();
    void loadsConvertedTable();
    void summaryFollowsTable_data();
    void summaryFollowsTable();

private:
    std::unique_ptr<WindowRig> rig;
    QTemporaryDir dir;

    QLabel* Summary() const { return rig->Find<QLabel>("summaryLabel"); }

    void Load(const QByteArray& contents) {
        const QString path = dir.filePath(QStringLiteral("table.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        rig->dialogs.fileName = path;
        rig->Invoke("LoadEDIDfromFile");
    }
};

namespace {

const char kDell[] = "Digital_Dell_DELA0A4_2C4EE7EB150B.bin";
const char kDellSummary[] = "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · "
                            "HDMI 1.0.0.0 · LPCM 2ch";

QByteArray Hex(const QByteArray& table, const char* prefix, const char* separator) {
    QByteArray text;
    for (int i = 0; i < table.size(); ++i) {
        text += prefix + QByteArray(1, table[i]).toHex() + (i % 16 == 15 ? "\n" : separator);
    }
    return text;
}

// Longer than the 1024 bytes a text load used to read: the decoded part
// runs on after the hex section.
QByteArray EdidDecodeDump(const QByteArray& table) {
    QByteArray decoded = "----------------\n\nBlock 0, Base EDID:\n";
    for (int i = 0; i < 40; ++i) {
        decoded +=
            "    VIC  16:  1920x1080   60.000000 Hz  16:9     67.500 kHz    148.500000 MHz\n";
    }
    return "edid-decode (hex):\n\n" + Hex(table, "", " ") + "\n" + decoded;
}

} // namespace

void ImportAndSummaryTest::init() {
    rig = std::make_unique<WindowRig>();
    rig->bridge.SetDevices({});
    rig->Start();
}

void ImportAndSummaryTest::cleanup() {
    rig.reset();
}

void ImportAndSummaryTest::loadsConvertedTable_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("summary");

    const QByteArray dell = RealSample(kDell);
    const QString wrongSum = QStringLiteral(" · checksum of block 1 wrong");
    QTest::newRow("edid-decode dump")
        << EdidDecodeDump(dell) << dell << "File loaded (converted from edid-decode dump)"
        << kDellSummary + wrongSum;
    QTest::newRow("C array") << "unsigned char edid[] = {\n" + Hex(dell, "0x", ", ") + "};\n"
                             << dell << "File loaded (converted from C array)"
                             << kDellSummary + wrongSum;
    const QByteArray one = RealSample("Analog_AOC_AOC2216_2F7D4FEE1637.bin");
    QTest::newRow("one block of hex")
        << Hex(one, "", " ") << one + QByteArray(128, '\0')
        << "File loaded (converted from hex text; block 1 added as zeros)"
        << "AOC 2216 · 1680x1050 @ 59.85 Hz";
}

// Shown as a binary load is, with the summary of the table beside the
// message.
void ImportAndSummaryTest::loadsConvertedTable() {
    QFETCH(QByteArray, contents);
    QFETCH(QByteArray, table);
    QFETCH(QString, message);
    QFETCH(QString, summary);

    Load(contents);

    QCOMPARE(rig->dialogs.calls.size(), 1);
    QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(table)));
    QCOMPARE(ByteFormats(rig->View()->document()), RenderedByteFormats());
    QCOMPARE(rig->StatusMessage(), message);
    QCOMPARE(Summary()->toolTip(), summary);
    QVERIFY(!Summary()->text().isEmpty());
}

void ImportAndSummaryTest::summaryFollowsTable_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("summary");
    QTest::newRow("read") << "read"
                          << "TLV TALVO SIM · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · LPCM 2ch";
    QTest::newRow("binary load") << "load"
                                 << kDellSummary + QString(" · checksum of block 1 wrong");
    QTest::newRow("verify, checksum repaired") << "verify" << QString(kDellSummary);
}

// Set by each operation that puts a table in the view, gone at the user's
// first edit.
void ImportAndSummaryTest::summaryFollowsTable() {
    QFETCH(QString, operation);
    QFETCH(QString, summary);
    const QByteArray dell = RealSample(kDell);
    if (operation == QLatin1String("read")) {
        rig = std::make_unique<WindowRig>();
        rig->Start();
    } else if (operation == QLatin1String("load")) {
        Load(dell);
    } else {
        rig->View()->setPlainText(CanonicalLayout(ImageStartingWith(dell)));
        rig->dialogs.answerYes = true;
        rig->Invoke("CalculateChkSum");
    }
    QCOMPARE(Summary()->toolTip(), summary);

    QTextCursor cursor(rig->View()->document());
    cursor.insertText(QStringLiteral("0"));

    QCOMPARE(Summary()->text(), QString());
    QCOMPARE(Summary()->toolTip(), QString());
}

QTEST_MAIN(ImportAndSummaryTest)
#include "ImportAndSummaryTest.moc"
