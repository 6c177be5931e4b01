#pragma once

#include "app/MainWindow.h"
#include "edid/HexText.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/ChildProcessExit.h"
#include "tests/support/RecordingNativeWarning.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/StringLists.h"

#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

#include <memory>
#include <string>

// A main window wired to a simulated unit, a fake clock and scripted boxes.
// Arrange the unit and the bridge first, then Start() builds the window, which
// runs its start-up sync against them.
struct WindowRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingNativeWarning native;
    ScriptedDialogs dialogs;
    ChildProcessExit processExit;
    QPointer<MainWindow> window;
    // Every message the status bar showed since the last Forget().
    QStringList statusMessages;
    // What the window learns of a bridge library that could not be loaded.
    BridgeLoadFailure libraryFailure;

    ~WindowRig() { delete window; }

    MainWindow* Start() {
        window = new MainWindow(
            {bridge, clock, native, dialogs, processExit, [this] { return libraryFailure; }});
        QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) {
                             if (!text.isEmpty()) {
                                 statusMessages.append(text);
                             }
                         });
        return window;
    }

    template <typename Widget> Widget* Find(const char* name) const {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    QTextEdit* View() const { return Find<QTextEdit>("EDIDtext"); }
    QRadioButton* Radio(const char* name) const { return Find<QRadioButton>(name); }
    QString ViewText() const { return View()->toPlainText(); }

    // Runs a slot the way its button or menu entry would.
    void Invoke(const char* slot) { QMetaObject::invokeMethod(window, slot); }

    QString StatusMessage() const { return window->statusBar()->currentMessage(); }
    // The status bar's message stays until something replaces it: no timer
    // of the status bar's own is running to clear it.
    bool MessageStays() const {
        const auto* timer =
            window->statusBar()->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        return timer == nullptr || !timer->isActive();
    }
    QList<QProgressBar*> ProgressBars() const {
        return window->statusBar()->findChildren<QProgressBar*>();
    }

    // Forgets the traffic, boxes, messages and waits so far.
    void Forget() {
        logStart = bridge.Log().size();
        dialogs.calls.clear();
        native.texts.clear();
        statusMessages.clear();
        sleptBefore = clock.Slept();
    }
    QStringList Log() const { return ToStringList(bridge.Log()); }
    // The log since the last Forget().
    QStringList NewLog() const { return Log().mid(static_cast<int>(logStart)); }
    std::uint64_t Slept() const { return clock.Slept() - sleptBefore; }

    QStringList NativeTexts() const { return ToStringList(native.texts); }

    std::size_t logStart = 0;
    std::uint64_t sleptBefore = 0;
};
