#include "app/TableDetailsWindow.h"
#include "edid/EdidEdit.h"
#include "tests/support/HexViewProbe.h"
#include "tests/support/RealSamples.h"
#include "tests/support/WindowRig.h"

#include <QLabel>
#include <QMenuBar>
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

using TableEdit = std::function<EdidEditOutcome(EdidBytes&)>;

} // namespace

Q_DECLARE_METATYPE(TableEdit)

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
            << "xyz" << TableEdit([](EdidBytes& t) { return SetManufacturer(t, "XYZ"); });
        QTest::newRow("product code")
            << "product code"
            << "4660" << TableEdit([](EdidBytes& t) { return SetProductCode(t, 0x1234); });
        QTest::newRow("name") << "display descriptor 1: product name"
                              << "BENCH 7" << TableEdit([](EdidBytes& t) {
                                     return SetDisplayName(t, "BENCH 7");
                                 });
        QTest::newRow("preferred timing")
            << "detailed timing 1"
            << "1920x1080@60"
            << TableEdit([](EdidBytes& t) { return SetPreferredTiming(t, 1920, 1080, 60); });
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
        EdidBytes expected(before.begin(), before.end());
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
        QVERIFY(!(FindField(Tree(), "product code")->flags() & Qt::ItemIsEditable));
        rig->View()->setEnabled(true);
        QVERIFY(FindField(Tree(), "product code")->flags() & Qt::ItemIsEditable);
        const QString shown = rig->ViewText();
        FindField(Tree(), "product code")->setText(2, "70000");
        QTRY_VERIFY(details->findChild<QLabel*>("editReason")->text().startsWith("Not changed"));
        QCOMPARE(rig->ViewText(), shown);
        QVERIFY(FindField(Tree(), "Problems") != nullptr);
        rig->View()->setPlainText("00 FF");
        QCOMPARE(Tree()->topLevelItemCount(), 1);
        QCOMPARE(Tree()->topLevelItem(0)->text(0), QString("no table"));
    }
};

QTEST_MAIN(TableDetailsTest)
#include "TableDetailsTest.moc"
