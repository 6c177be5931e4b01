#include "app/NativeWarningBox.h"

#include <windows.h>

void NativeWarningBox::Show(const std::string& text) {
    // The texts are plain ASCII, so a widening copy is an exact conversion.
    const std::wstring wide(text.begin(), text.end());
    MessageBoxW(nullptr, wide.c_str(), L" ", MB_OK | MB_ICONWARNING);
}
