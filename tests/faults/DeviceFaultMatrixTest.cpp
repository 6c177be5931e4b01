#include "Checksum.h"
#include "FaultRig.h"
#include "HexText.h"
#include "OperationModel.h"

#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <map>

// Every user operation that talks to the unit, run once for each library call
// it makes with that call failing, and once for each of its transactions with
// the reply lost, late, cut short or (for block writes) refused, and with the
// unit gone after it. Each case is judged against what the fault hit.
namespace {

// The fake clock moves one millisecond with each tick query, so a
// transaction that waits out its limit reads the clock 1001 times.
constexpr std::uint32_t kTransactionBoundMs = BridgeTransport::kReplyTimeoutMs + 1;
constexpr int kInTimeDelayMs = 900;
constexpr int kTooLateDelayMs = 1500;

const QStringList kNativeFailureTexts = {
    "Error retrieving serial string!",
    "Unable to retrive product string!",
    "Unable to open handle to device!",
    "Unable to flush device bufers!",
    "Unable to close device handle!",
    "Invalid Device Handle",
    "Error Sending Code",
    "Error Checking Queue",
    "Error Reading Data",
    "Hardware not found!",
};
const QStringList kWindowFailureTexts = {
    "Hardware not found",
    "Error Reading EDID values.",
    "Error Writing EDID values.",
    "Hex Format Error",
    "The unit's EDID table may now be partly written. Write the table again.",
    "The unit did not confirm the EDID mode change.",
};
const QRegularExpression
    kIncompleteTable(QStringLiteral("^Incomplete EDID table: \\d+ of 256 byte values\\.$"));
const QString kModeUnknown = QStringLiteral("The unit's EDID mode is unknown.");
const QString kResetUnanswered =
    QStringLiteral("The unit did not answer the EDID reset after the write.");
const QString kNoTableAt = QStringLiteral("Hex format error in the group at line 1, column 1.");
const QStringList kDeviceStatusTexts = {
    "EDID values read.", "EDID values written...", "Error Writing EDID values.",
    kModeUnknown,        kResetUnanswered,         kNoTableAt};
const QString kPartlyWritten =
    QStringLiteral("The unit's EDID table may now be partly written. Write the table again.");
const QString kModeUnconfirmed = QStringLiteral("The unit did not confirm the EDID mode change.");

const QString kRead = QStringLiteral("EDID values read.");
const QString kWritten = QStringLiteral("EDID values written...");
const QString kReadError = QStringLiteral("Error Reading EDID values.");
const QString kWriteError = QStringLiteral("Error Writing EDID values.");
const QString kNotFound = QStringLiteral("Hardware not found");

// The message that the transport shows when a call of this kind fails; the
// device count has none.
QString NativeTextFor(CallKind kind) {
    switch (kind) {
    case CallKind::Count:
        return {};
    case CallKind::Serial:
        return QStringLiteral("Error retrieving serial string!");
    case CallKind::Product:
        return QStringLiteral("Unable to retrive product string!");
    case CallKind::Open:
        return QStringLiteral("Unable to open handle to device!");
    case CallKind::Close:
        return QStringLiteral("Unable to close device handle!");
    case CallKind::Read:
        return QStringLiteral("Error Reading Data");
    case CallKind::Write:
        return QStringLiteral("Error Sending Code");
    case CallKind::Flush:
        return QStringLiteral("Unable to flush device bufers!");
    case CallKind::Queue:
        return QStringLiteral("Error Checking Queue");
    }
    return {};
}

const char* CallName(CallKind kind) {
    static const char* const names[] = {"count", "serial", "product", "open", "close",
                                        "read",  "write",  "flush",   "queue"};
    return names[static_cast<int>(kind)];
}

// Tables with right checksums that differ in every byte from each other.
EdidImage TableFrom(std::uint8_t seed) {
    return SeededTable(seed, 5);
}
const EdidImage kStartupTable = TableFrom(1);
const EdidImage kLaterTable = TableFrom(2);
const EdidImage kTableToWrite = TableFrom(3);

enum class OperationKind { Startup, Read, Write, ModeClick, ResetPair, Exit };

struct Operation {
    const char* name;
    OperationKind kind;
    // The waits that the operation asks for when nothing fails.
    std::uint32_t waitsMs;
    // The mode button clicked, and the mode code it stands for.
    const char* button = nullptr;
    std::uint8_t modeCode = 0;
};

const Operation kOperations[] = {
    {"start-up", OperationKind::Startup, 300},
    {"Read EDID", OperationKind::Read, 100},
    {"Write EDID", OperationKind::Write, 100 + 32 * 50 + 200 + 50},
    {"AUTOMIX click", OperationKind::ModeClick, 300, "automixEDID", SimulatedUnit::kAutomix},
    {"CUSTOM click", OperationKind::ModeClick, 300, "customEDID", SimulatedUnit::kCustom},
    {"FIXED click", OperationKind::ModeClick, 300, "defaultEDID", SimulatedUnit::kFixed},
    {"reset pair", OperationKind::ResetPair, 250},
    // Run in a child process, which checks its own 100 ms wait.
    {"File > Exit", OperationKind::Exit, 0},
};

const Operation& OperationNamed(const QString& name) {
    return *std::find_if(std::begin(kOperations), std::end(kOperations),
                         [&name](const Operation& op) { return name == op.name; });
}

// Everything counted up to the start of the operation, so that what the
// operation did can be told apart from what came before.
struct Marks {
    std::size_t tracedCalls = 0;
    std::size_t requests = 0;
    int bridgeCalls = 0;
    int transactions = 0;
    std::uint32_t now = 0;
    std::uint64_t slept = 0;
    std::size_t natives = 0;
    int dialogCalls = 0;
    QString viewText;
};

Marks TakeMarks(const FaultRig& rig) {
    Marks marks;
    marks.tracedCalls = rig.trace.Calls().size();
    marks.requests = rig.bridge.Requests().size();
    marks.bridgeCalls = rig.bridge.CallCount();
    marks.transactions = rig.bridge.TransactionCount();
    marks.now = rig.clock.Now();
    marks.slept = rig.clock.Slept();
    marks.natives = rig.native.texts.size();
    marks.dialogCalls = static_cast<int>(rig.dialogs.calls.size());
    if (rig.window) {
        marks.viewText = rig.Find<QTextEdit>("EDIDtext")->toPlainText();
    }
    return marks;
}

void Arrange(FaultRig& rig, const Operation& op) {
    rig.unit.SetModeCode(SimulatedUnit::kCustom);
    rig.unit.SetMemory(0xB0, kStartupTable);
    if (op.kind == OperationKind::Startup) {
        return;
    }
    rig.Start();
    // The start-up's message would hide the same message shown again.
    rig.window->statusBar()->clearMessage();
    rig.statusMessages.clear();
    QTextEdit* view = rig.Find<QTextEdit>("EDIDtext");
    switch (op.kind) {
    case OperationKind::Read:
        // A read that succeeds shows a table other than the one in the view.
        rig.unit.SetMemory(0xB0, kLaterTable);
        break;
    case OperationKind::Write:
        view->setPlainText(TextOf(kTableToWrite));
        break;
    case OperationKind::ResetPair:
        // A view that does not parse stops the write before it opens the
        // unit, so only the two reset commands go out.
        view->setPlainText(QStringLiteral("not a table"));
        break;
    default:
        break;
    }
}

void Act(FaultRig& rig, const Operation& op) {
    switch (op.kind) {
    case OperationKind::Startup:
        rig.Start();
        break;
    case OperationKind::Read:
        rig.Invoke("ReadEDID");
        break;
    case OperationKind::Write:
    case OperationKind::ResetPair:
        rig.Invoke("WriteEDID");
        break;
    case OperationKind::ModeClick:
        rig.Find<QRadioButton>(op.button)->click();
        break;
    case OperationKind::Exit:
        rig.exitStatus = ExitStatusInChild(
            rig.processExit, [&rig] { rig.Invoke("FileExit"); },
            [&rig, calls = rig.trace.Calls().size(), slept = rig.clock.Slept()] {
                return rig.trace.Calls().size() == calls && rig.clock.Slept() - slept == 100;
            });
        break;
    }
}

void Inject(FaultRig& rig, const Fault& fault, const Marks& marks) {
    const int transaction = marks.transactions + fault.number;
    switch (fault.kind) {
    case FaultKind::None:
        break;
    case FaultKind::FailCall:
        rig.bridge.FailCallNumber(marks.bridgeCalls + fault.number);
        break;
    case FaultKind::NoReply:
        rig.bridge.ReplyNever(transaction);
        break;
    case FaultKind::LateReply:
        rig.bridge.ReplyLate(transaction, static_cast<std::uint32_t>(fault.value));
        break;
    case FaultKind::ShortReply:
        rig.bridge.ReplyShort(transaction, static_cast<std::size_t>(fault.value));
        break;
    case FaultKind::ErrorByte:
        rig.bridge.ReplyErrorByte(transaction, static_cast<std::uint8_t>(fault.value));
        break;
    case FaultKind::VanishAfter:
        rig.bridge.VanishAfter(transaction);
        break;
    }
}

// What the operation did, seen from outside the window.
struct Outcome {
    std::vector<TracedCall> calls;
    int transactions = 0;
    std::uint32_t elapsedMs = 0;
    std::uint64_t sleptMs = 0;
    QStringList natives;
    QStringList warnings;
    QStringList statuses;
    int openAttempts = 0;
};

Outcome Observe(const FaultRig& rig, const Marks& marks) {
    Outcome outcome;
    outcome.calls.assign(rig.trace.Calls().begin() + static_cast<long>(marks.tracedCalls),
                         rig.trace.Calls().end());
    outcome.transactions = rig.bridge.TransactionCount() - marks.transactions;
    outcome.elapsedMs = rig.clock.Now() - marks.now;
    outcome.sleptMs = rig.clock.Slept() - marks.slept;
    for (std::size_t i = marks.natives; i < rig.native.texts.size(); ++i) {
        outcome.natives.append(QString::fromStdString(rig.native.texts[i]));
    }
    for (int i = marks.dialogCalls; i < rig.dialogs.calls.size(); ++i) {
        if (rig.dialogs.calls[i].kind == QLatin1String("warning")) {
            outcome.warnings.append(rig.dialogs.calls[i].text);
        }
    }
    outcome.statuses = rig.statusMessages;
    outcome.openAttempts = static_cast<int>(
        std::count_if(outcome.calls.begin(), outcome.calls.end(),
                      [](const TracedCall& call) { return call.kind == CallKind::Count; }));
    return outcome;
}

// The read run's own warning, if the fault made it fail.
QStringList ReadWarnings(const CaseModel& model, const Cycle& read) {
    if (!model.Spoils(read)) {
        return {};
    }
    return {model.Opens(read) ? kReadError : kNotFound};
}

} // namespace

