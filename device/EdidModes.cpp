#include "device/EdidModes.h"

bool EdidModeFromCode(std::uint8_t code, EdidMode* mode) {
    for (const EdidMode known : kEdidModes) {
        if (static_cast<std::uint8_t>(known) == code) {
            *mode = known;
            return true;
        }
    }
    return false;
}
