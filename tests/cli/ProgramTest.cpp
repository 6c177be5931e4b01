#include "cli/Sha256.h"
#include "cli/TalvoEdid.h"
#include "edid/Checksum.h"
#include "sim/FakeClock.h"
#include "sim/FaultScript.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/RunToolInProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>

// The production run against a bench of simulated units, each with its own
// memory, mode and faults, programmed by parallel workers in process.
namespace {

EdidImage TableToProgram() {
    EdidImage table = SimulatedUnit::DefaultTable(0xB4);
    table[0x10] = 0x21;
    RepairChecksums(table);
    return table;
}

// Each unit's old table differs, so that a backup tells which unit it came from.
UnitMemory OldTable(int unit) {
    UnitMemory table = SimulatedUnit::DefaultTable(0xB0);
    table[0x11] = static_cast<std::uint8_t>(0x40 + unit);
    RepairChecksums(table);
    return table;
}

std::uint32_t SerialIn(const UnitMemory& table) {
    return table[12] | table[13] << 8 | table[14] << 16 | std::uint32_t{table[15]} << 24;
}

// Time twenty times faster than the machine's, with sleeps that take real
// time, so that the watch keeps pace with the workers as on a real bench,
// and units come and go at the moments the schedule names.
class QuickClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 1000 / kSpeedUp));
    }
    std::uint32_t TickCount() override {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * kSpeedUp /
            1000);
    }

private:
    static constexpr int kSpeedUp = 20;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

struct BenchRig {
    FakeClock fakeClock;
    Clock& clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    std::ostringstream out;
    std::ostringstream err;
    QTemporaryDir dir;
    std::uint32_t stopAtMs = 0;

