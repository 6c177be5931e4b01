#include "HexBytes.h"
#include "SimHelpers.h"
#include "SimulatedUnit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class SimulatedStateTest : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void missingFileGivesDefaults();
    void malformedFileGivesDefaults_data();
    void malformedFileGivesDefaults();
    void unwritablePathFails();

private:
    static void Write(const QString& path, const QByteArray& contents);
    static void VerifyDefaults(const SimulatedUnit& unit);

    QTemporaryDir dir_;
};

void SimulatedStateTest::Write(const QString& path, const QByteArray& contents) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

void SimulatedStateTest::VerifyDefaults(const SimulatedUnit& unit) {
    QCOMPARE(int(unit.ModeCode()), int(SimulatedUnit::kAutomix));
    QCOMPARE(int(unit.ReadErrors()), 0);
    QCOMPARE(int(unit.EdidReadings()), 0);
    QCOMPARE(int(unit.ResetCountA()), 0);
    for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
        QVERIFY(unit.Memory(address) == SimulatedUnit::DefaultTable(address));
    }
}

void SimulatedStateTest::roundTrip() {
    const std::string path = dir_.filePath("round-trip.state").toStdString();
    SimulatedUnit saved;
    saved.SetModeCode(3);
    saved.SetCounters(250, 9);
    saved.SetMemory(0xB6, PatternMemory(0xB6));
    Ask(saved, Hex("11 01 EA 23 20 0D"));
    Ask(saved, Hex("11 01 EB 23 20 0D"));
    Ask(saved, Hex("11 01 EB 23 20 0D"));
    QVERIFY(saved.SaveState(path));
    QVERIFY(!QFile::exists(QString::fromStdString(path + ".tmp")));

    SimulatedUnit loaded;
    QVERIFY(loaded.LoadState(path));
    QCOMPARE(int(loaded.ModeCode()), 3);
    QCOMPARE(int(loaded.ReadErrors()), 250);
    QCOMPARE(int(loaded.EdidReadings()), 9);
    QCOMPARE(int(loaded.ResetCountA()), 1);
    QCOMPARE(int(loaded.ResetCountB()), 2);
    for (std::uint8_t address : SimulatedUnit::kDeviceAddresses) {
        QVERIFY(loaded.Memory(address) == saved.Memory(address));
    }

    // Saving again replaces the file rather than appending to it.
    saved.SetModeCode(2);
    QVERIFY(saved.SaveState(path));
    QVERIFY(loaded.LoadState(path));
    QCOMPARE(int(loaded.ModeCode()), 2);
}

void SimulatedStateTest::missingFileGivesDefaults() {
    SimulatedUnit unit;
    unit.SetModeCode(3);
    QVERIFY(!unit.LoadState(dir_.filePath("absent.state").toStdString()));
    VerifyDefaults(unit);
}

void SimulatedStateTest::malformedFileGivesDefaults_data() {
    QTest::addColumn<QByteArray>("contents");
    const UnitMemory table = SimulatedUnit::DefaultTable(0xB0);
    const QByteArray memory = QByteArray::fromStdString(PackedHex(table.data(), table.size()));
    const QByteArray tag = "talvo-sim-state 1\n";

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no tag") << QByteArray("mode 3\n");
    QTest::newRow("other version") << QByteArray("talvo-sim-state 2\nmode 3\n");
    QTest::newRow("mode 256") << tag + "mode 3\nmode 256\n";
    QTest::newRow("mode -1") << tag + "mode -1\n";
    QTest::newRow("mode in hex") << tag + "mode 0x3\n";
    QTest::newRow("two values") << tag + "mode 3 3\n";
    QTest::newRow("unknown key") << tag + "mode 3\ncolour blue\n";
    QTest::newRow("memory, unknown address") << tag + "memory C0 " + memory + "\n";
    QTest::newRow("memory cut short") << tag + "memory B0 " + memory.left(510) + "\n";
    QTest::newRow("memory, not hex") << tag + "memory B0 " + memory.left(510) + "ZZ\n";
    QTest::newRow("binary") << tag + QByteArray("\x01\xFF\x00\x80", 4);
}

void SimulatedStateTest::malformedFileGivesDefaults() {
    QFETCH(QByteArray, contents);
    const QString path = dir_.filePath("malformed.state");
    Write(path, contents);

    SimulatedUnit unit;
    unit.SetModeCode(2);
    unit.SetMemory(0xB0, PatternMemory(0));
    QVERIFY(!unit.LoadState(path.toStdString()));
    VerifyDefaults(unit);
}

void SimulatedStateTest::unwritablePathFails() {
    const SimulatedUnit unit;
    QVERIFY(!unit.SaveState(dir_.filePath("no/such/folder/unit.state").toStdString()));
}

QTEST_APPLESS_MAIN(SimulatedStateTest)
#include "SimulatedStateTest.moc"
