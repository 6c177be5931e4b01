#include "device/EdidModes.h"

bool EdidModeFromCode(std::uint8_t code, EdidMode* mode) {
    for (const EdidModeEntry& entry : kEdidModes) {
        if (static_cast<std::uint8_t>(entry.mode) == code) {
            *mode = entry.mode;
            return true;
        }
    }
    return false;
}
