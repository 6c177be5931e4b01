#include "cli/TalvoEdid.h"
#include "cli/UnitWords.h"
#include "edid/Checksum.h"
#include "edid/EdidEdit.h"
#include "edid/EdidImport.h"
#include "edid/HexText.h"
#include "sim/FakeClock.h"
#include "sim/FaultScript.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/cli/CliCases.h"
#include "tests/support/RunToolInProcess.h"
#include "tests/support/StringLists.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace {

// A table with right checksums that differs from every table the simulated
// unit starts with.
inline EdidImage GoodTable() {
    EdidImage table = SimulatedUnit::DefaultTable(0xB6);
    table[0x0F] = 0x5A;
    RepairChecksums(table);
    return table;
}

inline QByteArray Bytes(const EdidImage& table, std::size_t length = kEdidSize) {
    return QByteArray(reinterpret_cast<const char*>(table.data()), static_cast<int>(length));
}

inline QByteArray HexText(const EdidImage& table) {
    return QByteArray::fromStdString(CanonicalHexText(table));
}

// The good table in every form the tool reads, and files that it refuses.
inline bool WriteFixtures(const QDir& dir) {
    const EdidImage good = GoodTable();
    EdidImage badChecksum = good;
    badChecksum[kChecksumOffset] ^= 0x01;
    EdidImage oneBlock = good;
    oneBlock[126] = 0;
    RepairChecksums(oneBlock);
    // A table without extension as the unit holds it: block 1 still there.
    EdidImage baseOnly = oneBlock;
    baseOnly[200] = 0x77;
    RepairChecksums(baseOnly);

    // Tables that are damaged, cut short or odd, as the tool must still
    // read, name and write back.
    EdidImage damaged = good;
    damaged[1] = 0x00;
    damaged[126] = 2;
    RepairChecksums(damaged);
    EdidImage truncated = good;
    RepairChecksums(truncated);
    EdidImage controlName = good;
    controlName[0x5F] = 0x1B;
    controlName[0x60] = 0xFF;
    RepairChecksums(controlName);
    EdidImage interlaced = good;
    interlaced[0x47] |= 0x80;
    RepairChecksums(interlaced);
    EdidImage malformed = good;
    malformed[0x84] = 0x5F; // a video data block of 31 bytes in a data block area of 13
    RepairChecksums(malformed);

    QByteArray cArray = "static const unsigned char table[] = {\n";
    for (std::uint8_t value : good) {
        cArray += QByteArray::number(value) + ", ";
    }
    cArray += "\n};\n";
    const QByteArray hex = HexText(good);
    const std::pair<const char*, QByteArray> files[] = {
        {"good.bin", Bytes(good)},
        {"good.hex", hex},
        {"good-loose.txt", hex.toLower().replace(' ', "  ").replace('\n', "\r\n")},
        {"good.c", cArray},
        {"good.dump", "edid-decode (hex):\n\n" + hex + "\n----------------\n\nBlock 0\n"},
        {"badsum.bin", Bytes(badChecksum)},
        {"badsum.hex", HexText(badChecksum)},
        {"badsum.dump", "edid-decode (hex):\n\n" + HexText(badChecksum) + "\n----------------\n"},
        {"oneblock.bin", Bytes(oneBlock, kEdidBlockSize)},
        {"base-only.bin", Bytes(baseOnly)},
        {"junk.txt", "no table here\n"},
        {"damaged.bin", Bytes(damaged)},
        {"truncated.bin", Bytes(truncated, kEdidBlockSize)},
        {"control-name.bin", Bytes(controlName)},
        {"interlaced.bin", Bytes(interlaced)},
        {"malformed.bin", Bytes(malformed)},
    };
    for (const auto& [name, content] : files) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            return false;
        }
    }
    return true;
}

