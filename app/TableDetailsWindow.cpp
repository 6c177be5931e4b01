#include "app/TableDetailsWindow.h"

#include "edid/EdidEdit.h"
#include "edid/EdidFieldMap.h"
#include "edid/EdidStructure.h"
#include "edid/HexText.h"

#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

enum Column { kField, kOffsets, kValue };
enum Role { kFirstRole = Qt::UserRole, kLastRole };

constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kBlock0Checksum = 127;
constexpr std::size_t kBlock1Checksum = 255;

using FieldEdit = std::function<EdidEditOutcome(EdidBytes&, const QString&)>;

// The numbers a field edit takes; one out of range is refused by the edit.
std::uint64_t Number(const QString& text, bool* ok) {
    return text.trimmed().toULongLong(ok, 0);
}

// The edit that changes the field the decoder names so, if any.
FieldEdit EditOfField(const QString& name) {
    const auto number = [](auto set) {
        return [set](EdidBytes& table, const QString& text) {
            bool ok = false;
            const std::uint64_t value = Number(text, &ok);
            return ok ? set(table, value) : EdidEditOutcome::ValueOutOfRange;
        };
    };
    if (name == "manufacturer ID") {
        return [](EdidBytes& t, const QString& text) {
            return SetManufacturer(t, text.trimmed().toUpper().toStdString());
        };
    }
    if (name == "product code") {
        return number([](EdidBytes& t, std::uint64_t n) {
            return n > 0xFFFF ? EdidEditOutcome::ValueOutOfRange
                              : SetProductCode(t, static_cast<std::uint32_t>(n));
        });
    }
    if (name == "serial number") {
        return number([](EdidBytes& t, std::uint64_t n) { return SetSerialNumber(t, n); });
    }
    if (name == "week of manufacture") {
        return number([](EdidBytes& t, std::uint64_t n) {
            return SetWeek(t, static_cast<unsigned>(std::min<std::uint64_t>(n, 0xFFFF)));
        });
    }
    if (name == "year of manufacture") {
        return number([](EdidBytes& t, std::uint64_t n) {
            return SetYear(t, static_cast<unsigned>(std::min<std::uint64_t>(n, 0xFFFF)));
        });
    }
    if (name.endsWith(": product name")) {
        return
            [](EdidBytes& t, const QString& text) { return SetDisplayName(t, text.toStdString()); };
    }
    if (name.endsWith(": product serial")) {
        return [](EdidBytes& t, const QString& text) {
            return SetSerialString(t, text.toStdString());
        };
    }
    if (name == "detailed timing 1") {
        return [](EdidBytes& t, const QString& text) {
            const QRegularExpressionMatch mode =
                QRegularExpression("^\\s*(\\d{1,5})x(\\d{1,5})@(\\d{1,4}(\\.\\d+)?)\\s*$")
                    .match(text);
            if (!mode.hasMatch() || mode.captured(1).toUInt() > 0xFFFF ||
                mode.captured(2).toUInt() > 0xFFFF) {
                return EdidEditOutcome::NoTiming;
            }
            return SetPreferredTiming(t, static_cast<std::uint16_t>(mode.captured(1).toUInt()),
                                      static_cast<std::uint16_t>(mode.captured(2).toUInt()),
                                      mode.captured(3).toDouble());
        };
    }
    return nullptr;
}

// What an editable field holds, in the form its edit takes.
QString ValueOfField(const QString& name, const DecodedEdid& decoded, const QString& bytes) {
    const EdidBaseBlock& base = decoded.base;
    if (name == "manufacturer ID") {
        return QString::fromStdString(base.manufacturerId);
    }
    if (name == "product code") {
        return QString::number(base.productCode);
    }
    if (name == "serial number") {
        return QString::number(base.serialNumber);
    }
    if (name == "week of manufacture") {
        return QString::number(base.week);
    }
    if (name == "year of manufacture") {
        return QString::number(base.year);
    }
    if (name.endsWith(": product name")) {
        return QString::fromStdString(base.productName);
    }
    if (name.endsWith(": product serial")) {
        return QString::fromStdString(base.serialText);
    }
    if (name == "detailed timing 1" && !base.detailedTimings.empty()) {
        const DetailedTiming& t = base.detailedTimings.front();
        return QString("%1x%2@%3").arg(t.hActive).arg(t.vActive).arg(t.refreshHz, 0, 'f', 2);
    }
    return bytes;
}