    explicit BenchRig(const char* faults, Clock* time = nullptr)
        : clock(time != nullptr ? *time : fakeClock) {
        ApplyFaultScript(ParseFaultScript(faults), bridge, unit);
        int k = 0;
        for (const SimulatedDevice& device : bridge.Devices()) {
            device.unit->SetMemory(0xB0, OldTable(k++));
        }
        QFile file(dir.filePath("table.bin"));
        const EdidImage table = TableToProgram();
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(table.data()), kEdidSize);
    }

    int Run(const QString& line) {
        CliServices services{bridge, clock, out, err, false, {}};
        if (stopAtMs > 0) {
            services.interrupted = [this] { return clock.TickCount() >= stopAtMs; };
        }
        QString expanded = line;
        expanded.replace("{dir}", dir.path());
        return RunTalvoEdidWith(expanded.split(' ', Qt::SkipEmptyParts), services);
    }

    QList<QJsonObject> Log() const {
        QFile file(dir.filePath("run.jsonl"));
        file.open(QIODevice::ReadOnly);
        QList<QJsonObject> lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                lines.append(QJsonDocument::fromJson(line).object());
            }
        }
        return lines;
    }

    UnitMemory Memory(int device) const { return bridge.Devices()[device].unit->Memory(0xB0); }
};

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void sha256_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("digest");
        QTest::newRow("empty")
            << QByteArray() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
        QTest::newRow("abc") << QByteArray("abc")
                             << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("two blocks")
            << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
            << "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    }
    void sha256() {
        QFETCH(QByteArray, message);
        QFETCH(QString, digest);
        QCOMPARE(QString::fromStdString(
                     Sha256Hex(reinterpret_cast<const std::uint8_t*>(message.constData()),
                               static_cast<std::size_t>(message.size()))),
                 digest);
    }

    // Unit 2 is not in custom mode, unit 4's reply to a chunk never comes,
    // unit 6 is pulled out mid-write: the other five are written, each
    // verified, each with its own serial number.
    void benchWithFaults() {
        BenchRig rig("mode 3\nbench 8\nunit 2 mode 2\nunit 4 noreply 30\nunit 6 vanish 28");
        const int status = rig.Run("program {dir}/table.bin --units all --serial-start 1000 "
                                   "--serial-string-format TLV%06u --backup-dir {dir} "
                                   "--log {dir}/run.jsonl");
        const QString out = QString::fromStdString(rig.out.str());
        QCOMPARE(status, 4);
        QVERIFY2(out.endsWith("8 units: 5 done, 1 refused, 2 failed\n"), qPrintable(out));

        const QList<QJsonObject> log = rig.Log();
        QCOMPARE(log.size(), 8);
        std::set<std::uint32_t> serials;
        for (const QJsonObject& line : log) {
            const int unit = line["unit"].toInt();
            QCOMPARE(line["link"].toString(), QString("1-%1").arg(unit + 1));
            QVERIFY(line["time"].toString().endsWith('Z'));
            const QString expected =
                unit == 2 ? "refused" : (unit == 4 || unit == 6 ? "failed" : "verified");
            QCOMPARE(line["result"].toString(), expected);
            QCOMPARE(line["exit_status"].toInt(), unit == 2 ? 1 : (unit == 4 || unit == 6 ? 4 : 0));
            QCOMPARE(line["serial"].isNull(), unit == 2);
            if (unit == 2) {
                QVERIFY(line["sha256"].isNull());
                QCOMPARE(rig.Memory(unit), OldTable(unit));
                continue;
            }
            serials.insert(static_cast<std::uint32_t>(line["serial"].toDouble()));
            // Every unit that got as far as the read had its old table saved.
            QDir backups(rig.dir.path(), QString("1-%1-*.bin").arg(unit + 1));
            QCOMPARE(backups.entryList().size(), 1);
            QFile backup(backups.filePath(backups.entryList().first()));
            QVERIFY(backup.open(QIODevice::ReadOnly));
            const UnitMemory old = OldTable(unit);
            QCOMPARE(backup.readAll(), QByteArray(reinterpret_cast<const char*>(old.data()), 256));
            if (expected != "verified") {
                continue;
            }
            const UnitMemory written = rig.Memory(unit);
            QVERIFY(ChecksumsCorrect(written));
            QCOMPARE(SerialIn(written), static_cast<std::uint32_t>(line["serial"].toDouble()));
            const QByteArray text(reinterpret_cast<const char*>(written.data()) + 0x36, 128);
            QVERIFY(text.contains(
                QString("TLV%1").arg(SerialIn(written), 6, 10, QChar('0')).toLatin1()));
            QCOMPARE(line["sha256"].toString().toStdString(), Sha256Hex(written.data(), 256));
            QCOMPARE(line["differing_offsets"].toArray().size(), 0);
        }
        // Handed out in the order the units reached the write, one each.
        QCOMPARE(serials.size(), std::size_t{7});
        QCOMPARE(*serials.begin(), 1000u);
        QCOMPARE(*serials.rbegin(), 1006u);
    }

    // Units come and go: each new one is programmed once, one plugged into
    // the same socket again only after it was pulled out.
    void watch() {
        QuickClock clock;
        BenchRig rig("mode 3\nbench 3\nunit 1 plug 3000\nunit 0 unplug 6000\nunit 2 plug 9000",
                     &clock);
        std::vector<SimulatedDevice> devices = rig.bridge.Devices();
        devices[2].link = "1-1"; // unit 0 again, in the same socket
        rig.bridge.SetDevices(devices);
        rig.stopAtMs = 16000;
        QCOMPARE(rig.Run("program {dir}/table.bin --watch --serial-start 7 --log {dir}/run.jsonl"),
                 0);
        const QList<QJsonObject> log = rig.Log();
        QStringList links;
        for (const QJsonObject& line : log) {
            links << line["link"].toString();
            QCOMPARE(line["result"].toString(), QString("verified"));
        }
        QCOMPARE(links, QStringList({"1-1", "1-2", "1-1"}));
        const QString out = QString::fromStdString(rig.out.str());
        QVERIFY2(out.startsWith("waiting for units\n") || out.contains("\nwaiting for units\n"),
                 qPrintable(out));
        QVERIFY(out.endsWith("3 units: 3 done, 0 refused, 0 failed\n"));
    }

    void refusals_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("format with two numbers")
            << "--serial-start 1 --serial-string-format %u-%u" << 2 << "exactly one %u";
        QTest::newRow("format with another conversion")
            << "--serial-start 1 --serial-string-format %s" << 2 << "a % must begin";
        QTest::newRow("string too long")
            << "--serial-start 1 --serial-string-format TALVO-UNIT-%08u" << 2 << "serial string";
        QTest::newRow("serial past 32 bits") << "--serial-start 4294967296" << 2 << "32 bits";
        QTest::newRow("no such unit") << "--units 0,9" << 2 << "there is no unit 9";
        QTest::newRow("step without start") << "--serial-step 2" << 2 << "serial-start";
    }
    void refusals() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        BenchRig rig("mode 3\nbench 2");
        QCOMPARE(rig.Run("program {dir}/table.bin " + arguments), status);
        QVERIFY2(QString::fromStdString(rig.err.str()).contains(message), rig.err.str().c_str());
        QCOMPARE(rig.bridge.Requests().size(), std::size_t{0});
    }

    // Numbers run out in the middle of a run: the unit past the last number
    // is left alone and says why.
    void serialsRunOut() {
        BenchRig rig("mode 3\nbench 2");
        QCOMPARE(rig.Run("program {dir}/table.bin --serial-start 4294967295 -q"), 2);
        QVERIFY(QString::fromStdString(rig.err.str()).contains("run out"));
        const int written =
            (SerialIn(rig.Memory(0)) == 0xFFFFFFFFu) + (SerialIn(rig.Memory(1)) == 0xFFFFFFFFu);
        QCOMPARE(written, 1);
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
