#pragma once

// A warning in the main window: a box with the window as parent, title
// "TALVO EDID Utility" and one OK button. The text is the source text; the
// window translates it.
class WindowWarning {
public:
    virtual ~WindowWarning() = default;
    virtual void ShowWarning(const char* text) = 0;
};
