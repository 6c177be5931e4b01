#include "tests/app/FileSystemFaults.h"
#include "tests/support/HexViewProbe.h"
#include "tests/support/RealSamples.h"
#include "tests/support/WindowRig.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// Load from File and Save to File on real files: what each form of file
// shows in the Hex view, and every way a file or folder can fail a load or a
// save. A failed load keeps the view, a failed save keeps whatever was on
// disk, and neither is reported as done.
namespace {

const EdidImage kTableOnDisk = PatternTable(7);
const EdidImage kTableSwappedIn = PatternTable(8);
// Saved as it stands: the save does not mend checksums.
const EdidImage kTableInView = [] {
    EdidImage image = PatternTable(9);
    image[255] ^= 0x01;
    return image;
}();

// The folder of one case and whatever the case puts around the user's file.
struct Folder {
    QString root;
    QString Path(const QString& name) const { return root + QLatin1Char('/') + name; }
    std::optional<FileSizeLimit> fileSizeLimit;
    std::optional<ScopedTmpfs> smallDisk;
};

// The user's table.bin, longer than a table: a load shows its first 256
// bytes, a save over it leaves exactly 256.
QString TableFile(Folder& folder) {
    WriteFile(folder.Path("table.bin"), BytesOf(kTableOnDisk) + QByteArray(44, '\x5A'));
    return folder.Path("table.bin");
}

void ReplaceByFolder(Folder& folder) {
    QFile::remove(folder.Path("table.bin"));
    QDir(folder.root).mkdir("table.bin");
}

void SwapInAnotherTable(Folder& folder) {
    WriteFile(folder.Path("other.bin"), BytesOf(kTableSwappedIn));
    ReplaceFile(folder.Path("other.bin"), folder.Path("table.bin"));
}

void MakeFolderReadOnly(Folder& folder) {
    QFile::setPermissions(folder.root, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

enum class Needs { Nothing, NoRoot, Root };

struct FileCase {
    const char* name;
    bool load;
    // The warning, %1 the file's name; "" for none, and for a succeeding
    // operation when `succeeds`. A text ending in "*" stands for any reason.
    const char* warning;
    // Lays out the folder and gives the name the user picks ("" cancels).
    QString (*arrange)(Folder& folder);
    // Runs while the file dialog is open.
    void (*whileDialogOpen)(Folder& folder) = nullptr;
    Needs needs = Needs::Nothing;
    bool succeeds = false;
};

const char kNotRegularLoad[] = "Cannot read file %1:\nNot a regular file.";
const char kNotRegularSave[] = "Cannot write file %1:\nNot a regular file.";
const char kMissing[] = "Cannot read file %1:\nNo such file or directory.";

const FileCase kCases[] = {
    {"load a table", true, "", TableFile, nullptr, Needs::Nothing, true},
    {"load cancelled", true, "", [](Folder&) { return QString(); }},
    {"load a missing file", true, kMissing, [](Folder& f) { return f.Path("missing.bin"); }},
    {"load a folder", true, kNotRegularLoad,
     [](Folder& f) {
         QDir(f.root).mkdir("folder.bin");
         return f.Path("folder.bin");
     }},
    {"load a link to nothing", true, kMissing,
     [](Folder& f) {
         QFile::link(f.Path("nowhere.bin"), f.Path("link.bin"));
         return f.Path("link.bin");
     }},
    {"load a socket", true, kNotRegularLoad,
     [](Folder& f) {
         MakeSocketFile(f.Path("socket.bin"));
         return f.Path("socket.bin");
     }},
    // Opening waits for a writer or never ends: refused before it is opened.
    {"load a device node", true, kNotRegularLoad, [](Folder&) { return QString("/dev/zero"); }},
    // Opens, then fails at the first read: no process maps address 0.
    {"load a file that fails to read", true, "Cannot read file %1:\n*",
     [](Folder&) { return QStringLiteral("/proc/self/mem"); }},
    {"load a file without read permission", true, "Cannot read file %1:\nPermission denied.",
     [](Folder& f) {
         const QString path = TableFile(f);
         QFile::setPermissions(path, QFileDevice::WriteOwner);
         return path;
     },
     nullptr, Needs::NoRoot},
    {"load a file deleted while the dialog is open", true, kMissing, TableFile,
     [](Folder& f) { QFile::remove(f.Path("table.bin")); }},
    {"load a file replaced by a folder while the dialog is open", true, kNotRegularLoad, TableFile,
     ReplaceByFolder},
    {"load a file replaced by another table while the dialog is open", true, "", TableFile,
     SwapInAnotherTable, Needs::Nothing, true},

    {"save a new file", false, "",
     [](Folder& f) {
         TableFile(f);
         return f.Path("new.bin");
     },
     nullptr, Needs::Nothing, true},
    {"save cancelled", false, "", [](Folder&) { return QString(); }},
    {"save over a table", false, "", TableFile, nullptr, Needs::Nothing, true},
    {"save over a folder", false, kNotRegularSave,
     [](Folder& f) {
         QDir(f.root).mkdir("folder.bin");
         WriteFile(f.Path("folder.bin/inside.bin"), BytesOf(kTableOnDisk));
         return f.Path("folder.bin");
     }},
    {"save over a named pipe", false, kNotRegularSave,
     [](Folder& f) {
         mkfifo(QFile::encodeName(f.Path("pipe")).constData(), 0600);
         return f.Path("pipe");
     }},
    // A node of the test's own, so that a save that wrongly goes through
    // never replaces a device of the system.
    {"save over a device node", false, kNotRegularSave,
     [](Folder& f) {
         mknod(QFile::encodeName(f.Path("null")).constData(), S_IFCHR | 0600, makedev(1, 3));
         return f.Path("null");
     },
     nullptr, Needs::Root},
    {"save into a missing folder", false, "Cannot write file %1:\n*",
     [](Folder& f) { return f.Path("missing/table.bin"); }},
    {"save over a table on a full disk", false, "Cannot write file %1:\n*", TableFile,
     [](Folder& f) { f.fileSizeLimit.emplace(kEdidSize / 2); }},
    // One page of memory, which the table already fills.
    {"save over a table on a full memory disk", false, "Cannot write file %1:\n*",
     [](Folder& f) {
         f.smallDisk.emplace(f.Path("disk"), 4);
         WriteFile(f.Path("disk/table.bin"), BytesOf(kTableOnDisk));
         return f.Path("disk/table.bin");
     },
     nullptr, Needs::Root},
    {"save over a table with a view that is no table", false, "Hex Format Error", TableFile},
    {"save over a table replaced by a folder while the dialog is open", false, kNotRegularSave,
     TableFile, ReplaceByFolder},
    {"save into a folder removed while the dialog is open", false, "Cannot write file %1:\n*",
     [](Folder& f) {
         QDir(f.root).mkdir("sub");
         return f.Path("sub/table.bin");
     },
     [](Folder& f) { QDir(f.Path("sub")).removeRecursively(); }},
    {"save over a table replaced by another while the dialog is open", false, "", TableFile,
     SwapInAnotherTable, Needs::Nothing, true},
    // The folder takes no temporary file, so the table goes into the
    // writable file in place; a new file has no place.
    {"save over a table in a folder without write permission", false, "",
     [](Folder& f) {
         const QString path = TableFile(f);
         MakeFolderReadOnly(f);
         return path;
     },
     nullptr, Needs::NoRoot, true},
    {"save a new file into a folder without write permission", false, "Cannot write file %1:\n*",
     [](Folder& f) {
         MakeFolderReadOnly(f);
         return f.Path("new.bin");
     },
     nullptr, Needs::NoRoot},
};

QByteArray Hex(const QByteArray& table, const char* prefix, const char* separator) {
    QByteArray text;
    for (int i = 0; i < table.size(); ++i) {
        text += prefix + QByteArray(1, table[i]).toHex() + (i % 16 == 15 ? "\n" : separator);
    }
    return text;
}

} // namespace

class FilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<QTemporaryDir> dir;
    struct sigaction previousFileSizeAction = {};

    // Text in the view before an operation, in a format of its own that a
    // rendered table must not take on.
    void Type(const QString& text) {
        QTextCharFormat green;
        green.setForeground(QColor(0, 128, 0));
        green.setFontPointSize(11);
        QTextCursor(rig->View()->document()).insertText(text, green);
        rig->Forget();
    }

    void VerifyWarning(const QString& expected) {
        QCOMPARE(int(rig->dialogs.Warnings().size()), expected.isEmpty() ? 0 : 1);
        if (expected.endsWith(QLatin1Char('*'))) {
            const QString warning = rig->dialogs.Warnings().first();
            QVERIFY2(warning.startsWith(expected.chopped(1)) && warning.endsWith('.'),
                     qPrintable(warning));
        } else if (!expected.isEmpty()) {
            QCOMPARE(rig->dialogs.Warnings().first(), expected);
        }
    }

    // The one file dialog that a load or save opens.
    void VerifyFileDialog(bool load) {
        QCOMPARE(rig->dialogs.calls.value(0).kind, QString(load ? "open" : "save"));
        const ScriptedDialogs::Call& dialog = rig->dialogs.calls[0];
        QCOMPARE(dialog.parent, rig->window.data());
        QCOMPARE(dialog.title, QString(load ? "Open file" : "Save File"));
        QCOMPARE(dialog.directory, QString(load ? "" : "TALVO_edid0.bin"));
        QCOMPARE(dialog.filter,
                 QString(load ? "EDID files (*.bin *.edid *.raw *.dat *.hex *.txt *.c *.h);;"
                                "Binary Files (*.bin);;All files (*)"
                              : "Binary file (*.bin);;All files (*)"));
    }

private slots:
    void initTestCase() {
        // A write past the file size limit then fails with EFBIG instead of
        // ending the process.
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previousFileSizeAction);
    }
    void cleanupTestCase() { sigaction(SIGXFSZ, &previousFileSizeAction, nullptr); }
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->bridge.SetDevices({});
        rig->Start();
        rig->View()->setEnabled(true);
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }
    void cleanup() {
        rig.reset();
        dir.reset();
    }

    void load_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("view");
        QTest::addColumn<bool>("rendered"); // or shown as text, in blue bold 8 pt
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("summary");  // the tool tip; empty: not looked at
        QTest::addColumn<QByteArray>("saved"); // empty: the view does not parse

        const QByteArray table = BytesOf(PatternTable());
        const QString canonical = CanonicalLayout(PatternTable());
        const QString loaded = QStringLiteral("File loaded");
        const QString noTable = QStringLiteral("File loaded, but it holds no EDID table: %1.");
        QTest::newRow("empty file")
            << QByteArray() << CanonicalLayout({}) << true << noTable.arg("it is empty")
            << QString() << QByteArray(256, '\0');
        QTest::newRow("raw bytes without a header")
            << QByteArray(256, '\0') << CanonicalLayout({}) << true
            << noTable.arg("no EDID header at the start") << QString() << QByteArray(256, '\0');
        QTest::newRow("128 bytes")
            << table.left(128) << CanonicalLayout(ImageStartingWith(table.left(128))) << true
            << "File loaded (one block; block 1 added as zeros)" << QString()
            << table.left(128) + QByteArray(128, '\0');
        QTest::newRow("200 bytes")
            << table.left(200) << CanonicalLayout(ImageStartingWith(table.left(200))) << true
            << "File loaded (200 bytes; the rest set to zero)" << QString()
            << table.left(200) + QByteArray(56, '\0');
        QTest::newRow("trailing space, CR LF")
            << QString(canonical).replace("\n", " \r\n").toLatin1() << canonical << false << loaded
            << QString() << table;
        QTest::newRow("canonical, CR LF") << QString(canonical).replace("\n", "\r\n").toLatin1()
                                          << canonical << false << loaded << QString() << table;
        QByteArray shortFirstLine = QString(canonical).replace("\n", " \r\n").toLatin1();
        shortFirstLine.remove(44, 3);
        QTest::newRow("first line one group shorter")
            << shortFirstLine << QString::fromLatin1(shortFirstLine).replace("\r\n", "\n") << false
            << noTable.arg("fewer bytes than the declared blocks") << QString() << QByteArray();
        QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + canonical.toLatin1() << canonical
                                               << false << loaded << QString() << table;
        QTest::newRow("markup taken as plain text")
            << QByteArray("<b>12</b>") << "<b>12</b>" << false
            << noTable.arg("a value is not a byte") << QString() << QByteArray();
        // Only a leading zero byte marks the binary form.
        QTest::newRow("not starting with zero: text up to its first NUL")
            << BytesOf(ImageStartingWith(QByteArray("TALVO!\0AB", 9))) << "TALVO!" << false
            << noTable.arg("no EDID header at the start") << QString() << QByteArray();

        const QByteArray dell = RealSample("Digital_Dell_DELA0A4_2C4EE7EB150B.bin");
        const QString dellSummary = "DEL DELL U2414H · 1920x1080 @ 60.00 Hz · CTA-861 rev 3 · "
                                    "HDMI 1.0.0.0 · LPCM 2ch · checksum of block 1 wrong";
        // Longer than the 1024 bytes a text load used to read: the decoded
        // part runs on after the hex section.
        QByteArray decoded = "edid-decode (hex):\n\n" + Hex(dell, "", " ") +
                             "\n----------------\n\nBlock 0, Base EDID:\n";
        for (int i = 0; i < 40; ++i) {
            decoded += "    VIC  16:  1920x1080   60.000000 Hz  16:9     67.500 kHz  148.5 MHz\n";
        }
        QTest::newRow("edid-decode dump")
            << decoded << CanonicalLayout(ImageStartingWith(dell)) << true
            << "File loaded (converted from edid-decode dump)" << dellSummary << dell;
        QTest::newRow("C array") << "unsigned char edid[] = {\n" + Hex(dell, "0x", ", ") + "};\n"
                                 << CanonicalLayout(ImageStartingWith(dell)) << true
                                 << "File loaded (converted from C array)" << dellSummary << dell;
        const QByteArray aoc = RealSample("Analog_AOC_AOC2216_2F7D4FEE1637.bin");
        QTest::newRow("one block of hex")
            << Hex(aoc, "", " ") << CanonicalLayout(ImageStartingWith(aoc)) << true
            << "File loaded (converted from hex text; block 1 added as zeros)"
            << "AOC 2216 · 1680x1050 @ 59.85 Hz" << aoc + QByteArray(128, '\0');
    }

    // Text that makes a table is shown as it stands and parsed only when the
    // table is next used, here by a save.
    void load() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, view);
        QFETCH(bool, rendered);
        QFETCH(QString, status);
        QFETCH(QString, summary);
        QFETCH(QByteArray, saved);
        WriteFile(dir->filePath("table.txt"), contents);
        Type(QStringLiteral("12 34"));

        rig->dialogs.fileName = dir->filePath("table.txt");
        rig->Invoke("LoadEDIDfromFile");

        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->ViewText(), view);
        const QTextDocument* document = rig->View()->document();
        if (rendered) {
            QCOMPARE(ByteFormats(document), RenderedByteFormats());
        } else {
            QCOMPARE(TextFormats(document), QStringList{"#0000ff 700 8pt"});
        }
        QCOMPARE(rig->StatusMessage(), status);
        auto* label = rig->Find<QLabel>("summaryLabel");
        if (!summary.isEmpty()) {
            QCOMPARE(label->toolTip(), summary);
            QVERIFY(!label->text().isEmpty());
        }

        rig->Forget();
        rig->dialogs.fileName = dir->filePath("saved.bin");
        rig->Invoke("SaveEDIDtoFile");
        QCOMPARE(rig->dialogs.Warnings(),
                 saved.isEmpty() ? QStringList{"Hex Format Error"} : QStringList());
        QCOMPARE(ReadFileOr(dir->filePath("saved.bin"), "no file"),
                 saved.isEmpty() ? QByteArray("no file") : saved);

        // The user's first edit makes the summary stale.
        QTextCursor(rig->View()->document()).insertText(QStringLiteral("0"));
        QCOMPARE(label->text(), QString());
        QCOMPARE(label->toolTip(), QString());
    }

    void fileFaults_data() {
        QTest::addColumn<int>("index");
        for (const FileCase& fileCase : kCases) {
            QTest::newRow(fileCase.name) << int(&fileCase - kCases);
        }
    }

    void fileFaults() {
        QFETCH(int, index);
        const FileCase& fileCase = kCases[index];
        if (fileCase.needs == Needs::NoRoot && geteuid() == 0) {
            QSKIP("root passes every permission check");
        }
        Folder folder{dir->path(), std::nullopt, std::nullopt};
        const QString path = fileCase.arrange(folder);
        if (fileCase.needs == Needs::Root &&
            (folder.smallDisk ? !folder.smallDisk->Mounted() : !QFileInfo::exists(path))) {
            QSKIP("mounting a file system or making a device node needs root");
        }
        const bool noTable = QString(fileCase.warning) == QLatin1String("Hex Format Error");
        Type(noTable ? QStringLiteral("no table") : CanonicalLayout(kTableInView));
        QStringList atDialog = SnapshotOf(folder.root);
        rig->dialogs.fileName = path;
        rig->dialogs.whileFileDialogOpen = [&] {
            if (fileCase.whileDialogOpen != nullptr) {
                fileCase.whileDialogOpen(folder);
            }
            atDialog = SnapshotOf(folder.root);
        };

        rig->Invoke(fileCase.load ? "LoadEDIDfromFile" : "SaveEDIDtoFile");
        folder.fileSizeLimit.reset();
        const QStringList after = SnapshotOf(folder.root);
        folder.smallDisk.reset();
        // Lets QTemporaryDir clear a folder that a case made read-only.
        QFile::setPermissions(folder.root, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);

        if (noTable) {
            QCOMPARE(rig->dialogs.calls.size(), 1);
        } else {
            VerifyFileDialog(fileCase.load);
        }
        VerifyWarning(QString(fileCase.warning).arg(path));
        if (fileCase.load) {
            const EdidImage& shown =
                fileCase.whileDialogOpen != nullptr ? kTableSwappedIn : kTableOnDisk;
            QCOMPARE(after, atDialog);
            QCOMPARE(rig->ViewText(),
                     fileCase.succeeds ? CanonicalLayout(shown) : CanonicalLayout(kTableInView));
            // The user's table.bin is longer than a table; the one swapped in
            // is a table.
            const QString loaded = fileCase.whileDialogOpen != nullptr
                                       ? QStringLiteral("File loaded")
                                       : QStringLiteral("File loaded (bytes after the first 256 "
                                                        "left out)");
            QCOMPARE(rig->statusMessages, fileCase.succeeds ? QStringList{loaded} : QStringList());
            return;
        }
        QCOMPARE(rig->ViewText(),
                 noTable ? QStringLiteral("no table") : CanonicalLayout(kTableInView));
        QStringList expected = atDialog;
        if (fileCase.succeeds) {
            const QString name = QDir(folder.root).relativeFilePath(path) + QStringLiteral(": ");
            expected.removeIf([&name](const QString& line) { return line.startsWith(name); });
            expected.append(name + QString::fromLatin1(BytesOf(kTableInView).toHex()));
            expected.sort();
        }
        // A failed save leaves what was on disk and nothing of its own.
        QCOMPARE(after, expected);
        QCOMPARE(rig->statusMessages.contains("File saved"), fileCase.succeeds);
        if (fileCase.succeeds) {
            QCOMPARE(rig->statusMessages, (QStringList{"Saving file...", "File saved"}));
        }
    }

    void saveName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("existing"); // a file under the name with .bin is there
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("written"); // "": nothing written
        QTest::newRow("no suffix") << "table" << false << false << "table.bin";
        QTest::newRow("no suffix, folder with a dot")
            << "a.d/table" << false << false << "a.d/table.bin";
        QTest::newRow("other suffix kept") << "table.dat" << false << false << "table.dat";
        QTest::newRow("no suffix, .bin there, replace") << "table" << true << true << "table.bin";
        QTest::newRow("no suffix, .bin there, keep") << "table" << true << false << "";
        // The user picked a file that is there: it is the one meant.
        QTest::newRow("no suffix, picked as it is there") << "tab" << false << false << "tab";
    }

    // The dialog asked about the name as typed; the file written is the
    // name with .bin, so replacing that one is asked again.
    void saveName() {
        QFETCH(QString, typed);
        QFETCH(bool, existing);
        QFETCH(bool, answerYes);
        QFETCH(QString, written);
        QDir(dir->path()).mkdir(QStringLiteral("a.d"));
        WriteFile(dir->filePath(QStringLiteral("tab")), QByteArray("old"));
        const QString binName = dir->filePath(typed + QStringLiteral(".bin"));
        if (existing) {
            WriteFile(binName, BytesOf(kTableOnDisk));
        }
        Type(CanonicalLayout(kTableInView));
        rig->dialogs.fileName = dir->filePath(typed);
        rig->dialogs.answerYes = answerYes;

        rig->Invoke("SaveEDIDtoFile");

        QCOMPARE(rig->dialogs.Texts(QStringLiteral("question")),
                 existing ? QStringList{binName + " already exists."} : QStringList());
        QVERIFY(!QFileInfo::exists(dir->filePath(typed)) || typed == written);
        if (written.isEmpty()) {
            QCOMPARE(ReadFileOr(binName, "none"), BytesOf(kTableOnDisk));
            QVERIFY(rig->statusMessages.isEmpty());
        } else {
            QCOMPARE(ReadFileOr(dir->filePath(written), "none"), BytesOf(kTableInView));
            QCOMPARE(rig->StatusMessage(), QStringLiteral("File saved"));
        }
    }

    // Each dialog opens in the folder where the last one, load or save,
    // picked a file, whether or not the operation then went through.
    void dialogsStartInTheLastFolder() {
        QDir(dir->path()).mkdir(QStringLiteral("loads"));
        QDir(dir->path()).mkdir(QStringLiteral("saves"));
        Type(CanonicalLayout(kTableInView));
        rig->dialogs.fileName = dir->filePath(QStringLiteral("loads/missing.bin"));
        rig->Invoke("LoadEDIDfromFile");
        rig->dialogs.fileName = dir->filePath(QStringLiteral("saves/t.bin"));
        rig->Invoke("SaveEDIDtoFile");
        rig->dialogs.fileName = QString();
        rig->Invoke("LoadEDIDfromFile");

        QStringList directories;
        for (const ScriptedDialogs::Call& call : rig->dialogs.calls) {
            if (call.kind == QLatin1String("open") || call.kind == QLatin1String("save")) {
                directories.append(call.directory);
            }
        }
        QCOMPARE(directories, (QStringList{QString(), dir->filePath("loads/TALVO_edid0.bin"),
                                           dir->filePath("saves")}));
    }
};

QTEST_MAIN(FilesTest)
#include "FilesTest.moc"
