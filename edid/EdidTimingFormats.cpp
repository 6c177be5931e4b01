#include "edid/EdidTimingFormats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// One progressive format: its ID, size, nominal rate, pixel clock, the
// front porch, sync and back porch of each direction, the borders and the
// sync polarities.
struct TimingFormat {
    std::uint8_t id;
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t nominalHz;
    std::uint32_t pixelClockKHz;
    std::uint16_t hFront, hSync, hBack;
    std::uint16_t vFront, vSync, vBack;
    std::uint8_t hBorder, vBorder;
    bool hPositive, vPositive;
};

// The first VIC of each size and rate among the progressive CTA-861 formats
// whose pixel clock a detailed timing descriptor can hold (655.35 MHz).
constexpr TimingFormat kCtaFormats[] = {
    {1, 640, 480, 60, 25175, 16, 96, 48, 10, 2, 33, 0, 0, false, false},
    {2, 720, 480, 60, 27000, 16, 62, 60, 9, 6, 30, 0, 0, false, false},
    {4, 1280, 720, 60, 74250, 110, 40, 220, 5, 5, 20, 0, 0, true, true},
    {8, 1440, 240, 60, 27000, 38, 124, 114, 4, 3, 15, 0, 0, false, false},
    {12, 2880, 240, 60, 54000, 76, 248, 228, 4, 3, 15, 0, 0, false, false},
    {14, 1440, 480, 60, 54000, 32, 124, 120, 9, 6, 30, 0, 0, false, false},
    {16, 1920, 1080, 60, 148500, 88, 44, 148, 4, 5, 36, 0, 0, true, true},
    {17, 720, 576, 50, 27000, 12, 64, 68, 5, 5, 39, 0, 0, false, false},
    {19, 1280, 720, 50, 74250, 440, 40, 220, 5, 5, 20, 0, 0, true, true},
    {23, 1440, 288, 50, 27000, 24, 126, 138, 2, 3, 19, 0, 0, false, false},
    {27, 2880, 288, 50, 54000, 48, 252, 276, 2, 3, 19, 0, 0, false, false},
    {29, 1440, 576, 50, 54000, 24, 128, 136, 5, 5, 39, 0, 0, false, false},
    {31, 1920, 1080, 50, 148500, 528, 44, 148, 4, 5, 36, 0, 0, true, true},
    {32, 1920, 1080, 24, 74250, 638, 44, 148, 4, 5, 36, 0, 0, true, true},
    {33, 1920, 1080, 25, 74250, 528, 44, 148, 4, 5, 36, 0, 0, true, true},
    {34, 1920, 1080, 30, 74250, 88, 44, 148, 4, 5, 36, 0, 0, true, true},
    {35, 2880, 480, 60, 108000, 64, 248, 240, 9, 6, 30, 0, 0, false, false},
    {37, 2880, 576, 50, 108000, 48, 256, 272, 5, 5, 39, 0, 0, false, false},
    {41, 1280, 720, 100, 148500, 440, 40, 220, 5, 5, 20, 0, 0, true, true},
    {42, 720, 576, 100, 54000, 12, 64, 68, 5, 5, 39, 0, 0, false, false},
    {47, 1280, 720, 120, 148500, 110, 40, 220, 5, 5, 20, 0, 0, true, true},
    {48, 720, 480, 120, 54000, 16, 62, 60, 9, 6, 30, 0, 0, false, false},
    {52, 720, 576, 200, 108000, 12, 64, 68, 5, 5, 39, 0, 0, false, false},
    {56, 720, 480, 240, 108000, 16, 62, 60, 9, 6, 30, 0, 0, false, false},
    {60, 1280, 720, 24, 59400, 1760, 40, 220, 5, 5, 20, 0, 0, true, true},
    {61, 1280, 720, 25, 74250, 2420, 40, 220, 5, 5, 20, 0, 0, true, true},
    {62, 1280, 720, 30, 74250, 1760, 40, 220, 5, 5, 20, 0, 0, true, true},
    {63, 1920, 1080, 120, 297000, 88, 44, 148, 4, 5, 36, 0, 0, true, true},
    {64, 1920, 1080, 100, 297000, 528, 44, 148, 4, 5, 36, 0, 0, true, true},
    {79, 1680, 720, 24, 59400, 1360, 40, 220, 5, 5, 20, 0, 0, true, true},
    {80, 1680, 720, 25, 59400, 1228, 40, 220, 5, 5, 20, 0, 0, true, true},
    {81, 1680, 720, 30, 59400, 700, 40, 220, 5, 5, 20, 0, 0, true, true},
    {82, 1680, 720, 50, 82500, 260, 40, 220, 5, 5, 20, 0, 0, true, true},
    {83, 1680, 720, 60, 99000, 260, 40, 220, 5, 5, 20, 0, 0, true, true},
    {84, 1680, 720, 100, 165000, 60, 40, 220, 5, 5, 95, 0, 0, true, true},
    {85, 1680, 720, 120, 198000, 60, 40, 220, 5, 5, 95, 0, 0, true, true},
    {86, 2560, 1080, 24, 99000, 998, 44, 148, 4, 5, 11, 0, 0, true, true},
    {87, 2560, 1080, 25, 90000, 448, 44, 148, 4, 5, 36, 0, 0, true, true},
    {88, 2560, 1080, 30, 118800, 768, 44, 148, 4, 5, 36, 0, 0, true, true},
    {89, 2560, 1080, 50, 185625, 548, 44, 148, 4, 5, 36, 0, 0, true, true},
    {90, 2560, 1080, 60, 198000, 248, 44, 148, 4, 5, 11, 0, 0, true, true},
    {91, 2560, 1080, 100, 371250, 218, 44, 148, 4, 5, 161, 0, 0, true, true},
    {92, 2560, 1080, 120, 495000, 548, 44, 148, 4, 5, 161, 0, 0, true, true},
    {93, 3840, 2160, 24, 297000, 1276, 88, 296, 8, 10, 72, 0, 0, true, true},
    {94, 3840, 2160, 25, 297000, 1056, 88, 296, 8, 10, 72, 0, 0, true, true},
    {95, 3840, 2160, 30, 297000, 176, 88, 296, 8, 10, 72, 0, 0, true, true},
    {96, 3840, 2160, 50, 594000, 1056, 88, 296, 8, 10, 72, 0, 0, true, true},
    {97, 3840, 2160, 60, 594000, 176, 88, 296, 8, 10, 72, 0, 0, true, true},
    {98, 4096, 2160, 24, 297000, 1020, 88, 296, 8, 10, 72, 0, 0, true, true},
    {99, 4096, 2160, 25, 297000, 968, 88, 128, 8, 10, 72, 0, 0, true, true},
    {100, 4096, 2160, 30, 297000, 88, 88, 128, 8, 10, 72, 0, 0, true, true},
    {101, 4096, 2160, 50, 594000, 968, 88, 128, 8, 10, 72, 0, 0, true, true},
    {102, 4096, 2160, 60, 594000, 88, 88, 128, 8, 10, 72, 0, 0, true, true},
    {108, 1280, 720, 48, 90000, 960, 40, 220, 5, 5, 20, 0, 0, true, true},
    {110, 1680, 720, 48, 99000, 810, 40, 220, 5, 5, 20, 0, 0, true, true},
    {111, 1920, 1080, 48, 148500, 638, 44, 148, 4, 5, 36, 0, 0, true, true},
    {113, 2560, 1080, 48, 198000, 998, 44, 148, 4, 5, 11, 0, 0, true, true},
    {114, 3840, 2160, 48, 594000, 1276, 88, 296, 8, 10, 72, 0, 0, true, true},
    {115, 4096, 2160, 48, 594000, 1020, 88, 296, 8, 10, 72, 0, 0, true, true},
    {121, 5120, 2160, 24, 396000, 1996, 88, 296, 8, 10, 22, 0, 0, true, true},
    {122, 5120, 2160, 25, 396000, 1696, 88, 296, 8, 10, 22, 0, 0, true, true},
    {123, 5120, 2160, 30, 396000, 664, 88, 128, 8, 10, 22, 0, 0, true, true},
};

