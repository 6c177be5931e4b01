#pragma once

// Ending the process, so that a test can watch the exit. Exit never returns,
// whoever implements it: a caller may leave anything in any state after it.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    [[noreturn]] virtual void Exit(int status) = 0;
};

class StdProcessExit : public ProcessExit {
public:
    [[noreturn]] void Exit(int status) override;
};
