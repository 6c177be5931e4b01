#include "SimulatedUnit.h"
#include "SimHelpers.h"

#include <QtTest>

#include <numeric>

class SimulatedUnitTest : public QObject {
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void stateChanges_data();
    void stateChanges();
    void writesAreReadBack();
    void countersWrap();
    void defaultTables_data();
    void defaultTables();
};

void SimulatedUnitTest::replies_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QByteArray>("reply");

    // The unit under test holds counters 5 and 7, mode 3 and pattern memories.
    QTest::newRow("status") << Hex("02") << true << Hex("05 07 03");
    QTest::newRow("status, eight bytes")
        << Hex("02 10 B0 F0 00 00 00 00") << true << Hex("05 07 03 00 00 00 00 00 00 00");
    QTest::newRow("status, two bytes") << Hex("02 10") << false << QByteArray();

    QTest::newRow("read B0") << Hex("11 04 B0 00") << true << Hex("B0 B1 B2 B3");
    QTest::newRow("read A0 at 10") << Hex("11 04 A0 10") << true << Hex("B0 B1 B2 B3");
    QTest::newRow("read B6 at F0")
        << Hex("11 10 B6 F0") << true << Hex("A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5");
    QTest::newRow("read wraps at 256") << Hex("11 04 B2 FE") << true << Hex("B0 B1 B2 B3");
    QTest::newRow("read of nothing") << Hex("11 00 B4 00") << true << QByteArray();
    QTest::newRow("read, unknown address") << Hex("11 10 C0 00") << false << QByteArray();
    QTest::newRow("read, five bytes") << Hex("11 10 B0 00 00") << false << QByteArray();

    QTest::newRow("write B6") << Hex("10 0C B6 08 01 02 03 04 05 06 07 08") << true
                              << Hex("00 00 00 00 00");
    QTest::newRow("write, last chunk")
        << Hex("10 0C B0 F8 01 02 03 04 05 06 07 08") << true << Hex("00 00 00 00 00");
    QTest::newRow("write past the end")
        << Hex("10 0C B0 F9 01 02 03 04 05 06 07 08") << true << Hex("01 00 00 00 00");
    QTest::newRow("write, unknown address")
        << Hex("10 0C E0 00 01 02 03 04 05 06 07 08") << true << Hex("01 00 00 00 00");
    QTest::newRow("write, wrong count")
        << Hex("10 0B B0 00 01 02 03 04 05 06 07 08") << false << QByteArray();

    QTest::newRow("mode via E0") << Hex("11 02 E0 23 24 01 0D") << true << Hex("00 00");
    QTest::newRow("mode via E1") << Hex("11 02 E1 23 24 02 0D") << true << Hex("00 00");
    QTest::newRow("mode via E4") << Hex("11 02 E4 23 24 03 0D") << true << Hex("00 00");
    QTest::newRow("mode, count 4") << Hex("11 04 E0 23 24 03 0D") << true << Hex("00 00 00 00");
    QTest::newRow("reset A") << Hex("11 01 EA 23 20 0D") << true << Hex("00");
    QTest::newRow("reset B") << Hex("11 01 EB 23 20 0D") << true << Hex("00");
    QTest::newRow("mode code 0") << Hex("11 02 E0 23 24 00 0D") << false << QByteArray();
    QTest::newRow("mode code 4") << Hex("11 02 E0 23 24 04 0D") << false << QByteArray();
    QTest::newRow("mode without CR") << Hex("11 02 E0 23 24 01 0A") << false << QByteArray();
    QTest::newRow("mode at reset address") << Hex("11 02 EA 23 24 01 0D") << false << QByteArray();
    QTest::newRow("reset at mode address") << Hex("11 01 E0 23 20 0D") << false << QByteArray();
    QTest::newRow("reset, wrong payload") << Hex("11 01 EB 23 21 0D") << false << QByteArray();

    QTest::newRow("unknown command") << Hex("55 00 B0 00") << false << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << QByteArray();
}

void SimulatedUnitTest::replies() {
    QFETCH(QByteArray, request);
    QFETCH(bool, answered);
    QFETCH(QByteArray, reply);

    SimulatedUnit unit;
    unit.SetCounters(5, 7);
    unit.SetModeCode(3);
    for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
        unit.SetMemory(address, PatternMemory(address));
    }

    const std::optional<QByteArray> answer = Ask(unit, request);
    QCOMPARE(answer.has_value(), answered);
    if (answered) {
        QCOMPARE(*answer, reply);
    }
}

