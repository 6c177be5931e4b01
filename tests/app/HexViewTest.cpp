#include "tests/support/HexViewProbe.h"
#include "tests/support/WindowRig.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

// Verify Checksum on the Hex view: how the window hands the view's text to
// the parser, and the four outcomes of a verification. The parser itself is
// tested on its own; the rendered formats with the file loads.
class HexViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;

    void Type(const QString& text) {
        rig->View()->setEnabled(true);
        rig->View()->setPlainText(text);
    }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->bridge.SetDevices({});
        rig->Start();
    }
    void cleanup() { rig.reset(); }

    void parsing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rendered"); // empty: a format error
        QTest::addColumn<QString>("place");    // format error: where the group starts
        QTest::addColumn<QString>("selected");

        const QString canonical = CanonicalLayout(PatternTable());
        QTest::newRow("lower case, no final line break")
            << canonical.toLower().chopped(1) << canonical << QString() << QString();
        QTest::newRow("NUL after the last group")
            << canonical.chopped(1) + QChar(0) << canonical << QString() << QString();
        QTest::newRow("outside Latin-1")
            << QStringLiteral("00 0") + QChar(0x20AC) << QString() << "line 1, column 4"
            << QStringLiteral("0") + QChar(0x20AC);
        QTest::newRow("two spaces") << "00  FF" << QString() << "line 1, column 4"
                                    << " FF";
        QTest::newRow("NUL between groups")
            << canonical.left(53) + QChar(0) + canonical.mid(54) << QString() << "line 2, column 4"
            << canonical.mid(51, 2) + QChar(0);
    }

    // A table with right checksums is rendered again without a question; a
    // format error warns, selects the group and leaves the view as typed,
    // formats included.
    void parsing() {
        QFETCH(QString, text);
        QFETCH(QString, rendered);
        QFETCH(QString, place);
        QFETCH(QString, selected);
        rig->View()->setTextColor(QColor(0, 128, 0));
        Type(text);
        const QString html = rig->View()->toHtml();

        rig->Invoke("CalculateChkSum");

        if (!rendered.isEmpty()) {
            QVERIFY(rig->dialogs.calls.isEmpty());
            QCOMPARE(rig->ViewText(), rendered);
            QCOMPARE(rig->StatusMessage(), QStringLiteral("Checksums are correct."));
            return;
        }
        QCOMPARE(rig->StatusMessage(),
                 QStringLiteral("Hex format error in the group at %1.").arg(place));
        QCOMPARE(rig->View()->textCursor().selectedText(), selected);
        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("warning"));
        QCOMPARE(box.parent, rig->window.data());
        QCOMPARE(box.title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(box.text, QStringLiteral("Hex Format Error"));
        QCOMPARE(rig->View()->toHtml(), html);
    }

    void wrongChecksums_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QByteArray>("repaired");

        const EdidImage table = PatternTable();
        EdidImage bothWrong = table;
        bothWrong[127] ^= 0x55;
        bothWrong[255] ^= 0x80;
        QTest::newRow("both wrong, Yes") << BytesOf(bothWrong) << true << BytesOf(table);
        QTest::newRow("both wrong, No") << BytesOf(bothWrong) << false << QByteArray();

        EdidImage header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        header[255] = 0x42;
        EdidImage headerRepaired = header;
        headerRepaired[127] = 0x06;
        headerRepaired[255] = 0x00;
        QTest::newRow("EDID header then zeros, Yes")
            << BytesOf(header) << true << BytesOf(headerRepaired);
    }

    // Yes repairs and renders the table; No keeps the view as typed.
    void wrongChecksums() {
        QFETCH(QByteArray, typed);
        QFETCH(bool, answerYes);
        QFETCH(QByteArray, repaired);
        rig->dialogs.answerYes = answerYes;
        rig->View()->setTextColor(QColor(0, 0, 255));
        Type(CanonicalLayout(ImageStartingWith(typed)).chopped(1).toLower());
        const QString html = rig->View()->toHtml();

        rig->Invoke("CalculateChkSum");

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("question"));
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QString());
        QCOMPARE(box.text, QStringLiteral("The EDID Checksum is not correct."));
        QCOMPARE(box.informativeText, QStringLiteral("Do you want to calculate a new checksum?"));
        QCOMPARE(box.defaultAnswer, WindowDialogs::DefaultAnswer::Yes);
        if (answerYes) {
            QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(repaired)));
        } else {
            QCOMPARE(rig->View()->toHtml(), html);
        }
    }

    void replacingTheViewIsOneUndoStep_data() {
        QTest::addColumn<QString>("operation");
        QTest::newRow("Read EDID") << "ReadEDID";
        QTest::newRow("Load from File") << "LoadEDIDfromFile";
        QTest::newRow("checksum repair") << "CalculateChkSum";
    }

    // What the user typed last is one Ctrl+Z away.
    void replacingTheViewIsOneUndoStep() {
        QFETCH(QString, operation);
        rig = std::make_unique<WindowRig>();
        rig->Start();
        rig->dialogs.answerYes = true;
        QTemporaryDir dir;
        rig->dialogs.fileName = dir.filePath("table.bin");
        QFile file(rig->dialogs.fileName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(BytesOf(PatternTable())) == 256);
        file.close();
        EdidImage wrongChecksum = PatternTable();
        wrongChecksum[127] ^= 0x01;
        const QString typed = CanonicalLayout(wrongChecksum);
        rig->View()->setEnabled(true);
        QTextCursor cursor(rig->View()->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(typed);

        rig->Invoke(operation.toLatin1().constData());
        QVERIFY(rig->ViewText() != typed);
        QVERIFY(rig->dialogs.Warnings().isEmpty());

        QTest::keyClick(rig->View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rig->ViewText(), typed);
    }
};

QTEST_MAIN(HexViewTest)
#include "HexViewTest.moc"
