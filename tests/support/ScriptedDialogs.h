#pragma once

#include "app/WindowDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Answers the window's boxes and file dialogs as a test tells it to, and
// records every one that was opened. whileFileDialogOpen runs while a file
// dialog is open, the moment at which another program may change the file
// the user is about to pick.
class ScriptedDialogs : public WindowDialogs {
public:
    struct Call {
        QString kind; // "warning", "question", "about", "open", "save"
        QWidget* parent = nullptr;
        QString title;
        QString text;
        QString informativeText;
        QString directory;
        QString filter;
        DefaultAnswer defaultAnswer = DefaultAnswer::No;
    };

    void Warning(QWidget* parent, const QString& title, const QString& text) override {
        calls.append({QStringLiteral("warning"), parent, title, text, {}, {}, {}, {}});
    }
    bool Question(QWidget* parent, const QString& title, const QString& text,
                  const QString& informativeText, DefaultAnswer defaultAnswer) override {
        calls.append({QStringLiteral("question"),
                      parent,
                      title,
                      text,
                      informativeText,
                      {},
                      {},
                      defaultAnswer});
        return answerYes;
    }
    void About(QWidget* parent, const QString& title, const QString& text) override {
        calls.append({QStringLiteral("about"), parent, title, text, {}, {}, {}, {}});
    }
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        calls.append({QStringLiteral("open"), parent, caption, {}, {}, directory, filter, {}});
        return PickedFile();
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override {
        calls.append({QStringLiteral("save"), parent, caption, {}, {}, directory, filter, {}});
        return PickedFile();
    }

    QStringList Texts(const QString& kind) const {
        QStringList texts;
        for (const Call& call : calls) {
            if (call.kind == kind) {
                texts.append(call.text);
            }
        }
        return texts;
    }
    QStringList Warnings() const { return Texts(QStringLiteral("warning")); }

    bool answerYes = false;
    QString fileName;
    std::function<void()> whileFileDialogOpen;
    QList<Call> calls;

private:
    QString PickedFile() const {
        if (whileFileDialogOpen) {
            whileFileDialogOpen();
        }
        return fileName;
    }
};
