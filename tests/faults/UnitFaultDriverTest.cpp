#include "app/MainWindow.h"
#include "device/CommandFrames.h"
#include "edid/Checksum.h"
#include "edid/HexText.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/ChildProcessExit.h"
#include "tests/support/HexViewProbe.h"
#include "tests/support/RunToolInProcess.h"
#include "tests/support/ScriptedDialogs.h"

#include <QFile>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

// Every operation that talks to the unit, from the window and from the
// command-line tool, is run once without a fault to learn its library calls
// and transactions, then once with each call failing and with each reply
// lost, late, cut short or (for a chunk) refused, and with the unit unplugged
// after each transaction. Each run is judged only by what must hold whatever
// the fault hit: no handle left open, no success claimed for what did not
// happen, no byte shown or stored that neither the unit nor the user gave,
// no message that the program does not define, and no wait without end.
namespace {

// Tables that declare one extension, as the importer wants of a file, and
// otherwise differ from each other in every byte but the header, so that any
// of those bytes tells which table it came from.
EdidImage TableFrom(std::uint8_t seed) {
    EdidImage table = PatternTable(seed);
    table[126] = 1;
    RepairChecksums(table);
    return table;
}
const EdidImage kUnitTable = TableFrom(1);
const EdidImage kLaterTable = TableFrom(2);
const EdidImage kUserTable = TableFrom(3);

QString TextOf(const EdidImage& table) {
    return QString::fromStdString(CanonicalHexText(table));
}

const QStringList kNativeTexts = {"Error retrieving serial string!",
                                  "Unable to retrive product string!",
                                  "Unable to open handle to device!",
                                  "Unable to flush device bufers!",
                                  "Unable to close device handle!",
                                  "Invalid Device Handle",
                                  "Error Sending Code",
                                  "Error Checking Queue",
                                  "Error Reading Data",
                                  "Hardware not found!"};
const QStringList kWindowTexts = {
    "Hardware not found",
    "Error Reading EDID values.",
    "Error Writing EDID values.",
    "Hex Format Error",
    "The unit's EDID table may now be partly written. Write the table again.",
    "The unit did not confirm the EDID mode change.",
    "EDID values read.",
    "EDID values written...",
    "The unit's EDID mode is unknown.",
    "The unit did not answer the EDID reset after the write.",
    "Hex format error in the group at line 1, column 1.",
    "No TALVO unit is attached.",
    "The table was written, but could not be read back to check it.",
    "The table read back differs from the one written."};
// The read-back's warning names the count and the first offsets.
const QRegularExpression kReadBackWarning(
    "^The table read back differs from the one written in \\d+ bytes?, (first )?at offsets? "
    "0x[0-9A-F]{2}(, 0x[0-9A-F]{2})*\\. Write the table again\\.$");
bool IsReadBackWarning(const QString& text) {
    return kReadBackWarning.match(text).hasMatch();
}
// The reasons that the status bar adds where a box is terse: the step, and
// what the bridge library answered.
const QRegularExpression kReason(
    "^(The bridge devices could not be counted|The bridge's strings could not be read|The "
    "unit's product string could not be read|The unit could not be opened|The unit's buffers "
    "could not be flushed): the bridge library answered 0x[0-9A-F]{2}( \\([a-zA-Z/ ]+\\))?\\.$");
// ... and where a run stopped and why.
const QRegularExpression kChunkReason(
    "^((Reading failed at chunk \\d+ of 16|Writing failed at chunk \\d+ of 32): [a-z0-9 ]+(: "
    "the bridge library answered 0x[0-9A-F]{2}( \\([a-zA-Z/ ]+\\))?)?|The unit refused (chunk "
    "\\d+ of 32|\\d+ of 32 chunks, the first of them chunk \\d+))\\.$");
bool IsReason(const QString& text) {
    return kReason.match(text).hasMatch() || kChunkReason.match(text).hasMatch();
}

// Every box and status message of the window, in the order shown, the
// transport's own boxes marked as such.
const QString kNativeMark = QStringLiteral("native: ");
class MessageLog : public ScriptedDialogs, public NativeWarning {
public:
    void Warning(QWidget* parent, const QString& title, const QString& text) override {
        messages.append(text);
        shown.append(QStringLiteral("warning[%1] %2").arg(title, text));
        ScriptedDialogs::Warning(parent, title, text);
    }
    bool Question(QWidget* parent, const QString& title, const QString& text,
                  const QString& informativeText, DefaultAnswer defaultAnswer) override {
        shown.append(QStringLiteral("question[%1] %2 %3").arg(title, text, informativeText));
        return ScriptedDialogs::Question(parent, title, text, informativeText, defaultAnswer);
    }
    void Show(const std::string& text) override {
        messages.append(kNativeMark + QString::fromStdString(text));
        shown.append(QStringLiteral("native[ ] ") + QString::fromStdString(text));
    }
    void Status(const QString& text) {
        messages.append(text);
        shown.append(QStringLiteral("status ") + text);
    }
    void Forget() {
        messages.clear();
        shown.clear();
    }
    bool AnyNative() const { return messages.indexOf(QRegularExpression("^" + kNativeMark)) >= 0; }

