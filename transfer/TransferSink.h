#pragma once

#include "EdidImage.h"
#include "WindowWarning.h"

#include <string>

// What an EDID read or write run needs from the window: its progress bar,
// status-bar messages, warning boxes, the table in the Hex view and the
// checksum question. Texts are source texts; the window translates them.
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
    // A warning telling how many byte values the Hex view held.
    virtual void ShowIncompleteTable(int count) = 0;
    // Puts the table read from the unit into the Hex view.
    virtual void ShowReadTable(const std::string& hexText) = 0;
    // Parses the Hex view into the image; the number of byte values or a
    // negative number for a format error.
    virtual int ParseEDIDtext(EdidImage& image) = 0;
    // The question asked before a table with wrong checksums is written.
    virtual bool ConfirmWriteWithWrongChecksum() = 0;
};
