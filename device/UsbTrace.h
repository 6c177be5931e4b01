#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

// A record of every control and bulk transfer to the bridge, one line each:
// seconds since the record began, direction, kind, endpoint or request,
// length and bytes. A user with a unit that misbehaves sends this file.
class UsbTrace {
public:
    // False when the file cannot be created; the trace then records nothing.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_.is_open(); }

    // "OUT ctrl 40 02 0002 0000 len 0"
    void Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                 std::uint16_t index, int result);
    // "OUT bulk 02 len 4: 11 10 B0 00": an OUT transfer as it is sent, an IN
    // transfer as it arrives.
    void Bulk(std::uint8_t endpoint, const std::uint8_t* bytes, int length);
    // "OUT bulk 02 failed: Pipe error", with libusb's name for why.
    void Failed(std::uint8_t endpoint, const std::string& reason);

private:
    void Line(const std::string& text);

    std::ofstream file_;
    std::chrono::steady_clock::time_point start_;
};
