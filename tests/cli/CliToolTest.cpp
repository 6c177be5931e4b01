#include "CliCases.h"
#include "CliFixtures.h"
#include "EdidImport.h"
#include "FakeClock.h"
#include "FaultScript.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"
#include "StringLists.h"
#include "TalvoEdid.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>

using namespace cli_fixtures;

namespace {

// The tool in process on a simulated unit and a fake clock.
struct CliRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    std::ostringstream out;
    std::ostringstream err;
    bool libraryMissing = false;
    bool errorIsTerminal = false;

    void Arrange(const QString& faults) {
        for (const QString& line : faults.split(';', Qt::SkipEmptyParts)) {
            if (line == "nolibrary") {
                libraryMissing = true;
            } else if (line.startsWith("counters ")) {
                unit.SetCounters(static_cast<std::uint8_t>(line.section(' ', 1, 1).toUInt()),
                                 static_cast<std::uint8_t>(line.section(' ', 2, 2).toUInt()));
            } else if (line == "terminal") {
                errorIsTerminal = true;
            } else if (line == "decoy") {
                bridge.SetDevices({{"2022", "TALVO", false}, {"2022", "TALVO", true}});
            } else {
                ApplyFaultScript(ParseFaultScript(line.toStdString()), bridge, unit);
            }
        }
    }

    int Run(const QStringList& arguments) {
        std::vector<std::string> owned{"talvo-edid"};
        for (const QString& argument : arguments) {
            owned.push_back(argument.toStdString());
        }
        std::vector<const char*> argv;
        for (const std::string& argument : owned) {
            argv.push_back(argument.c_str());
        }
        const CliServices services{bridge, clock, out, err, errorIsTerminal, [this] {
                                       return libraryMissing ? std::string("cannot load the bridge "
                                                                           "library libSiUSBXp.so")
                                                             : std::string();
                                   }};
        return RunTalvoEdid(static_cast<int>(argv.size()), argv.data(), services);
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

} // namespace

class CliToolTest : public QObject {
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
        if (c.requests != nullptr) {
            QCOMPARE(RequestsOf(ToStringList(rig->bridge.Log())),
                     ExpectedRequests(QString::fromLatin1(c.requests)));
        }
        QCOMPARE(rig->bridge.OpenHandles(), 0);
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
        const QByteArray hex = HexText(GoodTable());
        for (const char* input :
             {"good.bin", "good.hex", "good-loose.txt", "good.c", "good.dump"}) {
            for (const auto& [output, expected] :
                 {std::pair{"out.bin", Bytes(GoodTable())}, std::pair{"out.hex", hex},
                  std::pair{"out.txt", hex}, std::pair{"out.c", QByteArray("(C array)")},
                  std::pair{"out.h", QByteArray("(C array)")},
                  std::pair{"out --format hex", hex}}) {
                QTest::addRow("convert %s to %s", input, output)
                    << "" << QString("convert {dir}/%1 {dir}/%2").arg(input, output) << 0
                    << QString(output).section(' ', 0, 0) << expected;
            }
        }
        const QByteArray unitTable = Bytes(SimulatedUnit::DefaultTable(0xB0));
        const QByteArray keep = "kept\n";
        QTest::newRow("read -o") << ""
                                 << "read -o {dir}/t.bin" << 0 << "t.bin" << unitTable;
        QTest::newRow("read failing keeps the old file")
            << "noreply 9"
            << "read -o {dir}/t.bin" << 4 << "t.bin" << keep;
        QTest::newRow("read into a missing folder")
            << ""
            << "read -o {dir}/none/t.bin" << 2 << "none/t.bin" << QByteArray("(missing)");
        QTest::newRow("--backup") << "mode 3"
                                  << "write {dir}/good.bin --backup {dir}/t.hex" << 0 << "t.hex"
                                  << HexText(SimulatedUnit::DefaultTable(0xB0));
        QTest::newRow("no backup of a refused write") << "mode 1"
                                                      << "write {dir}/good.bin --backup {dir}/t.hex"
                                                      << 1 << "t.hex" << QByteArray("(missing)");
        QTest::newRow("check --fix in place, binary")
            << ""
            << "check --fix {dir}/badsum.bin" << 0 << "badsum.bin" << Bytes(GoodTable());
        QTest::newRow("check --fix in place, hex text")
            << ""
            << "check --fix {dir}/badsum.hex" << 0 << "badsum.hex" << HexText(GoodTable());
        QTest::newRow("check --fix -o")
            << ""
            << "check --fix {dir}/badsum.dump -o {dir}/t.bin" << 0 << "t.bin" << Bytes(GoodTable());
        QTest::newRow("check --fix leaves right checksums alone")
            << ""
            << "check --fix {dir}/good.dump" << 0 << "good.dump" << QByteArray("(unchanged)");
        QTest::newRow("a pipe as output")
            << ""
            << "read -o {dir}/pipe" << 2 << "pipe" << QByteArray("(pipe)");
        QTest::newRow("no dump rewritten in place")
            << ""
            << "check --fix {dir}/badsum.dump" << 2 << "badsum.dump" << QByteArray("(unchanged)");
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

QTEST_GUILESS_MAIN(CliToolTest)
#include "CliToolTest.moc"
