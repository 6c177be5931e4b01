#pragma once

#include "ScriptedDialogs.h"

#include <functional>

// Scripted dialogs that also run a test's code while a file dialog is open,
// the moment at which another program may change the file the user is about
// to pick.
class HookedDialogs : public ScriptedDialogs {
public:
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        RunHook();
        return ScriptedDialogs::OpenFileName(parent, caption, directory, filter);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        RunHook();
        return ScriptedDialogs::SaveFileName(parent, caption, directory, filter);
    }

    std::function<void()> whileFileDialogOpen;

private:
    void RunHook() {
        if (whileFileDialogOpen) {
            whileFileDialogOpen();
        }
    }
};
