#include "sim/HexBytes.h"
#include "sim/SimulatedUnit.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

// The state file, one item a line:
//   talvo-sim-state 1
//   mode 3
//   read-errors 0
//   edid-readings 17
//   resets-a 2
//   resets-b 2
//   memory B0 00FFFFFFFFFFFF00...   (512 hex digits)
// Items may come in any order and may be missing; a missing one keeps its
// default.

namespace {

constexpr const char* kFileTag = "talvo-sim-state 1";
constexpr std::uint32_t kByteMax = std::numeric_limits<std::uint8_t>::max();
constexpr std::uint32_t kCountMax = std::numeric_limits<std::uint32_t>::max();

bool ParseNumber(const std::string& text, std::uint32_t maximum, std::uint32_t* value) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long long parsed = std::stoull(text);
    if (parsed > maximum) {
        return false;
    }
    *value = static_cast<std::uint32_t>(parsed);
    return true;
}

} // namespace

bool SimulatedUnit::SaveState(const std::string& path) const {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << kFileTag << '\n'
             << "mode " << unsigned(modeCode_) << '\n'
             << "read-errors " << unsigned(readErrors_) << '\n'
             << "edid-readings " << unsigned(edidReadings_) << '\n'
             << "resets-a " << resetCountA_ << '\n'
             << "resets-b " << resetCountB_ << '\n';
        for (std::size_t i = 0; i < kDeviceAddresses.size(); ++i) {
            file << "memory " << PackedHex(&kDeviceAddresses[i], 1) << ' '
                 << PackedHex(memories_[i].data(), memories_[i].size()) << '\n';
        }
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool SimulatedUnit::LoadState(const std::string& path) {
    RestoreDefaults();
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line) || line != kFileTag) {
        return false;
    }

    SimulatedUnit loaded;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string key;
        std::string value;
        std::string extra;
        if (!(fields >> key)) {
            continue; // blank line
        }
        bool valid = false;
        std::uint32_t number = 0;
        if (key == "memory") {
            std::string memoryText;
            std::uint8_t address = 0;
            valid = fields >> value >> memoryText && !(fields >> extra) &&
                    ParsePackedHex(value, &address, 1) && IsDeviceAddress(address) &&
                    ParsePackedHex(memoryText, loaded.MemoryAt(address)->data(), 256);
        } else if (fields >> value && !(fields >> extra)) {
            if (key == "mode" && ParseNumber(value, kByteMax, &number)) {
                loaded.modeCode_ = static_cast<std::uint8_t>(number);
                valid = true;
            } else if (key == "read-errors" && ParseNumber(value, kByteMax, &number)) {
                loaded.readErrors_ = static_cast<std::uint8_t>(number);
                valid = true;
            } else if (key == "edid-readings" && ParseNumber(value, kByteMax, &number)) {
                loaded.edidReadings_ = static_cast<std::uint8_t>(number);
                valid = true;
            } else if (key == "resets-a" && ParseNumber(value, kCountMax, &number)) {
                loaded.resetCountA_ = number;
                valid = true;
            } else if (key == "resets-b" && ParseNumber(value, kCountMax, &number)) {
                loaded.resetCountB_ = number;
                valid = true;
            }
        }
        if (!valid) {
            return false;
        }
    }

    const std::uint64_t revision = revision_;
    *this = loaded;
    revision_ = revision + 1;
    return true;
}
