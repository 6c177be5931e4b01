#include "BridgeTransport.h"
#include "FakeClock.h"
#include "LibraryLock.h"
#include "RecordingNativeWarning.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"
#include "StringLists.h"
#include "TransportRig.h"

#include <QtTest>

#include <array>
#include <memory>

Q_DECLARE_METATYPE(BridgeOperation)
Q_DECLARE_METATYPE(TransactionResult)

namespace {

// One failing call: the operation and which of its calls, counted from 1.
struct Failure {
    BridgeOperation operation;
    int call;
};
using Failures = QList<Failure>;

// A device list written as serial strings; the one marked '*' is the unit.
std::vector<SimulatedDevice> Devices(const QStringList& serials) {
    std::vector<SimulatedDevice> devices;
    for (const QString& entry : serials) {
        const bool isUnit = entry.startsWith('*');
        const QString serial = isUnit ? entry.mid(1) : entry;
        devices.push_back({serial.toStdString(), "CP2102", isUnit});
    }
    return devices;
}

const std::array<std::uint8_t, 4> kChunkRequest{0x11, 0x10, 0xB0, 0x00};

} // namespace

Q_DECLARE_METATYPE(Failures)

class BridgeTransportTest : public QObject {
    Q_OBJECT

private:
    using Rig = TransportRig;

    std::unique_ptr<Rig> rig;

    // A block read of the unit's first 16 bytes into a reply area marked
    // with 0xEE, so that untouched bytes show.
    TransactionResult ReadFirstChunk(std::array<std::uint8_t, 16>& reply) {
        reply.fill(0xEE);
        return rig->transport.DeviceTransaction(rig->transport.Handle(), reply.data(),
                                                kChunkRequest.data(), 16, 4);
    }

    bool FirstChunkIsUnits(const std::array<std::uint8_t, 16>& reply) const {
        const auto& table = rig->unit.Memory(0xB0);
        return std::equal(reply.begin(), reply.end(), table.begin());
    }

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    void openFindsTheUnit_data() {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<Failures>("failures");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QStringList>("log");

        const QStringList none;
        QTest::newRow("no device") << QStringList{} << Failures{} << false << none << none;
        QTest::newRow("only the unit")
            << QStringList{"*2022"} << Failures{} << true << none << QStringList{"open"};
        QTest::newRow("unit second")
            << QStringList{"1234", "*2022"} << Failures{} << true << none << QStringList{"open"};
        QTest::newRow("two report 2022, first taken")
            << QStringList{"*2022", "2022"} << Failures{} << true << none << QStringList{"open"};
        QTest::newRow("one digit more")
            << QStringList{"20221"} << Failures{} << false << none << none;
        QTest::newRow("trailing space")
            << QStringList{"2022 "} << Failures{} << false << none << none;
        QTest::newRow("empty serial") << QStringList{""} << Failures{} << false << none << none;
        QTest::newRow("count query fails")
            << QStringList{"*2022"} << Failures{{BridgeOperation::GetNumDevices, 1}} << false
            << none << none;
        QTest::newRow("serial query fails, next device taken")
            << QStringList{"2022", "*2022"} << Failures{{BridgeOperation::GetProductString, 1}}
            << true << QStringList{"Error retrieving serial string!"} << QStringList{"open"};
        QTest::newRow("product string fails")
            << QStringList{"*2022"} << Failures{{BridgeOperation::GetProductString, 2}} << false
            << QStringList{"Unable to retrive product string!"} << none;
        QTest::newRow("open fails")
            << QStringList{"*2022"} << Failures{{BridgeOperation::Open, 1}} << false
            << QStringList{"Unable to open handle to device!"} << none;
        QTest::newRow("flush fails, unit closed again")
            << QStringList{"*2022"} << Failures{{BridgeOperation::FlushBuffers, 1}} << false
            << QStringList{"Unable to flush device bufers!"} << QStringList{"open", "close"};
        QTest::newRow("flush and close fail")
            << QStringList{"*2022"}
            << Failures{{BridgeOperation::FlushBuffers, 1}, {BridgeOperation::Close, 1}} << false
            << QStringList{"Unable to flush device bufers!", "Unable to close device handle!"}
            << QStringList{"open"};
    }

