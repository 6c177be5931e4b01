#include "SimulatedBridge.h"
#include "FakeClock.h"
#include "LibraryLock.h"
#include "SimHelpers.h"

#include <QtTest>

#include <mutex>

Q_DECLARE_METATYPE(BridgeOperation)

namespace {

struct Rig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};

    DeviceHandle Open(std::uint32_t index = 0) {
        DeviceHandle handle = kNoDevice;
        return bridge.Open(index, &handle) == kBridgeSuccess ? handle : kNoDevice;
    }

    BridgeStatus Send(DeviceHandle handle, const QByteArray& request) {
        std::uint32_t written = 0;
        return bridge.Write(handle, Data(request), std::uint32_t(request.size()), &written);
    }

    std::uint32_t Waiting(DeviceHandle handle) {
        std::uint32_t waiting = 0;
        std::uint32_t queueStatus = 0;
        return bridge.CheckRXQueue(handle, &waiting, &queueStatus) == kBridgeSuccess ? waiting : 0;
    }

    QByteArray Receive(DeviceHandle handle, std::uint32_t length) {
        QByteArray reply(int(length), '\0');
        std::uint32_t returned = 0;
        if (bridge.Read(handle, reinterpret_cast<std::uint8_t*>(reply.data()), length, &returned) !=
            kBridgeSuccess) {
            return "read failed";
        }
        return reply.left(int(returned));
    }

    // One request and whatever reply is waiting right after it.
    QByteArray Exchange(DeviceHandle handle, const QByteArray& request) {
        if (Send(handle, request) != kBridgeSuccess) {
            return "write failed";
        }
        return Receive(handle, Waiting(handle));
    }

    std::string Serial(std::uint32_t index) {
        char buffer[kDeviceStringSize] = {};
        if (bridge.GetProductString(index, buffer, DeviceStringOption::SerialNumber) !=
            kBridgeSuccess) {
            return "failed";
        }
        return buffer;
    }

    std::uint32_t Count() {
        std::uint32_t count = 0;
        return bridge.GetNumDevices(&count) == kBridgeSuccess ? count : 99;
    }
};

} // namespace

class SimulatedBridgeTest : public QObject {
    Q_OBJECT

private slots:
    void defaultDeviceIsTheUnit();
    void devicesInOrder();
    void handleBookkeeping();
    void logAndRequests();
    void failNthCallOfOperation_data();
    void failNthCallOfOperation();
    void failNthCallOverall();
    void replyNeverButUnitActs();
    void replyLateAndReplyDelay();
    void replyShort();
    void replyErrorByte();
    void vanishAfterTransactions();
    void partialReadsAndFlush();
    void everyCallLocked();
};

void SimulatedBridgeTest::defaultDeviceIsTheUnit() {
    Rig rig;
    QCOMPARE(rig.Count(), 1u);
    QCOMPARE(rig.Serial(0), std::string("2022"));
    char product[kDeviceStringSize] = {};
    QCOMPARE(rig.bridge.GetProductString(0, product, DeviceStringOption::Description),
             kBridgeSuccess);
    QCOMPARE(QByteArray(product), QByteArray("TALVO"));
    QVERIFY(rig.bridge.GetProductString(0, product, DeviceStringOption(1)) != kBridgeSuccess);
    QCOMPARE(rig.Serial(1), std::string("failed"));
}

void SimulatedBridgeTest::devicesInOrder() {
    Rig rig;
    rig.bridge.SetDevices(
        {{"1234", "OTHER", false}, {"", "BLANK", false}, {"2022", "TALVO", true}});
    QCOMPARE(rig.Count(), 3u);
    QCOMPARE(rig.Serial(0), std::string("1234"));
    QCOMPARE(rig.Serial(1), std::string());
    QCOMPARE(rig.Serial(2), std::string("2022"));

    const DeviceHandle other = rig.Open(0);
    QCOMPARE(rig.Exchange(other, Hex("02")), QByteArray());
    QCOMPARE(rig.bridge.TransactionCount(), 0);
    const DeviceHandle unit = rig.Open(2);
    QCOMPARE(rig.Exchange(unit, Hex("02")), Hex("00 00 01"));
    QCOMPARE(rig.bridge.TransactionCount(), 1);
}

