#include "cli/ProgressSink.h"

namespace {

// Wider than any progress line; spaces rather than a terminal escape, which
// not every Windows console understands.
const std::string kBlankLine = "\r" + std::string(60, ' ') + "\r";

} // namespace

void ProgressSink::ShowProgress(int value, int maximum) {
    if (!enabled_) {
        return;
    }
    // The runs end with a value of 0, which takes the line away again, so the
    // next message starts on a clean line.
    if (value <= 0 || maximum <= 0) {
        if (lineShown_) {
            stream_ << kBlankLine << std::flush;
            lineShown_ = false;
        }
        return;
    }
    stream_ << "\rtalvo-edid: " << label_ << ' ' << (value * 100 / maximum) << "% " << std::flush;
    lineShown_ = true;
}