    QStringList messages;
    // Every box with its kind and title, and every status-bar text, as
    // recorded in the fault runs' golden file.
    QStringList shown;
};

enum class Fault { None, FailCall, NoReply, LateReply, ShortReply, Refused, Unplugged, Miswrite };

struct Rig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    MessageLog log;
    ChildProcessExit processExit;
    std::unique_ptr<MainWindow> window;
    QTemporaryDir folder;
    std::ostringstream out;
    std::ostringstream err;
    int exitStatus = -1;
    QString viewBefore;
    Fault fault = Fault::None;

    Rig() {
        unit.SetModeCode(SimulatedUnit::kCustom);
        unit.SetMemory(0xB0, kUnitTable);
    }

    QString Path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    QByteArray File(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTextEdit* View() const { return window->findChild<QTextEdit*>("EDIDtext"); }
    QRadioButton* Radio(const char* name) const { return window->findChild<QRadioButton*>(name); }

    void StartWindow() {
        window =
            std::make_unique<MainWindow>(MainWindowServices{bridge, clock, log, log, processExit});
        if (!window->statusBar()->currentMessage().isEmpty()) {
            log.Status(window->statusBar()->currentMessage());
        }
        QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) {
                             if (!text.isEmpty()) {
                                 log.Status(text);
                             }
                         });
    }
    // A window already started, its start-up's messages forgotten.
    void StartedWindow() {
        StartWindow();
        window->statusBar()->clearMessage();
        log.Forget();
        viewBefore = View()->toPlainText();
    }
    void Invoke(const char* slot) { QMetaObject::invokeMethod(window.get(), slot); }

    // As hex text: a binary table file starts with the header's zero.
    void WriteFile(const char* name, const EdidImage& table) {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(TextOf(table).toLatin1()) > 0);
    }
    void WriteUserFile() { WriteFile("user.hex", kUserTable); }
    void RunTool(QStringList arguments) {
        arguments.replaceInStrings("%d", folder.path());
        const CliServices services{bridge, clock, out, err, false, {}};
        exitStatus = RunTalvoEdidWith(arguments, services);
    }
    QString Out() const { return QString::fromStdString(out.str()); }
};

bool ByteFromEither(const UnitMemory& memory, const EdidImage& a, const EdidImage& b) {
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (memory[i] != a[i] && memory[i] != b[i]) {
            return false;
        }
    }
    return true;
}

struct Operation {
    const char* name;
    // Lays out the unit, the files and the window before the counts start.
    void (*arrange)(Rig&);
    // Runs the window's part; the tool's runs take toolArguments instead.
    void (*act)(Rig&);
    QStringList toolArguments;
    // What must hold after the run, with or without a fault.
    void (*judge)(Rig&);
    // The window messages of a run without a fault; none may follow a
    // failure.
    QStringList ownTexts = {};
    // The tool reads the table back: a chunk stored wrongly must be found.
    bool verifiesWrite = false;
    bool (*effect)(const Rig&) = nullptr;
    // False for a run of two parts, where the second may succeed after the
    // first failed.
    bool onePart = true;
};

