#pragma once

#include "device/WindowWarning.h"

#include <string>

// What an EDID read or write run needs from its front end: the window's
// progress bar, status-bar messages, warning boxes and the Hex view that a
// read fills. Texts are source texts; the window translates them.
class TransferSink : public WindowWarning {
public:
    // Makes the run's progress bar: hidden, text off, replacing any earlier
    // run's bar.
    virtual void StartProgress() = 0;
    // Hides the bar for a value or maximum of 0 or less; otherwise shows it
    // with range 0 to maximum and the value.
    virtual void on_ProgressChange(int value, int maximum) = 0;
    // A status-bar message for 2000 ms.
    virtual void ShowStatusMessage(const char* text) = 0;
    // Puts the table read from the unit into the Hex view.
    virtual void ShowReadTable(const std::string& hexText) = 0;
    // Asked between chunks: a run ends there, the unit closed, when its front
    // end wants it to stop. The window never stops a run.
    virtual bool StopRequested() { return false; }
};
