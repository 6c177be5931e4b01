#include "HexViewProbe.h"
#include "WindowRig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Load from File and Save to File on real files in a temporary folder: the
// dialogs, the binary and the text form, and round trips. Each way a file or
// folder can fail is the file fault matrix's; the text normalisation is
// tested on its own.
class FilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSignalSpy> statusMessages;

    QString Path(const QString& name) const { return dir->filePath(name); }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }

    void Load(const QString& path) {
        rig->dialogs.fileName = path;
        rig->Invoke("LoadEDIDfromFile");
    }

    void Save(const QString& path) {
        rig->dialogs.fileName = path;
        rig->Invoke("SaveEDIDtoFile");
    }

    void Forget() {
        rig->dialogs.calls.clear();
        statusMessages->clear();
    }

    QStringList StatusMessages() const {
        QStringList messages;
        for (const QList<QVariant>& signal : *statusMessages) {
            messages.append(signal.at(0).toString());
        }
        return messages;
    }

    // The descriptions of every character that is not a line break.
    QStringList TextFormats() const {
        const QString text = rig->ViewText();
        const QList<QTextCharFormat> formats = CharacterFormats(rig->View()->document());
        QStringList described;
        for (int i = 0; i < text.size() && i < formats.size(); ++i) {
            const QString format = DescribeFormat(formats[i]);
            if (text[i] != QLatin1Char('\n') && !described.contains(format)) {
                described.append(format);
            }
        }
        return described;
    }

    void VerifyOneWarning(const QString& text) {
        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("warning"));
        QCOMPARE(box.parent, rig->window.data());
        QCOMPARE(box.title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(box.text, text);
    }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->bridge.SetDevices({});
        rig->Start();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        statusMessages =
            std::make_unique<QSignalSpy>(rig->window->statusBar(), &QStatusBar::messageChanged);
    }
    void cleanup() {
        statusMessages.reset();
        rig.reset();
        dir.reset();
    }

    void cancelledDialogChangesNothing_data() {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("filter");
        QTest::newRow("Load from File")
            << "LoadEDIDfromFile"
            << "open"
            << "Open file" << QString() << "Binary Files (*.bin);;All files (*.*)";
        QTest::newRow("Save to File") << "SaveEDIDtoFile"
                                      << "save"
                                      << "Save File"
                                      << "TALVO_edid0.bin"
                                      << "Binary file (*.bin)";
    }

    void cancelledDialogChangesNothing() {
        QFETCH(QString, slot);
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(QString, directory);
        QFETCH(QString, filter);
        rig->View()->setTextColor(QColor(0, 128, 0));
        rig->View()->setPlainText(CanonicalLayout(PatternTable()));
        const QString html = rig->View()->toHtml();

        rig->Invoke(slot.toLatin1().constData());

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& dialog = rig->dialogs.calls[0];
        QCOMPARE(dialog.kind, kind);
        QCOMPARE(dialog.parent, rig->window.data());
        QCOMPARE(dialog.title, title);
        QCOMPARE(dialog.directory, directory);
        QCOMPARE(dialog.filter, filter);
        QCOMPARE(rig->View()->toHtml(), html);
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(StatusMessages().isEmpty());
    }

    void loadBinary_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("table");
        const QByteArray table = BytesOf(PatternTable());
        QTest::newRow("empty file") << QByteArray() << QByteArray(256, '\0');
        QTest::newRow("128 bytes") << table.left(128) << table.left(128) + QByteArray(128, '\0');
        QTest::newRow("300 bytes") << table + QByteArray(44, '\x5A') << table;
    }

    void loadBinary() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, table);
        WriteFile(Path("table.bin"), contents);

        Load(Path("table.bin"));

        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(table)));
        QCOMPARE(ByteFormats(rig->View()->document()), RenderedByteFormats());
        QCOMPARE(rig->StatusMessage(), QStringLiteral("File loaded"));
    }

    void loadText_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QByteArray>("saved"); // empty: the view does not parse

        const EdidImage image = PatternTable();
        const QString canonical = CanonicalLayout(image);
        QTest::newRow("trailing space, CR LF")
            << QString(canonical).replace("\n", " \r\n").toLatin1() << canonical << BytesOf(image);
        QTest::newRow("canonical, CR LF")
            << QString(canonical).replace("\n", "\r\n").toLatin1() << canonical << BytesOf(image);
        QByteArray shortFirstLine = QString(canonical).replace("\n", " \r\n").toLatin1();
        shortFirstLine.remove(44, 3);
        QTest::newRow("first line one group shorter")
            << shortFirstLine << QString::fromLatin1(shortFirstLine).replace("\r\n", "\n")
            << QByteArray();
        QTest::newRow("UTF-8 byte-order mark")
            << "\xEF\xBB\xBF" + canonical.toLatin1() << canonical << BytesOf(image);
        QTest::newRow("markup taken as plain text")
            << QByteArray("<b>12</b>") << "<b>12</b>" << QByteArray();
    }

    // Text is shown as it stands, in blue bold 8 pt, and parsed only when
    // the table is next used.
    void loadText() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, view);
        QFETCH(QByteArray, saved);
        WriteFile(Path("table.txt"), contents);

        Load(Path("table.txt"));

        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->ViewText(), view);
        QCOMPARE(TextFormats(), QStringList{"#0000ff 700 8pt"});
        QCOMPARE(rig->StatusMessage(), QStringLiteral("File loaded"));

        Forget();
        Save(Path("saved.bin"));
        if (saved.isEmpty()) {
            VerifyOneWarning(QStringLiteral("Hex Format Error"));
            QVERIFY(!QFile::exists(Path("saved.bin")));
        } else {
            QCOMPARE(ReadFile(Path("saved.bin")), BytesOf(ImageStartingWith(saved)));
        }
    }

    void renderingReplacesTextLoadFormats_data() {
        QTest::addColumn<bool>("byVerify");
        QTest::newRow("binary file load") << false;
        QTest::newRow("Verify Checksum") << true;
    }

    void renderingReplacesTextLoadFormats() {
        QFETCH(bool, byVerify);
        const EdidImage table = PatternTable();
        WriteFile(Path("table.txt"), CanonicalLayout(table).replace("\n", " \r\n").toLatin1());
        WriteFile(Path("table.bin"), BytesOf(table));
        Load(Path("table.txt"));

        if (byVerify) {
            rig->Invoke("CalculateChkSum");
        } else {
            Load(Path("table.bin"));
        }

        QCOMPARE(rig->ViewText(), CanonicalLayout(table));
        QCOMPARE(ByteFormats(rig->View()->document()), RenderedByteFormats());
    }

    void failureWarnsWithTheReason_data() {
        QTest::addColumn<bool>("load");
        QTest::newRow("load a missing file") << true;
        QTest::newRow("save into a missing folder") << false;
    }

    // The exact message; the file fault matrix covers every way a load or a
    // save can fail, and that whatever stood at the target survives it.
    void failureWarnsWithTheReason() {
        QFETCH(bool, load);
        const QString path = Path("missing/table.bin");
        rig->View()->setPlainText(CanonicalLayout(PatternTable()));
        const QString html = rig->View()->toHtml();
        QFile readProbe(path);
        QSaveFile writeProbe(path);
        QVERIFY(load ? !readProbe.open(QIODevice::ReadOnly)
                     : !writeProbe.open(QIODevice::WriteOnly));

        load ? Load(path) : Save(path);

        rig->dialogs.calls.removeFirst();
        VerifyOneWarning(
            load
                ? QStringLiteral("Cannot read file %1:\n%2.").arg(path, readProbe.errorString())
                : QStringLiteral("Cannot write file %1:\n%2.").arg(path, writeProbe.errorString()));
        QCOMPARE(rig->View()->toHtml(), html);
        QVERIFY(StatusMessages().isEmpty());
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QByteArray>("saved");
        const EdidImage table = PatternTable();
        EdidImage wrongChecksums = table;
        wrongChecksums[127] ^= 0x10;
        wrongChecksums[255] ^= 0x01;
        QTest::newRow("table") << CanonicalLayout(table) << BytesOf(table);
        QTest::newRow("wrong checksums")
            << CanonicalLayout(wrongChecksums) << BytesOf(wrongChecksums);
    }

    // Saved exactly as parsed, 256 bytes over a longer file, and shown again
    // rendered. (Sizes other than 256 values: wrongSizeIsRefused.)
    void roundTrip() {
        QFETCH(QString, view);
        QFETCH(QByteArray, saved);
        rig->View()->setPlainText(view);
        WriteFile(Path("round.bin"), QByteArray(1000, 'x'));

        Save(Path("round.bin"));
        QCOMPARE(ReadFile(Path("round.bin")), saved);
        QCOMPARE(StatusMessages(), (QStringList{"Saving file...", "File saved"}));
        QCOMPARE(rig->ViewText(), view);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"round.bin"});
        rig->View()->clear();
        Load(Path("round.bin"));

        QCOMPARE(rig->dialogs.Warnings(), QStringList());
        QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(saved)));
        QCOMPARE(ByteFormats(rig->View()->document()), RenderedByteFormats());
    }

    // Only a leading zero byte marks the binary form; this table comes back
    // as its raw bytes read as text, up to its first zero byte.
    void tableNotStartingWithZeroLoadsBackAsText() {
        rig->View()->setPlainText(CanonicalLayout(ImageStartingWith(QByteArray("TALVO!\0AB", 9))));
        Save(Path("talvo.bin"));
        QCOMPARE(ReadFile(Path("talvo.bin")).size(), 256);

        Load(Path("talvo.bin"));
        QCOMPARE(rig->ViewText(), QStringLiteral("TALVO!"));
        QCOMPARE(TextFormats(), QStringList{"#0000ff 700 8pt"});

        Forget();
        rig->Invoke("CalculateChkSum");
        VerifyOneWarning(QStringLiteral("Hex Format Error"));
    }

    void wrongSizeIsRefused_data() {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        const QString table = CanonicalLayout(PatternTable());
        for (const char* slot : {"SaveEDIDtoFile", "CalculateChkSum"}) {
            QTest::addRow("%s, empty view", slot) << slot << ""
                                                  << "Incomplete EDID table: 0 of 256 byte values.";
            QTest::addRow("%s, 2 values", slot) << slot << "00 FF"
                                                << "Incomplete EDID table: 2 of 256 byte values.";
            QTest::addRow("%s, 257 values", slot)
                << slot << table + "01"
                << "EDID table too long: 257 byte values; a table holds 256.";
        }
    }

    // Nothing is saved or rendered, and no file dialog is opened.
    void wrongSizeIsRefused() {
        QFETCH(QString, slot);
        QFETCH(QString, text);
        QFETCH(QString, warning);
        rig->View()->setPlainText(text);
        rig->dialogs.fileName = Path("table.bin");

        rig->Invoke(slot.toLatin1().constData());

        VerifyOneWarning(warning);
        QCOMPARE(rig->ViewText(), text);
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(StatusMessages().isEmpty());
    }

    void specialFileIsRefused_data() {
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("path");
        QTest::newRow("load a named pipe") << true << "pipe";
        QTest::newRow("save over a named pipe") << false << "pipe";
        QTest::newRow("save over a device node") << false << "device";
        QTest::newRow("load a device node") << true << "/dev/zero";
    }

    // Refused before it is opened: a pipe without writer would block.
    void specialFileIsRefused() {
        QFETCH(bool, load);
        QFETCH(QString, path);
        if (path == QLatin1String("pipe")) {
            path = Path(path);
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        // A node of its own, so that a save that wrongly goes through can
        // never replace a device of the system.
        if (path == QLatin1String("device")) {
            path = Path(path);
            if (mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
                QSKIP("making a device node needs root");
            }
        }
        rig->View()->setPlainText(CanonicalLayout(PatternTable()));
        const QString html = rig->View()->toHtml();

        load ? Load(path) : Save(path);

        rig->dialogs.calls.removeFirst();
        VerifyOneWarning(QStringLiteral("Cannot %1 file %2:\nNot a regular file.")
                             .arg(load ? "read" : "write", path));
        QCOMPARE(rig->View()->toHtml(), html);
        QVERIFY(!QFileInfo(path).isFile());
    }

    // The folder takes no temporary file, so the table is written in place.
    void saveOverWritableFileInReadOnlyFolder() {
        if (geteuid() == 0) {
            QSKIP("root may create files in a read-only folder");
        }
        const QString path = Path("table.bin");
        WriteFile(path, QByteArray(1000, 'x'));
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        rig->View()->setPlainText(CanonicalLayout(PatternTable()));

        Save(path);

        QVERIFY(QFile::setPermissions(dir->path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(rig->dialogs.Warnings(), QStringList());
        QCOMPARE(ReadFile(path), BytesOf(PatternTable()));
        QCOMPARE(StatusMessages().last(), QStringLiteral("File saved"));
    }
};

QTEST_MAIN(FilesTest)
#include "FilesTest.moc"