void Nothing(Rig&) {}
void Started(Rig& rig) {
    rig.StartedWindow();
}
void UnitFile(Rig& rig) {
    rig.WriteFile("unit.hex", kUnitTable);
}
void UserFile(Rig& rig) {
    rig.WriteUserFile();
}
void CustomOffUserFile(Rig& rig) {
    rig.unit.SetModeCode(SimulatedUnit::kAutomix);
    rig.WriteUserFile();
}

// What the tool's runs claim when they end with status 0.
bool ListsUnit(const Rig& rig) {
    return rig.Out().contains("2022");
}
bool PrintsStatus(const Rig& rig) {
    return rig.Out().startsWith("mode: custom\n");
}
bool PrintsMode(const Rig& rig) {
    return rig.Out() == "custom\n";
}
bool PrintsUnitTable(const Rig& rig) {
    return rig.Out() == TextOf(kUnitTable);
}
bool DecodedTable(const Rig& rig) {
    return rig.Out().contains("checksums: block 0");
}
// The same table in the unit and the file: no difference to print.
bool PrintsNoDifference(const Rig& rig) {
    return rig.Out().isEmpty();
}
bool SetAutomix(const Rig& rig) {
    return rig.unit.ModeCode() == SimulatedUnit::kAutomix;
}
bool SavedUnitTable(const Rig& rig) {
    return rig.File("t.bin") == BytesOf(kUnitTable);
}
bool WroteAfterBackup(const Rig& rig) {
    return rig.File("backup.bin") == BytesOf(kUnitTable) && rig.unit.Memory(0xB0) == kUserTable;
}
// One line for the one unit, and the unit holds the table it says it got.
bool ProgrammedAndLogged(const Rig& rig) {
    return rig.unit.Memory(0xB0) == kUserTable && rig.Out().contains("verified") &&
           rig.File("run.jsonl").count('\n') == 1 &&
           rig.File("run.jsonl").contains("\"result\":\"verified\"");
}
bool WroteInCustom(const Rig& rig) {
    return rig.unit.ModeCode() == SimulatedUnit::kCustom && rig.unit.Memory(0xB0) == kUserTable;
}

// The mode buttons, each with the code the unit takes for it.
constexpr const char* kModeButtons[] = {"automixEDID", "defaultEDID", "customEDID"};
constexpr std::uint8_t kModeCodes[] = {SimulatedUnit::kAutomix, SimulatedUnit::kFixed,
                                       SimulatedUnit::kCustom};

void StartedInAutomix(Rig& rig) {
    rig.unit.SetModeCode(SimulatedUnit::kAutomix);
    rig.StartedWindow();
}
template <int Mode> void Click(Rig& rig) {
    rig.Radio(kModeButtons[Mode])->click();
}
template <int Mode> void JudgeClick(Rig& rig) {
    QVERIFY(rig.Radio(kModeButtons[Mode])->isChecked());
    QCOMPARE(rig.View()->isEnabled(), kModeCodes[Mode] == SimulatedUnit::kCustom);
    QVERIFY2(rig.unit.ModeCode() == kModeCodes[Mode] || !rig.log.messages.isEmpty(),
             "the mode stayed and nothing said so");
    QVERIFY2(rig.fault != Fault::NoReply || !rig.log.messages.isEmpty(),
             "a request went unanswered and nothing said so");
}

