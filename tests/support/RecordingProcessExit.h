#pragma once

#include "ProcessExit.h"

#include <vector>

// Notes the exit status instead of ending the test process.
class RecordingProcessExit : public ProcessExit {
public:
    void Exit(int status) override { statuses.push_back(status); }

    std::vector<int> statuses;
};