class DeviceFaultMatrixTest : public QObject {
    Q_OBJECT

private:
    std::map<QString, OperationTrace> traces_;
    int run_ = 0;
    int passed_ = 0;

    std::unique_ptr<FaultRig> rig;
    Marks marks;
    Outcome outcome;

    // Messages, timing and the unit's handles, whatever the operation.
    void CheckCommon(const Operation& op, const CaseModel& model) {
        const OperationTrace& trace = model.Trace();
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QVERIFY2(outcome.elapsedMs <= trace.TransactionCount() * kTransactionBoundMs + op.waitsMs,
                 qPrintable(QStringLiteral("took %1 ms").arg(outcome.elapsedMs)));
        QVERIFY(outcome.sleptMs <= op.waitsMs);
        QVERIFY(outcome.transactions <= trace.TransactionCount());

        for (const QString& text : outcome.natives) {
            QVERIFY2(kNativeFailureTexts.contains(text), qPrintable(text));
        }
        for (const QString& text : outcome.warnings) {
            QVERIFY2(kWindowFailureTexts.contains(text) || kIncompleteTable.match(text).hasMatch(),
                     qPrintable(text));
        }
        for (const QString& text : outcome.statuses) {
            QVERIFY2(kDeviceStatusTexts.contains(text), qPrintable(text));
        }

        // The failed call reports itself once; beyond it only a control
        // command may add that it found no unit.
        QStringList others = outcome.natives;
        const Fault& fault = model.GetFault();
        if (fault.kind == FaultKind::FailCall) {
            const QString own = NativeTextFor(trace.Call(fault.number).kind);
            if (!own.isEmpty()) {
                QCOMPARE(others.count(own), qsizetype{1});
                others.removeOne(own);
            }
            others.removeAll(QStringLiteral("Hardware not found!"));
        } else if (fault.kind == FaultKind::VanishAfter) {
            others.removeAll(QStringLiteral("Hardware not found!"));
            others.removeAll(QStringLiteral("Error Sending Code"));
        }
        QCOMPARE(others, QStringList());

        if (model.SpoilsNothing()) {
            QCOMPARE(outcome.sleptMs, static_cast<std::uint64_t>(op.waitsMs));
        }
    }

