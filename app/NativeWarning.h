#pragma once

#include <string>

// The transport's and the control commands' own message boxes: no owner
// window, caption " ", warning icon, one OK button. Texts are shown as they
// are, untranslated.
class NativeWarning {
public:
    virtual ~NativeWarning() = default;
    virtual void Show(const std::string& text) = 0;
};
