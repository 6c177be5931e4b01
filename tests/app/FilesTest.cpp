#include "HexViewInspection.h"
#include "WindowRig.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Load from File and Save to File on real files in a temporary folder: the
// dialogs, the binary and the text form, failures, and round trips.
class FilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSignalSpy> statusMessages;

    static constexpr QFileDevice::Permissions kOwnerAll =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

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

    // Lines of 16 groups, each followed by `lineEnd`.
    static QByteArray TextLines(const EdidImage& image, const QByteArray& lineEnd) {
        QByteArray text;
        for (std::size_t line = 0; line < 16; ++line) {
            QStringList groups;
            for (std::size_t i = line * 16; i < line * 16 + 16; ++i) {
                groups.append(QString::asprintf("%02X", image[i]));
            }
            text += groups.join(QLatin1Char(' ')).toLatin1() + lineEnd;
        }
        return text;
    }

    // True when this process may write into a folder whose write bits are
    // cleared, as root may.
    static bool WritesIntoReadOnlyFolders(const QString& folder) {
        QFile probe(QDir(folder).filePath(QStringLiteral("probe")));
        const bool writes = probe.open(QIODevice::WriteOnly);
        if (writes) {
            probe.remove();
        }
        return writes;
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
        // A read-only folder left by a failed check would survive the
        // temporary folder's removal.
        QFile::setPermissions(Path("locked"), kOwnerAll);
        dir.reset();
    }

    void loadDialogAndCancel() {
        rig->View()->setTextColor(QColor(0, 128, 0));
        rig->View()->setPlainText(QStringLiteral("12 34"));
        const QString html = rig->View()->toHtml();

        Load(QString());

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& dialog = rig->dialogs.calls[0];
        QCOMPARE(dialog.kind, QStringLiteral("open"));
        QCOMPARE(dialog.parent, rig->window.data());
        QCOMPARE(dialog.title, QStringLiteral("Open file"));
        QCOMPARE(dialog.directory, QString());
        QCOMPARE(dialog.filter, QStringLiteral("Binary Files (*.bin);;All files (*.*)"));
        QCOMPARE(rig->View()->toHtml(), html);
        QVERIFY(StatusMessages().isEmpty());
    }

    void loadBinary_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("table");
        const QByteArray table = BytesOf(PatternTable());
        QByteArray longer = table + QByteArray(44, '\x5A');
        QTest::newRow("256 bytes") << table << table;
        QTest::newRow("empty file") << QByteArray() << QByteArray(256, '\0');
        QTest::newRow("128 bytes") << table.left(128) << table.left(128) + QByteArray(128, '\0');
        QTest::newRow("300 bytes") << longer << table;
        QTest::newRow("2000 bytes") << table + QByteArray(1744, '\x7F') << table;
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
        const QByteArray table = BytesOf(image);
        const QString canonical = CanonicalLayout(image);
        QTest::newRow("trailing space, CR LF") << TextLines(image, " \r\n") << canonical << table;
        QTest::newRow("trailing space, LF") << TextLines(image, " \n") << canonical << table;
        QTest::newRow("canonical, LF") << TextLines(image, "\n") << canonical << table;
        QTest::newRow("canonical, CR LF") << TextLines(image, "\r\n") << canonical << table;

        QByteArray shortFirstLine = TextLines(image, " \r\n");
        shortFirstLine.remove(44, 3);
        QTest::newRow("first line one group shorter")
            << shortFirstLine << QString::fromLatin1(shortFirstLine).replace("\r\n", "\n")
            << QByteArray();

        QTest::newRow("ends at a zero byte") << QByteArray("00 ff\n\0 11 22", 13) << "00 ff\n"
                                             << QByteArray("\x00\xFF", 2);
        QTest::newRow("ends after 1024 bytes")
            << QByteArray("01 ").repeated(400) << QString("01 ").repeated(341) + "0"
            << QByteArray();
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
        WriteFile(Path("table.txt"), TextLines(table, " \r\n"));
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

    void loadFailure_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing file";
        QTest::newRow("folder") << "folder";
        QTest::newRow("unreadable file") << "unreadable file";
    }

    void loadFailure() {
        QFETCH(QString, kind);
        QString path = Path("missing.bin");
        if (kind == "folder") {
            path = dir->path();
        } else if (kind == "unreadable file") {
            path = Path("locked.bin");
            WriteFile(path, BytesOf(PatternTable()));
            QFile::setPermissions(path, QFileDevice::Permissions());
        }
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly)) {
            QSKIP("this process reads files without read permission");
        }
        rig->View()->setPlainText(QStringLiteral("12 34"));
        const QString html = rig->View()->toHtml();

        Load(path);

        rig->dialogs.calls.removeFirst();
        VerifyOneWarning(
            QStringLiteral("Cannot read file %1:\n%2.").arg(path, probe.errorString()));
        QCOMPARE(rig->View()->toHtml(), html);
        QVERIFY(StatusMessages().isEmpty());
    }

    void saveDialogAndFile() {
        const EdidImage table = PatternTable();
        rig->View()->setPlainText(CanonicalLayout(table));
        WriteFile(Path("out.bin"), QByteArray(1000, 'x'));

        Save(Path("out.bin"));

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& dialog = rig->dialogs.calls[0];
        QCOMPARE(dialog.kind, QStringLiteral("save"));
        QCOMPARE(dialog.parent, rig->window.data());
        QCOMPARE(dialog.title, QStringLiteral("Save File"));
        QCOMPARE(dialog.directory, QStringLiteral("TALVO_edid0.bin"));
        QCOMPARE(dialog.filter, QStringLiteral("Binary file (*.bin)"));
        QCOMPARE(ReadFile(Path("out.bin")), BytesOf(table));
        QCOMPARE(StatusMessages(), (QStringList{"Saving file...", "File saved"}));
        QCOMPARE(rig->ViewText(), CanonicalLayout(table));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"out.bin"});
    }

    void saveCancelled() {
        rig->View()->setPlainText(CanonicalLayout(PatternTable()));

        Save(QString());

        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->dialogs.calls[0].kind, QStringLiteral("save"));
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(StatusMessages().isEmpty());
    }

    // The view is parsed before the dialog would open, so no file is touched.
    void saveMalformedViewOpensNoDialog() {
        rig->View()->setPlainText(QStringLiteral("00 FF ZZ"));
        WriteFile(Path("keep.bin"), QByteArray("keep"));

        Save(Path("keep.bin"));

        VerifyOneWarning(QStringLiteral("Hex Format Error"));
        QCOMPARE(ReadFile(Path("keep.bin")), QByteArray("keep"));
        QVERIFY(StatusMessages().isEmpty());
        QCOMPARE(rig->ViewText(), QStringLiteral("00 FF ZZ"));
    }

    void saveFailure_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("target is a folder") << "target is a folder";
        QTest::newRow("folder does not exist") << "folder does not exist";
        QTest::newRow("read-only folder") << "read-only folder";
    }

    // Whatever stood at the target before is still there, byte for byte.
    void saveFailure() {
        QFETCH(QString, kind);
        QString target;
        QString survivor;
        if (kind == "target is a folder") {
            target = Path("folder.bin");
            QVERIFY(QDir(dir->path()).mkdir("folder.bin"));
            survivor = Path("folder.bin/inside.bin");
        } else if (kind == "folder does not exist") {
            target = Path("missing/out.bin");
        } else {
            QVERIFY(QDir(dir->path()).mkdir("locked"));
            target = Path("locked/out.bin");
            survivor = target;
        }
        if (!survivor.isEmpty()) {
            WriteFile(survivor, QByteArray("earlier contents"));
        }
        if (kind == "read-only folder") {
            QFile::setPermissions(Path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (WritesIntoReadOnlyFolders(Path("locked"))) {
                QSKIP("this process writes into read-only folders");
            }
        }
        const QString text = CanonicalLayout(PatternTable());
        rig->View()->setPlainText(text);

        Save(target);

        QSaveFile probe(target);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        rig->dialogs.calls.removeFirst();
        VerifyOneWarning(
            QStringLiteral("Cannot write file %1:\n%2.").arg(target, probe.errorString()));
        QVERIFY(!StatusMessages().contains(QStringLiteral("File saved")));
        QCOMPARE(rig->ViewText(), text);
        if (!survivor.isEmpty()) {
            QCOMPARE(ReadFile(survivor), QByteArray("earlier contents"));
        }
        if (kind == "read-only folder") {
            QCOMPARE(QDir(Path("locked")).entryList(QDir::Files), QStringList{"out.bin"});
        }
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QByteArray>("saved");
        const EdidImage table = PatternTable();
        EdidImage wrongChecksums = table;
        wrongChecksums[127] ^= 0x10;
        wrongChecksums[255] ^= 0x01;
        QString groups300 = CanonicalLayout(table);
        for (int i = 0; i < 44; ++i) {
            groups300 += QStringLiteral("%1 ").arg(i % 100, 2, 10, QLatin1Char('0'));
        }
        QTest::newRow("table") << CanonicalLayout(table) << BytesOf(table);
        QTest::newRow("wrong checksums")
            << CanonicalLayout(wrongChecksums) << BytesOf(wrongChecksums);
        QTest::newRow("lower case, no final line break")
            << CanonicalLayout(table).toLower().chopped(1) << BytesOf(table);
        QTest::newRow("300 groups") << groups300 << BytesOf(table);
        QTest::newRow("two groups")
            << "00 7f" << BytesOf(ImageStartingWith(QByteArray("\x00\x7F", 2)));
    }

    // Saved exactly as parsed, 256 bytes, and shown again rendered.
    void roundTrip() {
        QFETCH(QString, view);
        QFETCH(QByteArray, saved);
        rig->View()->setPlainText(view);

        Save(Path("round.bin"));
        QCOMPARE(ReadFile(Path("round.bin")), saved);
        QCOMPARE(rig->StatusMessage(), QStringLiteral("File saved"));
        rig->View()->clear();
        Load(Path("round.bin"));

        QCOMPARE(rig->dialogs.Warnings(), QStringList());
        QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(saved)));
        QCOMPARE(ByteFormats(rig->View()->document()), RenderedByteFormats());
    }

    // Only a leading zero byte marks the binary form; this table comes back
    // as its raw bytes read as text, up to its first zero byte.
    void tableNotStartingWithZeroLoadsBackAsText() {
        rig->View()->setPlainText(QStringLiteral("54 41 4C 56 4F 21 00 41 42"));
        Save(Path("talvo.bin"));
        QCOMPARE(ReadFile(Path("talvo.bin")).size(), 256);

        Load(Path("talvo.bin"));
        QCOMPARE(rig->ViewText(), QStringLiteral("TALVO!"));
        QCOMPARE(TextFormats(), QStringList{"#0000ff 700 8pt"});

        Forget();
        rig->Invoke("CalculateChkSum");
        VerifyOneWarning(QStringLiteral("Hex Format Error"));
    }
};

QTEST_MAIN(FilesTest)
#include "FilesTest.moc"