    void CheckStartup(const CaseModel& model) {
        const std::vector<Cycle>& cycles = model.Trace().Cycles();
        QCOMPARE(cycles.size(), std::size_t{3});
        const Cycle& probe = cycles[0];
        const Cycle& query = cycles[1];
        const Cycle& read = cycles[2];
        QTextEdit* view = rig->Find<QTextEdit>("EDIDtext");
        if (model.Spoils(probe)) {
            // No unit to be seen: the window starts empty and asks nothing.
            QCOMPARE(outcome.openAttempts, 1);
            QCOMPARE(view->toPlainText(), QString());
            QVERIFY(rig->Find<QRadioButton>("automixEDID")->isChecked());
            QCOMPARE(outcome.warnings, QStringList());
            QCOMPARE(outcome.statuses, QStringList());
            return;
        }
        QCOMPARE(outcome.openAttempts, 3);
        const bool modeKnown = !model.Spoils(query);
        QCOMPARE(rig->Find<QRadioButton>("customEDID")->isChecked(), modeKnown);
        QCOMPARE(rig->Find<QRadioButton>("automixEDID")->isChecked(), !modeKnown);
        QCOMPARE(view->isEnabled(), modeKnown);
        QStringList warnings = model.Opens(query) ? QStringList() : QStringList{kNotFound};
        warnings += ReadWarnings(model, read);
        QCOMPARE(outcome.warnings, warnings);
        // A unit that was found but did not answer the query: the default
        // AUTOMIX is said to be no more than that, after the read.
        const bool modeUnknown = model.Opens(query) && model.Spoils(query);
        CheckReadResult(model, read, QString(), modeUnknown ? kModeUnknown : kRead);
        if (modeUnknown) {
            QCOMPARE(outcome.statuses.last(), kModeUnknown);
        }
    }