// The requests a group stands for: "status", "mode 03", "read B2",
// "write B0" (of the good table), "resets".
inline QStringList RequestGroup(const QString& group) {
    const QStringList words = group.split(' ');
    QStringList requests;
    if (words[0] == "status") {
        requests.append("02");
    } else if (words[0] == "mode") {
        for (const char* control : {"E0", "E1", "E4"}) {
            requests.append(QStringLiteral("11 02 %1 23 24 %2 0D").arg(control, words[1]));
        }
    } else if (words[0] == "read") {
        for (int offset = 0; offset < 256; offset += 16) {
            requests.append(QStringLiteral("11 10 %1 %2")
                                .arg(words[1])
                                .arg(offset, 2, 16, QChar('0'))
                                .toUpper());
        }
        requests.append(QStringLiteral("02 10 %1 F0 00 00 00 00").arg(words[1]));
    } else if (words[0] == "write") {
        const QByteArray good = Bytes(GoodTable());
        for (int offset = 0; offset < 256; offset += 8) {
            const QString chunk = QString::fromLatin1(good.mid(offset, 8).toHex(' '));
            requests.append(QStringLiteral("10 0C %1 %2 %3")
                                .arg(words[1])
                                .arg(offset, 2, 16, QChar('0'))
                                .arg(chunk)
                                .toUpper());
        }
    } else if (words[0] == "resets") {
        requests << "11 01 EA 23 20 0D"
                 << "11 01 EB 23 20 0D";
    }
    return requests;
}

inline QStringList ExpectedRequests(const QString& groups) {
    QStringList requests;
    for (const QString& group : groups.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        requests += RequestGroup(group);
    }
    return requests;
}

// The command line of a case, with {dir} standing for the case's folder.
inline QStringList Arguments(const QString& line, const QDir& dir) {
    QString expanded = line;
    expanded.replace(QStringLiteral("{dir}"), dir.absolutePath());
    return expanded.split(' ', Qt::SkipEmptyParts);
}

// The tool in process on a simulated unit and a fake clock.
struct CliRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    bool libraryMissing = false;
    bool errorIsTerminal = false;
    bool outputIsTerminal = false;
    // The interrupt arrives once the unit has had this many requests.
    std::size_t interruptAfter = 0;

    void Arrange(const QString& faults) {
        for (const QString& line : faults.split(';', Qt::SkipEmptyParts)) {
            if (line == "nolibrary") {
                libraryMissing = true;
            } else if (line.startsWith("counters ")) {
                unit.SetCounters(static_cast<std::uint8_t>(line.section(' ', 1, 1).toUInt()),
                                 static_cast<std::uint8_t>(line.section(' ', 2, 2).toUInt()));
            } else if (line == "terminal") {
                errorIsTerminal = true;
            } else if (line == "outterminal") {
                outputIsTerminal = true;
            } else if (line == "fullout") {
                out.setstate(std::ios::badbit);
            } else if (line == "stdin") {
                in.str(CanonicalHexText(GoodTable()));
            } else if (line.startsWith("interrupt ")) {
                interruptAfter = line.section(' ', 1, 1).toUInt();
            } else if (line == "decoy") {
                bridge.SetDevices({{"2022", "TALVO", false}, {"2022", "TALVO", true}});
            } else {
                ApplyFaultScript(ParseFaultScript(line.toStdString()), bridge, unit);
            }
        }
    }

    int Run(const QStringList& arguments) {
        CliServices services{bridge, clock, out, err, errorIsTerminal, [this] {
                                 BridgeLoadFailure failure;
                                 if (libraryMissing) {
                                     failure = {BridgeLoadProblem::LibraryNotLoaded,
                                                "libSiUSBXp.so", "", "not found"};
                                 }
                                 return failure;
                             }};
        services.outputIsTerminal = outputIsTerminal;
        services.in = &in;
        if (interruptAfter > 0) {
            services.interrupted = [this] { return Requests() >= interruptAfter; };
        }
        return RunTalvoEdidWith(arguments, services);
    }

    std::size_t Requests() const {
        std::size_t requests = 0;
        for (const std::string& entry : bridge.Log()) {
            requests += entry != "open" && entry != "close" ? 1 : 0;
        }
        return requests;
    }

    QString Out() const { return QString::fromStdString(out.str()); }
    QString Err() const { return QString::fromStdString(err.str()); }
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void VerifyMatches(const QString& text, const char* pattern) {
    const QRegularExpression expression(QString::fromUtf8(pattern),
                                        QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expression.match(text).hasMatch(),
             qPrintable(QStringLiteral("\"%1\" does not match \"%2\"").arg(text, pattern)));
}

