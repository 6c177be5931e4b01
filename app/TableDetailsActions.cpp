#include "app/AudioEditDialog.h"
#include "app/TableDetailsWindow.h"
#include "edid/EdidDecode.h"

#include <QAction>
#include <QInputDialog>
#include <QTreeWidget>

// The edits of lists and of the table as a whole, from the tree's context
// menu: each asks what it needs, then goes the way of an edit in place.
void TableDetailsWindow::CreateEditActions() {
    const auto add = [this](const char* name, const QString& text, auto slot) {
        auto* action = new QAction(text, tree_);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        tree_->addAction(action);
        editActions_.push_back(action);
    };
    add("actionAddVic", tr("Add VIC..."), [this] { AskVic(tr("Add VIC"), 1, &AddVic); });
    add("actionRemoveVic", tr("Remove VIC..."),
        [this] { AskVic(tr("Remove VIC"), FirstListedVic(), &RemoveVic); });
    add("actionMarkNativeVic", tr("Mark VIC native..."),
        [this] { AskVic(tr("Mark VIC native"), FirstListedVic(), &MarkNativeVic); });
    add("actionEditAudio", tr("Audio..."), [this] { EditAudio(); });
    add("actionFitRangeLimits", tr("Fit range limits to the timings"),
        [this] { ApplyEdit(&FitRangeLimits); });
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TableDetailsWindow::AskVic(const QString& title, std::uint8_t suggested,
                                EdidEditOutcome (*edit)(EdidTable&, std::uint8_t)) {
    bool ok = false;
    const int vic = QInputDialog::getInt(this, title, tr("VIC:"), suggested, 1, 255, 1, &ok);
    if (ok) {
        ApplyEdit(
            [edit, vic](EdidTable& table) { return edit(table, static_cast<std::uint8_t>(vic)); });
    }
}

// The VIC of the first SVD that the VIC edits would find, so that the
// dialog offers one the table lists; 1 when it lists none.
std::uint8_t TableDetailsWindow::FirstListedVic() const {
    const DecodedEdid decoded = DecodeEdid(EdidTable(table_.begin(), table_.end()));
    for (const EdidExtension& extension : decoded.extensions) {
        if (extension.cta && extension.cta->revision >= 3 &&
            !extension.cta->videoDescriptors.empty()) {
            return extension.cta->videoDescriptors.front().vic;
        }
    }
    return 1;
}

void TableDetailsWindow::EditAudio() {
    AudioEditDialog dialog(this);
    dialog.SetAudio(AnnouncedAudio(DecodeEdid(EdidTable(table_.begin(), table_.end()))));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::optional<LpcmAudio> audio = dialog.Audio();
    ApplyEdit([audio](EdidTable& table) {
        return audio ? SetLpcmAudio(table, *audio) : SetNoAudio(table);
    });
}
