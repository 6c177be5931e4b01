#include "tests/support/HexViewProbe.h"
#include "tests/support/WindowRig.h"

#include <QtTest>

// Write EDID against a simulated unit: the mode check, what is refused before
// anything is sent, the 32 chunks with their progress, the reset commands that
// follow, and how a failing unit ends a run.
class WriteTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    UnitMemory memoryBefore{};

    // Every write waits 50 ms after each of its 32 chunks and 100 ms when it
    // closes the unit; the two resets wait 100 ms each when they close it,
    // with 50 ms between them.
    static constexpr std::uint64_t kResetWaitsMs = 2 * 100 + 50;
    // The read-back after a write that went through closes the unit once.
    static constexpr std::uint64_t kWholeWriteWaitsMs = 32 * 50 + 100 + kResetWaitsMs + 100;

    static QString Hex(std::uint8_t value) { return QString::asprintf("%02X", value); }

    static QString ChunkRequest(const EdidImage& image, int chunk, const QString& address) {
        QStringList bytes{QStringLiteral("10"), QStringLiteral("0C"), address,
                          Hex(static_cast<std::uint8_t>(chunk * 8))};
        for (int i = chunk * 8; i < chunk * 8 + 8; ++i) {
            bytes.append(Hex(image[static_cast<std::size_t>(i)]));
        }
        return bytes.join(QLatin1Char(' '));
    }

    // The write's own open/close cycle with its first `chunks` requests.
    static QStringList WriteRequests(const EdidImage& image, int chunks = 32,
                                     const QString& address = QStringLiteral("B0")) {
        QStringList lines{QStringLiteral("open")};
        for (int chunk = 0; chunk < chunks; ++chunk) {
            lines.append(ChunkRequest(image, chunk, address));
        }
        lines.append(QStringLiteral("close"));
        return lines;
    }

    // The read-back: a read's own requests, after the resets.
    static QStringList ReadRequests(const QString& address = QStringLiteral("B0")) {
        QStringList lines{QStringLiteral("open")};
        for (int chunk = 0; chunk < 16; ++chunk) {
            lines.append(QStringLiteral("11 10 %1 %2").arg(address, Hex(std::uint8_t(chunk * 16))));
        }
        lines.append(QStringLiteral("02 10 %1 F0 00 00 00 00").arg(address));
        lines.append(QStringLiteral("close"));
        return lines;
    }

    static QStringList ResetRequests() {
        return {
            QStringLiteral("open"), QStringLiteral("11 01 EA 23 20 0D"), QStringLiteral("close"),
            QStringLiteral("open"), QStringLiteral("11 01 EB 23 20 0D"), QStringLiteral("close")};
    }

    // A window on a unit in the given mode, with `text` in the Hex view and
    // the start-up traffic forgotten.
    void Start(std::uint8_t modeCode, const QString& text) {
        rig->unit.SetModeCode(modeCode);
        rig->Start();
        rig->View()->setPlainText(text);
        Forget();
    }

    void Forget() {
        rig->Forget();
        memoryBefore = rig->unit.Memory(0xB0);
    }

    QProgressBar* Bar() const {
        const QList<QProgressBar*> bars = rig->ProgressBars();
        return bars.size() == 1 ? bars[0] : nullptr;
    }

    // One warning box on the window, and no other box.
    void VerifyOneWarning(const QString& text) {
        QCOMPARE(rig->dialogs.calls.size(), 1);
        QCOMPARE(rig->dialogs.calls[0].parent, rig->window.data());
        QCOMPARE(rig->dialogs.calls[0].title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(rig->dialogs.Warnings(), QStringList{text});
    }

private slots:
    void init() { rig = std::make_unique<WindowRig>(); }
    void cleanup() { rig.reset(); }

    void refusedOutsideCustomMode_data() {
        QTest::addColumn<int>("modeCode");
        QTest::addColumn<QString>("checked");
        QTest::newRow("AUTOMIX") << int(SimulatedUnit::kAutomix) << "automixEDID";
        QTest::newRow("FIXED") << int(SimulatedUnit::kFixed) << "defaultEDID";
    }

    // The view holds text that would not parse: a refusal shows only its own
    // box, so nothing else may even look at the view.
    void refusedOutsideCustomMode() {
        QFETCH(int, modeCode);
        QFETCH(QString, checked);
        Start(static_cast<std::uint8_t>(modeCode), QStringLiteral("ZZ 00"));
        QVERIFY(rig->Radio(checked.toLatin1())->isChecked());

        rig->Invoke("WriteEDID");

        VerifyOneWarning(QStringLiteral("Writing is disabled in AUTOMIX and DEFAULT mode.\n"
                                        "Choose CUSTOM mode to upload an EDID table\n"));
        QVERIFY(rig->NewLog().isEmpty());
        QCOMPARE(rig->Slept(), std::uint64_t{0});
        QVERIFY(rig->NativeTexts().isEmpty());
        QVERIFY(rig->statusMessages.isEmpty());
        QCOMPARE(rig->ViewText(), QStringLiteral("ZZ 00"));
    }

    void writesTheTableThenResets_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("lowerCase");
        QTest::newRow("B0") << 0 << "B0" << false;
        QTest::newRow("B0, lower case") << 0 << "B0" << true;
        QTest::newRow("A0") << 1 << "A0" << false;
        QTest::newRow("B6") << 4 << "B6" << false;
    }

    void writesTheTableThenResets() {
        QFETCH(int, selection);
        QFETCH(QString, address);
        QFETCH(bool, lowerCase);
        const EdidImage table = PatternTable();
        const QString text = lowerCase ? CanonicalLayout(table).toLower() : CanonicalLayout(table);
        Start(SimulatedUnit::kCustom, text);
        QVERIFY(rig->Radio("customEDID")->isChecked());
        QMetaObject::invokeMethod(rig->window, "SelectEdid", Q_ARG(int, selection));
        const std::uint32_t resetsA = rig->unit.ResetCountA();
        const std::uint32_t resetsB = rig->unit.ResetCountB();

        rig->Invoke("WriteEDID");

        QCOMPARE(rig->NewLog(),
                 WriteRequests(table, 32, address) + ResetRequests() + ReadRequests(address));
        // Spelled out: the last chunk carries block 1's checksum.
        QCOMPARE(rig->NewLog()[32], QStringLiteral("10 0C %1 F8 ").arg(address) +
                                        CanonicalLayout(table).right(24).trimmed());
        const std::uint8_t deviceAddress = static_cast<std::uint8_t>(address.toUInt(nullptr, 16));
        QVERIFY(rig->unit.Memory(deviceAddress) == table);
        QCOMPARE(rig->unit.ResetCountA(), resetsA + 1);
        QCOMPARE(rig->unit.ResetCountB(), resetsB + 1);
        QVERIFY(rig->dialogs.calls.isEmpty());
        QVERIFY(rig->NativeTexts().isEmpty());
        QCOMPARE(rig->StatusMessage(), QStringLiteral("EDID values written..."));
        QVERIFY(!rig->MessageStays());
        QCOMPARE(rig->Slept(), kWholeWriteWaitsMs);
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QCOMPARE(rig->ViewText(), text);
    }

    void progressFollowsTheChunks() {
        Start(SimulatedUnit::kCustom, CanonicalLayout(PatternTable()));
        QStringList seen;
        rig->bridge.SetLogListener([this, &seen](const std::string& line) {
            if (line.rfind("10 0C", 0) != 0) {
                return;
            }
            QProgressBar* bar = Bar();
            seen.append(!bar ? QStringLiteral("no single bar")
                        : bar->isHidden()
                            ? QStringLiteral("hidden")
                            : QStringLiteral("%1 of %2").arg(bar->value()).arg(bar->maximum()));
        });

        rig->Invoke("WriteEDID");
        rig->bridge.SetLogListener(nullptr);

        QStringList expected{QStringLiteral("hidden")};
        for (int chunk = 1; chunk < 32; ++chunk) {
            expected.append(QStringLiteral("%1 of 32").arg(chunk));
        }
        QCOMPARE(seen, expected);
        QVERIFY(Bar() && Bar()->isHidden());
        QVERIFY(!Bar()->isTextVisible());

        rig->Invoke("ReadEDID");
        rig->View()->setPlainText(QStringLiteral("ZZ"));
        rig->Invoke("WriteEDID");
        rig->Invoke("WriteEDID");
        QCOMPARE(rig->ProgressBars().size(), 1);
    }

    void wrongChecksumQuestion_data() {
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }

    void wrongChecksumQuestion() {
        QFETCH(bool, answerYes);
        EdidImage table = PatternTable();
        table[127] ^= 0x01;
        Start(SimulatedUnit::kCustom, CanonicalLayout(table));
        rig->dialogs.answerYes = answerYes;

        rig->Invoke("WriteEDID");

        QCOMPARE(rig->dialogs.calls.size(), 1);
        const ScriptedDialogs::Call& box = rig->dialogs.calls[0];
        QCOMPARE(box.kind, QStringLiteral("question"));
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QStringLiteral("TALVO EDID Utility"));
        QCOMPARE(box.text, QStringLiteral("The EDID Checksum is not correct."));
        QCOMPARE(box.informativeText, QStringLiteral("Write anyway?"));
        QCOMPARE(box.defaultAnswer, WindowDialogs::DefaultAnswer::No);
        if (answerYes) {
            QCOMPARE(rig->NewLog(), WriteRequests(table) + ResetRequests() + ReadRequests());
            QVERIFY(rig->unit.Memory(0xB0) == table);
            QCOMPARE(rig->StatusMessage(), QStringLiteral("EDID values written..."));
        } else {
            QCOMPARE(rig->NewLog(), ResetRequests());
            QVERIFY(rig->unit.Memory(0xB0) == memoryBefore);
            QVERIFY(rig->statusMessages.isEmpty());
        }
        QCOMPARE(rig->ViewText(), CanonicalLayout(table));
    }

    void refusedBeforeSending_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        const QString table = CanonicalLayout(PatternTable());
        QTest::newRow("empty view") << ""
                                    << "Incomplete EDID table: 0 of 256 byte values.";
        QTest::newRow("255 values")
            << table.chopped(3) << "Incomplete EDID table: 255 of 256 byte values.";
        QTest::newRow("257 values") << table + "01"
                                    << "EDID table too long: 257 byte values; a table holds 256.";
    }

    // Nothing of the table is sent, no checksum question is asked, and the
    // resets still go out.
    void refusedBeforeSending() {
        QFETCH(QString, text);
        QFETCH(QString, warning);
        Start(SimulatedUnit::kCustom, text);
        rig->dialogs.answerYes = true;

        rig->Invoke("WriteEDID");

        VerifyOneWarning(warning);
        QCOMPARE(rig->NewLog(), ResetRequests());
        QVERIFY(rig->unit.Memory(0xB0) == memoryBefore);
        QVERIFY(rig->statusMessages.isEmpty());
        QCOMPARE(rig->Slept(), kResetWaitsMs);
        QCOMPARE(rig->ViewText(), text);
    }

    void failedChunkEndsInError_data() {
        QTest::addColumn<bool>("noReply");
        QTest::addColumn<int>("chunk");
        for (int chunk : {0, 13, 31}) {
            QTest::addRow("no reply, chunk %d", chunk) << true << chunk;
        }
        QTest::newRow("error byte, chunk 13") << false << 13;
    }

    // An unanswered chunk ends the transfer; a refused one does not, yet
    // the run still ends in error, with the unit's table maybe a mix of old
    // and new. Every other fault is the matrix's.
    void failedChunkEndsInError() {
        QFETCH(bool, noReply);
        QFETCH(int, chunk);
        const EdidImage table = PatternTable();
        const QString text = CanonicalLayout(table);
        Start(SimulatedUnit::kCustom, text);
        const int transaction = rig->bridge.TransactionCount() + chunk + 1;
        if (noReply) {
            rig->bridge.ReplyNever(transaction);
        } else {
            rig->bridge.ReplyErrorByte(transaction, 1);
        }

        rig->Invoke("WriteEDID");

        QCOMPARE(rig->NewLog(), WriteRequests(table, noReply ? chunk + 1 : 32) + ResetRequests());
        QCOMPARE(rig->dialogs.Warnings(),
                 (QStringList{"Error Writing EDID values.",
                              "The unit's EDID table may now be partly written. Write the table "
                              "again."}));
        QVERIFY(rig->statusMessages.contains(QStringLiteral("Error Writing EDID values.")));
        // The status bar ends with where the write failed and why.
        QCOMPARE(rig->StatusMessage(),
                 noReply ? QStringLiteral("Writing failed at chunk %1 of 32: no reply within 1000 "
                                          "ms.")
                               .arg(chunk + 1)
                         : QStringLiteral("The unit refused chunk %1 of 32.").arg(chunk + 1));
        QVERIFY(rig->MessageStays());
        QVERIFY(!rig->statusMessages.contains(QStringLiteral("EDID values written...")));
        QVERIFY(Bar() && Bar()->isHidden());
        QCOMPARE(rig->bridge.OpenHandles(), 0);
        QVERIFY(rig->NativeTexts().isEmpty());
        QCOMPARE(rig->Slept(), std::uint64_t(noReply ? chunk : 32) * 50 + 100 + kResetWaitsMs);
        QCOMPARE(rig->ViewText(), text);
    }

    void unansweredResetIsSaidAfterTheWrite_data() {
        QTest::addColumn<int>("reset");
        QTest::newRow("first reset") << 1;
        QTest::newRow("second reset") << 2;
    }

    void unansweredResetIsSaidAfterTheWrite() {
        QFETCH(int, reset);
        Start(SimulatedUnit::kCustom, CanonicalLayout(PatternTable()));
        rig->bridge.ReplyNever(rig->bridge.TransactionCount() + 32 + reset);

        rig->Invoke("WriteEDID");

        QCOMPARE(rig->statusMessages,
                 (QStringList{"EDID values written...",
                              "The unit did not answer the EDID reset after the write."}));
        QVERIFY(rig->MessageStays());
        QVERIFY(rig->dialogs.calls.isEmpty());
    }

    void readBackFindsWhatTheUnitStored_data() {
        QTest::addColumn<QList<int>>("miswritten");
        QTest::addColumn<bool>("readBackFails");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("status");
        const QString differs = QStringLiteral("The table read back differs from the one written.");
        QTest::newRow("first byte") << QList<int>{0x00} << false
                                    << "The table read back differs from the one written in 1 "
                                       "byte, at offset 0x00. Write the table again."
                                    << differs;
        QTest::newRow("two chunks")
            << QList<int>{0x78, 0xF8} << false
            << "The table read back differs from the one written in 2 bytes, at offsets 0x78, "
               "0xF8. Write the table again."
            << differs;
        QList<int> nine;
        for (int chunk = 0; chunk < 9; ++chunk) {
            nine.append(chunk * 8);
        }
        QTest::newRow("more offsets than are named")
            << nine << false
            << "The table read back differs from the one written in 9 bytes, first at offsets "
               "0x00, 0x08, 0x10, 0x18, 0x20, 0x28, 0x30, 0x38. Write the table again."
            << differs;
        QTest::newRow("read-back unanswered")
            << QList<int>{} << true << QString()
            << "The table was written, but could not be read back to check it.";
    }

    // The write's own requests stay as they were; the read-back follows the
    // resets, and only a difference or a failed check is said, and stays.
    void readBackFindsWhatTheUnitStored() {
        QFETCH(QList<int>, miswritten);
        QFETCH(bool, readBackFails);
        QFETCH(QString, warning);
        QFETCH(QString, status);
        const EdidImage table = PatternTable();
        const QString text = CanonicalLayout(table);
        Start(SimulatedUnit::kCustom, text);
        for (const int offset : miswritten) {
            rig->unit.StoreChunkWrongly(static_cast<std::uint8_t>(offset));
        }
        if (readBackFails) {
            rig->bridge.ReplyNever(rig->bridge.TransactionCount() + 32 + 2 + 1);
        }

        rig->Invoke("WriteEDID");

        QCOMPARE(rig->NewLog().mid(0, 34 + 6), WriteRequests(table) + ResetRequests());
        QCOMPARE(rig->NewLog().value(40), QStringLiteral("open"));
        QCOMPARE(rig->dialogs.Warnings(), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(rig->StatusMessage(), status);
        QVERIFY(rig->MessageStays());
        QCOMPARE(rig->ViewText(), text);
        QVERIFY(Bar() && Bar()->isHidden());
        QCOMPARE(rig->bridge.OpenHandles(), 0);
    }
};

QTEST_MAIN(WriteTest)
#include "WriteTest.moc"
