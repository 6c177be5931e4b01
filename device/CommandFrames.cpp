#include "device/CommandFrames.h"

#include <algorithm>

namespace frames {

std::array<std::uint8_t, kBlockReadLength>
BlockReadRequest(std::uint8_t count, std::uint8_t deviceAddress, std::uint8_t address) {
    return {kBlockRead, count, deviceAddress, address};
}

std::array<std::uint8_t, kBlockWriteLength>
BlockWriteRequest(std::uint8_t deviceAddress, std::uint8_t address, const std::uint8_t* data) {
    std::array<std::uint8_t, kBlockWriteLength> request{
        kBlockWrite, static_cast<std::uint8_t>(kBlockWriteLength), deviceAddress, address};
    std::copy(data, data + kBlockWriteDataLength, request.begin() + 4);
    return request;
}

std::vector<std::uint8_t> ControlRequest(std::uint8_t controlAddress, std::uint8_t count,
                                         const std::uint8_t* payload, std::size_t payloadLength) {
    constexpr std::size_t kHeaderLength = 4;
    std::vector<std::uint8_t> request(kHeaderLength + payloadLength + 1);
    request[0] = kControl;
    request[1] = count;
    request[2] = controlAddress;
    request[3] = kControlMarker;
    std::copy(payload, payload + payloadLength, request.begin() + kHeaderLength);
    request.back() = kControlEnd;
    return request;
}

} // namespace frames
