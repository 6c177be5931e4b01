#pragma once

#include "NativeWarning.h"

// Where there is no MessageBoxW: a parentless warning box titled " " with
// one OK button.
class QtNativeWarning : public NativeWarning {
public:
    void Show(const std::string& text) override;
};