    // lastStatus: the message that a read that succeeds leaves.
    void CheckReadResult(const CaseModel& model, const Cycle& read, const QString& before,
                         const QString& lastStatus = kRead) {
        const QString viewText = rig->Find<QTextEdit>("EDIDtext")->toPlainText();
        if (model.Spoils(read)) {
            QCOMPARE(viewText, before);
            QVERIFY(!outcome.statuses.contains(kRead));
        } else {
            QCOMPARE(viewText, TextOf(rig->unit.Memory(0xB0)));
            QCOMPARE(outcome.statuses, QStringList{lastStatus});
        }
    }

    // Either reset command of the pair that got no answer is said once,
    // after everything else.
    QStringList ResetNote(const CaseModel& model, const Cycle& resetA, const Cycle& resetB) {
        return model.Spoils(resetA) || model.Spoils(resetB) ? QStringList{kResetUnanswered}
                                                            : QStringList();
    }

    void CheckRead(const CaseModel& model) {
        QCOMPARE(model.Trace().Cycles().size(), std::size_t{1});
        const Cycle& read = model.Trace().Cycles()[0];
        QCOMPARE(outcome.warnings, ReadWarnings(model, read));
        CheckReadResult(model, read, marks.viewText);
    }

    void CheckWrite(const CaseModel& model) {
        QCOMPARE(model.Trace().Cycles().size(), std::size_t{3});
        const Cycle& write = model.Trace().Cycles()[0];
        const QStringList resetNote =
            ResetNote(model, model.Trace().Cycles()[1], model.Trace().Cycles()[2]);
        // Both reset commands are tried after every write that passed the
        // mode check.
        QCOMPARE(outcome.openAttempts, 3);
        QCOMPARE(rig->Find<QTextEdit>("EDIDtext")->toPlainText(), marks.viewText);
        if (!model.Spoils(write)) {
            QCOMPARE(outcome.warnings, QStringList());
            QCOMPARE(outcome.statuses, QStringList{kWritten} + resetNote);
            QCOMPARE(rig->unit.Memory(0xB0), kTableToWrite);
            return;
        }
        QVERIFY(!outcome.statuses.contains(kWritten));
        QStringList statuses = outcome.statuses;
        QCOMPARE(statuses.mid(statuses.size() - resetNote.size()), resetNote);
        statuses.resize(statuses.size() - resetNote.size());
        if (model.Opens(write)) {
            // Any chunk may have gone in before the run failed.
            QCOMPARE(outcome.warnings, (QStringList{kWriteError, kPartlyWritten}));
            QCOMPARE(statuses.last(), kWriteError);
        } else {
            QCOMPARE(outcome.warnings, QStringList{kNotFound});
            QCOMPARE(statuses, QStringList());
        }
    }

