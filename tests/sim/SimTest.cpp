#include "sim/FakeClock.h"
#include "sim/FaultScript.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <QtTest>

namespace {

QString Hex(const std::uint8_t* bytes, std::size_t length) {
    return QByteArray(reinterpret_cast<const char*>(bytes), int(length)).toHex(' ').toUpper();
}

// The unit's reply as hex text, or "silent".
QString Ask(SimulatedUnit& unit, const char* request) {
    const QByteArray bytes = QByteArray::fromHex(request);
    const auto reply = unit.HandleRequest(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          std::size_t(bytes.size()));
    return reply ? Hex(reply->data(), reply->size()) : "silent";
}

// Read errors, EDID readings, mode code, then the two reset counts.
QString State(const SimulatedUnit& unit) {
    const std::uint8_t state[] = {unit.ReadErrors(), unit.EdidReadings(), unit.ModeCode(),
                                  std::uint8_t(unit.ResetCountA()),
                                  std::uint8_t(unit.ResetCountB())};
    return Hex(state, sizeof state);
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

struct Rig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    DeviceHandle handle = kNoDevice;

    // Writes a request and asks for 3 bytes, the longest reply of a session,
    // of what waits at once, after 1000 ms or after 1600 ms.
    QString Exchange(const char* request) {
        const QByteArray bytes = QByteArray::fromHex(request);
        std::uint32_t length = 0;
        if (bridge.Write(handle, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         std::uint32_t(bytes.size()), &length) != kBridgeSuccess) {
            return "write failed";
        }
        std::uint32_t slept = 0;
        for (std::uint32_t waited : {0u, 1000u, 1600u}) {
            clock.Sleep(waited - slept);
            slept = waited;
            std::uint32_t waiting = 0;
            std::uint32_t queueStatus = 0;
            bridge.CheckRXQueue(handle, &waiting, &queueStatus);
            if (waiting == 0) {
                continue;
            }
            std::uint8_t reply[16] = {};
            if (bridge.Read(handle, reply, 3, &length) != kBridgeSuccess) {
                return "read failed";
            }
            const QString hex = Hex(reply, length);
            return waited == 0 ? hex : QString("%1 ms: %2").arg(waited).arg(hex);
        }
        return "no reply";
    }

    // A session as the utility holds one: open the first device, ask its
    // status, set mode FIXED, ask again, close and count the devices left.
    // Calls that succeed leave no word but what they tell, and one device
    // left is no news.
    QString Session() {
        QStringList trace;
        const auto step = [&](const char* name, BridgeStatus status) {
            if (status != kBridgeSuccess) {
                trace << QString(name) + " failed";
            }
        };
        step("open", bridge.Open(0, &handle));
        step("flush", bridge.FlushBuffers(handle, 1, 1));
        for (const char* request : {"02", "11 02 E1 23 24 02 0D", "02"}) {
            trace << Exchange(request);
        }
        step("close", bridge.Close(handle));
        std::uint32_t count = 0;
        step("count", bridge.GetNumDevices(&count));
        if (count != 1) {
            trace << QString("%1 left").arg(count);
        }
        return trace.join(" | ");
    }
};

} // namespace

class SimTest : public QObject {
    Q_OBJECT

private slots:
    void unitReplies_data() {
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
        const char* const oneReading = "FF 00 00 00 00";
        const char* const written = "00 00 00 00 00";
        const char* const refused = "01 00 00 00 00";
        row("status", "02", "FF FF 00", start);
        row("status, eight bytes", "02 10 B0 F0 00 00 00 00", "FF FF 00 00 00 00 00 00 00 00",
            start);
        row("status, two bytes", "02 10", "silent", start);
        row("read A0 at 10", "11 04 A0 10", "B0 B1 B2 B3", oneReading);
        row("read wraps at 256", "11 04 B2 FE", "B0 B1 B2 B3", oneReading);
        row("read, unknown address", "11 10 C0 00", "silent", "00 FF 00 00 00");
        row("read, five bytes", "11 10 B0 00 00", "silent", start);
        row("write, last chunk", "10 0C B6 F8 01 02 03 04 05 06 07 08", written, start);
        row("write past the end", "10 0C B0 F9 01 02 03 04 05 06 07 08", refused, start);
        row("write, unknown address", "10 0C E0 00 01 02 03 04 05 06 07 08", refused, start);
        row("write, wrong count", "10 0B B0 00 01 02 03 04 05 06 07 08", "silent", start);
        row("AUTOMIX via E0", "11 02 E0 23 24 01 0D", "00 00", "FF FF 01 00 00");
        row("CUSTOM via E4, count 4", "11 04 E4 23 24 03 0D", "00 00 00 00", "FF FF 03 00 00");
        row("reset A", "11 01 EA 23 20 0D", "00", "FF FF 00 01 00");
        row("reset B", "11 01 EB 23 20 0D", "00", "FF FF 00 00 01");
        row("mode code 4", "11 02 E1 23 24 04 0D", "silent", start);
        row("mode without CR", "11 02 E0 23 24 01 0A", "silent", start);
        row("mode at reset address", "11 02 EA 23 24 01 0D", "silent", start);
        row("reset, wrong payload", "11 01 EB 23 21 0D", "silent", start);
        row("unknown command", "55 00 B0 00", "silent", start);
    }