const Operation kOperations[] = {
    {"window start-up",
     Nothing,
     [](Rig& rig) { rig.StartWindow(); },
     {},
     [](Rig& rig) {
         const QString view = rig.View()->toPlainText();
         QVERIFY(view.isEmpty() || view == TextOf(kUnitTable));
         QVERIFY(!rig.log.messages.contains("EDID values read.") || view == TextOf(kUnitTable));
         // The unit is in CUSTOM: the window shows that or, without an
         // answer, its default AUTOMIX, never a mode nobody gave.
         QVERIFY(!rig.Radio("defaultEDID")->isChecked());
         QCOMPARE(rig.View()->isEnabled(), rig.Radio("customEDID")->isChecked());
         // AUTOMIX for a unit that gave its table is only a default, and
         // the window says so.
         if (rig.Radio("automixEDID")->isChecked() && view == TextOf(kUnitTable)) {
             QVERIFY(rig.log.messages != QStringList{"EDID values read."});
         }
     },
     // The mode query, then the read.
     {"EDID values read."},
     false,
     nullptr,
     false},
    {"window Read EDID",
     [](Rig& rig) {
         rig.StartedWindow();
         rig.unit.SetMemory(0xB0, kLaterTable);
     },
     [](Rig& rig) { rig.Invoke("ReadEDID"); },
     {},
     [](Rig& rig) {
         const QString view = rig.View()->toPlainText();
         const bool read = view == TextOf(kLaterTable);
         QVERIFY2(read || view == rig.viewBefore, "the view holds bytes the unit did not give");
         QCOMPARE(rig.log.messages.contains("EDID values read."), read);
         QVERIFY(read || !rig.log.messages.isEmpty());
     },
     {"EDID values read."}},
    {"window Write EDID",
     [](Rig& rig) {
         rig.StartedWindow();
         rig.View()->setPlainText(TextOf(kUserTable));
         rig.viewBefore = rig.View()->toPlainText();
     },
     [](Rig& rig) { rig.Invoke("WriteEDID"); },
     {},
     [](Rig& rig) {
         QCOMPARE(rig.View()->toPlainText(), rig.viewBefore);
         const UnitMemory& memory = rig.unit.Memory(0xB0);
         QVERIFY2(rig.fault == Fault::Miswrite || ByteFromEither(memory, kUnitTable, kUserTable),
                  "the unit holds bytes the user did not give");
         // Written, and nothing after it says otherwise.
         const int written = rig.log.messages.indexOf("EDID values written...");
         const bool claimed = written >= 0 && written == rig.log.messages.size() - 1;
         QVERIFY(claimed ? memory == kUserTable : !rig.log.messages.isEmpty());
         // A table the unit stored wrongly is found by the read-back.
         QVERIFY(rig.fault != Fault::Miswrite ||
                 std::any_of(rig.log.messages.begin(), rig.log.messages.end(), IsReadBackWarning));
     },
     {"EDID values written..."},
     true},
    {"window reset pair",
     [](Rig& rig) {
         // A view that is no table stops the write before the unit is
         // opened; only the two reset commands go out.
         rig.StartedWindow();
         rig.View()->setPlainText("not a table");
         rig.viewBefore = rig.View()->toPlainText();
     },
     [](Rig& rig) { rig.Invoke("WriteEDID"); },
     {},
     [](Rig& rig) {
         QCOMPARE(rig.View()->toPlainText(), rig.viewBefore);
         QVERIFY(rig.unit.Memory(0xB0) == kUnitTable);
         const bool resetsTaken = rig.unit.ResetCountA() == 1 && rig.unit.ResetCountB() == 1;
         QVERIFY(
             resetsTaken || rig.log.AnyNative() ||
             rig.log.messages.contains("The unit did not answer the EDID reset after the write."));
     },
     {"Hex Format Error", "Hex format error in the group at line 1, column 1."}},
    {"window AUTOMIX click", Started, Click<0>, {}, JudgeClick<0>},
    {"window FIXED click", Started, Click<1>, {}, JudgeClick<1>},
    {"window CUSTOM click", StartedInAutomix, Click<2>, {}, JudgeClick<2>},

    {"talvo-edid list", Nothing, nullptr, {"list"}, nullptr, {}, false, ListsUnit},
    {"talvo-edid status", Nothing, nullptr, {"status"}, nullptr, {}, false, PrintsStatus},
    {"talvo-edid mode", Nothing, nullptr, {"mode"}, nullptr, {}, false, PrintsMode},
    {"talvo-edid read", Nothing, nullptr, {"read"}, nullptr, {}, false, PrintsUnitTable},
    {"talvo-edid diff unit",
     UnitFile,
     nullptr,
     {"diff", "unit", "%d/unit.hex"},
     nullptr,
     {},
     false,
     PrintsNoDifference},
    {"talvo-edid info unit", Nothing, nullptr, {"info", "unit"}, nullptr, {}, false, DecodedTable},
    {"talvo-edid mode automix",
     Nothing,
     nullptr,
     {"mode", "automix"},
     nullptr,
     {},
     false,
     SetAutomix},
    {"talvo-edid read -o",
     Nothing,
     nullptr,
     {"read", "-o", "%d/t.bin"},
     nullptr,
     {},
     false,
     SavedUnitTable},
    {"talvo-edid write --backup",
     UserFile,
     nullptr,
     {"write", "%d/user.hex", "--backup", "%d/backup.bin"},
     nullptr,
     {},
     true,
     WroteAfterBackup},
    {"talvo-edid write --set-custom",
     CustomOffUserFile,
     nullptr,
     {"write", "%d/user.hex", "--set-custom"},
     nullptr,
     {},
     true,
     WroteInCustom},
    {"talvo-edid program --log",
     UserFile,
     nullptr,
     {"program", "%d/user.hex", "--log", "%d/run.jsonl"},
     nullptr,
     {},
     true,
     ProgrammedAndLogged},
};