    void CheckModeClick(const Operation& op, const CaseModel& model) {
        QCOMPARE(model.Trace().Cycles().size(), std::size_t{3});
        // The three control requests are all tried, whatever became of the
        // earlier ones.
        QCOMPARE(outcome.openAttempts, 3);
        // Said once for the click when a request reached the unit but got no
        // valid answer; an absent unit has its own boxes.
        const auto& cycles = model.Trace().Cycles();
        const bool unconfirmed = std::any_of(cycles.begin(), cycles.end(), [&](const Cycle& c) {
            return model.Opens(c) && model.Spoils(c);
        });
        QCOMPARE(outcome.warnings, unconfirmed ? QStringList{kModeUnconfirmed} : QStringList());
        QCOMPARE(outcome.statuses, QStringList());
        QCOMPARE(rig->Find<QTextEdit>("EDIDtext")->toPlainText(), marks.viewText);
        QVERIFY(rig->Find<QRadioButton>(op.button)->isChecked());
        QCOMPARE(rig->Find<QTextEdit>("EDIDtext")->isEnabled(),
                 op.modeCode == SimulatedUnit::kCustom);
        if (model.SpoilsNothing()) {
            QCOMPARE(rig->unit.ModeCode(), op.modeCode);
        }
    }

    void CheckResetPair(const CaseModel& model) {
        QCOMPARE(model.Trace().Cycles().size(), std::size_t{2});
        QCOMPARE(outcome.openAttempts, 2);
        QCOMPARE(outcome.warnings, QStringList{"Hex Format Error"});
        QCOMPARE(outcome.statuses,
                 QStringList{kNoTableAt} +
                     ResetNote(model, model.Trace().Cycles()[0], model.Trace().Cycles()[1]));
        QCOMPARE(rig->Find<QTextEdit>("EDIDtext")->toPlainText(), marks.viewText);
        if (model.SpoilsNothing()) {
            QCOMPARE(rig->unit.ResetCountA(), 1u);
            QCOMPARE(rig->unit.ResetCountB(), 1u);
        }
    }

    // Status 0, the close's wait, and no library call on the way out.
    void CheckExit() { QCOMPARE(rig->exitStatus, 0); }

    // Closing the window goes through the transport's close: with its handle
    // back at -1 it makes no library call.
    void CheckHandleReleased() {
        Act(*rig, OperationNamed(QStringLiteral("File > Exit")));
        CheckExit();
    }

