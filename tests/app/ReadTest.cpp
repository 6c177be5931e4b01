#include "WindowRig.h"

#include <QTextCursor>
#include <QtTest>

// Reading the unit's table into the Hex view. How each failing library call
// or transaction ends a read is judged by the device fault matrix.
class ReadTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;

    QString UnitText() const {
        return QString::fromStdString(CanonicalHexText(rig->unit.Memory(0xB0)));
    }

    void StartAndForget() {
        rig->Start();
        rig->Forget();
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

    void readShowsTheUnitsTable_data() {
        QTest::addColumn<int>("modeCode");
        QTest::newRow("AUTOMIX") << int(SimulatedUnit::kAutomix);
        QTest::newRow("FIXED") << int(SimulatedUnit::kFixed);
        QTest::newRow("CUSTOM") << int(SimulatedUnit::kCustom);
    }

    // The start-up read shows the table first; the read under test replaces
    // it, also while the view is disabled.
    void readShowsTheUnitsTable() {
        QFETCH(int, modeCode);
        EdidImage table{};
        table[0] = 0xAB;
        table[1] = 0x05;
        table[255] = 0xFF;
        rig->unit.SetModeCode(static_cast<std::uint8_t>(modeCode));
        rig->unit.SetMemory(0xB0, table);
        StartAndForget();
        QCOMPARE(rig->View()->isEnabled(), modeCode == SimulatedUnit::kCustom);
        table[10] = 0x5A;
        rig->unit.SetMemory(0xB0, table);

        rig->Invoke("ReadEDID");

        QCOMPARE(rig->NewLog(), ReadRequests());
        const QString text = rig->ViewText();
        QCOMPARE(text.size(), 768);
        QVERIFY(text.startsWith("AB 05 00 00"));
        QVERIFY(text.endsWith("00 FF\n"));
        QCOMPARE(text, UnitText());
        QTextCursor cursor(rig->View()->document());
        for (int position : {1, 100, 767}) {
            cursor.setPosition(position);
            const QTextCharFormat format = cursor.charFormat();
            QCOMPARE(format.fontPointSize(), 8.0);
            QCOMPARE(format.fontWeight(), static_cast<int>(QFont::Bold));
            QCOMPARE(format.foreground().color(), QColor(Qt::black));
        }
        QCOMPARE(rig->StatusMessage(), QStringLiteral("EDID values read."));
        QCOMPARE(rig->bridge.OpenHandles(), 0);
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

    // Nothing after the unanswered chunk is sent, and failed runs leave the
    // one progress bar behind.
    void unansweredChunkEndsTheRead() {
        StartAndForget();
        for (int chunk : {0, 7, 15}) {
            rig->Forget();
            rig->bridge.ReplyNever(rig->bridge.TransactionCount() + chunk + 1);
            rig->Invoke("ReadEDID");
            QCOMPARE(rig->NewLog(), ReadRequests().mid(0, chunk + 2) + QStringList{"close"});
            QCOMPARE(rig->dialogs.Warnings(), QStringList{"Error Reading EDID values."});
        }
        QCOMPARE(rig->ProgressBars().size(), 1);
        QVERIFY(rig->ProgressBars().first()->isHidden());
    }
};

QTEST_MAIN(ReadTest)
#include "ReadTest.moc"
