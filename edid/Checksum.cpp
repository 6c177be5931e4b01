#include "edid/Checksum.h"

std::uint8_t EDIDChkSum(const std::uint8_t* block) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kChecksumOffset; ++i) {
        sum = static_cast<std::uint8_t>(sum + block[i]);
    }
    return static_cast<std::uint8_t>(0 - sum);
}

bool ChecksumsCorrect(const EdidImage& image) {
    for (std::size_t block = 0; block < kEdidSize; block += kEdidBlockSize) {
        if (EDIDChkSum(image.data() + block) != image[block + kChecksumOffset]) {
            return false;
        }
    }
    return true;
}

void RepairChecksums(EdidImage& image) {
    for (std::size_t block = 0; block < kEdidSize; block += kEdidBlockSize) {
        image[block + kChecksumOffset] = EDIDChkSum(image.data() + block);
    }
}