// The progressive DMT modes, one per size and rate: where DMT has two, the
// one a standard timing code stands for, else the one with the lower ID.
constexpr TimingFormat kDmtFormats[] = {
    {1, 640, 350, 85, 31500, 32, 64, 96, 32, 3, 60, 0, 0, true, false},
    {2, 640, 400, 85, 31500, 32, 64, 96, 1, 3, 41, 0, 0, false, true},
    {3, 720, 400, 85, 35500, 36, 72, 108, 1, 3, 42, 0, 0, false, true},
    {4, 640, 480, 60, 25175, 8, 96, 40, 2, 2, 25, 8, 8, false, false},
    {5, 640, 480, 72, 31500, 16, 40, 120, 1, 3, 20, 8, 8, false, false},
    {6, 640, 480, 75, 31500, 16, 64, 120, 1, 3, 16, 0, 0, false, false},
    {7, 640, 480, 85, 36000, 56, 56, 80, 1, 3, 25, 0, 0, false, false},
    {8, 800, 600, 56, 36000, 24, 72, 128, 1, 2, 22, 0, 0, true, true},
    {9, 800, 600, 60, 40000, 40, 128, 88, 1, 4, 23, 0, 0, true, true},
    {10, 800, 600, 72, 50000, 56, 120, 64, 37, 6, 23, 0, 0, true, true},
    {11, 800, 600, 75, 49500, 16, 80, 160, 1, 3, 21, 0, 0, true, true},
    {12, 800, 600, 85, 56250, 32, 64, 152, 1, 3, 27, 0, 0, true, true},
    {13, 800, 600, 120, 73250, 48, 32, 80, 3, 4, 29, 0, 0, true, false},
    {14, 848, 480, 60, 33750, 16, 112, 112, 6, 8, 23, 0, 0, true, true},
    {16, 1024, 768, 60, 65000, 24, 136, 160, 3, 6, 29, 0, 0, false, false},
    {17, 1024, 768, 70, 75000, 24, 136, 144, 3, 6, 29, 0, 0, false, false},
    {18, 1024, 768, 75, 78750, 16, 96, 176, 1, 3, 28, 0, 0, true, true},
    {19, 1024, 768, 85, 94500, 48, 96, 208, 1, 3, 36, 0, 0, true, true},
    {20, 1024, 768, 120, 115500, 48, 32, 80, 3, 4, 38, 0, 0, true, false},
    {21, 1152, 864, 75, 108000, 64, 128, 256, 1, 3, 32, 0, 0, true, true},
    {22, 1280, 768, 60, 68250, 48, 32, 80, 3, 7, 12, 0, 0, true, false},
    {24, 1280, 768, 75, 102250, 80, 128, 208, 3, 7, 27, 0, 0, false, true},
    {25, 1280, 768, 85, 117500, 80, 136, 216, 3, 7, 31, 0, 0, false, true},
    {26, 1280, 768, 120, 140250, 48, 32, 80, 3, 7, 35, 0, 0, true, false},
    {28, 1280, 800, 60, 83500, 72, 128, 200, 3, 6, 22, 0, 0, false, true},
    {29, 1280, 800, 75, 106500, 80, 128, 208, 3, 6, 29, 0, 0, false, true},
    {30, 1280, 800, 85, 122500, 80, 136, 216, 3, 6, 34, 0, 0, false, true},
    {31, 1280, 800, 120, 146250, 48, 32, 80, 3, 6, 38, 0, 0, true, false},
    {32, 1280, 960, 60, 108000, 96, 112, 312, 1, 3, 36, 0, 0, true, true},
    {33, 1280, 960, 85, 148500, 64, 160, 224, 1, 3, 47, 0, 0, true, true},
    {34, 1280, 960, 120, 175500, 48, 32, 80, 3, 4, 50, 0, 0, true, false},
    {35, 1280, 1024, 60, 108000, 48, 112, 248, 1, 3, 38, 0, 0, true, true},
    {36, 1280, 1024, 75, 135000, 16, 144, 248, 1, 3, 38, 0, 0, true, true},
    {37, 1280, 1024, 85, 157500, 64, 160, 224, 1, 3, 44, 0, 0, true, true},
    {38, 1280, 1024, 120, 187250, 48, 32, 80, 3, 7, 50, 0, 0, true, false},
    {39, 1360, 768, 60, 85500, 64, 112, 256, 3, 6, 18, 0, 0, true, true},
    {40, 1360, 768, 120, 148250, 48, 32, 80, 3, 5, 37, 0, 0, true, false},
    {42, 1400, 1050, 60, 121750, 88, 144, 232, 3, 4, 32, 0, 0, false, true},
    {43, 1400, 1050, 75, 156000, 104, 144, 248, 3, 4, 42, 0, 0, false, true},
    {44, 1400, 1050, 85, 179500, 104, 152, 256, 3, 4, 48, 0, 0, false, true},
    {45, 1400, 1050, 120, 208000, 48, 32, 80, 3, 4, 55, 0, 0, true, false},
    {47, 1440, 900, 60, 106500, 80, 152, 232, 3, 6, 25, 0, 0, false, true},
    {48, 1440, 900, 75, 136750, 96, 152, 248, 3, 6, 33, 0, 0, false, true},
    {49, 1440, 900, 85, 157000, 104, 152, 256, 3, 6, 39, 0, 0, false, true},
    {50, 1440, 900, 120, 182750, 48, 32, 80, 3, 6, 44, 0, 0, true, false},
    {51, 1600, 1200, 60, 162000, 64, 192, 304, 1, 3, 46, 0, 0, true, true},
    {52, 1600, 1200, 65, 175500, 64, 192, 304, 1, 3, 46, 0, 0, true, true},
    {53, 1600, 1200, 70, 189000, 64, 192, 304, 1, 3, 46, 0, 0, true, true},
    {54, 1600, 1200, 75, 202500, 64, 192, 304, 1, 3, 46, 0, 0, true, true},
    {55, 1600, 1200, 85, 229500, 64, 192, 304, 1, 3, 46, 0, 0, true, true},
    {56, 1600, 1200, 120, 268250, 48, 32, 80, 3, 4, 64, 0, 0, true, false},
    {58, 1680, 1050, 60, 146250, 104, 176, 280, 3, 6, 30, 0, 0, false, true},
    {59, 1680, 1050, 75, 187000, 120, 176, 296, 3, 6, 40, 0, 0, false, true},
    {60, 1680, 1050, 85, 214750, 128, 176, 304, 3, 6, 46, 0, 0, false, true},
    {61, 1680, 1050, 120, 245500, 48, 32, 80, 3, 6, 53, 0, 0, true, false},
    {62, 1792, 1344, 60, 204750, 128, 200, 328, 1, 3, 46, 0, 0, false, true},
    {63, 1792, 1344, 75, 261000, 96, 216, 352, 1, 3, 69, 0, 0, false, true},
    {64, 1792, 1344, 120, 333250, 48, 32, 80, 3, 4, 72, 0, 0, true, false},
    {65, 1856, 1392, 60, 218250, 96, 224, 352, 1, 3, 43, 0, 0, false, true},
    {66, 1856, 1392, 75, 288000, 128, 224, 352, 1, 3, 104, 0, 0, false, true},
    {67, 1856, 1392, 120, 356500, 48, 32, 80, 3, 4, 74, 0, 0, true, false},
    {69, 1920, 1200, 60, 193250, 136, 200, 336, 3, 6, 36, 0, 0, false, true},
    {70, 1920, 1200, 75, 245250, 136, 208, 344, 3, 6, 46, 0, 0, false, true},
    {71, 1920, 1200, 85, 281250, 144, 208, 352, 3, 6, 53, 0, 0, false, true},
    {72, 1920, 1200, 120, 317000, 48, 32, 80, 3, 6, 62, 0, 0, true, false},
    {73, 1920, 1440, 60, 234000, 128, 208, 344, 1, 3, 56, 0, 0, false, true},
    {74, 1920, 1440, 75, 297000, 144, 224, 352, 1, 3, 56, 0, 0, false, true},
    {75, 1920, 1440, 120, 380500, 48, 32, 80, 2, 3, 78, 0, 0, true, false},
    {76, 2560, 1600, 60, 268500, 48, 32, 80, 3, 6, 37, 0, 0, true, false},
    {78, 2560, 1600, 75, 443250, 208, 280, 488, 3, 6, 63, 0, 0, false, true},
    {79, 2560, 1600, 85, 505250, 208, 280, 488, 3, 6, 73, 0, 0, false, true},
    {80, 2560, 1600, 120, 552750, 48, 32, 80, 3, 6, 85, 0, 0, true, false},
    {81, 1366, 768, 60, 85500, 70, 143, 213, 3, 3, 24, 0, 0, true, true},
    {82, 1920, 1080, 60, 148500, 88, 44, 148, 4, 5, 36, 0, 0, true, true},
    {83, 1600, 900, 60, 108000, 24, 80, 96, 1, 3, 96, 0, 0, true, true},
    {84, 2048, 1152, 60, 162000, 26, 80, 96, 1, 3, 44, 0, 0, true, true},
    {85, 1280, 720, 60, 74250, 110, 40, 220, 5, 5, 20, 0, 0, true, true},
    {87, 4096, 2160, 60, 556744, 8, 32, 40, 48, 8, 6, 0, 0, true, false},
};

