#include "sim/FaultScript.h"

#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>

namespace {

constexpr std::uint32_t kByteMax = std::numeric_limits<std::uint8_t>::max();
constexpr std::uint32_t kIntMax = std::numeric_limits<int>::max();
constexpr std::uint32_t kCountMax = std::numeric_limits<std::uint32_t>::max();

struct OperationName {
    const char* name;
    BridgeOperation operation;
};

constexpr OperationName kOperationNames[] = {
    {"count", BridgeOperation::GetNumDevices}, {"string", BridgeOperation::GetProductString},
    {"open", BridgeOperation::Open},           {"close", BridgeOperation::Close},
    {"read", BridgeOperation::Read},           {"write", BridgeOperation::Write},
    {"flush", BridgeOperation::FlushBuffers},  {"queue", BridgeOperation::CheckRXQueue},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const char* const kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::optional<std::uint32_t> Number(const std::string& text, std::uint32_t minimum,
                                    std::uint32_t maximum) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of(allowed) != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(digits, nullptr, hex ? 16 : 10);
    if (value < minimum || value > maximum) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<BridgeOperation> Operation(const std::string& name) {
    for (const OperationName& entry : kOperationNames) {
        if (name == entry.name) {
            return entry.operation;
        }
    }
    return std::nullopt;
}

std::vector<std::string> Serials(const std::string& list) {
    std::vector<std::string> serials;
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        serials.push_back(Trimmed(item));
    }
    return serials;
}

// Reads one directive; nothing for a line that is none.
std::optional<FaultDirective> Directive(const std::string& line) {
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    keyword = Lower(keyword);
    std::vector<std::string> arguments;
    for (std::string word; words >> word;) {
        arguments.push_back(word);
    }

    using Kind = FaultDirective::Kind;
    FaultDirective directive;
    if (keyword == "devices") {
        // The serials are the rest of the line; they may hold spaces.
        const std::size_t afterKeyword = line.find_first_of(" \t");
        const std::string rest =
            afterKeyword == std::string::npos ? std::string() : Trimmed(line.substr(afterKeyword));
        if (rest.empty()) {
            return std::nullopt;
        }
        directive.kind = Kind::Devices;
        directive.serials = Serials(rest);
        return directive;
    }
    if (keyword == "unit" && arguments.size() == 3) {
        // Only what one device can have of its own.
        const auto device = Number(arguments[0], 0, kIntMax);
        const std::string aimed = Lower(arguments[1]);
        const bool own = aimed == "mode" || aimed == "noreply" || aimed == "delay" ||
                         aimed == "vanish" || aimed == "plug" || aimed == "unplug";
        auto inner = own ? Directive(aimed + " " + arguments[2]) : std::nullopt;
        if (!device || !inner) {
            return std::nullopt;
        }
        inner->device = *device;
        return inner;
    }
    if (keyword == "fail" && arguments.size() == 2) {
        const auto operation = Operation(Lower(arguments[0]));
        const auto number = Number(arguments[1], 1, kIntMax);
        if (!operation || !number) {
            return std::nullopt;
        }
        directive.kind = Kind::FailOperation;
        directive.operation = *operation;
        directive.number = *number;
        return directive;
    }

    struct Layout {
        const char* keyword;
        Kind kind;
        std::uint32_t numberMin, numberMax;
        bool hasValue;
        std::uint32_t valueMax;
    };
    static const Layout kLayouts[] = {
        {"fail-call", Kind::FailCallNumber, 1, kIntMax, false, 0},
        {"noreply", Kind::NoReply, 1, kIntMax, false, 0},
        {"late", Kind::Late, 1, kIntMax, true, kCountMax},
        {"short", Kind::Short, 1, kIntMax, true, kCountMax},
        {"errorbyte", Kind::ErrorByte, 1, kIntMax, true, kByteMax},
        {"vanish", Kind::Vanish, 0, kIntMax, false, 0},
        {"delay", Kind::Delay, 0, kCountMax, false, 0},
        {"mode", Kind::Mode, 0, kByteMax, false, 0},
        {"miswrite", Kind::Miswrite, 0, kByteMax, false, 0},
        {"bench", Kind::Bench, 1, kByteMax, false, 0},
        {"plug", Kind::Plug, 0, kCountMax, false, 0},
        {"unplug", Kind::Unplug, 0, kCountMax, false, 0},
    };
    for (const Layout& layout : kLayouts) {
        if (keyword != layout.keyword || arguments.size() != (layout.hasValue ? 2u : 1u)) {
            continue;
        }
        const auto number = Number(arguments[0], layout.numberMin, layout.numberMax);
        const auto value =
            layout.hasValue ? Number(arguments[1], 0, layout.valueMax) : std::optional(0u);
        if (!number || !value) {
            return std::nullopt;
        }
        directive.kind = layout.kind;
        directive.number = *number;
        directive.value = *value;
        return directive;
    }
    return std::nullopt;
}

} // namespace

