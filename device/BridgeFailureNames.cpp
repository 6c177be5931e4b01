#include "device/BridgeFailureNames.h"

const char* BridgeFailureName(BridgeStatus status) {
    switch (static_cast<BridgeFailure>(status)) {
    case BridgeFailure::InvalidHandle:
        return "invalid handle";
    case BridgeFailure::ReadError:
        return "read error";
    case BridgeFailure::RxQueueNotReady:
        return "receive queue not ready";
    case BridgeFailure::WriteError:
        return "write error";
    case BridgeFailure::ResetError:
        return "reset error";
    case BridgeFailure::InvalidParameter:
        return "invalid parameter";
    case BridgeFailure::InvalidRequestLength:
        return "invalid request length";
    case BridgeFailure::DeviceIoFailed:
        return "device I/O failed";
    case BridgeFailure::InvalidBaudRate:
        return "invalid baud rate";
    case BridgeFailure::FunctionNotSupported:
        return "function not supported";
    case BridgeFailure::GlobalDataError:
        return "global data error";
    case BridgeFailure::SystemErrorCode:
        return "system error";
    case BridgeFailure::ReadTimedOut:
        return "read timed out";
    case BridgeFailure::WriteTimedOut:
        return "write timed out";
    case BridgeFailure::IoPending:
        return "I/O pending";
    case BridgeFailure::DeviceNotFound:
        return "device not found";
    }
    return nullptr;
}