DetailedTiming TimingOf(const TimingFormat& f) {
    DetailedTiming t;
    t.pixelClockKHz = f.pixelClockKHz;
    t.hActive = f.width;
    t.hFrontPorch = f.hFront;
    t.hSyncWidth = f.hSync;
    t.hBlanking = static_cast<std::uint16_t>(f.hFront + f.hSync + f.hBack);
    t.vActive = f.height;
    t.vFrontPorch = f.vFront;
    t.vSyncWidth = f.vSync;
    t.vBlanking = static_cast<std::uint16_t>(f.vFront + f.vSync + f.vBack);
    t.hBorder = f.hBorder;
    t.vBorder = f.vBorder;
    t.sync = SyncKind::DigitalSeparate;
    t.hSyncPositive = f.hPositive;
    t.vSyncPositive = f.vPositive;
    const double total = double(f.width + 2 * f.hBorder + t.hBlanking) *
                         double(f.height + 2 * f.vBorder + t.vBlanking);
    t.refreshHz = f.pixelClockKHz * 1000.0 / total;
    return t;
}

template <std::size_t N>
const TimingFormat* Find(const TimingFormat (&formats)[N], std::uint16_t width,
                         std::uint16_t height, std::uint16_t hz) {
    for (const TimingFormat& f : formats) {
        if (f.width == width && f.height == height && f.nominalHz == hz) {
            return &f;
        }
    }
    return nullptr;
}