    void RunCase(const Operation& op, const Fault& fault) {
        rig = std::make_unique<FaultRig>();
        Arrange(*rig, op);
        marks = TakeMarks(*rig);
        Inject(*rig, fault, marks);
        Act(*rig, op);
        outcome = Observe(*rig, marks);
    }

    OperationTrace TraceOf(const Operation& op) {
        RunCase(op, Fault{});
        std::vector<std::vector<std::uint8_t>> requests = rig->bridge.Requests();
        requests.erase(requests.begin(), requests.begin() + static_cast<long>(marks.requests));
        return OperationTrace(outcome.calls, marks.transactions, requests);
    }

private slots:
    void initTestCase() {
        for (const Operation& op : kOperations) {
            traces_.emplace(QString::fromLatin1(op.name), TraceOf(op));
        }
        rig.reset();
    }

    void cleanup() {
        rig.reset();
        ++run_;
        if (!QTest::currentTestFailed()) {
            ++passed_;
        }
    }

    void cleanupTestCase() { qInfo("fault matrix: %d cases run, %d passed", run_, passed_); }

    void faultMatrix_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("value");

        for (const Operation& op : kOperations) {
            const QString name = QString::fromLatin1(op.name);
            const OperationTrace& trace = traces_.at(name);
            const auto row = [&name](const QString& label, FaultKind kind, int number, int value) {
                QTest::newRow(qPrintable(name + QStringLiteral(": ") + label))
                    << name << static_cast<int>(kind) << number << value;
            };
            row(QStringLiteral("no fault"), FaultKind::None, 0, 0);
            for (int n = 1; n <= trace.CallCount(); ++n) {
                row(QStringLiteral("call %1 (%2) fails").arg(n).arg(CallName(trace.Call(n).kind)),
                    FaultKind::FailCall, n, 0);
            }
            for (int t = 1; t <= trace.TransactionCount(); ++t) {
                row(QStringLiteral("no reply to transaction %1").arg(t), FaultKind::NoReply, t, 0);
                // Slow but in time, and too late: the reply then arrives while
                // the program has moved on.
                for (const int delay : {kInTimeDelayMs, kTooLateDelayMs}) {
                    row(QStringLiteral("reply to transaction %1 late by %2 ms").arg(t).arg(delay),
                        FaultKind::LateReply, t, delay);
                }
                // A one-byte reply cut short is no reply at all, already covered.
                const int replyLength = trace.ReplyLength(t);
                if (replyLength > 1) {
                    row(QStringLiteral("reply to transaction %1 cut to %2 bytes")
                            .arg(t)
                            .arg(replyLength - 1),
                        FaultKind::ShortReply, t, replyLength - 1);
                }
                if (trace.IsBlockWrite(t)) {
                    row(QStringLiteral("transaction %1 answered with error byte").arg(t),
                        FaultKind::ErrorByte, t, 1);
                }
            }
            for (int t = 0; t <= trace.TransactionCount(); ++t) {
                row(QStringLiteral("unit gone after transaction %1").arg(t), FaultKind::VanishAfter,
                    t, 0);
            }
        }
    }

    void faultMatrix() {
        QFETCH(QString, operation);
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(int, value);
        const Operation& op = OperationNamed(operation);
        const Fault fault{static_cast<FaultKind>(kind), number, value};
        const CaseModel model(traces_.at(operation), fault);

        RunCase(op, fault);

        CheckCommon(op, model);
        if (QTest::currentTestFailed()) {
            return;
        }
        switch (op.kind) {
        case OperationKind::Startup:
            CheckStartup(model);
            break;
        case OperationKind::Read:
            CheckRead(model);
            break;
        case OperationKind::Write:
            CheckWrite(model);
            break;
        case OperationKind::ModeClick:
            CheckModeClick(op, model);
            break;
        case OperationKind::ResetPair:
            CheckResetPair(model);
            break;
        case OperationKind::Exit:
            CheckExit();
            return;
        }
        if (QTest::currentTestFailed()) {
            return;
        }
        QVERIFY(rig->ProgressHidden());
        CheckHandleReleased();
    }
};

QTEST_MAIN(DeviceFaultMatrixTest)
#include "DeviceFaultMatrixTest.moc"