// What a fault-free run of an operation did, counted from its start.
struct OperationTrace {
    int calls = 0;
    int transactions = 0;
    std::set<int> chunkWrites;
    std::uint32_t elapsedMs = 0;
    std::uint64_t sleptMs = 0;
};

struct Start {
    int calls;
    int transactions;
    std::uint32_t now;
    std::uint64_t slept;
};

Start StartOf(const Rig& rig) {
    return {rig.bridge.CallCount(), rig.bridge.TransactionCount(), rig.clock.Now(),
            rig.clock.Slept()};
}

void Act(Rig& rig, const Operation& op) {
    if (op.act != nullptr) {
        op.act(rig);
    } else {
        rig.RunTool(op.toolArguments);
    }
}

void Inject(Rig& rig, const Start& start, Fault fault, int number, int value) {
    const int transaction = start.transactions + number;
    switch (fault) {
    case Fault::None:
        break;
    case Fault::FailCall:
        rig.bridge.FailCallNumber(start.calls + number);
        break;
    case Fault::NoReply:
        rig.bridge.ReplyNever(transaction);
        break;
    case Fault::LateReply:
        rig.bridge.ReplyLate(transaction, static_cast<std::uint32_t>(value));
        break;
    case Fault::ShortReply:
        rig.bridge.ReplyShort(transaction, static_cast<std::size_t>(value));
        break;
    case Fault::Refused:
        rig.bridge.ReplyErrorByte(transaction, 0x01);
        break;
    case Fault::Unplugged:
        rig.bridge.VanishAfter(transaction);
        break;
    case Fault::Miswrite:
        rig.unit.StoreChunkWrongly(static_cast<std::uint8_t>(value));
        break;
    }
}

OperationTrace Trace(const Operation& op) {
    Rig rig;
    op.arrange(rig);
    const Start start = StartOf(rig);
    Act(rig, op);
    OperationTrace trace;
    trace.calls = rig.bridge.CallCount() - start.calls;
    trace.transactions = rig.bridge.TransactionCount() - start.transactions;
    const auto requests = rig.bridge.Requests();
    for (int t = 1; t <= trace.transactions; ++t) {
        const auto& request = requests[static_cast<std::size_t>(start.transactions + t - 1)];
        if (request[0] == frames::kBlockWrite && request.size() == frames::kBlockWriteLength) {
            trace.chunkWrites.insert(t);
        }
    }
    trace.elapsedMs = rig.clock.Now() - start.now;
    trace.sleptMs = rig.clock.Slept() - start.slept;
    return trace;
}