// CVT 1.1 reduced blanking: fixed horizontal blanking, at least 460 us of
// vertical blanking, and a sync width that tells the aspect ratio.
constexpr unsigned kCellGranularity = 8;
constexpr unsigned kRbHBlank = 160;
constexpr unsigned kRbHSync = 32;
constexpr unsigned kRbVFrontPorch = 3;
constexpr unsigned kMinVBackPorch = 6;
constexpr double kRbMinVBlankUs = 460.0;
constexpr std::uint32_t kClockStepKHz = 250;

unsigned CvtVSync(unsigned width, unsigned height) {
    const auto is = [&](unsigned w, unsigned h) {
        return height % h == 0 && height * w / h == width;
    };
    if (is(4, 3)) {
        return 4;
    }
    if (is(16, 9)) {
        return 5;
    }
    if (is(16, 10)) {
        return 6;
    }
    if (is(5, 4) || is(15, 9)) {
        return 7;
    }
    return 10;
}

} // namespace

std::optional<DetailedTiming> CvtReducedBlanking(std::uint16_t width, std::uint16_t height,
                                                 double refreshHz) {
    const unsigned hActive = width / kCellGranularity * kCellGranularity;
    const unsigned vSync = CvtVSync(hActive, height);
    const double hPeriodUs = (1000000.0 / refreshHz - kRbMinVBlankUs) / height;
    const unsigned hTotal = hActive + kRbHBlank;
    const double clockKHz = hTotal * 1000.0 / hPeriodUs;
    // A frame shorter than the blanking it needs has no timing.
    if (hActive == 0 || !(hPeriodUs > 0) || !(clockKHz < double(UINT32_MAX))) {
        return std::nullopt;
    }
    unsigned vBlank = static_cast<unsigned>(kRbMinVBlankUs / hPeriodUs) + 1;
    vBlank = std::max(vBlank, kRbVFrontPorch + vSync + kMinVBackPorch);

    DetailedTiming t;
    const auto clock = static_cast<std::uint32_t>(clockKHz);
    t.pixelClockKHz = clock - clock % kClockStepKHz;
    t.hActive = static_cast<std::uint16_t>(hActive);
    t.hBlanking = kRbHBlank;
    t.hFrontPorch = kRbHBlank / 2 - kRbHSync;
    t.hSyncWidth = kRbHSync;
    t.vActive = height;
    t.vBlanking = static_cast<std::uint16_t>(vBlank);
    t.vFrontPorch = kRbVFrontPorch;
    t.vSyncWidth = static_cast<std::uint16_t>(vSync);
    t.sync = SyncKind::DigitalSeparate;
    t.hSyncPositive = true;
    t.vSyncPositive = false;
    t.refreshHz = t.pixelClockKHz * 1000.0 / (double(hTotal) * (height + vBlank));
    return t;
}

