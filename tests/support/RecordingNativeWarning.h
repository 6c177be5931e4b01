#pragma once

#include "app/NativeWarning.h"

#include <string>
#include <vector>

// Keeps the transport's native boxes instead of showing them.
class RecordingNativeWarning : public NativeWarning {
public:
    void Show(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;
};