    void openFindsTheUnit() {
        QFETCH(QStringList, devices);
        QFETCH(Failures, failures);
        QFETCH(bool, opened);
        QFETCH(QStringList, warnings);
        QFETCH(QStringList, log);

        rig->bridge.SetDevices(Devices(devices));
        for (const Failure& failure : failures) {
            rig->bridge.FailCall(failure.operation, failure.call);
        }

        QCOMPARE(rig->transport.OpenDevice(), opened);
        QCOMPARE(ToStringList(rig->warning.texts), warnings);
        QCOMPARE(ToStringList(rig->bridge.Log()), log);
        if (opened) {
            // The opened device is the unit: it answers.
            std::array<std::uint8_t, 16> reply{};
            QCOMPARE(ReadFirstChunk(reply), TransactionResult::Ok);
            QVERIFY(FirstChunkIsUnits(reply));
            rig->transport.CloseDevice();
        } else {
            QCOMPARE(*rig->transport.Handle(), kNoDevice);
        }
        QCOMPARE(*rig->transport.Handle(), kNoDevice);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QVERIFY(rig->bridge.EveryCallLocked());
        QVERIFY(!LibraryLock::Instance().IsHeld());
    }

    void failedCountQuerySearchesNothing() {
        rig->bridge.FailCall(BridgeOperation::GetNumDevices, 1);
        QVERIFY(!rig->transport.OpenDevice());
        QCOMPARE(rig->bridge.CallCount(), 1);
    }

    void closeWaitsAndReports_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("closeFails");
        QTest::addColumn<QStringList>("warnings");

