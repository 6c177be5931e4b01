#include "app/TableDetailsWindow.h"

#include "app/TableDetailsWords.h"
#include "app/TableFieldEdits.h"
#include "edid/EdidFieldMap.h"
#include "edid/EdidLayout.h"
#include "edid/EdidStructure.h"
#include "edid/HexText.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { kField, kOffsets, kValue };
enum Role { kFirstRole = Qt::UserRole, kLastRole, kEditRole };

QString HexOffset(std::size_t offset) {
    return QString::asprintf("0x%02zX", offset);
}

QTreeWidgetItem* AddField(QTreeWidgetItem* parent, const QString& name, std::size_t first,
                          std::size_t last, const QString& value) {
    auto* item = new QTreeWidgetItem(
        parent, {name, HexOffset(first) + (last > first ? "-" + HexOffset(last) : ""), value});
    item->setData(kField, kFirstRole, static_cast<int>(first));
    item->setData(kField, kLastRole, static_cast<int>(last));
    return item;
}

void MakeEditable(QTreeWidgetItem* item, FieldEdit edit) {
    if (edit != FieldEdit::None) {
        item->setData(kField, kEditRole, static_cast<int>(edit));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

FieldEdit EditOfItem(const QTreeWidgetItem* item) {
    const QVariant edit = item->data(kField, kEditRole);
    return edit.isValid() ? static_cast<FieldEdit>(edit.toInt()) : FieldEdit::None;
}

} // namespace

TableDetailsWindow::TableDetailsWindow(QTextEdit* view, QWidget* parent)
    : QWidget(parent, Qt::Window), view_(view), tree_(new QTreeWidget(this)),
      reason_(new QLabel(this)) {
    setObjectName(QStringLiteral("tableDetails"));
    setWindowTitle(tr("Table details"));
    tree_->setColumnCount(3);
    tree_->setHeaderLabels({tr("Field"), tr("Offsets"), tr("Value")});
    tree_->setColumnWidth(kField, 340);
    tree_->setColumnWidth(kOffsets, 100);
    tree_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    reason_->setObjectName(QStringLiteral("editReason"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addWidget(reason_);
    resize(780, 640);

    connect(view_, &QTextEdit::textChanged, this, &TableDetailsWindow::Rebuild);
    // The view is editable only in CUSTOM mode; so are the fields.
    view_->installEventFilter(this);
    connect(view_, &QTextEdit::cursorPositionChanged, this,
            &TableDetailsWindow::SelectFieldAtCursor);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { SelectBytesOf(item); });
    // A click on the field the cursor already made current selects too.
    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { SelectBytesOf(item); });
    connect(tree_, &QTreeWidget::itemChanged, this, &TableDetailsWindow::ApplyFieldEdit);
    CreateEditActions();
    Rebuild();
}

bool TableDetailsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::EnabledChange) {
        Rebuild();
    }
    return QWidget::eventFilter(watched, event);
}

void TableDetailsWindow::Rebuild() {
    rebuilding_ = true;
    tree_->clear();
    fieldItems_.assign(kEdidSize, nullptr);
    positions_.clear();
    const QByteArray text = view_->toPlainText().toUpper().toLatin1();
    EdidImage image{};
    const bool whole = ParseHexText(std::string(text.constData(), std::size_t(text.size())),
                                    image) == static_cast<int>(kEdidSize);
    for (QAction* action : editActions_) {
        action->setEnabled(whole && view_->isEnabled());
    }
    if (!whole) {
        new QTreeWidgetItem(tree_, {tr("no table")});
        rebuilding_ = false;
        return;
    }
    table_ = image;
    const QRegularExpression group("(?<![0-9A-F])[0-9A-F]{2}(?![0-9A-F])");
    for (auto match = group.globalMatch(QString::fromLatin1(text)); match.hasNext();) {
        positions_.push_back(match.next().capturedStart());
    }
    const std::vector<std::uint8_t> table(image.begin(), image.end());
    const DecodedEdid decoded = DecodeEdid(table);
    AddBlockFields(table, decoded);
    AddHdmiFields(decoded);
    AddProblems(table);
    tree_->expandAll();
    rebuilding_ = false;
}

// Consecutive bytes that the decoder names alike make one field.
void TableDetailsWindow::AddBlockFields(const std::vector<std::uint8_t>& table,
                                        const DecodedEdid& decoded) {
    const bool editable = view_->isEnabled();
    std::size_t first = 0;
    while (first < table.size()) {
        const std::string name = NameEdidField(table, first);
        std::size_t last = first;
        while (last + 1 < table.size() && (last + 1) % kEdidBlockSize != 0 &&
               NameEdidField(table, last + 1) == name) {
            ++last;
        }
        const std::size_t block = first / kEdidBlockSize;
        if (first % kEdidBlockSize == 0) {
            new QTreeWidgetItem(tree_, {tr("Block %1").arg(block)});
        }
        QTreeWidgetItem* blockItem = tree_->topLevelItem(static_cast<int>(block));
        QStringList bytes;
        for (std::size_t i = first; i <= last; ++i) {
            bytes << QString::asprintf("%02X", table[i]);
        }
        const QString fieldName = QString::fromStdString(name);
        const FieldEdit edit = EditOfDecodedField(fieldName);
        QTreeWidgetItem* item =
            AddField(blockItem, fieldName, first, last,
                     edit == FieldEdit::None ? bytes.join(' ') : ValueOfField(edit, decoded));
        if (editable) {
            MakeEditable(item, edit);
        }
        for (std::size_t i = first; i <= last; ++i) {
            fieldItems_[i] = item;
        }
        first = last + 1;
    }
}

