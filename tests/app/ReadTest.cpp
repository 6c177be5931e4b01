#include "WindowRig.h"

#include <QTextCursor>
#include <QtTest>

// Reading the unit's table into the Hex view.
class ReadTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    // Transactions made before the read under test.
    int before = 0;

    QString UnitText(std::uint8_t address = 0xB0) const {
        return QString::fromStdString(CanonicalHexText(rig->unit.Memory(address)));
    }

    void StartAndForget() {
        rig->Start();
        rig->ForgetLog();
        before = rig->bridge.TransactionCount();
    }

    // The bar as each request of a run goes out: hidden, or value of maximum.
    QStringList ProgressAtEachRequest() {
        QStringList states;
        rig->bridge.SetLogListener([this, &states](const std::string& line) {
            if (line == "open" || line == "close") {
                return;
            }
            const QProgressBar* bar = rig->ProgressBars().value(0);
            states.append(!bar || bar->isHidden()
                              ? QStringLiteral("hidden")
                              : QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum()));
        });
        rig->Invoke("ReadEDID");
        rig->bridge.SetLogListener(nullptr);
        return states;
    }

private slots:
    void init() { rig = std::make_unique<WindowRig>(); }
    void cleanup() { rig.reset(); }

    void readShowsTheUnitsTable() {
        StartAndForget();
        rig->View()->clear();
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->NewLog(), ReadRequests());
        const QString text = rig->ViewText();
        QCOMPARE(text.size(), 768);
        QCOMPARE(text, UnitText());
        QCOMPARE(rig->StatusMessage(), QStringLiteral("EDID values read."));
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }

    void valuesAreTwoUpperCaseDigits() {
        EdidImage table{};
        table[0] = 0xAB;
        table[1] = 0x05;
        table[255] = 0xFF;
        rig->unit.SetMemory(0xB0, table);
        rig->Start();
        QVERIFY(rig->ViewText().startsWith("AB 05 00 00"));
        QVERIFY(rig->ViewText().endsWith("00 FF\n"));
    }

    void textIsBoldBlackEightPoint() {
        StartAndForget();
        QTextCursor cursor(rig->View()->document());
        for (int position : {1, 100, 767}) {
            cursor.setPosition(position);
            const QTextCharFormat format = cursor.charFormat();
            QCOMPARE(format.fontPointSize(), 8.0);
            QCOMPARE(format.fontWeight(), static_cast<int>(QFont::Bold));
            QCOMPARE(format.foreground().color(), QColor(Qt::black));
        }
    }

    void secondReadReplacesTheFirst() {
        StartAndForget();
        EdidImage table = rig->unit.Memory(0xB0);
        table[10] ^= 0xFF;
        rig->unit.SetMemory(0xB0, table);
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->ViewText(), UnitText());
    }

    void progressRunsThroughTheChunks() {
        StartAndForget();
        QStringList expected{"hidden"};
        for (int offset = 16; offset <= 240; offset += 16) {
            expected.append(QStringLiteral("%1/255").arg(offset));
        }
        expected.append("240/255"); // the status request
        QCOMPARE(ProgressAtEachRequest(), expected);
        QCOMPARE(rig->ProgressBars().size(), 1);
        QVERIFY(rig->ProgressBars().first()->isHidden());
    }

    void progressChangeWithNothingToShowOnlyHides_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maximum");
        QTest::newRow("value 0") << 0 << 10;
        QTest::newRow("maximum 0") << 5 << 0;
        QTest::newRow("negative") << -1 << 10;
    }

    void progressChangeWithNothingToShowOnlyHides() {
        QFETCH(int, value);
        QFETCH(int, maximum);
        StartAndForget();
        QProgressBar* bar = rig->ProgressBars().first();
        rig->window->on_ProgressChange(3, 7);
        QVERIFY(!bar->isHidden());
        rig->window->on_ProgressChange(value, maximum);
        QVERIFY(bar->isHidden());
        QCOMPARE(bar->maximum(), 7);
        QCOMPARE(bar->value(), 3);
    }

    void readRunsInEveryMode_data() {
        QTest::addColumn<int>("modeCode");
        QTest::newRow("AUTOMIX") << 1;
        QTest::newRow("FIXED") << 2;
        QTest::newRow("CUSTOM") << 3;
    }

    void readRunsInEveryMode() {
        QFETCH(int, modeCode);
        rig->unit.SetModeCode(static_cast<std::uint8_t>(modeCode));
        StartAndForget();
        rig->View()->clear();
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->ViewText(), UnitText());
    }

    void unitAbsentKeepsTheView() {
        StartAndForget();
        rig->View()->setPlainText("12 34");
        rig->window->statusBar()->clearMessage();
        rig->bridge.SetDevices({});
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->dialogs.Warnings(), QStringList{"Hardware not found"});
        QCOMPARE(rig->dialogs.calls.first().parent, rig->window.data());
        QCOMPARE(rig->dialogs.calls.first().title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(rig->ViewText(), QStringLiteral("12 34"));
        QVERIFY(rig->StatusMessage().isEmpty());
        QVERIFY(rig->ProgressBars().first()->isHidden());
    }

    void failedChunkEndsTheRead_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QStringList>("native");

        const QStringList none;
        QTest::newRow("no reply at chunk 0") << "noreply" << 0 << none;
        QTest::newRow("no reply at chunk 7") << "noreply" << 7 << none;
        QTest::newRow("no reply at chunk 15") << "noreply" << 15 << none;
        QTest::newRow("short reply at chunk 3") << "short" << 3 << none;
        QTest::newRow("library read fails at chunk 5")
            << "readfails" << 5 << QStringList{"Error Reading Data"};
        QTest::newRow("unit vanishes after chunk 9") << "vanish" << 10 << QStringList{};
    }

    void failedChunkEndsTheRead() {
        QFETCH(QString, fault);
        QFETCH(int, chunk);
        QFETCH(QStringList, native);

        StartAndForget();
        const QString earlier = rig->ViewText();
        EdidImage changed = rig->unit.Memory(0xB0);
        changed.fill(0x5A);
        rig->unit.SetMemory(0xB0, changed);
        rig->window->statusBar()->clearMessage();
        const int transaction = before + chunk + 1;
        if (fault == "noreply") {
            rig->bridge.ReplyNever(transaction);
        } else if (fault == "short") {
            rig->bridge.ReplyShort(transaction, 15);
        } else if (fault == "readfails") {
            // Each answered transaction before it made one read call.
            rig->bridge.FailCall(BridgeOperation::Read,
                                 rig->bridge.CallCount(BridgeOperation::Read) + chunk + 1);
        } else if (fault == "vanish") {
            rig->bridge.VanishAfter(transaction - 1);
        }

        rig->Invoke("ReadEDID");

        // No chunk after the failed one is sent, and the view keeps its text.
        QCOMPARE(rig->NewLog().size(), 1 + chunk + 1 + (fault == "vanish" ? 0 : 1));
        QCOMPARE(rig->ViewText(), earlier);
        if (fault == "vanish") {
            QVERIFY(rig->NativeTexts().contains("Error Sending Code"));
        } else {
            QCOMPARE(rig->NativeTexts(), native);
        }
        QCOMPARE(rig->dialogs.Warnings(), QStringList{"Error Reading EDID values."});
        QCOMPARE(rig->dialogs.calls.last().parent, rig->window.data());
        QVERIFY(rig->StatusMessage().isEmpty());
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QCOMPARE(rig->ProgressBars().size(), 1);
        QVERIFY(rig->ProgressBars().first()->isHidden());
    }

    void unansweredStatusRequestDoesNotFailTheRead() {
        StartAndForget();
        rig->View()->clear();
        rig->bridge.ReplyNever(before + 17);
        rig->Invoke("ReadEDID");
        QCOMPARE(rig->NewLog(), ReadRequests());
        QCOMPARE(rig->ViewText(), UnitText());
        QCOMPARE(rig->StatusMessage(), QStringLiteral("EDID values read."));
        QVERIFY(rig->dialogs.calls.isEmpty());
    }

    void manyRunsKeepOneProgressBar() {
        StartAndForget();
        for (int run = 0; run < 20; ++run) {
            rig->Invoke("ReadEDID");
        }
        QCOMPARE(rig->ProgressBars().size(), 1);
    }
};

QTEST_MAIN(ReadTest)
#include "ReadTest.moc"