        QTest::newRow("nothing open") << false << false << QStringList{};
        QTest::newRow("unit open") << true << false << QStringList{};
        QTest::newRow("close fails")
            << true << true << QStringList{"Unable to close device handle!"};
    }

    void closeWaitsAndReports() {
        QFETCH(bool, open);
        QFETCH(bool, closeFails);
        QFETCH(QStringList, warnings);

        if (open) {
            QVERIFY(rig->transport.OpenDevice());
        }
        if (closeFails) {
            rig->bridge.FailCall(BridgeOperation::Close, 1);
        }
        const std::uint64_t sleptBefore = rig->clock.Slept();
        rig->transport.CloseDevice();
        QCOMPARE(rig->clock.Slept() - sleptBefore, std::uint64_t{100});
        QCOMPARE(ToStringList(rig->warning.texts), warnings);
        QCOMPARE(*rig->transport.Handle(), kNoDevice);
    }

    void transactionOutcomes_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<TransactionResult>("result");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("replyIsUnits");

        const QStringList none;
        using R = TransactionResult;
        QTest::newRow("answered") << "none" << R::Ok << none << true;
        QTest::newRow("late but within the limit") << "late 900" << R::Ok << none << true;
        QTest::newRow("later than the limit") << "late 1500" << R::TimedOut << none << false;
        QTest::newRow("never answered") << "never" << R::TimedOut << none << false;
        QTest::newRow("short reply") << "short 5" << R::ShortReply << none << false;
        QTest::newRow("write fails")
            << "write" << R::SendFailed << QStringList{"Error Sending Code"} << false;
        QTest::newRow("queue check fails, bytes arrive")
            << "queue" << R::QueueCheckFailed << QStringList{"Error Checking Queue"} << false;
        QTest::newRow("read fails")
            << "read" << R::ReadFailed << QStringList{"Error Reading Data"} << false;
    }

    void transactionOutcomes() {
        QFETCH(QString, fault);
        QFETCH(TransactionResult, result);
        QFETCH(QStringList, warnings);
        QFETCH(bool, replyIsUnits);

        QVERIFY(rig->transport.OpenDevice());
        const QStringList words = fault.split(' ');
        if (words[0] == "late") {
            rig->bridge.ReplyLate(1, words[1].toUInt());
        } else if (words[0] == "never") {
            rig->bridge.ReplyNever(1);
        } else if (words[0] == "short") {
            rig->bridge.ReplyShort(1, words[1].toUInt());
        } else if (words[0] == "write") {
            rig->bridge.FailCall(BridgeOperation::Write, 1);
        } else if (words[0] == "queue") {
            rig->bridge.FailCall(BridgeOperation::CheckRXQueue, 1);
        } else if (words[0] == "read") {
            rig->bridge.FailCall(BridgeOperation::Read, 1);
        }

        std::array<std::uint8_t, 16> reply{};
        const std::uint32_t start = rig->clock.Now();
        QCOMPARE(ReadFirstChunk(reply), result);
        QCOMPARE(ToStringList(rig->warning.texts), warnings);
        if (fault == "none") {
            // A reply that is already there is taken without a nap.
            QCOMPARE(rig->clock.Napped(), std::uint64_t{0});
        }
        if (replyIsUnits) {
            QVERIFY(FirstChunkIsUnits(reply));
        } else {
            // A failed transaction leaves the reply area as it was.
            QVERIFY(std::all_of(reply.begin(), reply.end(), [](auto b) { return b == 0xEE; }));
        }
        // Nothing waits past the reply limit, and a failed write waits not at all.
        QVERIFY(rig->clock.Now() - start <= 1010);
        if (fault == "write") {
            QCOMPARE(rig->bridge.CallCount(BridgeOperation::CheckRXQueue), 0);
        }
        if (fault == "queue") {
            QCOMPARE(rig->bridge.CallCount(BridgeOperation::Read), 0);
        }
        rig->transport.CloseDevice();
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }

    void unansweredTransactionWaitsTheWholeLimit() {
        QVERIFY(rig->transport.OpenDevice());
        rig->bridge.ReplyNever(1);
        std::array<std::uint8_t, 16> reply{};
        const std::uint32_t start = rig->clock.Now();
        QCOMPARE(ReadFirstChunk(reply), TransactionResult::TimedOut);
        QVERIFY(rig->clock.Now() - start >= 1000);
        // Past its first millisecond the wait naps between checks instead of
        // spinning: on this clock a check and a nap take a millisecond each.
        QVERIFY(rig->clock.Napped() >= 450);
        QVERIFY(rig->bridge.CallCount(BridgeOperation::CheckRXQueue) <= 550);
        rig->transport.CloseDevice();
    }

    void tickCountWrapDoesNoHarm() {
        rig = std::make_unique<Rig>();
        rig->clock = FakeClock(0xFFFFFF00u);
        QVERIFY(rig->transport.OpenDevice());
        rig->bridge.ReplyNever(1);
        std::array<std::uint8_t, 16> reply{};
        QCOMPARE(ReadFirstChunk(reply), TransactionResult::TimedOut);
        // The limit ran across the wrap: about 1000 ms, not 0 and not forever.
        QVERIFY(rig->clock.Now() >= 0x2E8u && rig->clock.Now() < 0x400u);
        rig->transport.CloseDevice();
    }

    void transactionWithoutHandleSendsNothing() {
        std::array<std::uint8_t, 16> reply{};
        QCOMPARE(ReadFirstChunk(reply), TransactionResult::NotOpen);
        QCOMPARE(ToStringList(rig->warning.texts), QStringList{"Invalid Device Handle"});
        QVERIFY(rig->bridge.Requests().empty());
    }
};

QTEST_GUILESS_MAIN(BridgeTransportTest)
#include "BridgeTransportTest.moc"