// The HDMI vendor-specific data block's own fields, under the block's row,
// in the CTA-861 block that the HDMI edits change.
void TableDetailsWindow::AddHdmiFields(const DecodedEdid& decoded) {
    const auto cta = std::find_if(
        decoded.extensions.begin(), decoded.extensions.end(),
        [](const EdidExtension& e) { return e.cta.has_value() && e.cta->revision >= 3; });
    if (cta == decoded.extensions.end() || !cta->cta->hdmi) {
        return;
    }
    const auto hdmi = std::find_if(
        cta->cta->dataBlocks.begin(), cta->cta->dataBlocks.end(), [](const CtaDataBlock& block) {
            return block.kind == CtaDataBlockKind::VendorSpecific && block.oui == kHdmiOui;
        });
    if (hdmi == cta->cta->dataBlocks.end()) {
        return;
    }
    QTreeWidgetItem* blockItem = fieldItems_[hdmi->offset];
    const bool editable = view_->isEnabled();
    constexpr std::size_t kAddressAt = 4;
    constexpr std::size_t kTmdsAt = 7;
    MakeEditable(AddField(blockItem, tr("physical address"), hdmi->offset + kAddressAt,
                          hdmi->offset + kAddressAt + 1,
                          ValueOfField(FieldEdit::PhysicalAddress, decoded)),
                 editable ? FieldEdit::PhysicalAddress : FieldEdit::None);
    if (hdmi->length >= kTmdsAt) {
        MakeEditable(AddField(blockItem, tr("maximum TMDS clock"), hdmi->offset + kTmdsAt,
                              hdmi->offset + kTmdsAt,
                              ValueOfField(FieldEdit::MaxTmdsClock, decoded)),
                     editable ? FieldEdit::MaxTmdsClock : FieldEdit::None);
    }
}

void TableDetailsWindow::AddProblems(const std::vector<std::uint8_t>& table) {
    const std::vector<EdidProblem> problems = CheckEdidStructure(table);
    auto* top = new QTreeWidgetItem(
        tree_, {tr("Problems"), QString(), problems.empty() ? tr("none") : QString()});
    for (const EdidProblem& problem : problems) {
        auto* item = new QTreeWidgetItem(top, {StructureProblemWords(problem.kind),
                                               HexOffset(problem.offset),
                                               tr("block %1").arg(problem.block)});
        item->setData(kField, kFirstRole, static_cast<int>(problem.offset));
        item->setData(kField, kLastRole, static_cast<int>(problem.offset));
    }
}

void TableDetailsWindow::SelectBytesOf(QTreeWidgetItem* item) {
    if (item == nullptr || syncing_ || rebuilding_ || !item->data(kField, kFirstRole).isValid() ||
        positions_.size() != kEdidSize) {
        return;
    }
    const auto first = static_cast<std::size_t>(item->data(kField, kFirstRole).toInt());
    const auto last = static_cast<std::size_t>(item->data(kField, kLastRole).toInt());
    if (last >= positions_.size()) {
        return;
    }
    syncing_ = true;
    QTextCursor cursor(view_->document());
    cursor.setPosition(positions_[first]);
    cursor.setPosition(positions_[last] + 2, QTextCursor::KeepAnchor);
    view_->setTextCursor(cursor);
    syncing_ = false;
}

void TableDetailsWindow::SelectFieldAtCursor() {
    if (syncing_ || rebuilding_ || positions_.size() != kEdidSize) {
        return;
    }
    const int at = view_->textCursor().position();
    const auto after = std::upper_bound(positions_.begin(), positions_.end(), at);
    const std::size_t offset =
        after == positions_.begin() ? 0 : static_cast<std::size_t>(after - positions_.begin() - 1);
    syncing_ = true;
    tree_->setCurrentItem(fieldItems_[offset]);
    syncing_ = false;
}

void TableDetailsWindow::ApplyFieldEdit(QTreeWidgetItem* item, int column) {
    const FieldEdit field = EditOfItem(item);
    if (rebuilding_ || column != kValue || field == FieldEdit::None) {
        return;
    }
    const QString text = item->text(kValue);
    ApplyEdit([field, text](EdidTable& table) { return EditField(field, table, text); });
}

// The tree is rebuilt or the view rewritten once the signal that brought the
// edit has returned: the item that sent it must outlive it.
void TableDetailsWindow::ApplyEdit(const TableEdit& edit) {
    if (!view_->isEnabled()) {
        return;
    }
    const EdidTable before(table_.begin(), table_.end());
    EdidTable table = before;
    const EdidEditOutcome outcome = edit(table);
    if (outcome != EdidEditOutcome::Done) {
        reason_->setText(tr("Not changed: %1.").arg(EditRefusalWords(outcome)));
    } else {
        reason_->clear();
    }
    if (outcome != EdidEditOutcome::Done || table == before) {
        // Back to what the table says, without an undo step that changes nothing.
        QMetaObject::invokeMethod(this, &TableDetailsWindow::Rebuild, Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, table] { WriteToView(table); }, Qt::QueuedConnection);
}

// As the window shows a table: one undo step, checksums in bold red.
void TableDetailsWindow::WriteToView(const std::vector<std::uint8_t>& table) {
    QTextCursor cursor(view_->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    QTextCharFormat bodyFormat;
    bodyFormat.setForeground(Qt::black);
    QTextCharFormat lineEndFormat;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (i % kHexBytesPerLine != kHexBytesPerLine - 1) {
            cursor.insertText(QString::asprintf("%02X ", table[i]), bodyFormat);
            continue;
        }
        const bool checksumByte = IsChecksumByte(i);
        lineEndFormat.setFontWeight(checksumByte ? QFont::Bold : QFont::Normal);
        lineEndFormat.setForeground(checksumByte ? Qt::red : Qt::black);
        cursor.insertText(QString::asprintf("%02X", table[i]), lineEndFormat);
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.endEditBlock();
}
