#pragma once

#include "app/NativeWarning.h"

// The platform's own warning box: MessageBoxW on Windows, a parentless Qt
// warning box titled " " with one OK button elsewhere.
class NativeWarningBox : public NativeWarning {
public:
    void Show(const std::string& text) override;
};