void SimulatedUnitTest::stateChanges_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status"); // read errors, EDID readings, mode
    QTest::addColumn<int>("resetsA");
    QTest::addColumn<int>("resetsB");
    QTest::addColumn<bool>("changes");

    // The unit starts with mode code 0, which names no mode, so that every
    // mode set shows.
    QTest::newRow("AUTOMIX via E0")
        << Hex("11 02 E0 23 24 01 0D") << Hex("00 00 01") << 0 << 0 << true;
    QTest::newRow("FIXED via E1") << Hex("11 02 E1 23 24 02 0D") << Hex("00 00 02") << 0 << 0
                                  << true;
    QTest::newRow("CUSTOM via E4")
        << Hex("11 02 E4 23 24 03 0D") << Hex("00 00 03") << 0 << 0 << true;
    QTest::newRow("code 4 ignored")
        << Hex("11 02 E4 23 24 04 0D") << Hex("00 00 00") << 0 << 0 << false;
    QTest::newRow("reset A") << Hex("11 01 EA 23 20 0D") << Hex("00 00 00") << 1 << 0 << true;
    QTest::newRow("reset B") << Hex("11 01 EB 23 20 0D") << Hex("00 00 00") << 0 << 1 << true;
    QTest::newRow("block read") << Hex("11 10 B0 00") << Hex("00 01 00") << 0 << 0 << true;
    QTest::newRow("unknown address") << Hex("11 10 A2 00") << Hex("01 00 00") << 0 << 0 << true;
    QTest::newRow("block write") << Hex("10 0C B0 00 00 00 00 00 00 00 00 00") << Hex("00 00 00")
                                 << 0 << 0 << true;
    QTest::newRow("status") << Hex("02") << Hex("00 00 00") << 0 << 0 << false;
}

void SimulatedUnitTest::stateChanges() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    QFETCH(int, resetsA);
    QFETCH(int, resetsB);
    QFETCH(bool, changes);

    SimulatedUnit unit;
    unit.SetModeCode(0);
    const std::uint64_t revision = unit.Revision();
    Ask(unit, request);
    const std::uint64_t revisionAfterRequest = unit.Revision();

    QCOMPARE(Ask(unit, Hex("02")).value(), status);
    QCOMPARE(Ask(unit, Hex("02 10 B0 F0 00 00 00 00")).value(), status + QByteArray(7, '\0'));
    QCOMPARE(int(unit.ResetCountA()), resetsA);
    QCOMPARE(int(unit.ResetCountB()), resetsB);
    QCOMPARE(revisionAfterRequest != revision, changes);
}

void SimulatedUnitTest::writesAreReadBack() {
    SimulatedUnit unit;
    const UnitMemory table = PatternMemory(0x40);
    for (int offset = 0; offset < 256; offset += 8) {
        QByteArray request = Hex("10 0C B4");
        request += char(offset);
        request += QByteArray(reinterpret_cast<const char*>(table.data()) + offset, 8);
        QCOMPARE(Ask(unit, request).value(), Hex("00 00 00 00 00"));
    }

    QByteArray readBack;
    for (int offset = 0; offset < 256; offset += 16) {
        QByteArray request = Hex("11 10 B4");
        request += char(offset);
        readBack += Ask(unit, request).value();
    }
    QCOMPARE(readBack, QByteArray(reinterpret_cast<const char*>(table.data()), 256));
    QVERIFY(unit.Memory(0xB4) == table);
    QVERIFY(unit.Memory(0xB0) == SimulatedUnit::DefaultTable(0xB0));
    QCOMPARE(int(unit.EdidReadings()), 16);
}

void SimulatedUnitTest::countersWrap() {
    SimulatedUnit unit;
    unit.SetCounters(255, 255);
    Ask(unit, Hex("11 10 B0 00"));
    Ask(unit, Hex("11 10 00 00"));
    QCOMPARE(Ask(unit, Hex("02")).value(), Hex("00 00 01"));
}

void SimulatedUnitTest::defaultTables_data() {
    QTest::addColumn<int>("deviceAddress");
    for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
        QTest::addRow("%02X", address) << int(address);
    }
}

void SimulatedUnitTest::defaultTables() {
    QFETCH(int, deviceAddress);
    const SimulatedUnit unit;
    const UnitMemory& table = unit.Memory(std::uint8_t(deviceAddress));
    QVERIFY(table == SimulatedUnit::DefaultTable(std::uint8_t(deviceAddress)));

    const auto sum = [&](std::size_t start) {
        return std::accumulate(table.begin() + start, table.begin() + start + 128, 0u) & 0xFF;
    };
    QCOMPARE(sum(0), 0u);
    QCOMPARE(sum(128), 0u);
    const QByteArray bytes(reinterpret_cast<const char*>(table.data()), 256);
    QVERIFY(bytes.startsWith(Hex("00 FF FF FF FF FF FF 00 51 96")));
    QVERIFY(bytes.contains("TALVO SIM\n"));
    QCOMPARE(int(table[126]), 1);
    QCOMPARE(int(table[128]), 0x02);
    for (std::uint8_t other : SimulatedUnit::kDeviceAddresses) {
        QCOMPARE(table == SimulatedUnit::DefaultTable(other), other == deviceAddress);
    }
    QCOMPARE(int(unit.ModeCode()), int(SimulatedUnit::kAutomix));
}

QTEST_APPLESS_MAIN(SimulatedUnitTest)
#include "SimulatedUnitTest.moc"
