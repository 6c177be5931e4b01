#include "device/UsbTrace.h"

#include <cstdio>

namespace {

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Direction(std::uint8_t endpointOrRequestType) {
    return (endpointOrRequestType & 0x80) != 0 ? "IN " : "OUT";
}

} // namespace

bool UsbTrace::Open(const std::string& path) {
    file_.open(path, std::ios::out | std::ios::trunc);
    start_ = std::chrono::steady_clock::now();
    return file_.is_open();
}

void UsbTrace::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                       std::uint16_t index, int result) {
    Line(Direction(requestType) + " ctrl " + Hex(requestType, 2) + " " + Hex(request, 2) + " " +
         Hex(value, 4) + " " + Hex(index, 4) + " result " + std::to_string(result));
}

void UsbTrace::Bulk(std::uint8_t endpoint, const std::uint8_t* bytes, int length) {
    std::string text =
        Direction(endpoint) + " bulk " + Hex(endpoint, 2) + " len " + std::to_string(length);
    for (int i = 0; i < length; ++i) {
        text += (i == 0 ? ": " : " ") + Hex(bytes[i], 2);
    }
    Line(text);
}

void UsbTrace::Failed(std::uint8_t endpoint, const std::string& reason) {
    Line(Direction(endpoint) + " bulk " + Hex(endpoint, 2) + " failed: " + reason);
}

void UsbTrace::Line(const std::string& text) {
    if (!file_.is_open()) {
        return;
    }
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - start_;
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%.6f ", since.count());
    // Flushed line by line: the trace is read after a crash or a kill too.
    file_ << stamp << text << std::endl;
}