std::optional<DetailedTiming> CtaVicTiming(std::uint8_t vic) {
    for (const TimingFormat& f : kCtaFormats) {
        if (f.id == vic) {
            return TimingOf(f);
        }
    }
    return std::nullopt;
}

std::optional<StandardTimingChoice> ChooseStandardTiming(std::uint16_t width, std::uint16_t height,
                                                         double refreshHz) {
    if (width == 0 || height == 0 || !(refreshHz > 0) || !std::isfinite(refreshHz)) {
        return std::nullopt;
    }
    const double whole = std::round(refreshHz);
    if (whole == refreshHz && whole <= 0xFFFF) {
        const auto hz = static_cast<std::uint16_t>(whole);
        if (const TimingFormat* f = Find(kCtaFormats, width, height, hz)) {
            return StandardTimingChoice{TimingOf(*f), TimingStandard::Cta861, f->id};
        }
        if (const TimingFormat* f = Find(kDmtFormats, width, height, hz)) {
            return StandardTimingChoice{TimingOf(*f), TimingStandard::Dmt, f->id};
        }
    }
    if (const std::optional<DetailedTiming> cvt = CvtReducedBlanking(width, height, refreshHz)) {
        return StandardTimingChoice{*cvt, TimingStandard::CvtReducedBlanking, 0};
    }
    return std::nullopt;
}
