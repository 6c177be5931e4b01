#pragma once

// Ending the process, so that a test can watch the exit instead of dying.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    virtual void Exit(int status) = 0;
};

class StdProcessExit : public ProcessExit {
public:
    [[noreturn]] void Exit(int status) override;
};
