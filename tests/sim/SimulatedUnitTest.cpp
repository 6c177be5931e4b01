#include "SimulatedUnit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>
#include <set>

namespace {

QString HexText(const std::uint8_t* bytes, std::size_t length) {
    return QByteArray(reinterpret_cast<const char*>(bytes), int(length)).toHex(' ').toUpper();
}

// The reply as hex text, or "silent".
QString Ask(SimulatedUnit& unit, const QString& request) {
    const QByteArray bytes = QByteArray::fromHex(request.toLatin1());
    const auto reply = unit.HandleRequest(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          std::size_t(bytes.size()));
    return reply ? HexText(reply->data(), reply->size()) : "silent";
}

// Read errors, EDID readings, mode code, then the two reset counts.
QString State(const SimulatedUnit& unit) {
    const std::uint8_t state[] = {unit.ReadErrors(), unit.EdidReadings(), unit.ModeCode(),
                                  std::uint8_t(unit.ResetCountA()),
                                  std::uint8_t(unit.ResetCountB())};
    return HexText(state, sizeof state);
}

QByteArray Memories(const SimulatedUnit& unit) {
    QByteArray all;
    for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
        all.append(reinterpret_cast<const char*>(unit.Memory(address).data()), 256);
    }
    return all;
}

// A memory whose every byte tells its own offset and device address apart.
UnitMemory PatternMemory(std::uint8_t deviceAddress) {
    UnitMemory memory{};
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = std::uint8_t(i + deviceAddress);
    }
    return memory;
}

} // namespace

class SimulatedUnitTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    void replies_data() {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, const char* request, const char* reply,
                            const char* state) {
            QTest::newRow(name) << QString(request) << QString(reply) << QString(state);
        };

        // The unit starts with both counters at 255, so that a counted request
        // shows the wrap, and with mode code 0, which names no mode, so that
        // every mode set shows.
        const char* const start = "FF FF 00 00 00";
        row("status", "02", "FF FF 00", start);
        row("status, eight bytes", "02 10 B0 F0 00 00 00 00", "FF FF 00 00 00 00 00 00 00 00",
            start);
        row("status, two bytes", "02 10", "silent", start);

        const char* const oneReading = "FF 00 00 00 00";
        row("read B0", "11 04 B0 00", "B0 B1 B2 B3", oneReading);
        row("read A0 at 10", "11 04 A0 10", "B0 B1 B2 B3", oneReading);
        row("read B6 at F0", "11 04 B6 F0", "A6 A7 A8 A9", oneReading);
        row("read wraps at 256", "11 04 B2 FE", "B0 B1 B2 B3", oneReading);
        row("read of nothing", "11 00 B4 00", "", oneReading);
        row("read, unknown address", "11 10 C0 00", "silent", "00 FF 00 00 00");
        row("read, five bytes", "11 10 B0 00 00", "silent", start);

        const char* const taken = "00 00 00 00 00";
        const char* const refused = "01 00 00 00 00";
        row("write B6", "10 0C B6 08 01 02 03 04 05 06 07 08", taken, start);
        row("write, last chunk", "10 0C B0 F8 01 02 03 04 05 06 07 08", taken, start);
        row("write past the end", "10 0C B0 F9 01 02 03 04 05 06 07 08", refused, start);
        row("write, unknown address", "10 0C E0 00 01 02 03 04 05 06 07 08", refused, start);
        row("write, wrong count", "10 0B B0 00 01 02 03 04 05 06 07 08", "silent", start);

        row("AUTOMIX via E0", "11 02 E0 23 24 01 0D", "00 00", "FF FF 01 00 00");
        row("FIXED via E1", "11 02 E1 23 24 02 0D", "00 00", "FF FF 02 00 00");
        row("CUSTOM via E4", "11 02 E4 23 24 03 0D", "00 00", "FF FF 03 00 00");
        row("mode, count 4", "11 04 E0 23 24 03 0D", "00 00 00 00", "FF FF 03 00 00");
        row("reset A", "11 01 EA 23 20 0D", "00", "FF FF 00 01 00");
        row("reset B", "11 01 EB 23 20 0D", "00", "FF FF 00 00 01");
        row("mode code 0", "11 02 E0 23 24 00 0D", "silent", start);
        row("mode code 4", "11 02 E0 23 24 04 0D", "silent", start);
        row("mode without CR", "11 02 E0 23 24 01 0A", "silent", start);
        row("mode at reset address", "11 02 EA 23 24 01 0D", "silent", start);
        row("reset at mode address", "11 01 E0 23 20 0D", "silent", start);
        row("reset, wrong payload", "11 01 EB 23 21 0D", "silent", start);

        row("unknown command", "55 00 B0 00", "silent", start);
        row("empty", "", "silent", start);
    }

    void replies() {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        QFETCH(QString, state);

        SimulatedUnit unit;
        unit.SetCounters(255, 255);
        unit.SetModeCode(0);
        for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
            unit.SetMemory(address, PatternMemory(address));
        }
        const QString stateBefore = State(unit);
        const QByteArray memoriesBefore = Memories(unit);
        const std::uint64_t revision = unit.Revision();

        QCOMPARE(Ask(unit, request), reply);
        QCOMPARE(State(unit), state);
        // The revision tells a holder when the state is worth saving.
        const bool changed = State(unit) != stateBefore || Memories(unit) != memoriesBefore;
        QCOMPARE(unit.Revision() != revision, changed);
    }

    void defaultTablesHaveRightChecksumsAndDiffer() {
        const SimulatedUnit unit;
        std::set<UnitMemory> distinct;
        for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
            const UnitMemory& table = unit.Memory(address);
            for (std::size_t block : {0, 128}) {
                QCOMPARE(std::accumulate(&table[block], &table[block] + 128, 0u) & 0xFF, 0u);
            }
            distinct.insert(table);
        }
        QCOMPARE(distinct.size(), SimulatedUnit::kDeviceAddresses.size());
    }

    void stateRoundTrip() {
        const std::string path = dir_.filePath("unit.state").toStdString();
        SimulatedUnit saved;
        saved.SetModeCode(3);
        saved.SetCounters(250, 9);
        saved.SetMemory(0xB6, PatternMemory(0xB6));
        Ask(saved, "11 01 EA 23 20 0D");
        Ask(saved, "11 01 EB 23 20 0D");
        Ask(saved, "11 01 EB 23 20 0D");
        QVERIFY(saved.SaveState(path));

        SimulatedUnit loaded;
        QVERIFY(loaded.LoadState(path));
        QCOMPARE(State(loaded), QString("FA 09 03 01 02"));
        QCOMPARE(Memories(loaded), Memories(saved));

        // Saving again replaces the file rather than appending to it.
        saved.SetModeCode(2);
        QVERIFY(saved.SaveState(path));
        QVERIFY(loaded.LoadState(path));
        QCOMPARE(int(loaded.ModeCode()), 2);
    }

    void badStateFileGivesDefaults_data() {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray tag = "talvo-sim-state 1\n";

        QTest::newRow("missing") << QByteArray(); // no file is written
        QTest::newRow("other version") << QByteArray("talvo-sim-state 2\nmode 3\n");
        QTest::newRow("mode 256 after a good line") << tag + "mode 3\nmode 256\n";
        QTest::newRow("memory cut short") << tag + "memory B0 00FFFFFF\n";
    }

    void badStateFileGivesDefaults() {
        QFETCH(QByteArray, contents);
        const QString path = dir_.filePath(QTest::currentDataTag());
        if (!contents.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }

        SimulatedUnit unit;
        unit.SetModeCode(2);
        unit.SetMemory(0xB0, PatternMemory(0));
        QVERIFY(!unit.LoadState(path.toStdString()));
        QCOMPARE(State(unit), QString("00 00 01 00 00"));
        QCOMPARE(Memories(unit), Memories(SimulatedUnit()));
    }
};

QTEST_APPLESS_MAIN(SimulatedUnitTest)
#include "SimulatedUnitTest.moc"