    void unitReplies() {
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

        QCOMPARE(Ask(unit, request.toLatin1().constData()), reply);
        QCOMPARE(State(unit), state);
        const bool changed = State(unit) != stateBefore || Memories(unit) != memoriesBefore;
        QCOMPARE(unit.Revision() != revision, changed);
    }

    // Each fault is set up by its script, so that applying one is proven too.
    void bridgeFaults_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, const char* script, const char* trace) {
            QTest::newRow(name) << QString(script) << QString(trace);
        };
        row("none", "", "00 00 01 | 00 00 | 00 00 02");
        row("other device first, silent", "devices 1234,2022",
            "no reply | no reply | no reply | 2 left");
        row("call 2 of any kind", "fail-call 2", "flush failed | 00 00 01 | 00 00 | 00 00 02");
        row("failed write sends nothing, is no transaction", "fail write 2\nerrorbyte 2 7",
            "00 00 01 | write failed | 07 00 01");
        row("read fails, reply kept, read in pieces", "fail read 2",
            "00 00 01 | read failed | 00 00 00");
        row("no reply, unit acts", "noreply 2", "00 00 01 | no reply | 00 00 02");
        row("late, spacing, case, comments and hex",
            "# a unit that misbehaves\r\n  LATE 2\t0x5DC  # ms\r\n",
            "00 00 01 | 1600 ms: 00 00 | 00 00 02");
        row("delay, late adds to it", "delay 500\nlate 2 1000",
            "1000 ms: 00 00 01 | 1600 ms: 00 00 | 1000 ms: 00 00 02");
        row("short", "short 3 2", "00 00 01 | 00 00 | 00 00");
        row("error byte, unit acts", "errorbyte 2 7", "00 00 01 | 07 00 | 00 00 02");
        row("vanish once the reply is read", "vanish 2",
            "00 00 01 | 00 00 | write failed | 0 left");
    }

    void bridgeFaults() {
        QFETCH(QString, script);
        QFETCH(QString, trace);
        Rig rig;
        const FaultScript parsed = ParseFaultScript(script.toStdString());
        QVERIFY(parsed.skippedLines.empty());
        ApplyFaultScript(parsed, rig.bridge, rig.unit);
        QCOMPARE(rig.Session(), trace);
        QCOMPARE(rig.bridge.OpenHandles(), 0);
        // The session held no lock, and the bridge noticed.
        QVERIFY(!rig.bridge.EveryCallLocked());
    }

    // Only the receive side holds anything, so only its flag drops a reply
    // that waits; the flags themselves are kept for the tests.
    void flush_data() {
        QTest::addColumn<int>("transmit");
        QTest::addColumn<int>("receive");
        QTest::newRow("both sides") << 1 << 1;
        QTest::newRow("receive side") << 0 << 1;
        QTest::newRow("transmit side") << 1 << 0;
    }

    void flush() {
        QFETCH(int, transmit);
        QFETCH(int, receive);
        Rig rig;
        QCOMPARE(rig.bridge.Open(0, &rig.handle), kBridgeSuccess);
        const std::uint8_t status = 0x02;
        std::uint32_t length = 0;
        QCOMPARE(rig.bridge.Write(rig.handle, &status, 1, &length), kBridgeSuccess);
        QCOMPARE(rig.bridge.FlushBuffers(rig.handle, std::uint8_t(transmit), std::uint8_t(receive)),
                 kBridgeSuccess);
        std::uint32_t waiting = 0;
        std::uint32_t queueStatus = 0;
        QCOMPARE(rig.bridge.CheckRXQueue(rig.handle, &waiting, &queueStatus), kBridgeSuccess);
        QCOMPARE(waiting, receive ? 0u : 3u);
        QVERIFY(rig.bridge.Flushes() ==
                (std::vector<FlushFlags>{{std::uint8_t(transmit), std::uint8_t(receive)}}));
        QCOMPARE(rig.bridge.Close(rig.handle), kBridgeSuccess);
    }
};

QTEST_APPLESS_MAIN(SimTest)
#include "SimTest.moc"
