#include "device/ControlCommands.h"
#include "device/LibraryLock.h"
#include "device/VendorBridgeLibrary.h"
#include "sim/FaultScript.h"
#include "tests/support/StringLists.h"
#include "tests/support/TransportRig.h"

#include <QtTest>

#include <array>
#include <memory>

Q_DECLARE_METATYPE(TransactionResult)
Q_DECLARE_METATYPE(OpenStep)

namespace {

const std::array<std::uint8_t, 4> kChunkRequest{0x11, 0x10, 0xB0, 0x00};
// What the simulated library answers for a call made to fail.
constexpr BridgeStatus kInjected = 0x5F;

QString EventName(TransportEvent event) {
    switch (event) {
    case TransportEvent::SerialStringFailed:
        return "SerialStringFailed";
    case TransportEvent::ProductStringFailed:
        return "ProductStringFailed";
    case TransportEvent::OpenFailed:
        return "OpenFailed";
    case TransportEvent::FlushFailed:
        return "FlushFailed";
    case TransportEvent::CloseFailed:
        return "CloseFailed";
    case TransportEvent::InvalidHandle:
        return "InvalidHandle";
    case TransportEvent::SendFailed:
        return "SendFailed";
    case TransportEvent::QueueCheckFailed:
        return "QueueCheckFailed";
    case TransportEvent::ReadFailed:
        return "ReadFailed";
    case TransportEvent::CommandUnitNotFound:
        return "CommandUnitNotFound";
    }
    return {};
}

struct Rig : TransportRig {
    ControlCommands commands{transport};

    // The events so far by name; each carries the failing call's status,
    // or none where no call failed.
    QStringList Events() const {
        QStringList names;
        for (std::size_t i = 0; i < events.events.size(); ++i) {
            const TransportEvent event = events.events[i];
            const bool callFailed = event != TransportEvent::InvalidHandle &&
                                    event != TransportEvent::CommandUnitNotFound;
            const BridgeStatus expected = callFailed ? kInjected : kBridgeSuccess;
            names << EventName(event) +
                         (events.statuses[i] == expected ? QString() : QString(" (wrong status)"));
        }
        return names;
    }

    // The unit's first 16 bytes into a reply area marked with 0xEE, so that
    // untouched bytes show.
    TransactionOutcome ReadFirstChunk(std::array<std::uint8_t, 16>& reply) {
        reply.fill(0xEE);
        return transport.DeviceTransaction(transport.Handle(), reply.data(), kChunkRequest.data(),
                                           16, 4);
    }
    bool IsUnitsFirstChunk(const std::array<std::uint8_t, 16>& reply) const {
        return std::equal(reply.begin(), reply.end(), unit.Memory(0xB0).begin());
    }
    void Apply(const QString& script) {
        const FaultScript parsed = ParseFaultScript(script.toStdString());
        QVERIFY(parsed.skippedLines.empty());
        ApplyFaultScript(parsed, bridge, unit);
    }
};

// Each request in an open/close cycle of its own.
QStringList Cycles(const QStringList& requests) {
    QStringList log;
    for (const QString& request : requests) {
        log << "open" << request << "close";
    }
    return log;
}

QString Verdict(bool answered, bool unconfirmed, bool missing) {
    const QStringList words{answered ? "answered" : "", unconfirmed ? "unconfirmed" : "",
                            missing ? "missing" : ""};
    const QString verdict = words.filter(QRegularExpression(".")).join('+');
    return verdict.isEmpty() ? "not sent" : verdict;
}

} // namespace

class DeviceTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // The fault script's "devices" line: the serials in order, those of 2022
    // being units; a row that finds one reads it and closes it again.
    void openAndClose_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<OpenStep>("step");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QStringList>("log");
        const QStringList read{"open", "11 10 B0 00", "close"};
        using S = OpenStep;
        const auto row = [](const char* name, const char* script, OpenStep step,
                            const QStringList& warnings, const QStringList& log) {
            QTest::newRow(name) << QString(script) << step << warnings << log;
        };
        row("only the unit", "", S::Opened, {}, read);
        row("no unit among the devices", "devices 1234", S::NoUnit, {}, {});
        row("unit second, the first is silent", "devices 1234,2022", S::Opened, {}, read);
        row("one digit more", "devices 20221", S::NoUnit, {}, {});
        row("prefix only", "devices 20", S::NoUnit, {}, {});
        row("count query fails", "fail count 1", S::Count, {}, {});
        row("serial query fails, next unit taken", "devices 1234,2022\nfail string 1", S::Opened,
            {"SerialStringFailed"}, read);
        row("serial query of the only unit fails", "fail string 1", S::SerialString,
            {"SerialStringFailed"}, {});
        row("product string fails", "fail string 2", S::ProductString, {"ProductStringFailed"}, {});
        row("open fails", "fail open 1", S::Open, {"OpenFailed"}, {});
        row("flush fails, unit closed again", "fail flush 1", S::Flush, {"FlushFailed"},
            {"open", "close"});
        row("flush and close fail", "fail flush 1\nfail close 1", S::Flush,
            {"FlushFailed", "CloseFailed"}, {"open"});
        row("close fails", "fail close 1", S::Opened, {"CloseFailed"}, read.mid(0, 2));
    }

    void openAndClose() {
        QFETCH(QString, script);
        QFETCH(OpenStep, step);
        QFETCH(QStringList, warnings);
        QFETCH(QStringList, log);
        rig->Apply(script);

        const OpenOutcome outcome = rig->transport.OpenDevice();
        QCOMPARE(outcome.step, step);
        const bool opened = step == OpenStep::Opened;
        const bool callFailed = !opened && step != OpenStep::NoUnit;
        QCOMPARE(outcome.status, callFailed ? kInjected : kBridgeSuccess);
        std::array<std::uint8_t, 16> reply{};
        if (opened) {
            QCOMPARE(rig->ReadFirstChunk(reply).result, TransactionResult::Ok);
            QVERIFY(rig->IsUnitsFirstChunk(reply));
        }
        QCOMPARE(*rig->transport.Handle() != kNoDevice, opened);
        rig->transport.CloseDevice();
        QCOMPARE(rig->Events(), warnings);
        QCOMPARE(ToStringList(rig->bridge.Log()), log);
        // Open clears both sides of the bridge: stale requests and stale replies.
        const std::vector<FlushFlags> flushes(log.isEmpty() ? 0 : 1, FlushFlags{1, 1});
        QVERIFY(rig->bridge.Flushes() == flushes);
        // Close waits its 100 ms also with nothing open.
        QCOMPARE(rig->clock.Slept(), std::uint64_t{100});
        QCOMPARE(*rig->transport.Handle(), kNoDevice);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QVERIFY(rig->bridge.EveryCallLocked());
        QVERIFY(!LibraryLock::Instance().IsHeld());
    }

    // Wait: the fake clock's ticks from the request to the outcome, give or
    // take two; each check of the queue, each look at a pending reply's due
    // time and each nap takes a tick.
    void transaction_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<std::uint32_t>("startTick");
        QTest::addColumn<TransactionResult>("result");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<std::uint32_t>("wait");
        using R = TransactionResult;
        const auto row = [](const char* name, const char* script, std::uint32_t start, R result,
                            const QStringList& warnings, std::uint32_t wait) {
            QTest::newRow(name) << QString(script) << start << result << warnings << wait;
        };
        row("answered", "", 0, R::Ok, {}, 0);
        row("late but within the limit", "late 1 900", 0, R::Ok, {}, 900);
        row("later than the limit", "late 1 1500", 0, R::TimedOut, {}, 1000);
        row("never answered", "noreply 1", 0, R::TimedOut, {}, 1000);
        row("tick count wraps at the start", "noreply 1", 0xFFFFFFFFu, R::TimedOut, {}, 1000);
        row("tick count wraps halfway", "noreply 1", 0xFFFFFE0Cu, R::TimedOut, {}, 1000);
        row("tick count wraps at the end", "noreply 1", 0xFFFFFC19u, R::TimedOut, {}, 1000);
        row("short reply", "short 1 5", 0, R::ShortReply, {}, 0);
        row("write fails", "fail write 1", 0, R::SendFailed, {"SendFailed"}, 0);
        row("queue check fails, bytes arrive", "fail queue 1", 0, R::QueueCheckFailed,
            {"QueueCheckFailed"}, 2);
        row("read fails", "fail read 1", 0, R::ReadFailed, {"ReadFailed"}, 0);
        row("nothing open", "fail open 1", 0, R::NotOpen, {"InvalidHandle"}, 0);
    }

    void transaction() {
        QFETCH(QString, script);
        QFETCH(std::uint32_t, startTick);
        QFETCH(TransactionResult, result);
        QFETCH(QStringList, warnings);
        QFETCH(std::uint32_t, wait);
        rig->clock = FakeClock(startTick);
        rig->Apply(script);
        const bool opened = rig->transport.OpenDevice().Opened();
        rig->events = {};

        std::array<std::uint8_t, 16> reply{};
        const std::uint32_t start = rig->clock.Now();
        const TransactionOutcome outcome = rig->ReadFirstChunk(reply);
        QCOMPARE(outcome.result, result);
        const bool callFailed = !warnings.isEmpty() && result != TransactionResult::NotOpen;
        QCOMPARE(outcome.status, callFailed ? kInjected : kBridgeSuccess);
        const std::uint32_t waited = rig->clock.Now() - start;
        QCOMPARE(rig->Events(), warnings);
        QVERIFY2(waited >= wait && waited <= wait + 2, qPrintable(QString::number(waited)));
        // Past its first millisecond the wait naps between checks instead of
        // spinning: at least one nap in every four ticks.
        QVERIFY(4 * rig->clock.Napped() + 2 >= waited);
        // Anything but a whole reply leaves the reply area as it was.
        QCOMPARE(rig->IsUnitsFirstChunk(reply), result == TransactionResult::Ok);
        if (result != TransactionResult::Ok) {
            QVERIFY(std::all_of(reply.begin(), reply.end(), [](auto b) { return b == 0xEE; }));
        }
        QCOMPARE(rig->bridge.CallCount(BridgeOperation::Write), opened ? 1 : 0);
        rig->transport.CloseDevice();
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }

    // A command is a mode, a reset or "status".
    void commands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("reply");
        const auto row = [](const char* name, const char* command, const char* script,
                            const char* verdict, const QStringList& requests,
                            const QStringList& warnings, const char* reply = "") {
            QTest::newRow(name) << QString(command) << QString(script) << QString(verdict)
                                << requests << warnings << QString(reply);
        };
        const auto mode = [](const char* code) {
            QStringList requests;
            for (const char* address : {"E0", "E1", "E4"}) {
                requests << QString("11 02 %1 23 24 %2 0D").arg(address, code);
            }
            return requests;
        };
        row("AUTOMIX", "automix", "", "answered", mode("01"), {});
        row("FIXED", "fixed", "", "answered", mode("02"), {});
        row("CUSTOM", "custom", "", "answered", mode("03"), {});
        row("reset A", "reset A", "", "answered", {"11 01 EA 23 20 0D"}, {});
        row("reset B", "reset B", "", "answered", {"11 01 EB 23 20 0D"}, {});
        row("mode, no unit", "custom", "devices 1234", "missing", {},
            QStringList(3, "CommandUnitNotFound"));
        row("reset, no unit", "reset B", "devices 1234", "missing", {}, {"CommandUnitNotFound"});
        // Each request tells for itself; the others still go out.
        row("mode, second request unanswered", "fixed", "noreply 2", "unconfirmed", mode("02"), {});
        row("status", "status", "mode 3", "answered", {"02"}, {}, "00 00 03");
        // The query leaves the words for a missing unit to its caller.
        row("status, no unit", "status", "devices 1234", "missing", {}, {});
        row("status, unanswered", "status", "noreply 1", "unconfirmed", {"02"}, {}, "EE EE EE");
    }

    void commands() {
        QFETCH(QString, command);
        QFETCH(QString, script);
        QFETCH(QString, verdict);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, warnings);
        QFETCH(QString, reply);
        rig->Apply(script);

        QString got;
        if (command == "status") {
            std::uint8_t status[3] = {0xEE, 0xEE, 0xEE};
            const CommandOutcome outcome = rig->commands.QueryStatus(status, 3);
            got = Verdict(outcome.Answered(), outcome.UnitFound() && !outcome.Answered(),
                          !outcome.UnitFound());
            if (outcome.UnitFound()) {
                QCOMPARE(QByteArray(reinterpret_cast<char*>(status), 3).toHex(' ').toUpper(),
                         reply.toLatin1());
            }
        } else {
            const QMap<QString, EdidMode> modes{{"automix", EdidMode::Automix},
                                                {"fixed", EdidMode::Fixed},
                                                {"custom", EdidMode::Custom}};
            const ControlReport report =
                modes.contains(command)
                    ? rig->commands.SetEDIDMode(modes.value(command))
                    : rig->commands.ResetEDID(command == "reset A" ? EdidReset::A : EdidReset::B);
            got = Verdict(report.Answered(), report.Unconfirmed(), report.UnitMissing());
        }
        QCOMPARE(got, verdict);
        QCOMPARE(ToStringList(rig->bridge.Log()), Cycles(requests));
        QCOMPARE(rig->Events(), warnings);
        QCOMPARE(rig->clock.Slept(), std::uint64_t{100} * requests.size());
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QCOMPARE(*rig->transport.Handle(), kNoDevice);
    }

    // A library file that is not there, and one that loads but is not the
    // bridge's (the C library has none of the eight operations): either is
    // told with the loader's own text, and acts as no unit attached.
    void missingLibraryActsAsNoUnit_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("systemText");
        QTest::newRow("no such file")
            << "libSiUSBXp-that-does-not-exist.so" << int(BridgeLoadProblem::LibraryNotLoaded) << ""
            << "No such file";
        QTest::newRow("not the bridge's")
            << "libc.so.6" << int(BridgeLoadProblem::OperationMissing) << "SI_GetNumDevices"
            << "SI_GetNumDevices";
    }

    void missingLibraryActsAsNoUnit() {
        QFETCH(QString, file);
        QFETCH(int, problem);
        QFETCH(QString, operation);
        QFETCH(QString, systemText);
        VendorBridgeLibrary library(file.toStdString());
        QVERIFY(!library.IsBound());
        const BridgeLoadFailure failure = library.LoadFailure();
        QCOMPARE(int(failure.problem), problem);
        QCOMPARE(QString::fromStdString(failure.library), file);
        QCOMPARE(QString::fromStdString(failure.operation), operation);
        QVERIFY2(QString::fromStdString(failure.systemText).contains(systemText),
                 failure.systemText.c_str());
        BridgeTransport transport(library, rig->clock, rig->events);
        const OpenOutcome open = transport.OpenDevice();
        QCOMPARE(open.step, OpenStep::Count);
        QCOMPARE(open.status, BridgeStatus(BridgeFailure::DeviceNotFound));
        QVERIFY(rig->events.events.empty());
        QCOMPARE(*transport.Handle(), kNoDevice);
    }
};

QTEST_GUILESS_MAIN(DeviceTest)
#include "DeviceTest.moc"
