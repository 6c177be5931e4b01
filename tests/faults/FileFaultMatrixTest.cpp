#include "Checksum.h"
#include "FaultRig.h"
#include "FileSystemFaults.h"
#include "HexText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <optional>
#include <unistd.h>

// Loading and saving against files that cannot be read or written, folders
// in the way, a full disk, and files that change while the file dialog is
// open. A failed load keeps the view, a failed save keeps whatever was on
// disk, and neither is reported as done.
namespace {

EdidImage TableFrom(std::uint8_t seed) {
    EdidImage image = SeededTable(seed, 3);
    image[0] = 0x00; // a binary EDID file starts with the header's zero
    RepairChecksums(image);
    return image;
}
const EdidImage kTableOnDisk = TableFrom(7);
const EdidImage kTableSwappedIn = TableFrom(8);
const EdidImage kTableInView = TableFrom(9);

QByteArray BytesOf(const EdidImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}
enum class FileOperation { Load, Save };

// The folder of one case: the user's table.bin in it, and whatever the case
// puts around it.
struct Folder {
    QString root;
    QString Path(const QString& name) const { return root + QLatin1Char('/') + name; }
    // Set while the save runs against a full disk.
    std::optional<FileSizeLimit> fileSizeLimit;
    std::optional<ScopedTmpfs> smallDisk;
};

struct FileCase {
    const char* name;
    FileOperation operation;
    bool succeeds;
    // Lays out the folder and gives the name that the user picks.
    QString (*arrange)(Folder& folder);
    // Runs while the file dialog is open.
    void (*whileDialogOpen)(Folder& folder) = nullptr;
    // Only without the power to ignore file permissions.
    bool needsPermissions = false;
    // Only where a file system may be mounted.
    bool needsMount = false;
    // The view holds text that is no table.
    bool viewMalformed = false;
};

QString TableFile(Folder& folder) {
    WriteFile(folder.Path("table.bin"), BytesOf(kTableOnDisk));
    return folder.Path("table.bin");
}

const FileCase kCases[] = {
    {"load a table", FileOperation::Load, true, TableFile},
    {"load a missing file", FileOperation::Load, false,
     [](Folder& folder) { return folder.Path("missing.bin"); }},
    {"load a folder", FileOperation::Load, false,
     [](Folder& folder) {
         QDir(folder.root).mkdir("folder.bin");
         return folder.Path("folder.bin");
     }},
    {"load a link to nothing", FileOperation::Load, false,
     [](Folder& folder) {
         QFile::link(folder.Path("nowhere.bin"), folder.Path("link.bin"));
         return folder.Path("link.bin");
     }},
    {"load a socket", FileOperation::Load, false,
     [](Folder& folder) {
         MakeSocketFile(folder.Path("socket.bin"));
         return folder.Path("socket.bin");
     }},
    // Opens, then fails at the first read: no process maps address 0.
    {"load a file that fails to read", FileOperation::Load, false,
     [](Folder&) { return QStringLiteral("/proc/self/mem"); }},
    {"load a file without read permission", FileOperation::Load, false,
     [](Folder& folder) {
         const QString path = TableFile(folder);
         QFile::setPermissions(path, QFileDevice::WriteOwner);
         return path;
     },
     nullptr, true},
    {"load a file deleted while the dialog is open", FileOperation::Load, false, TableFile,
     [](Folder& folder) { QFile::remove(folder.Path("table.bin")); }},
    {"load a file replaced by a folder while the dialog is open", FileOperation::Load, false,
     TableFile,
     [](Folder& folder) {
         QFile::remove(folder.Path("table.bin"));
         QDir(folder.root).mkdir("table.bin");
     }},
    {"load a file replaced by another table while the dialog is open", FileOperation::Load, true,
     TableFile,
     [](Folder& folder) {
         WriteFile(folder.Path("other.bin"), BytesOf(kTableSwappedIn));
         ReplaceFile(folder.Path("other.bin"), folder.Path("table.bin"));
     }},

    {"save a new file", FileOperation::Save, true,
     [](Folder& folder) {
         TableFile(folder);
         return folder.Path("new.bin");
     }},
    {"save over a table", FileOperation::Save, true, TableFile},
    {"save over a folder", FileOperation::Save, false,
     [](Folder& folder) {
         QDir(folder.root).mkdir("folder.bin");
         WriteFile(folder.Path("folder.bin/inside.bin"), BytesOf(kTableOnDisk));
         return folder.Path("folder.bin");
     }},
    {"save into a missing folder", FileOperation::Save, false,
     [](Folder& folder) {
         TableFile(folder);
         return folder.Path("missing/table.bin");
     }},
    {"save over a table on a full disk", FileOperation::Save, false, TableFile,
     [](Folder& folder) { folder.fileSizeLimit.emplace(kEdidSize / 2); }},
    // One page of memory, which the table already fills.
    {"save over a table on a full memory disk", FileOperation::Save, false,
     [](Folder& folder) {
         folder.smallDisk.emplace(folder.Path("disk"), 4);
         WriteFile(folder.Path("disk/table.bin"), BytesOf(kTableOnDisk));
         return folder.Path("disk/table.bin");
     },
     nullptr, false, true},
    {"save over a table with a view that is no table", FileOperation::Save, false, TableFile,
     nullptr, false, false, true},
    {"save over a table replaced by a folder while the dialog is open", FileOperation::Save, false,
     TableFile,
     [](Folder& folder) {
         QFile::remove(folder.Path("table.bin"));
         QDir(folder.root).mkdir("table.bin");
     }},
    {"save into a folder removed while the dialog is open", FileOperation::Save, false,
     [](Folder& folder) {
         QDir(folder.root).mkdir("sub");
         return folder.Path("sub/table.bin");
     },
     [](Folder& folder) { QDir(folder.Path("sub")).removeRecursively(); }},
    {"save over a table replaced by another while the dialog is open", FileOperation::Save, true,
     TableFile,
     [](Folder& folder) {
         WriteFile(folder.Path("other.bin"), BytesOf(kTableSwappedIn));
         ReplaceFile(folder.Path("other.bin"), folder.Path("table.bin"));
     }},
    // The table goes into the writable file in place; a new file has no place.
    {"save over a table in a folder without write permission", FileOperation::Save, true,
     [](Folder& folder) {
         const QString path = TableFile(folder);
         QFile::setPermissions(folder.root, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         return path;
     },
     nullptr, true},
    {"save a new file into a folder without write permission", FileOperation::Save, false,
     [](Folder& folder) {
         TableFile(folder);
         QFile::setPermissions(folder.root, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         return folder.Path("new.bin");
     },
     nullptr, true},
};

const FileCase& CaseNamed(const QString& name) {
    return *std::find_if(std::begin(kCases), std::end(kCases),
                         [&name](const FileCase& c) { return name == c.name; });
}

} // namespace

class FileFaultMatrixTest : public QObject {
    Q_OBJECT

private:
    int run_ = 0;
    int passed_ = 0;
    struct sigaction previousFileSizeAction_ = {};

    void CheckLoad(const FileCase& fileCase, FaultRig& rig, const QString& path,
                   const QString& viewBefore) {
        const QString viewAfter = rig.Find<QTextEdit>("EDIDtext")->toPlainText();
        const QStringList warnings = rig.dialogs.Warnings();
        if (fileCase.succeeds) {
            const bool swapped = fileCase.whileDialogOpen != nullptr;
            QCOMPARE(viewAfter, TextOf(swapped ? kTableSwappedIn : kTableOnDisk));
            QCOMPARE(warnings, QStringList());
            QCOMPARE(rig.statusMessages, QStringList{"File loaded"});
            return;
        }
        QCOMPARE(viewAfter, viewBefore);
        QCOMPARE(rig.statusMessages, QStringList());
        QCOMPARE(warnings.size(), qsizetype{1});
        QVERIFY2(warnings[0].startsWith(QStringLiteral("Cannot read file %1:\n").arg(path)) &&
                     warnings[0].endsWith(QLatin1Char('.')),
                 qPrintable(warnings[0]));
    }

    void CheckSave(const FileCase& fileCase, FaultRig& rig, const Folder& folder,
                   const QString& path, const FolderSnapshot& atSave, const FolderSnapshot& after) {
        const QStringList warnings = rig.dialogs.Warnings();
        if (fileCase.succeeds) {
            FolderSnapshot expected = atSave;
            expected[QDir(folder.root).relativeFilePath(path)] =
                DescribeFile(BytesOf(kTableInView));
            QCOMPARE(Lines(after), Lines(expected));
            QCOMPARE(warnings, QStringList());
            QCOMPARE(rig.statusMessages, (QStringList{"Saving file...", "File saved"}));
            return;
        }
        // Whatever was on disk when the save began is still there, and the
        // save left nothing of its own behind.
        QCOMPARE(Lines(after), Lines(atSave));
        QVERIFY(!rig.statusMessages.contains(QStringLiteral("File saved")));
        QCOMPARE(warnings.size(), qsizetype{1});
        if (fileCase.viewMalformed) {
            QCOMPARE(warnings[0], QStringLiteral("Hex Format Error"));
            QVERIFY(std::none_of(rig.dialogs.calls.begin(), rig.dialogs.calls.end(),
                                 [](const ScriptedDialogs::Call& call) {
                                     return call.kind == QLatin1String("save");
                                 }));
            return;
        }
        QVERIFY2(warnings[0].startsWith(QStringLiteral("Cannot write file %1:\n").arg(path)) &&
                     warnings[0].endsWith(QLatin1Char('.')),
                 qPrintable(warnings[0]));
    }

private slots:
    void initTestCase() {
        // A write past the file size limit then fails with EFBIG instead of
        // ending the process.
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previousFileSizeAction_);
    }

    void cleanupTestCase() {
        sigaction(SIGXFSZ, &previousFileSizeAction_, nullptr);
        qInfo("file fault matrix: %d cases run, %d passed", run_, passed_);
    }

    void cleanup() {
        ++run_;
        if (!QTest::currentTestFailed()) {
            ++passed_;
        }
    }

    void fileFaults_data() {
        QTest::addColumn<QString>("name");
        // Root passes every permission check, so those cases prove nothing
        // there.
        const bool permissionsHold = geteuid() != 0;
        QTemporaryDir probe;
        const bool mountAllowed = ScopedTmpfs(probe.path() + QStringLiteral("/disk"), 4).Mounted();
        for (const FileCase& fileCase : kCases) {
            if ((!fileCase.needsPermissions || permissionsHold) &&
                (!fileCase.needsMount || mountAllowed)) {
                QTest::newRow(fileCase.name) << QString::fromLatin1(fileCase.name);
            }
        }
    }

    void fileFaults() {
        QFETCH(QString, name);
        const FileCase& fileCase = CaseNamed(name);
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        Folder folder{temporary.path(), std::nullopt, std::nullopt};

        FaultRig rig;
        rig.Start();
        QTextEdit* view = rig.Find<QTextEdit>("EDIDtext");
        view->setPlainText(fileCase.viewMalformed ? QStringLiteral("no table")
                                                  : TextOf(kTableInView));
        const QString viewBefore = view->toPlainText();
        rig.statusMessages.clear();

        const QString path = fileCase.arrange(folder);
        FolderSnapshot atSave = SnapshotOf(folder.root);
        rig.dialogs.fileName = path;
        rig.dialogs.whileFileDialogOpen = [&] {
            if (fileCase.whileDialogOpen != nullptr) {
                fileCase.whileDialogOpen(folder);
            }
            atSave = SnapshotOf(folder.root);
        };

        rig.Invoke(fileCase.operation == FileOperation::Load ? "LoadEDIDfromFile"
                                                             : "SaveEDIDtoFile");
        folder.fileSizeLimit.reset();
        const FolderSnapshot after = SnapshotOf(folder.root);
        folder.smallDisk.reset();
        // Lets QTemporaryDir clear a folder that a case made read-only.
        QFile::setPermissions(folder.root, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);

        const QStringList ownTexts{"File loaded", "Saving file...", "File saved",
                                   "Hex format error in the group at line 1, column 1."};
        for (const QString& text : rig.statusMessages) {
            QVERIFY2(ownTexts.contains(text), qPrintable(text));
        }
        if (fileCase.operation == FileOperation::Load) {
            QCOMPARE(Lines(after), Lines(atSave));
            CheckLoad(fileCase, rig, path, viewBefore);
        } else {
            QCOMPARE(view->toPlainText(), viewBefore);
            CheckSave(fileCase, rig, folder, path, atSave, after);
        }
    }
};

QTEST_MAIN(FileFaultMatrixTest)
#include "FileFaultMatrixTest.moc"
