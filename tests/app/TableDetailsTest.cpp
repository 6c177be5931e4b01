#include "app/AudioEditDialog.h"
#include "app/TableDetailsWindow.h"
#include "app/TableDetailsWords.h"
#include "edid/EdidDecode.h"
#include "edid/EdidEdit.h"
#include "tests/support/HexViewProbe.h"
#include "tests/support/RealSamples.h"
#include "tests/support/WindowRig.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

namespace {

const char kDenon[] = "Digital_DENON_DON004C_8270BDA0552D.bin";

EdidImage Denon() {
    const std::vector<std::uint8_t> bytes = RealSampleBytes(kDenon);
    EdidImage image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

QTreeWidgetItem* FindField(QTreeWidget* tree, const QString& name) {
    const QList<QTreeWidgetItem*> found =
        tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return found.isEmpty() ? nullptr : found.first();
}

EdidImage ImageOf(const EdidTable& bytes) {
    EdidImage image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

using TableEdit = std::function<EdidEditOutcome(EdidTable&)>;

// What the user does in the dialog an edit of the context menu opens.
using DialogAnswer = std::function<void(QWidget*)>;

DialogAnswer AnswerVic(int vic) {
    return [vic](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        QVERIFY(input != nullptr);
        input->setIntValue(vic);
        input->accept();
    };
}

// LPCM as a user ticks it: the rates and sizes by the bits of their boxes.
DialogAnswer AnswerAudio(std::optional<LpcmAudio> audio) {
    return [audio](QWidget* dialog) {
        QVERIFY(qobject_cast<AudioEditDialog*>(dialog) != nullptr);
        dialog->findChild<QRadioButton*>(audio ? "audioLpcm" : "audioNone")->setChecked(true);
        if (audio) {
            dialog->findChild<QSpinBox*>("audioChannels")->setValue(audio->channels);
            for (int i = 0; i < 7; ++i) {
                dialog->findChild<QCheckBox*>(QString("audioRate%1").arg(i))
                    ->setChecked(audio->sampleRates & (1 << i));
            }
            for (int i = 0; i < 3; ++i) {
                dialog->findChild<QCheckBox*>(QString("audioSize%1").arg(i))
                    ->setChecked(audio->sampleSizes & (1 << i));
            }
        }
        static_cast<QDialog*>(dialog)->accept();
    };
}

} // namespace

Q_DECLARE_METATYPE(TableEdit)
Q_DECLARE_METATYPE(DialogAnswer)

// The Table menu's details window over the real window's Hex view.
class TableDetailsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TableDetailsWindow* details = nullptr;

    QTreeWidget* Tree() const { return details->Tree(); }

    void Show(const EdidImage& image, bool editable) {
        rig->View()->setEnabled(editable);
        rig->View()->setPlainText(CanonicalLayout(image));
    }

    // Triggers the context menu's edit, answering the dialog it opens.
    void Trigger(const QString& action, const DialogAnswer& answer) {
        auto* edit = Tree()->findChild<QAction*>(action);
        QVERIFY(edit != nullptr);
        QVERIFY(Tree()->actions().contains(edit));
        QVERIFY(edit->isEnabled());
        if (answer) {
            QTimer::singleShot(0, [answer] {
                QWidget* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                answer(dialog);
            });
        }
        edit->trigger();
    }

    QString Reason() const { return details->findChild<QLabel*>("editReason")->text(); }

    // Edits the table as the window should and shows the outcome in the
    // view: one undo step, checksums red, and undo back to before.
    void ExpectEdited(const EdidImage& before, const TableEdit& edit) {
        const QString shown = rig->ViewText();
        EdidTable expected(before.begin(), before.end());
        QCOMPARE(edit(expected), EdidEditOutcome::Done);
        QTRY_COMPARE(rig->ViewText(), CanonicalLayout(ImageOf(expected)));
        QCOMPARE(Reason(), QString());
        QTextCursor checksum(rig->View()->document());
        checksum.setPosition(255 * 3 + 1);
        QCOMPARE(checksum.charFormat().foreground().color(), QColor(Qt::red));
        rig->View()->undo();
        QCOMPARE(rig->ViewText(), shown);
    }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->bridge.SetDevices({});
        rig->Start();
        QAction* action = rig->Find<QAction>("actionDetails");
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), QString("Details..."));
        action->trigger();
        details = rig->window->findChild<TableDetailsWindow*>();
        QVERIFY(details != nullptr);
        QCOMPARE(details->windowTitle(), QString("Table details"));
        QVERIFY(!details->isModal());
    }
    void cleanup() { rig.reset(); }

    // A field edited in place rewrites the view with the edited table as
    // one undo step, checksums red; undo brings the old table back.
    void editsAField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<TableEdit>("edit");
        QTest::newRow("manufacturer")
            << "manufacturer ID"
            << "xyz" << TableEdit([](EdidTable& t) { return SetManufacturer(t, "XYZ"); });
        QTest::newRow("product code")
            << "product code"
            << "4660" << TableEdit([](EdidTable& t) { return SetProductCode(t, 0x1234); });
        QTest::newRow("name") << "display descriptor 1: product name"
                              << "BENCH 7" << TableEdit([](EdidTable& t) {
                                     return SetDisplayName(t, "BENCH 7");
                                 });
        QTest::newRow("preferred timing")
            << "detailed timing 1"
            << "1920x1080@60"
            << TableEdit([](EdidTable& t) { return SetPreferredTiming(t, 1920, 1080, 60); });
        QTest::newRow("physical address") << "physical address"
                                          << "1.2.0.15" << TableEdit([](EdidTable& t) {
                                                 return SetPhysicalAddress(t, {1, 2, 0, 15});
                                             });
        QTest::newRow("maximum TMDS clock")
            << "maximum TMDS clock"
            << "340 MHz" << TableEdit([](EdidTable& t) { return SetMaxTmdsClock(t, 340); });
        QTest::newRow("maximum TMDS clock, number only")
            << "maximum TMDS clock"
            << "165" << TableEdit([](EdidTable& t) { return SetMaxTmdsClock(t, 165); });
    }

    void editsAField() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(TableEdit, edit);
        const EdidImage before = Denon();
        Show(before, true);
        const QString shown = rig->ViewText();
        QTreeWidgetItem* item = FindField(Tree(), field);
        QVERIFY(item != nullptr);
        QVERIFY(item->flags() & Qt::ItemIsEditable);
        item->setText(2, value);
        EdidTable expected(before.begin(), before.end());
        QCOMPARE(edit(expected), EdidEditOutcome::Done);
        EdidImage expectedImage{};
        std::copy(expected.begin(), expected.end(), expectedImage.begin());
        QTRY_COMPARE(rig->ViewText(), CanonicalLayout(expectedImage));
        QTextCursor checksum(rig->View()->document());
        checksum.setPosition(127 * 3 + 1);
        QCOMPARE(checksum.charFormat().foreground().color(), QColor(Qt::red));
        // The tree follows the view.
        QCOMPARE(FindField(Tree(), field)->text(2).left(value.size()).toUpper(), value.toUpper());
        rig->View()->undo();
        QCOMPARE(rig->ViewText(), shown);
    }

    // Selecting a field selects its bytes in the view, and the cursor in the
    // view selects the field of its byte.
    void followsSelections_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("header") << "header" << 0 << 7;
        QTest::newRow("serial number") << "serial number" << 12 << 15;
        QTest::newRow("video data block") << "block 1: CTA data block: video" << 132 << 159;
        QTest::newRow("checksum") << "block 1: checksum" << 255 << 255;
    }

    void followsSelections() {
        QFETCH(QString, field);
        QFETCH(int, first);
        QFETCH(int, last);
        const EdidImage table = Denon();
        Show(table, false);
        QTreeWidgetItem* item = FindField(Tree(), field);
        QVERIFY(item != nullptr);
        Tree()->setCurrentItem(nullptr);
        Tree()->setCurrentItem(item);
        QStringList bytes;
        for (int i = first; i <= last; ++i) {
            bytes << QString::asprintf("%02X", table[std::size_t(i)]);
        }
        QCOMPARE(rig->View()->textCursor().selectedText().simplified().replace(QChar(0x2029), ' '),
                 bytes.join(' '));
        Tree()->setCurrentItem(nullptr);
        QTextCursor cursor(rig->View()->document());
        cursor.setPosition(last * 3 + 1);
        rig->View()->setTextCursor(cursor);
        QCOMPARE(Tree()->currentItem(), FindField(Tree(), field));
    }

    // Only an editable view lets the fields be edited; a view that holds no
    // table shows "no table"; a refused edit leaves the view and says why.
    void followsTheView() {
        Show(Denon(), false);
        const auto editable = [this](const char* field) {
            return (FindField(Tree(), field)->flags() & Qt::ItemIsEditable) != 0;
        };
        const auto menuEnabled = [this] {
            const QList<QAction*> actions = Tree()->actions();
            return !actions.isEmpty() && std::all_of(actions.begin(), actions.end(),
                                                     [](QAction* a) { return a->isEnabled(); });
        };
        QVERIFY(!editable("product code"));
        QVERIFY(!editable("physical address"));
        QVERIFY(!menuEnabled());
        rig->View()->setEnabled(true);
        QVERIFY(editable("product code"));
        QVERIFY(editable("physical address"));
        QVERIFY(editable("maximum TMDS clock"));
        QVERIFY(menuEnabled());
        const QString shown = rig->ViewText();
        FindField(Tree(), "product code")->setText(2, "70000");
        QTRY_VERIFY(details->findChild<QLabel*>("editReason")->text().startsWith("Not changed"));
        QCOMPARE(rig->ViewText(), shown);
        QVERIFY(FindField(Tree(), "Problems") != nullptr);
        rig->View()->setPlainText("00 FF");
        QCOMPARE(Tree()->topLevelItemCount(), 1);
        QCOMPARE(Tree()->topLevelItem(0)->text(0), QString("no table"));
        const QList<QAction*> actions = Tree()->actions();
        QVERIFY(std::none_of(actions.begin(), actions.end(),
                             [](QAction* a) { return a->isEnabled(); }));
    }

    // The context menu's edits: each asks what it needs, then rewrites the
    // view as an edit in place does.
    void editsFromTheMenu_data() {
        QTest::addColumn<TableEdit>("prepare");
        QTest::addColumn<QString>("action");
        QTest::addColumn<DialogAnswer>("answer");
        QTest::addColumn<TableEdit>("edit");
        const TableEdit asItIs = [](EdidTable&) { return EdidEditOutcome::Done; };
        QTest::newRow("add VIC") << asItIs << "actionAddVic" << AnswerVic(2)
                                 << TableEdit([](EdidTable& t) { return AddVic(t, 2); });
        QTest::newRow("add VIC to a block without video") << TableEdit([](EdidTable& t) {
            const DecodedEdid decoded = DecodeEdid(t);
            for (const ShortVideoDescriptor& svd : decoded.extensions.at(0).cta->videoDescriptors) {
                RemoveVic(t, svd.vic);
            }
            return EdidEditOutcome::Done;
        }) << "actionAddVic" << AnswerVic(16) << TableEdit([](EdidTable& t) {
            return AddVic(t, 16);
        });
        QTest::newRow("remove VIC") << asItIs << "actionRemoveVic" << AnswerVic(31)
                                    << TableEdit([](EdidTable& t) { return RemoveVic(t, 31); });
        QTest::newRow("mark VIC native")
            << asItIs << "actionMarkNativeVic" << AnswerVic(4)
            << TableEdit([](EdidTable& t) { return MarkNativeVic(t, 4); });
        QTest::newRow("no audio") << asItIs << "actionEditAudio" << AnswerAudio(std::nullopt)
                                  << TableEdit([](EdidTable& t) { return SetNoAudio(t); });
        QTest::newRow("LPCM audio")
            << TableEdit([](EdidTable& t) { return SetNoAudio(t); }) << "actionEditAudio"
            << AnswerAudio(LpcmAudio{8, 0x54, 0x06}) << TableEdit([](EdidTable& t) {
                   return SetLpcmAudio(t, LpcmAudio{8, 0x54, 0x06});
               });
        QTest::newRow("fit range limits")
            << TableEdit([](EdidTable& t) { return AddVic(t, 63); }) << "actionFitRangeLimits"
            << DialogAnswer() << TableEdit([](EdidTable& t) { return FitRangeLimits(t); });
    }

    void editsFromTheMenu() {
        QFETCH(TableEdit, prepare);
        QFETCH(QString, action);
        QFETCH(DialogAnswer, answer);
        QFETCH(TableEdit, edit);
        const EdidImage denon = Denon();
        EdidTable prepared(denon.begin(), denon.end());
        QCOMPARE(prepare(prepared), EdidEditOutcome::Done);
        const EdidImage before = ImageOf(prepared);
        Show(before, true);
        Trigger(action, answer);
        ExpectEdited(before, edit);
    }

    // An edit that cannot be made leaves the view as it was, without an
    // undo step, and says why in the window's words; one that changes
    // nothing says nothing.
    void refusesAnEdit_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("action");
        QTest::addColumn<DialogAnswer>("answer");
        QTest::addColumn<QString>("reason");
        const auto refused = [](EdidEditOutcome outcome) {
            return "Not changed: " + EditRefusalWords(outcome) + ".";
        };
        QTest::newRow("address part past 15") << "physical address"
                                              << "1.16.0.0" << QString() << DialogAnswer()
                                              << refused(EdidEditOutcome::ValueOutOfRange);
        QTest::newRow("address of three parts")
            << "physical address"
            << "1.0.0" << QString() << DialogAnswer() << refused(EdidEditOutcome::ValueOutOfRange);
        QTest::newRow("TMDS clock off the 5 MHz steps")
            << "maximum TMDS clock"
            << "333 MHz" << QString() << DialogAnswer()
            << refused(EdidEditOutcome::ValueOutOfRange);
        QTest::newRow("undefined VIC") << QString() << QString() << "actionAddVic" << AnswerVic(250)
                                       << refused(EdidEditOutcome::VicUndefined);
        QTest::newRow("VIC not listed") << QString() << QString() << "actionRemoveVic"
                                        << AnswerVic(1) << refused(EdidEditOutcome::VicNotListed);
        QTest::newRow("VIC past 64 native")
            << QString() << QString() << "actionMarkNativeVic" << AnswerVic(93)
            << refused(EdidEditOutcome::VicCannotBeNative);
        QTest::newRow("LPCM without a rate")
            << QString() << QString() << "actionEditAudio" << AnswerAudio(LpcmAudio{2, 0, 1})
            << refused(EdidEditOutcome::ValueOutOfRange);
        QTest::newRow("VIC listed already")
            << QString() << QString() << "actionAddVic" << AnswerVic(16) << QString();
    }

    void refusesAnEdit() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, action);
        QFETCH(DialogAnswer, answer);
        QFETCH(QString, reason);
        Show(Denon(), true);
        const QString shown = rig->ViewText();
        details->findChild<QLabel*>("editReason")->setText("before");
        if (field.isEmpty()) {
            Trigger(action, answer);
        } else {
            FindField(Tree(), field)->setText(2, value);
        }
        QTRY_COMPARE(Reason(), reason);
        // Whatever the edit left to do once its signal returned is done.
        QCoreApplication::processEvents();
        // The tree is back to what the table says.
        QTRY_VERIFY(field.isEmpty() || FindField(Tree(), field)->text(2) != value);
        QCOMPARE(rig->ViewText(), shown);
        QVERIFY(!rig->View()->document()->isUndoAvailable());
    }

    // The problems cover every timing the table lists, a VIC as well as a
    // detailed timing, and fitting the range limits clears them.
    void listsTimingsOutsideTheRangeLimits() {
        const EdidImage denon = Denon();
        EdidTable table(denon.begin(), denon.end());
        QCOMPARE(AddVic(table, 63), EdidEditOutcome::Done);
        Show(ImageOf(table), true);
        const QString outside = StructureProblemWords(EdidProblemKind::TimingOutsideRangeLimits);
        QTreeWidgetItem* problem = FindField(Tree(), outside);
        QVERIFY(problem != nullptr);
        QCOMPARE(problem->text(2), QString("block 1"));
        Trigger("actionFitRangeLimits", DialogAnswer());
        QTRY_VERIFY(FindField(Tree(), outside) == nullptr);
    }
};

QTEST_MAIN(TableDetailsTest)
#include "TableDetailsTest.moc"