void CompareRequests(const QStringList& log, const char* groups) {
    if (groups != nullptr) {
        QStringList requests = log;
        requests.removeAll("open");
        requests.removeAll("close");
        QCOMPARE(requests, ExpectedRequests(QString::fromLatin1(groups)));
    }
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CliRig> rig;

    QString Path(const QString& name) const { return dir->filePath(name); }
    int Run(const QString& line) { return rig->Run(Arguments(line, QDir(dir->path()))); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(WriteFixtures(QDir(dir->path())));
        rig = std::make_unique<CliRig>();
    }

    void commandLines_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(std::size(kCliCases)); ++i) {
            QTest::newRow(kCliCases[i].name) << i;
        }
    }

    void commandLines() {
        QFETCH(int, index);
        const CliCase& c = kCliCases[index];
        rig->Arrange(QString::fromLatin1(c.faults));

        QCOMPARE(Run(QString::fromLatin1(c.arguments)), c.status);
        VerifyMatches(rig->Out(), c.out);
        VerifyMatches(rig->Err(), c.err);
        CompareRequests(ToStringList(rig->bridge.Log()), c.requests);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }

    // Where opening stopped, and what the bridge library answered, by the
    // library's own name for its status where it has one.
    void openFailureWords_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<std::uint32_t>("status");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, OpenStep step, BridgeStatus status,
                            const char* text) {
            QTest::newRow(name) << static_cast<int>(step) << status << QString(text);
        };
        row("count", OpenStep::Count, 0xFF,
            "opening unit 0 failed at the device count: the bridge library answered 0xFF (device "
            "not found)");
        row("no unit", OpenStep::NoUnit, 0, "opening unit 0 failed: no TALVO unit is attached");
        row("serial string", OpenStep::SerialString, 0x02,
            "opening unit 0 failed: the bridge's strings could not be read: the bridge library "
            "answered 0x02 (read error)");
        row("product string", OpenStep::ProductString, 0x06,
            "opening unit 0 failed at the product string query: the bridge library answered 0x06 "
            "(invalid parameter)");
        row("open", OpenStep::Open, 0x5F,
            "opening unit 0 failed at the open: the bridge library answered 0x5F");
        row("flush", OpenStep::Flush, 0x08,
            "opening unit 0 failed at the buffer flush: the bridge library answered 0x08 (device "
            "I/O failed)");
    }

    void openFailureWords() {
        QFETCH(int, step);
        QFETCH(std::uint32_t, status);
        QFETCH(QString, text);
        const OpenOutcome open{static_cast<OpenStep>(step), status};
        QCOMPARE(QString::fromStdString(OpenFailureText("unit 0", open)), text);
    }

    // Why the bridge cannot be used at all: the library, the missing
    // operation and the system's own text, each where it belongs.
    void bridgeLoadFailureWords_data() {
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("text");
        QTest::newRow("loaded") << int(BridgeLoadProblem::None) << "";
        QTest::newRow("not loaded")
            << int(BridgeLoadProblem::LibraryNotLoaded)
            << "cannot load the bridge library libSiUSBXp.so: loader's text";
        QTest::newRow("operation missing")
            << int(BridgeLoadProblem::OperationMissing)
            << "cannot load the bridge library libSiUSBXp.so: it lacks SI_Open (loader's text)";
        QTest::newRow("libusb") << int(BridgeLoadProblem::UsbNotStarted)
                                << "cannot start libusb: loader's text";
    }

    void bridgeLoadFailureWords() {
        QFETCH(int, problem);
        QFETCH(QString, text);
        const BridgeLoadFailure failure{static_cast<BridgeLoadProblem>(problem), "libSiUSBXp.so",
                                        "SI_Open", "loader's text"};
        QCOMPARE(QString::fromStdString(BridgeLoadFailureText(failure)), text);
    }

    // The built talvo-edid on the stand-in bridge library, as a script runs
    // it: output through pipes, the unit's requests from the library's log.
    void endToEnd_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(std::size(kCliCases)); ++i) {
            if (kCliCases[i].endToEnd) {
                QTest::newRow(kCliCases[i].name) << i;
            }
        }
    }

    void endToEnd() {
        QFETCH(int, index);
        const CliCase& c = kCliCases[index];
        const QString faults = QString::fromLatin1(c.faults);
        QFile script(Path("faults.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString(faults).replace(';', '\n').toLatin1());
        script.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!faults.contains("nolibrary")) {
            environment.insert("LD_LIBRARY_PATH", STANDIN_LIBRARY_DIR);
        }
        environment.insert("SIUSBXP_SIM_LOG", Path("requests.log"));
        environment.insert("SIUSBXP_SIM_STATE", Path("unit.state"));
        environment.insert("SIUSBXP_SIM_FAULTS", script.fileName());
        QProcess tool;
        tool.setProcessEnvironment(environment);
        if (faults.contains("fullout")) {
            tool.setStandardOutputFile(QStringLiteral("/dev/full"));
        }
        if (faults.contains("stdin")) {
            tool.setStandardInputFile(Path("good.hex"));
        }
        tool.start(TOOL_PATH, Arguments(QString::fromLatin1(c.arguments), QDir(dir->path())));
        QVERIFY(tool.waitForFinished(60000));

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), c.status);
        VerifyMatches(QString::fromUtf8(tool.readAllStandardOutput()), c.out);
        VerifyMatches(QString::fromUtf8(tool.readAllStandardError()), c.err);
        QFile log(Path("requests.log"));
        const QByteArray lines = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        CompareRequests(QString::fromLatin1(lines).split('\n', Qt::SkipEmptyParts), c.requests);
    }

    // What the tool leaves in files: only what was asked for, whole or not
    // at all. Every form the importer reads is converted into every form the
    // tool writes; a C array must read back as the same table.
    void files_data() {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        const auto row = [](const char* name, const char* faults, const QString& line, int status,
                            const QString& file, const QByteArray& content) {
            QTest::newRow(name) << QString(faults) << line << status << file << content;
        };
        const QByteArray hex = HexText(GoodTable());
        const QByteArray cArray = "(C array)";
        for (const char* input :
             {"good.bin", "good.hex", "good-loose.txt", "good.c", "good.dump"}) {
            for (const auto& [output, expected] :
                 {std::pair{"out.bin", Bytes(GoodTable())}, std::pair{"out.hex", hex},
                  std::pair{"out.txt", hex}, std::pair{"out.c", cArray}, std::pair{"out.h", cArray},
                  std::pair{"out --format hex", hex}}) {
                const QByteArray name = QByteArray("convert ") + input + " to " + output;
                row(name.constData(), "", QString("convert {dir}/%1 {dir}/%2").arg(input, output),
                    0, QString(output).section(' ', 0, 0), expected);
            }
        }
        const QByteArray unitTable = Bytes(SimulatedUnit::DefaultTable(0xB0));
        const QByteArray missing = "(missing)";
        const QByteArray unchanged = "(unchanged)";
        row("read -o", "", "read -o {dir}/t.bin", 0, "t.bin", unitTable);
        row("read failing keeps the old file", "noreply 9", "read -o {dir}/t.bin", 4, "t.bin",
            "kept\n");
        row("read into a missing folder", "", "read -o {dir}/none/t.bin", 2, "none/t.bin", missing);
        row("--backup", "mode 3", "write {dir}/good.bin --backup {dir}/t.hex", 0, "t.hex",
            HexText(SimulatedUnit::DefaultTable(0xB0)));
        row("no backup of a refused write", "mode 1", "write {dir}/good.bin --backup {dir}/t.hex",
            1, "t.hex", missing);
        row("check --fix in place, binary", "", "check --fix {dir}/badsum.bin", 0, "badsum.bin",
            Bytes(GoodTable()));
        row("check --fix in place, hex text", "", "check --fix {dir}/badsum.hex", 0, "badsum.hex",
            hex);
        row("check --fix -o", "", "check --fix {dir}/badsum.dump -o {dir}/t.bin", 0, "t.bin",
            Bytes(GoodTable()));
        row("check --fix leaves right checksums alone", "", "check --fix {dir}/good.dump", 0,
            "good.dump", unchanged);
        row("a pipe as output", "", "read -o {dir}/pipe", 2, "pipe", "(pipe)");
        const EdidImage good = GoodTable();
        EdidTable edited(good.begin(), good.end());
        SetDisplayName(edited, "BENCH7");
        SetSerialNumber(edited, 7);
        EdidImage editedImage{};
        std::copy(edited.begin(), edited.end(), editedImage.begin());
        row("edit -o", "", "edit {dir}/good.c -o {dir}/t.bin --name BENCH7 --serial 7", 0, "t.bin",
            Bytes(editedImage));
        row("edit --in-place keeps the form", "",
            "edit {dir}/good.hex --serial 7 --in-place --name BENCH7", 0, "good.hex",
            HexText(editedImage));
        row("edit refused leaves the file", "",
            "edit {dir}/good.bin --in-place --serial 7 --max-tmds 3", 1, "good.bin", unchanged);
        row("no dump edited in place", "", "edit {dir}/good.dump --in-place --serial 7", 2,
            "good.dump", unchanged);
        row("no dump rewritten in place", "", "check --fix {dir}/badsum.dump", 2, "badsum.dump",
            unchanged);
        row("a pipe as input to info", "", "info {dir}/pipe", 2, "pipe", "(pipe)");
        row("a pipe as input to write", "mode 3", "write {dir}/pipe", 2, "pipe", "(pipe)");
        row("a pipe as input to convert", "", "convert {dir}/pipe {dir}/t.bin", 2, "pipe",
            "(pipe)");
        EdidImage oneBlock = GoodTable();
        oneBlock[126] = 0;
        RepairChecksums(oneBlock);
        row("convert --pad", "", "convert {dir}/oneblock.bin {dir}/t.bin --pad", 0, "t.bin",
            Bytes(oneBlock, kEdidBlockSize) + QByteArray(kEdidBlockSize, '\0'));
    }

    // Every table the tool writes loads back as the same bytes, in every
    // form it writes: damaged, cut short or carrying a block 1 that byte 126
    // does not declare.
    void tablesLoadBack_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("form");
        for (const char* table :
             {"good.bin", "damaged.bin", "base-only.bin", "truncated.bin", "oneblock.bin"}) {
            for (const char* form : {"bin", "hex", "c"}) {
                QTest::addRow("%s as %s", table, form) << table << form;
            }
        }
    }

    void tablesLoadBack() {
        QFETCH(QString, table);
        QFETCH(QString, form);
        QCOMPARE(Run(QString("convert {dir}/%1 {dir}/out.%2").arg(table, form)), 0);
        QCOMPARE(Run(QString("convert {dir}/out.%1 {dir}/back.bin").arg(form)), 0);
        QCOMPARE(FileBytes(Path("back.bin")).toHex(' '), FileBytes(Path(table)).toHex(' '));
    }

    // Outputs through symbolic links and onto protected files: the link
    // stays and its target gets the table; a protected file, or the input
    // as a backup, is refused before anything changes.
    void outputPaths_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        const QByteArray unitTable = Bytes(SimulatedUnit::DefaultTable(0xB0));
        QTest::newRow("read -o through a link")
            << "link cur.bin t.bin"
            << "read -o {dir}/cur.bin" << 0 << "t.bin" << unitTable;
        QTest::newRow("read -o through a dangling link")
            << "link cur.bin new.bin"
            << "read -o {dir}/cur.bin" << 0 << "new.bin" << unitTable;
        QTest::newRow("check --fix through a link")
            << "link link.bin badsum.bin"
            << "check --fix {dir}/link.bin" << 0 << "badsum.bin" << Bytes(GoodTable());
        QTest::newRow("write-protected output")
            << "protect t.bin"
            << "read -o {dir}/t.bin" << 2 << "t.bin" << QByteArray("kept\n");
        QTest::newRow("write-protected, through a link")
            << "protect t.bin;link cur.bin t.bin"
            << "read -o {dir}/cur.bin" << 2 << "t.bin" << QByteArray("kept\n");
        QTest::newRow("backup through a link onto the input")
            << "link cur.bin good.bin"
            << "write {dir}/good.bin --backup {dir}/cur.bin -q" << 2 << "good.bin"
            << Bytes(GoodTable());
    }

    void outputPaths() {
        QFETCH(QString, setup);
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFile old(Path("t.bin"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("kept\n") == 5);
        old.close();
        rig->Arrange("mode 3");
        QStringList links;
        for (const QString& step : setup.split(';')) {
            const QStringList words = step.split(' ');
            if (words[0] == "link") {
                QVERIFY(QFile::link(words[2], Path(words[1])));
                links << words[1];
            } else if (words[0] == "protect") {
                QVERIFY(QFile::setPermissions(Path(words[1]), QFile::ReadOwner | QFile::ReadGroup |
                                                                  QFile::ReadOther));
            }
        }

        QCOMPARE(Run(line), status);
        QCOMPARE(FileBytes(Path(file)).toHex(' '), content.toHex(' '));
        for (const QString& link : links) {
            QVERIFY(QFileInfo(Path(link)).isSymLink());
        }
        // A backup refused is refused before the unit is asked anything.
        if (line.contains("--backup")) {
            QCOMPARE(rig->Requests(), std::size_t{0});
        }
        QCOMPARE(QDir(dir->path()).entryList({"*talvo-edid*"}, QDir::Files), QStringList());
    }

    // A real signal to the built tool: a write stops after the chunk in
    // flight, closes the unit and says that its table must be written again;
    // a read stops at once.
    void interruptedBySignal_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("err");
        const QString partly = "interrupted after chunk \\d+ of 32; the unit's table is partly "
                               "written: write it again\n$";
        QTest::newRow("SIGINT during a write") << SIGINT << "write {dir}/good.bin"
                                               << "10 0C" << partly;
        QTest::newRow("SIGTERM during a write") << SIGTERM << "write {dir}/good.bin"
                                                << "10 0C" << partly;
        QTest::newRow("SIGHUP during a write") << SIGHUP << "write {dir}/good.bin"
                                               << "10 0C" << partly;
        QTest::newRow("SIGINT during a read")
            << SIGINT << "read"
            << "11 10"
            << "^talvo-edid: interrupted; the table was not read\n$";
    }

    void interruptedBySignal() {
        QFETCH(int, signal);
        QFETCH(QString, line);
        QFETCH(QString, chunk);
        QFETCH(QString, err);
        QFile script(Path("faults.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("mode 3\ndelay 40\n") > 0);
        script.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_LIBRARY_PATH", STANDIN_LIBRARY_DIR);
        environment.insert("SIUSBXP_SIM_LOG", Path("requests.log"));
        environment.insert("SIUSBXP_SIM_STATE", Path("unit.state"));
        environment.insert("SIUSBXP_SIM_FAULTS", script.fileName());
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(TOOL_PATH, Arguments(line, QDir(dir->path())));
        QVERIFY(tool.waitForStarted());
        const auto chunksSent = [this, &chunk] {
            return FileBytes(Path("requests.log")).count(chunk.toLatin1());
        };
        QTRY_VERIFY_WITH_TIMEOUT(chunksSent() >= 3, 20000);
        QCOMPARE(kill(static_cast<pid_t>(tool.processId()), signal), 0);
        QVERIFY(tool.waitForFinished(20000));

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 130);
        VerifyMatches(QString::fromUtf8(tool.readAllStandardError()), qPrintable(err));
        const QStringList log =
            QString::fromLatin1(FileBytes(Path("requests.log"))).split('\n', Qt::SkipEmptyParts);
        QVERIFY(chunksSent() < (chunk == "10 0C" ? 32 : 16));
        QCOMPARE(log.count("open"), log.count("close"));
    }

    void files() {
        QFETCH(QString, faults);
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFile old(Path("t.bin"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("kept\n") == 5);
        old.close();
        rig->Arrange(faults);
        if (content == "(pipe)") {
            QCOMPARE(mkfifo(QFile::encodeName(Path(file)).constData(), 0600), 0);
            QCOMPARE(Run(line), status);
            QVERIFY(std::filesystem::is_fifo(Path(file).toStdString()));
            return;
        }
        const QByteArray before = FileBytes(Path(file));

        QCOMPARE(Run(line), status);
        const QByteArray written = FileBytes(Path(file));
        if (content == "(C array)") {
            QVERIFY(written.contains("0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,"));
            const ImportedEdid back =
                ImportEdidTable(std::vector<std::uint8_t>(written.begin(), written.end()),
                                EdidTableSize::AsDeclared);
            QCOMPARE(back.form, EdidTableForm::CArray);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(back.table.data()),
                                int(back.table.size())),
                     Bytes(GoodTable()));
        } else {
            QCOMPARE(written, content == "(unchanged)" ? before : content);
        }
        // No temporary file is left behind.
        QCOMPARE(QDir(dir->path()).entryList({"*talvo-edid*"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "CliTest.moc"