FaultScript ParseFaultScript(const std::string& text) {
    FaultScript script;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        const auto directive = Directive(line);
        const bool comesOrGoes = directive && (directive->kind == FaultDirective::Kind::Plug ||
                                               directive->kind == FaultDirective::Kind::Unplug);
        if (directive && (!comesOrGoes || directive->device)) {
            script.directives.push_back(*directive);
        } else {
            script.skippedLines.push_back(number);
        }
    }
    return script;
}

bool LoadFaultScript(const std::string& path, FaultScript* script) {
    std::ifstream file(path);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    *script = ParseFaultScript(text.str());
    return true;
}

namespace {

std::vector<SimulatedDevice> Bench(std::uint32_t count, const SimulatedUnit& unit) {
    std::vector<SimulatedDevice> devices;
    for (std::uint32_t i = 1; i <= count; ++i) {
        devices.push_back({SimulatedUnit::kSerial, "TALVO", true,
                           std::make_shared<SimulatedUnit>(unit), "1-" + std::to_string(i)});
    }
    return devices;
}

// A directive aimed at one device; one past the devices there are is
// skipped, as a line that is no directive.
void ApplyToDevice(const FaultDirective& directive, SimulatedBridge& bridge) {
    using Kind = FaultDirective::Kind;
    std::vector<SimulatedDevice> devices = bridge.Devices();
    if (*directive.device >= devices.size()) {
        return;
    }
    SimulatedDevice& device = devices[*directive.device];
    const int number = static_cast<int>(directive.number);
    switch (directive.kind) {
    case Kind::Mode:
        if (device.unit) {
            device.unit->SetModeCode(static_cast<std::uint8_t>(directive.number));
        }
        break;
    case Kind::NoReply:
        device.silentTransactions.insert(number);
        break;
    case Kind::Delay:
        device.replyDelayMs = directive.number;
        break;
    case Kind::Vanish:
        device.vanishAfter = number;
        break;
    case Kind::Plug:
        device.plugAtMs = directive.number;
        break;
    case Kind::Unplug:
        device.unplugAtMs = directive.number;
        break;
    default:
        return;
    }
    bridge.SetDevices(std::move(devices));
}

} // namespace

void ApplyFaultScript(const FaultScript& script, SimulatedBridge& bridge, SimulatedUnit& unit) {
    using Kind = FaultDirective::Kind;
    for (const FaultDirective& directive : script.directives) {
        const int number = static_cast<int>(directive.number);
        if (directive.device) {
            ApplyToDevice(directive, bridge);
            continue;
        }
        switch (directive.kind) {
        case Kind::Devices: {
            std::vector<SimulatedDevice> devices;
            for (const std::string& serial : directive.serials) {
                const bool isUnit = serial == SimulatedUnit::kSerial;
                devices.push_back({serial, isUnit ? "TALVO" : "USB BRIDGE", isUnit});
            }
            bridge.SetDevices(std::move(devices));
            break;
        }
        case Kind::FailOperation:
            bridge.FailCall(directive.operation, number);
            break;
        case Kind::FailCallNumber:
            bridge.FailCallNumber(number);
            break;
        case Kind::NoReply:
            bridge.ReplyNever(number);
            break;
        case Kind::Late:
            bridge.ReplyLate(number, directive.value);
            break;
        case Kind::Short:
            bridge.ReplyShort(number, directive.value);
            break;
        case Kind::ErrorByte:
            bridge.ReplyErrorByte(number, static_cast<std::uint8_t>(directive.value));
            break;
        case Kind::Vanish:
            bridge.VanishAfter(number);
            break;
        case Kind::Delay:
            bridge.SetReplyDelay(directive.number);
            break;
        case Kind::Mode:
            unit.SetModeCode(static_cast<std::uint8_t>(directive.number));
            for (const SimulatedDevice& device : bridge.Devices()) {
                if (device.unit) {
                    device.unit->SetModeCode(static_cast<std::uint8_t>(directive.number));
                }
            }
            break;
        case Kind::Miswrite:
            unit.StoreChunkWrongly(static_cast<std::uint8_t>(directive.number));
            break;
        case Kind::Bench:
            bridge.SetDevices(Bench(directive.number, unit));
            break;
        case Kind::Plug:
        case Kind::Unplug:
            break; // only ever aimed at a device
        }
    }
}
