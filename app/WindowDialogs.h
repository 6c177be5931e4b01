#pragma once

#include <QString>

class QWidget;

// Every box and file dialog that the window opens, so that a test can answer
// them in place of a user.
class WindowDialogs {
public:
    enum class DefaultAnswer { Yes, No };

    virtual ~WindowDialogs() = default;

    // A warning box with one OK button.
    virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A box without icon, with Yes and No; true for Yes. Escape and closing
    // the box answer No.
    virtual bool Question(QWidget* parent, const QString& title, const QString& text,
                          const QString& informativeText, DefaultAnswer defaultAnswer) = 0;
    virtual void About(QWidget* parent, const QString& title, const QString& text) = 0;
    // An empty name means the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
};

// The toolkit's message boxes and file dialogs.
class QtWindowDialogs : public WindowDialogs {
public:
    void Warning(QWidget* parent, const QString& title, const QString& text) override;
    bool Question(QWidget* parent, const QString& title, const QString& text,
                  const QString& informativeText, DefaultAnswer defaultAnswer) override;
    void About(QWidget* parent, const QString& title, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override;
};
