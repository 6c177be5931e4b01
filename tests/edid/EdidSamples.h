#pragma once

#include "Checksum.h"
#include "EdidImage.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

inline EdidImage FilledImage(std::uint8_t value) {
    EdidImage image;
    image.fill(value);
    return image;
}

inline EdidImage RampImage() {
    EdidImage image;
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i);
    }
    return image;
}

// A monitor-like table: header, vendor and product, EDID 1.3, a name
// descriptor "TALVO" and one declared extension block.
inline EdidImage MonitorImage() {
    EdidImage image{};
    const std::uint8_t identity[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x51, 0x8C,
                                     0x34, 0x12, 0x01, 0x00, 0x00, 0x00, 0x0C, 0x21, 0x01, 0x03};
    const std::uint8_t name[] = {0x00, 0x00, 0x00, 0xFC, 0x00, 'T', 'A', 'L', 'V', 'O', 0x0A};
    std::copy(std::begin(identity), std::end(identity), image.begin());
    std::copy(std::begin(name), std::end(name), image.begin() + 72);
    image[126] = 0x01;
    image[128] = 0x02;
    image[129] = 0x03;
    RepairChecksums(image);
    return image;
}

inline QByteArray ToByteArray(const EdidImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
}

inline std::vector<std::uint8_t> ToBytes(const QByteArray& data) {
    return std::vector<std::uint8_t>(data.begin(), data.end());
}
