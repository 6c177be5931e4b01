#pragma once

#include "edid/EdidImage.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The table in the Hex view, decoded as a tree of blocks and fields with
// their offsets and values, and the structural problems. It follows every
// change of the view; while the view is editable, the value of an editable
// field can be changed in place, and the view is rewritten with the edited
// table as one undo step. Selecting a field selects its bytes in the view;
// moving the view's cursor selects the field of the byte under it.
class TableDetailsWindow : public QWidget {
    Q_OBJECT

public:
    explicit TableDetailsWindow(QTextEdit* view, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return tree_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rebuild();
    void AddBlockFields(const std::vector<std::uint8_t>& table);
    void AddProblems(const std::vector<std::uint8_t>& table);
    void SelectBytesOf(QTreeWidgetItem* item);
    void SelectFieldAtCursor();
    void ApplyEdit(QTreeWidgetItem* item, int column);
    void WriteToView(const std::vector<std::uint8_t>& table);

    QTextEdit* view_;
    QTreeWidget* tree_;
    QLabel* reason_;
    bool rebuilding_ = false;
    bool syncing_ = false;
    EdidImage table_{};
    std::vector<int> positions_;               // of each value's text in the view
    std::vector<QTreeWidgetItem*> fieldItems_; // the field of each byte
};
