#include "cli/UnitWords.h"

#include "device/BridgeFailureNames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

struct ModeWord {
    EdidMode mode;
    const char* name;
};

constexpr ModeWord kModeWords[] = {
    {EdidMode::Automix, "automix"},
    {EdidMode::Fixed, "fixed"},
    {EdidMode::Custom, "custom"},
};

std::string Answered(BridgeStatus status) {
    return "the bridge library answered " + BridgeStatusText(status);
}

const char* TransactionResultText(TransactionResult result) {
    switch (result) {
    case TransactionResult::Ok:
        return "answered";
    case TransactionResult::NotOpen:
        return "the unit was not open";
    case TransactionResult::SendFailed:
        return "the request could not be sent";
    case TransactionResult::QueueCheckFailed:
        return "the receive queue could not be checked";
    case TransactionResult::TimedOut:
        return "no reply within 1000 ms";
    case TransactionResult::ReadFailed:
        return "the reply could not be read";
    case TransactionResult::ShortReply:
        return "the reply came short";
    }
    return "";
}

} // namespace

std::string BridgeStatusText(BridgeStatus status) {
    char value[16];
    std::snprintf(value, sizeof value, "0x%02X", static_cast<unsigned>(status));
    const char* name = BridgeFailureName(status);
    return name != nullptr ? std::string(value) + " (" + name + ")" : value;
}

std::string TransactionFailureText(const TransactionOutcome& outcome) {
    const std::string text = TransactionResultText(outcome.result);
    return outcome.status == kBridgeSuccess ? text : text + ": " + Answered(outcome.status);
}

std::string OpenFailureText(const std::string& unit, const OpenOutcome& open) {
    const std::string opening = "opening " + unit + " failed";
    switch (open.step) {
    case OpenStep::Opened:
        return {};
    case OpenStep::Count:
        return opening + " at the device count: " + Answered(open.status);
    case OpenStep::NoUnit:
        return opening + ": no TALVO unit is attached";
    case OpenStep::SerialString:
        return opening + ": the bridge's strings could not be read: " + Answered(open.status);
    case OpenStep::ProductString:
        return opening + " at the product string query: " + Answered(open.status);
    case OpenStep::Open:
        return opening + " at the open: " + Answered(open.status);
    case OpenStep::Flush:
        return opening + " at the buffer flush: " + Answered(open.status);
    }
    return opening;
}

std::string DeviceCountFailureText(BridgeStatus status) {
    return "counting the bridge devices failed: " + Answered(status);
}

std::string BridgeLoadFailureText(const BridgeLoadFailure& failure) {
    switch (failure.problem) {
    case BridgeLoadProblem::None:
        return {};
    case BridgeLoadProblem::LibraryNotLoaded:
        return "cannot load the bridge library " + failure.library + ": " + failure.systemText;
    case BridgeLoadProblem::OperationMissing:
        return "cannot load the bridge library " + failure.library + ": it lacks " +
               failure.operation + " (" + failure.systemText + ")";
    case BridgeLoadProblem::UsbNotStarted:
        return "cannot start libusb: " + failure.systemText;
    }
    return {};
}

namespace {

const char* ActivityWords(UsbActivity doing) {
    switch (doing) {
    case UsbActivity::None:
        return "";
    case UsbActivity::ReadingStrings:
        return "reading its strings";
    case UsbActivity::Opening:
        return "opening it";
    case UsbActivity::Claiming:
        return "claiming it";
    case UsbActivity::EnablingDataPath:
        return "enabling its data path";
    case UsbActivity::TakingRequest:
        return "taking a request";
    case UsbActivity::SendingReply:
        return "sending a reply";
    case UsbActivity::PurgingBuffers:
        return "purging its buffers";
    }
    return "";
}

} // namespace

std::string UsbProblemText(const UsbProblem& problem) {
    const std::string where = "the bridge at USB bus " + std::to_string(problem.bus) + " device " +
                              std::to_string(problem.address);
    const std::string doing = ActivityWords(problem.doing);
    switch (problem.kind) {
    case UsbProblemKind::None:
        return {};
    case UsbProblemKind::NoPermission:
        return "no permission to open " + where + ": install the udev rule (see the README)";
    case UsbProblemKind::Busy:
        return where + " is in use by another program or driver";
    case UsbProblemKind::Unplugged:
        return where + " was unplugged";
    case UsbProblemKind::TimedOut:
        return where + " did not answer in time while " + doing;
    case UsbProblemKind::Stalled:
        return where + " stalled while " + doing;
    case UsbProblemKind::Failed:
        return where + " failed while " + doing + ": " + problem.libusbText;
    case UsbProblemKind::NoVendorInterface:
        return where + " has no vendor interface with bulk endpoints";
    case UsbProblemKind::NoSuchDevice:
        return "there is no bridge device " + std::to_string(problem.deviceIndex);
    case UsbProblemKind::NotOpen:
        return "no bridge is open under that handle";
    case UsbProblemKind::UnknownOption:
        return "unknown device string option";
    case UsbProblemKind::ListFailed:
        return "libusb cannot list the USB devices: " + problem.libusbText;
    }
    return {};
}

std::string SerialStringFailureText(std::uint32_t deviceIndex, BridgeStatus status) {
    return "the bridge's strings could not be read: the serial string query of bridge device " +
           std::to_string(deviceIndex) + " failed: " + Answered(status);
}

std::string TransportEventNote(const std::string& unit, TransportEvent event, BridgeStatus status) {
    if (event == TransportEvent::CloseFailed) {
        return "closing " + unit + " failed: " + Answered(status);
    }
    return {};
}

std::string ModeName(std::uint8_t modeCode) {
    for (const ModeWord& word : kModeWords) {
        if (static_cast<std::uint8_t>(word.mode) == modeCode) {
            return word.name;
        }
    }
    return std::to_string(modeCode);
}

std::string ModePhrase(std::uint8_t modeCode) {
    for (const ModeWord& word : kModeWords) {
        if (static_cast<std::uint8_t>(word.mode) == modeCode) {
            return std::string(word.name) + " mode";
        }
    }
    return "an unknown mode (code " + std::to_string(modeCode) + ")";
}

std::optional<EdidMode> ModeNamed(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const ModeWord& word : kModeWords) {
        if (lower == word.name) {
            return word.mode;
        }
    }
    return std::nullopt;
}

std::string HexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string HexOffset(std::size_t offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02zX", offset);
    return text;
}
