#include "HexViewInspection.h"
#include "WindowRig.h"

#include <QtTest>

// The Hex view's text form as Verify Checksum reads it back and renders it,
// and the four outcomes of a verification.
class HexViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;

    void Type(const QString& text) {
        rig->View()->setEnabled(true);
        rig->View()->setPlainText(text);
    }

    static QString Groups(int count, int step) {
        QStringList groups;
        for (int i = 0; i < count; ++i) {
            groups.append(QString::asprintf("%02X", (i * step) & 0xFF));
        }
        return groups.join(QLatin1Char(' '));
    }

    static QByteArray GroupBytes(int count, int step) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i) {
            bytes.append(static_cast<char>((i * step) & 0xFF));
        }
        return bytes;
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
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("formatError");

        const EdidImage table = PatternTable();
        const QString canonical = CanonicalLayout(table);
        const QByteArray tableBytes = BytesOf(table);
        const QByteArray zeroFF("\x00\xFF", 2);

        QTest::newRow("canonical") << canonical << tableBytes << false;
        QTest::newRow("canonical, lower case") << canonical.toLower() << tableBytes << false;
        QTest::newRow("no final line break") << canonical.chopped(1) << tableBytes << false;
        QTest::newRow("followed by an empty line") << canonical + "\n" << tableBytes << false;
        QTest::newRow("followed by spaces and line breaks") << canonical + "  \n \n"
                                                            << tableBytes << false;
        QTest::newRow("all zeros") << CanonicalLayout(EdidImage{}) << QByteArray() << false;
        QTest::newRow("empty view") << "" << QByteArray() << false;
        QTest::newRow("00 ff") << "00 ff" << zeroFF << false;
        QTest::newRow("00 ff, line break") << "00 ff\n" << zeroFF << false;
        QTest::newRow("00 ff, space") << "00 ff " << zeroFF << false;
        QTest::newRow("one value a line") << "12\nAB\n3c" << QByteArray("\x12\xAB\x3C") << false;
        QTest::newRow("300 groups") << Groups(300, 5) << GroupBytes(256, 5) << false;
        QTest::newRow("1023 characters")
            << QString("01 ").repeated(341) << QByteArray(256, '\x01') << false;

        QTest::newRow("0G") << "00 0G" << QByteArray() << true;
        QTest::newRow("G0") << "00 G0" << QByteArray() << true;
        QTest::newRow("ZZ") << "ZZ 00" << QByteArray() << true;
        QTest::newRow("outside Latin-1")
            << QStringLiteral("00 0") + QChar(0x20AC) << QByteArray() << true;
        QTest::newRow("Latin-1 letter")
            << QStringLiteral("00 ") + QChar(0xE9) + "F" << QByteArray() << true;
        QTest::newRow("two spaces") << "00  FF" << QByteArray() << true;
        QTest::newRow("space before line break") << "00 \nFF" << QByteArray() << true;
        QTest::newRow("empty line between lines") << "00\n\nFF" << QByteArray() << true;
        QTest::newRow("leading space") << " 00 FF" << QByteArray() << true;
        QTest::newRow("TAB separator") << "00\tFF" << QByteArray() << true;
        QTest::newRow("comma separator") << "00,FF" << QByteArray() << true;
        QTest::newRow("three-digit group") << "000 FF" << QByteArray() << true;
        QTest::newRow("one-digit group") << "0 FF" << QByteArray() << true;
        QTest::newRow("lone trailing digit") << "00 FF 1" << QByteArray() << true;
        QTest::newRow("lone digit") << "1" << QByteArray() << true;
        QTest::newRow("1024 characters")
            << QString("01 ").repeated(341) + " " << QByteArray() << true;
        QTest::newRow("table with an error in its last line") << canonical.chopped(3) + "XY\n"
                                                              << QByteArray() << true;
    }

    // A table that parses is rendered again, its checksums repaired first if
    // they were wrong (the question is answered Yes), so the view shows the
    // bytes the parser read.
    void parsing() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, formatError);
        rig->dialogs.answerYes = true;
        Type(text);
        const QString typed = rig->ViewText();

        rig->Invoke("CalculateChkSum");

        if (formatError) {
            QCOMPARE(rig->dialogs.calls.size(), 1);
            QCOMPARE(rig->dialogs.Warnings(), QStringList{"Hex Format Error"});
            QCOMPARE(rig->ViewText(), typed);
            return;
        }
        const EdidImage parsed = ImageStartingWith(bytes);
        const bool wrong = !ChecksumsRight(parsed);
        QCOMPARE(rig->dialogs.calls.size(), wrong ? 1 : 0);
        QCOMPARE(rig->dialogs.Texts("question").size(), wrong ? 1 : 0);
        QCOMPARE(rig->ViewText(), CanonicalLayout(wrong ? WithRightChecksums(parsed) : parsed));
    }

    void renderedFormats_data() {
        QTest::addColumn<bool>("afterTextLoad");
        QTest::newRow("fresh view") << false;
        QTest::newRow("after blue bold 8 pt text") << true;
    }

    // Checksum bytes stand out in red bold; other line ends are black at
    // normal weight; the rest carry black only, whatever the view's current
    // format was.
    void renderedFormats() {
        QFETCH(bool, afterTextLoad);
        QTextEdit* view = rig->View();
        if (afterTextLoad) {
            view->setFontPointSize(8);
            view->setTextColor(QColor(0, 0, 255));
            view->setFontWeight(QFont::Bold);
        }
        const EdidImage table = PatternTable();
        Type(CanonicalLayout(table).toLower());

        rig->Invoke("CalculateChkSum");

        QVERIFY(rig->dialogs.calls.isEmpty());
        QCOMPARE(rig->ViewText(), CanonicalLayout(table));
        QCOMPARE(ByteFormats(view->document()), RenderedByteFormats());
    }

    void formatErrorWarnsAndKeepsTheView() {
        rig->View()->setTextColor(QColor(0, 128, 0));
        Type(QStringLiteral("00 FF\n12  34\n"));
        const QString html = rig->View()->toHtml();

        rig->Invoke("CalculateChkSum");

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("warning"));
        QCOMPARE(box.parent, rig->window.data());
        QCOMPARE(box.title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(box.text, QStringLiteral("Hex Format Error"));
        QCOMPARE(rig->View()->toHtml(), html);
    }

    void repairOnYes_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QByteArray>("repaired");

        const EdidImage table = PatternTable();
        EdidImage wrong127 = table;
        wrong127[127] ^= 0x55;
        EdidImage wrong255 = table;
        wrong255[255] ^= 0x01;
        EdidImage bothWrong = wrong127;
        bothWrong[255] ^= 0x80;
        QTest::newRow("byte 127 wrong") << BytesOf(wrong127) << BytesOf(table);
        QTest::newRow("byte 255 wrong") << BytesOf(wrong255) << BytesOf(table);
        QTest::newRow("both wrong") << BytesOf(bothWrong) << BytesOf(table);

        EdidImage header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        header[255] = 0x42;
        EdidImage headerRepaired = header;
        headerRepaired[127] = 0x06;
        headerRepaired[255] = 0x00;
        QTest::newRow("EDID header then zeros") << BytesOf(header) << BytesOf(headerRepaired);

        EdidImage allFF{};
        std::fill_n(allFF.begin(), 127, 0xFF);
        EdidImage allFFRepaired = allFF;
        allFFRepaired[127] = 0x7F;
        QTest::newRow("block of 0xFF") << BytesOf(allFF) << BytesOf(allFFRepaired);
    }

    void repairOnYes() {
        QFETCH(QByteArray, typed);
        QFETCH(QByteArray, repaired);
        rig->dialogs.answerYes = true;
        Type(CanonicalLayout(ImageStartingWith(typed)).chopped(1).toLower());

        rig->Invoke("CalculateChkSum");

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("question"));
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QString());
        QCOMPARE(box.text, QStringLiteral("The EDID Checksum is not correct."));
        QCOMPARE(box.informativeText, QStringLiteral("Do you want to calculate a new checksum?"));
        QCOMPARE(box.defaultAnswer, WindowDialogs::DefaultAnswer::Yes);
        QCOMPARE(rig->ViewText(), CanonicalLayout(ImageStartingWith(repaired)));
    }

    void declineKeepsTheViewAsTyped() {
        EdidImage table = PatternTable();
        table[255] ^= 0x01;
        rig->View()->setTextColor(QColor(0, 0, 255));
        Type(CanonicalLayout(table).toLower() + "\n \n");
        const QString html = rig->View()->toHtml();

        rig->Invoke("CalculateChkSum");

        QCOMPARE(rig->dialogs.Texts("question"), QStringList{"The EDID Checksum is not correct."});
        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->View()->toHtml(), html);
    }
};

QTEST_MAIN(HexViewTest)
#include "HexViewTest.moc"