// The window's messages: all its own, none claiming success after one of its
// failures, and none of failure without a fault; no progress bar left; and
// the device closed, which the exit shows by making no library call on its
// way out.
void JudgeWindow(Rig& rig, const Operation& op, Fault fault) {
    const bool faulted = fault != Fault::None;
    bool failed = false;
    for (const QString& text : rig.log.messages) {
        const bool native = text.startsWith(kNativeMark);
        QVERIFY2(native ? kNativeTexts.contains(text.mid(kNativeMark.size()))
                        : kWindowTexts.contains(text) || IsReadBackWarning(text) || IsReason(text),
                 qPrintable(text));
        const bool own = op.ownTexts.contains(text);
        QVERIFY2(!own || !failed || !op.onePart, qPrintable(text + " after a failure"));
        // The transport's own boxes may tell of a call that the result did
        // not need, such as the status request after a read.
        failed = failed || (!own && !native);
        // The unit said no to a chunk: nothing may say the table went in.
        QVERIFY2(!own || fault != Fault::Refused, qPrintable(text + " after a refusal"));
    }
    if (!faulted) {
        QVERIFY2(!failed && !rig.log.AnyNative(), "a run without a fault failed");
        for (const QString& text : op.ownTexts) {
            QVERIFY2(rig.log.messages.contains(text), qPrintable(text + " missing"));
        }
    }
    for (const QProgressBar* bar : rig.window->statusBar()->findChildren<QProgressBar*>()) {
        QVERIFY(bar->isHidden());
    }
    // A view that a failure left unwritten makes the exit ask; the user
    // leaves all the same.
    rig.log.answerYes = true;
    const Start atExit = StartOf(rig);
    QCOMPARE(ExitStatusInChild(
                 rig.processExit, [&rig] { rig.Invoke("FileExit"); },
                 [&] {
                     return rig.bridge.CallCount() == atExit.calls &&
                            rig.clock.Slept() - atExit.slept == 100;
                 }),
             0);
}

// A tool run that ended with status 0 did what it claims, one that failed
// said why, and only a fault made it fail; every line on its error stream is one of its own; and
// every file it made holds the unit's table as it was, byte for byte.
void JudgeTool(const Rig& rig, const Operation& op, Fault fault) {
    const bool faulted = fault != Fault::None;
    QVERIFY2(faulted || rig.exitStatus == 0, rig.err.str().c_str());
    QVERIFY2(rig.exitStatus != 0 || op.effect(rig), "success claimed for what did not happen");
    QVERIFY2(rig.exitStatus != 0 || fault != Fault::Refused, "success claimed after a refusal");
    QVERIFY(rig.exitStatus == 0 || !rig.err.str().empty());
    QVERIFY2(rig.exitStatus == 0 || !rig.Out().contains("00 FF FF FF FF FF FF 00"),
             "a failed run printed a table");
    std::istringstream lines(rig.err.str());
    for (std::string line; std::getline(lines, line);) {
        const QString text = QString::fromStdString(line);
        QVERIFY2(text.startsWith("talvo-edid: ") && text.size() > 12, qPrintable(text));
    }
    for (const char* name : {"t.bin", "backup.bin"}) {
        QVERIFY2(!QFile::exists(rig.Path(name)) || rig.File(name) == BytesOf(kUnitTable),
                 "a file holds bytes the unit did not give");
    }
}

// What each fault run showed, one line per run: the window's boxes and
// status-bar texts in order, or the tool's exit status and error lines. The
// runs must show what runs.txt beside this file holds, so that a change of
// the code behind the messages cannot move what a user sees unnoticed;
// TALVO_RECORD_FAULT_RUNS=1 writes the file anew instead.
class RunRecord {
public:
    RunRecord() : recording_(qEnvironmentVariable("TALVO_RECORD_FAULT_RUNS") == "1") {
        QFile file(QStringLiteral(TALVO_FAULT_RUNS_FILE));
        if (recording_ || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return;
        }
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            const int tab = line.indexOf('\t');
            if (tab > 0) {
                expected_.insert(line.left(tab), line.mid(tab + 1));
            }
        }
    }
    bool Recording() const { return recording_; }
    // False when the run showed something else than recorded.
    bool Take(const QString& run, const QStringList& shown, QString* expected) {
        QString line = shown.join(QStringLiteral(" | "));
        line.replace('\n', QStringLiteral("\\n"));
        taken_.insert(run, line);
        *expected = expected_.value(run, QStringLiteral("(no record)"));
        return recording_ || *expected == line;
    }
    void Write() const {
        QFile file(QStringLiteral(TALVO_FAULT_RUNS_FILE));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        for (auto run = taken_.begin(); run != taken_.end(); ++run) {
            file.write((run.key() + '\t' + run.value() + '\n').toUtf8());
        }
    }

private:
    bool recording_;
    QMap<QString, QString> expected_;
    QMap<QString, QString> taken_;
};

QStringList ToolShown(const Rig& rig) {
    QStringList shown{QStringLiteral("exit %1").arg(rig.exitStatus)};
    std::istringstream lines(rig.err.str());
    for (std::string line; std::getline(lines, line);) {
        shown.append(QString::fromStdString(line));
    }
    return shown;
}

} // namespace