void SimulatedBridgeTest::handleBookkeeping() {
    Rig rig;
    const DeviceHandle first = rig.Open();
    QVERIFY(first != kNoDevice && first != 0);
    QCOMPARE(rig.Open(), kNoDevice); // already open
    QCOMPARE(rig.Open(1), kNoDevice);
    QCOMPARE(rig.bridge.OpenHandles(), 1);
    QCOMPARE(rig.bridge.Close(first), kBridgeSuccess);
    QCOMPARE(rig.bridge.OpenHandles(), 0);

    // A closed handle is dead for every operation.
    std::uint32_t value = 0;
    std::uint8_t byte = 0;
    QVERIFY(rig.bridge.Close(first) != kBridgeSuccess);
    QVERIFY(rig.bridge.Write(first, &byte, 1, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.Read(first, &byte, 1, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.CheckRXQueue(first, &value, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.FlushBuffers(first, 1, 1) != kBridgeSuccess);
    QVERIFY(rig.bridge.Close(kNoDevice) != kBridgeSuccess);

    const DeviceHandle second = rig.Open();
    QVERIFY(second != kNoDevice && second != first);
}

void SimulatedBridgeTest::logAndRequests() {
    Rig rig;
    std::vector<std::string> heard;
    rig.bridge.SetLogListener([&](const std::string& line) { heard.push_back(line); });
    const DeviceHandle handle = rig.Open();
    rig.Exchange(handle, Hex("11 10 B0 00"));
    rig.Exchange(handle, Hex("11 02 E4 23 24 03 0D"));
    rig.bridge.Close(handle);

    const std::vector<std::string> expected{"open", "11 10 B0 00", "11 02 E4 23 24 03 0D", "close"};
    QVERIFY(rig.bridge.Log() == expected);
    QVERIFY(heard == expected);
    const auto requests = rig.bridge.Requests();
    QCOMPARE(int(requests.size()), 2);
    QCOMPARE(ToByteArray(requests[1]), Hex("11 02 E4 23 24 03 0D"));
    QCOMPARE(int(rig.unit.ModeCode()), 3);
}

void SimulatedBridgeTest::failNthCallOfOperation_data() {
    QTest::addColumn<BridgeOperation>("operation");
    QTest::newRow("count") << BridgeOperation::GetNumDevices;
    QTest::newRow("string") << BridgeOperation::GetProductString;
    QTest::newRow("open") << BridgeOperation::Open;
    QTest::newRow("close") << BridgeOperation::Close;
    QTest::newRow("read") << BridgeOperation::Read;
    QTest::newRow("write") << BridgeOperation::Write;
    QTest::newRow("flush") << BridgeOperation::FlushBuffers;
    QTest::newRow("queue") << BridgeOperation::CheckRXQueue;
}

void SimulatedBridgeTest::failNthCallOfOperation() {
    QFETCH(BridgeOperation, operation);
    Rig rig;
    // Device 0 stays open for the data calls; device 1 is opened and closed.
    rig.bridge.SetDevices({{"2022", "TALVO", true}, {"2022", "TALVO", true}});
    const DeviceHandle held = rig.Open(0);
    // Calls are counted from the bridge's start, the setup's open included.
    const int before = rig.bridge.CallCount(operation);
    rig.bridge.FailCall(operation, before + 2);
    rig.bridge.FailCall(operation, before + 4);

    const auto callOnce = [&]() -> BridgeStatus {
        std::uint32_t value = 0;
        std::uint8_t reply[3] = {};
        char text[kDeviceStringSize] = {};
        DeviceHandle handle = kNoDevice;
        switch (operation) {
        case BridgeOperation::GetNumDevices:
            return rig.bridge.GetNumDevices(&value);
        case BridgeOperation::GetProductString:
            return rig.bridge.GetProductString(0, text, DeviceStringOption::SerialNumber);
        case BridgeOperation::Open: {
            const BridgeStatus status = rig.bridge.Open(1, &handle);
            rig.bridge.Close(handle);
            return status;
        }
        case BridgeOperation::Close:
            return rig.bridge.Close(rig.Open(1));
        case BridgeOperation::Read:
            rig.Send(held, Hex("02"));
            return rig.bridge.Read(held, reply, 3, &value);
        case BridgeOperation::Write:
            return rig.bridge.Write(held, reinterpret_cast<const std::uint8_t*>("\x02"), 1, &value);
        case BridgeOperation::FlushBuffers:
            return rig.bridge.FlushBuffers(held, 1, 1);
        case BridgeOperation::CheckRXQueue:
            return rig.bridge.CheckRXQueue(held, &value, &value);
        }
        return kBridgeSuccess;
    };

    QList<bool> failed;
    for (int call = 1; call <= 5; ++call) {
        failed << (callOnce() != kBridgeSuccess);
    }
    QCOMPARE(failed, (QList<bool>{false, true, false, true, false}));
    QCOMPARE(rig.bridge.CallCount(operation), before + 5);
    // A failing close still lets the device go, so it can be opened again.
    QCOMPARE(rig.bridge.OpenHandles(), 1);
}

void SimulatedBridgeTest::failNthCallOverall() {
    Rig rig;
    rig.bridge.FailCallNumber(3);
    QCOMPARE(rig.Count(), 1u);                    // call 1
    QCOMPARE(rig.Serial(0), std::string("2022")); // call 2
    QCOMPARE(rig.Open(), kNoDevice);              // call 3 fails
    QCOMPARE(rig.bridge.OpenHandles(), 0);
    const DeviceHandle handle = rig.Open(); // call 4
    QVERIFY(handle != kNoDevice);
    QCOMPARE(rig.bridge.CallCount(), 4);
    QCOMPARE(rig.bridge.CallCount(BridgeOperation::Open), 2);
    QVERIFY(rig.bridge.Log() == std::vector<std::string>{"open"});

    // A write that fails sends nothing: no log line, no transaction.
    rig.bridge.FailCall(BridgeOperation::Write, 1);
    QCOMPARE(rig.Exchange(handle, Hex("02")), QByteArray("write failed"));
    QCOMPARE(rig.bridge.TransactionCount(), 0);
    QCOMPARE(int(rig.bridge.Log().size()), 1);
}

void SimulatedBridgeTest::replyNeverButUnitActs() {
    Rig rig;
    rig.bridge.ReplyNever(2);
    const DeviceHandle handle = rig.Open();
    QCOMPARE(rig.Exchange(handle, Hex("02")), Hex("00 00 01"));
    QCOMPARE(rig.Exchange(handle, Hex("11 02 E0 23 24 02 0D")), QByteArray());
    QCOMPARE(rig.Exchange(handle, Hex("02")), Hex("00 00 02"));
    QCOMPARE(rig.bridge.TransactionCount(), 3);
}

void SimulatedBridgeTest::replyLateAndReplyDelay() {
    Rig rig;
    const DeviceHandle handle = rig.Open();
    const std::uint32_t before = rig.clock.Now();
    QCOMPARE(rig.Exchange(handle, Hex("02")), Hex("00 00 01"));
    QCOMPARE(rig.clock.Now(), before); // no delay: the clock is left alone

    rig.bridge.ReplyLate(2, 1500);
    rig.Send(handle, Hex("02"));
    QCOMPARE(rig.Waiting(handle), 0u);
    QCOMPARE(rig.Receive(handle, 3), QByteArray());
    rig.clock.Sleep(1400);
    QCOMPARE(rig.Waiting(handle), 0u);
    rig.clock.Sleep(200);
    QCOMPARE(rig.Waiting(handle), 3u);
    QCOMPARE(rig.Receive(handle, 3), Hex("00 00 01"));

    rig.bridge.SetReplyDelay(50);
    rig.bridge.ReplyLate(4, 100);
    rig.Send(handle, Hex("02"));
    rig.Send(handle, Hex("02"));
    rig.clock.Sleep(60);
    QCOMPARE(rig.Waiting(handle), 3u); // only the third is due
    rig.clock.Sleep(100);
    QCOMPARE(rig.Waiting(handle), 6u);
}

void SimulatedBridgeTest::replyShort() {
    Rig rig;
    rig.bridge.ReplyShort(1, 2);
    const DeviceHandle handle = rig.Open();
    rig.Send(handle, Hex("11 10 B0 00"));
    QCOMPARE(rig.Waiting(handle), 2u);
    QCOMPARE(rig.Receive(handle, 16), Hex("00 FF"));
    QCOMPARE(rig.Exchange(handle, Hex("11 02 B0 02")), Hex("FF FF"));
}

void SimulatedBridgeTest::replyErrorByte() {
    Rig rig;
    rig.bridge.ReplyErrorByte(1, 0x01);
    const DeviceHandle handle = rig.Open();
    QCOMPARE(rig.Exchange(handle, Hex("10 0C B0 00 01 02 03 04 05 06 07 08")),
             Hex("01 00 00 00 00"));
    QCOMPARE(int(rig.unit.Memory(0xB0)[7]), 8); // the unit took the chunk all the same
    QCOMPARE(rig.Exchange(handle, Hex("10 0C B0 08 01 02 03 04 05 06 07 08")),
             Hex("00 00 00 00 00"));
}

void SimulatedBridgeTest::vanishAfterTransactions() {
    Rig rig;
    rig.bridge.SetDevices({{"1234", "OTHER", false}, {"2022", "TALVO", true}});
    rig.bridge.VanishAfter(2);
    const DeviceHandle handle = rig.Open(1);
    QCOMPARE(rig.Exchange(handle, Hex("02")), Hex("00 00 01"));
    rig.Send(handle, Hex("02"));
    // The last transaction's reply can still be fetched.
    QCOMPARE(rig.Count(), 2u);
    QCOMPARE(rig.Receive(handle, 3), Hex("00 00 01"));

    QCOMPARE(rig.Count(), 1u);
    QVERIFY(rig.bridge.Vanished());
    QCOMPARE(rig.Serial(0), std::string("1234"));
    QCOMPARE(rig.Serial(1), std::string("failed"));
    std::uint32_t value = 0;
    std::uint8_t byte = 0x02;
    QVERIFY(rig.bridge.Write(handle, &byte, 1, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.Read(handle, &byte, 1, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.CheckRXQueue(handle, &value, &value) != kBridgeSuccess);
    QVERIFY(rig.bridge.FlushBuffers(handle, 1, 1) != kBridgeSuccess);
    QCOMPARE(rig.bridge.Close(handle), kBridgeSuccess);
    QCOMPARE(rig.bridge.OpenHandles(), 0);
    QCOMPARE(rig.bridge.TransactionCount(), 2);
}

void SimulatedBridgeTest::partialReadsAndFlush() {
    Rig rig;
    const DeviceHandle handle = rig.Open();
    rig.Send(handle, Hex("11 06 B0 00"));
    rig.Send(handle, Hex("02"));
    QCOMPARE(rig.Waiting(handle), 9u);
    QCOMPARE(rig.Receive(handle, 4), Hex("00 FF FF FF"));
    QCOMPARE(rig.Receive(handle, 4), Hex("FF FF 00 01"));
    QCOMPARE(rig.Waiting(handle), 1u);
    QCOMPARE(rig.bridge.FlushBuffers(handle, 1, 1), kBridgeSuccess);
    QCOMPARE(rig.Waiting(handle), 0u);
}

void SimulatedBridgeTest::everyCallLocked() {
    Rig locked;
    {
        std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
        locked.Count();
    }
    QVERIFY(locked.bridge.EveryCallLocked());
    locked.Count();
    QVERIFY(!locked.bridge.EveryCallLocked());
    std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
    locked.Count();
    QVERIFY(!locked.bridge.EveryCallLocked());
}

QTEST_APPLESS_MAIN(SimulatedBridgeTest)
#include "SimulatedBridgeTest.moc"
