#pragma once

// What an EDID read or write run tells its front end while it runs, and the
// one thing it asks: whether to stop. What the run came to is its report.
class TransferSink {
public:
    virtual ~TransferSink() = default;

    // A run starts: a progress display of its own, hidden until the first
    // value.
    virtual void StartProgress() = 0;
    // A value or maximum of 0 or less hides the progress; otherwise it shows
    // value of maximum.
    virtual void ShowProgress(int value, int maximum) = 0;
    // The unit answered a written chunk, from 0, with an error byte; the run
    // goes on.
    virtual void ChunkRefused(int) {}
    // Asked between chunks: a run ends there, the unit closed, when its front
    // end wants it to stop. The window never stops a run.
    virtual bool StopRequested() { return false; }
};