class UnitFaultDriverTest : public QObject {
    Q_OBJECT

    std::vector<OperationTrace> traces_;
    RunRecord record_;

private slots:
    void initTestCase() {
        for (const Operation& op : kOperations) {
            traces_.push_back(Trace(op));
        }
    }
    void cleanupTestCase() {
        if (record_.Recording()) {
            record_.Write();
        }
    }

    void faults_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("value");
        for (std::size_t o = 0; o < std::size(kOperations); ++o) {
            const OperationTrace& trace = traces_[o];
            const auto row = [&](const QString& what, Fault fault, int number, int value = 0) {
                QTest::newRow(qPrintable(QString::fromLatin1(kOperations[o].name) + ": " + what))
                    << static_cast<int>(o) << static_cast<int>(fault) << number << value;
            };
            row("no fault", Fault::None, 0);
            for (int n = 1; n <= trace.calls; ++n) {
                row(QStringLiteral("library call %1 fails").arg(n), Fault::FailCall, n);
            }
            for (int t = 1; t <= trace.transactions; ++t) {
                row(QStringLiteral("no reply %1").arg(t), Fault::NoReply, t);
                // In time, and too late: the reply then comes while the
                // program has moved on.
                row(QStringLiteral("reply %1 late, in time").arg(t), Fault::LateReply, t, 900);
                row(QStringLiteral("reply %1 too late").arg(t), Fault::LateReply, t, 1500);
                // One byte is left of any reply; a reply of one byte then
                // comes whole, a row of no fault.
                row(QStringLiteral("reply %1 cut to one byte").arg(t), Fault::ShortReply, t, 1);
                if (trace.chunkWrites.count(t) > 0) {
                    row(QStringLiteral("chunk %1 refused").arg(t), Fault::Refused, t);
                }
            }
            for (int t = 0; t <= trace.transactions; ++t) {
                row(QStringLiteral("unplugged after transaction %1").arg(t), Fault::Unplugged, t);
            }
            if (kOperations[o].verifiesWrite) {
                for (const int offset : {0x00, 0x78, 0xF8}) {
                    row(QStringLiteral("chunk at %1 stored wrongly").arg(offset), Fault::Miswrite,
                        0, offset);
                }
            }
        }
    }

    void faults() {
        QFETCH(int, operation);
        QFETCH(int, fault);
        QFETCH(int, number);
        QFETCH(int, value);
        const Operation& op = kOperations[operation];
        const OperationTrace& trace = traces_[static_cast<std::size_t>(operation)];

        Rig rig;
        op.arrange(rig);
        const Start start = StartOf(rig);
        rig.fault = static_cast<Fault>(fault);
        Inject(rig, start, rig.fault, number, value);
        Act(rig, op);

        QString expected;
        const QString run = QString::fromLatin1(QTest::currentDataTag());
        const QStringList shown = rig.window ? rig.log.shown : ToolShown(rig);
        QVERIFY2(record_.Take(run, shown, &expected),
                 qPrintable("shown: " + shown.join(" | ") + "\nrecorded: " + expected));

        QCOMPARE(rig.bridge.OpenHandles(), 0);
        // Each transaction may wait out its reply limit once, no more; and a
        // fault never adds a wait of the program's own.
        const std::uint32_t limit =
            trace.elapsedMs +
            static_cast<std::uint32_t>(trace.transactions) * (BridgeTransport::kReplyTimeoutMs + 1);
        QVERIFY2(rig.clock.Now() - start.now <= limit,
                 qPrintable(QStringLiteral("took %1 ms").arg(rig.clock.Now() - start.now)));
        QVERIFY(rig.clock.Slept() - start.slept <= trace.sleptMs);

        if (rig.window) {
            op.judge(rig);
            if (!QTest::currentTestFailed()) {
                JudgeWindow(rig, op, static_cast<Fault>(fault));
            }
        } else {
            JudgeTool(rig, op, static_cast<Fault>(fault));
        }
    }
};

QTEST_MAIN(UnitFaultDriverTest)
#include "UnitFaultDriverTest.moc"
