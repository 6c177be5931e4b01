#pragma once

#include "edid/EdidEdit.h"
#include "edid/EdidImage.h"

#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QLabel;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
struct DecodedEdid;

// The table in the Hex view, decoded as a tree of blocks and fields with
// their offsets and values, and the structural problems. It follows every
// change of the view; while the view is editable, the value of an editable
// field can be changed in place, and the tree's context menu makes the
// list-like edits (VICs, audio, range limits). Every edit rewrites the view
// with the edited table as one undo step; one that cannot be made leaves the
// view as it was and says why. Selecting a field selects its bytes in the
// view; moving the view's cursor selects the field of the byte under it.
class TableDetailsWindow : public QWidget {
    Q_OBJECT

public:
    explicit TableDetailsWindow(QTextEdit* view, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return tree_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using TableEdit = std::function<EdidEditOutcome(EdidTable&)>;

    void Rebuild();
    void AddBlockFields(const std::vector<std::uint8_t>& table, const DecodedEdid& decoded);
    void AddHdmiFields(const DecodedEdid& decoded);
    void AddProblems(const std::vector<std::uint8_t>& table);
    void SelectBytesOf(QTreeWidgetItem* item);
    void SelectFieldAtCursor();
    void ApplyFieldEdit(QTreeWidgetItem* item, int column);
    void ApplyEdit(const TableEdit& edit);
    void WriteToView(const std::vector<std::uint8_t>& table);

    // The context menu's edits, in TableDetailsActions.cpp.
    void CreateEditActions();
    void AskVic(const QString& title, std::uint8_t suggested,
                EdidEditOutcome (*edit)(EdidTable&, std::uint8_t));
    std::uint8_t FirstListedVic() const;
    void EditAudio();

    QTextEdit* view_;
    QTreeWidget* tree_;
    QLabel* reason_;
    bool rebuilding_ = false;
    bool syncing_ = false;
    EdidImage table_{};
    std::vector<int> positions_;               // of each value's text in the view
    std::vector<QTreeWidgetItem*> fieldItems_; // the field of each byte
    std::vector<QAction*> editActions_;        // enabled while the view is editable
};
