#pragma once

#include "app/MainWindow.h"
#include "bench/AccountingClock.h"
#include "bench/RenewableBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/ChildProcessExit.h"
#include "tests/support/RecordingNativeWarning.h"
#include "tests/support/ScriptedDialogs.h"

#include <QString>

#include <memory>

// The real main window on a simulated unit that answers at once, with scripted
// boxes, on the clock it is given. Each call returns only once the window has
// handled what the call left queued, repaint included, as the event loop does
// before the user sees the window move again.
class BenchWindow {
public:
    explicit BenchWindow(Clock& clock);
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // Constructs the window, which syncs with the unit at once, and shows it
    // up to its first paint.
    void Open();
    void Close();
    bool IsOpen() const { return window_ != nullptr; }

    // Runs a slot the way its button or menu entry would.
    void Invoke(const char* slot);
    void ClickRadio(const char* name);

    // Forgets what earlier runs left in the fakes, so that nothing but the
    // window grows from run to run.
    void ForgetRuns();
    // The first box or warning that the runs since ForgetRuns() caused;
    // empty when they ran clean.
    QString FirstComplaint() const;

    AccountingClock& Waits() { return clock_; }
    SimulatedUnit& Unit() { return unit_; }
    ScriptedDialogs& Dialogs() { return dialogs_; }
    QString StatusMessage() const;
    QString ViewText() const;
    // Every widget inside the status bar, however deep.
    int StatusBarWidgets() const;

private:
    void Settle();

    AccountingClock clock_;
    SimulatedUnit unit_;
    RenewableBridge bridge_;
    RecordingNativeWarning native_;
    ScriptedDialogs dialogs_;
    ChildProcessExit processExit_;
    std::unique_ptr<MainWindow> window_;
};