QString RefusalText(EdidEditOutcome outcome) {
    switch (outcome) {
    case EdidEditOutcome::Done:
        return "done";
    case EdidEditOutcome::NoBaseBlock:
        return "the table is shorter than one block";
    case EdidEditOutcome::ManufacturerInvalid:
        return "a manufacturer ID is three letters A to Z";
    case EdidEditOutcome::ValueOutOfRange:
        return "the field cannot hold that value";
    case EdidEditOutcome::TextTooLong:
        return "a descriptor holds 13 characters at most";
    case EdidEditOutcome::TextInvalid:
        return "a descriptor holds printable ASCII characters only";
    case EdidEditOutcome::NoFreeDescriptor:
        return "no descriptor of that kind and no free (dummy) descriptor slot";
    case EdidEditOutcome::FirstSlotNotTiming:
        return "the first descriptor slot holds a display descriptor, not a timing";
    case EdidEditOutcome::NoTiming:
        return "no timing has that size and refresh rate";
    case EdidEditOutcome::TimingTooLarge:
        return "a detailed timing descriptor cannot hold that timing";
    case EdidEditOutcome::NoCtaBlock:
        return "the table has no CTA-861 extension of revision 3 or later";
    case EdidEditOutcome::CtaBlockBroken:
        return "the CTA-861 extension's DTD offset or data block lengths are wrong";
    case EdidEditOutcome::VicUndefined:
        return "the CTA-861 tables define no such VIC";
    case EdidEditOutcome::VicNotListed:
        return "the video data block does not list that VIC";
    case EdidEditOutcome::VicCannotBeNative:
        return "only VICs 1 to 64 can be marked native";
    case EdidEditOutcome::NoRoom:
        return "the CTA-861 extension has no room for it";
    case EdidEditOutcome::NoHdmiBlock:
        return "the table has no HDMI vendor-specific data block";
    case EdidEditOutcome::HdmiBlockTooShort:
        return "the HDMI vendor-specific data block is too short for that field";
    case EdidEditOutcome::NoRangeLimits:
        return "the table has no range limits descriptor";
    }
    return "unknown reason";
}

QString ProblemText(EdidProblemKind kind) {
    switch (kind) {
    case EdidProblemKind::TooShort:
        return "the table is cut short";
    case EdidProblemKind::ExtensionsMissing:
        return "more extension blocks declared than held";
    case EdidProblemKind::DataBlockOverrun:
        return "a CTA data block runs past the data block area";
    case EdidProblemKind::DtdOffsetInvalid:
        return "the CTA DTD offset lies outside the block";
    case EdidProblemKind::HeaderInvalid:
        return "the header is wrong";
    case EdidProblemKind::ChecksumWrong:
        return "wrong checksum";
    case EdidProblemKind::ExtensionCountMismatch:
        return "more blocks held than declared";
    case EdidProblemKind::TimingOutsideRangeLimits:
        return "a detailed timing outside the range limits";
    case EdidProblemKind::NameDescriptorMissing:
        return "no display name descriptor";
    case EdidProblemKind::DuplicateVic:
        return "a VIC listed twice";
    case EdidProblemKind::PixelClockZero:
        return "a detailed timing with a pixel clock of zero";
    case EdidProblemKind::PixelClockPastRangeLimit:
        return "a pixel clock past the range limits";
    }
    return "unknown problem";
}

QString HexOffset(std::size_t offset) {
    return QString::asprintf("0x%02zX", offset);
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
    connect(tree_, &QTreeWidget::itemChanged, this, &TableDetailsWindow::ApplyEdit);
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
    AddBlockFields(table);
    AddProblems(table);
    tree_->expandAll();
    rebuilding_ = false;
}

// Consecutive bytes that the decoder names alike make one field.
void TableDetailsWindow::AddBlockFields(const std::vector<std::uint8_t>& table) {
    const DecodedEdid decoded = DecodeEdid(table);
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
        auto* item = new QTreeWidgetItem(
            blockItem, {fieldName, HexOffset(first) + (last > first ? "-" + HexOffset(last) : ""),
                        ValueOfField(fieldName, decoded, bytes.join(' '))});
        item->setData(kField, kFirstRole, static_cast<int>(first));
        item->setData(kField, kLastRole, static_cast<int>(last));
        if (editable && EditOfField(fieldName)) {
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
        for (std::size_t i = first; i <= last; ++i) {
            fieldItems_[i] = item;
        }
        first = last + 1;
    }
}

void TableDetailsWindow::AddProblems(const std::vector<std::uint8_t>& table) {
    const std::vector<EdidProblem> problems = CheckEdidStructure(table);
    auto* top = new QTreeWidgetItem(
        tree_, {tr("Problems"), QString(), problems.empty() ? tr("none") : QString()});
    for (const EdidProblem& problem : problems) {
        auto* item = new QTreeWidgetItem(top, {ProblemText(problem.kind), HexOffset(problem.offset),
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

void TableDetailsWindow::ApplyEdit(QTreeWidgetItem* item, int column) {
    if (rebuilding_ || column != kValue) {
        return;
    }
    const FieldEdit edit = EditOfField(item->text(kField));
    if (!edit || !view_->isEnabled()) {
        return;
    }
    EdidBytes table(table_.begin(), table_.end());
    const EdidEditOutcome outcome = edit(table, item->text(kValue));
    if (outcome != EdidEditOutcome::Done) {
        reason_->setText(tr("Not changed: %1.").arg(RefusalText(outcome)));
        // Back to what the table says.
        QMetaObject::invokeMethod(this, &TableDetailsWindow::Rebuild, Qt::QueuedConnection);
        return;
    }
    reason_->clear();
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
        if (i % kBytesPerLine != kBytesPerLine - 1) {
            cursor.insertText(QString::asprintf("%02X ", table[i]), bodyFormat);
            continue;
        }
        const bool checksumByte = i == kBlock0Checksum || i == kBlock1Checksum;
        lineEndFormat.setFontWeight(checksumByte ? QFont::Bold : QFont::Normal);
        lineEndFormat.setForeground(checksumByte ? Qt::red : Qt::black);
        cursor.insertText(QString::asprintf("%02X", table[i]), lineEndFormat);
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.endEditBlock();
}
