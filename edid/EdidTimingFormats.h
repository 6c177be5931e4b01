#pragma once

#include "edid/EdidDecode.h"

#include <cstdint>
#include <optional>

// Full timings for a mode named by its size and refresh rate, from the
// tables that name them: the CTA-861 video formats, then VESA DMT, then the
// CVT reduced-blanking formula for anything else.

enum class TimingStandard { Cta861, Dmt, CvtReducedBlanking };

struct StandardTimingChoice {
    DetailedTiming timing; // image size and borders as the standard gives them
    TimingStandard standard = TimingStandard::CvtReducedBlanking;
    std::uint8_t id = 0; // the VIC or DMT ID; 0 for CVT
};

// A CTA-861 or DMT entry matches only a whole refresh rate equal to its
// nominal one (60 also stands for 59.94); anything else is computed with CVT.
// Nothing when the size or rate is zero or no timing has it.
std::optional<StandardTimingChoice> ChooseStandardTiming(std::uint16_t width, std::uint16_t height,
                                                         double refreshHz);

// The reduced-blanking timing of CVT 1.1, as X.Org's cvt computes it: the
// pixel clock from the estimated line period, rounded down to 0.25 MHz.
// Nothing when a frame at that rate is too short for its blanking.
std::optional<DetailedTiming> CvtReducedBlanking(std::uint16_t width, std::uint16_t height,
                                                 double refreshHz);

// The progressive CTA-861 timing of vic, when the table holds one that a
// detailed timing descriptor can carry.
std::optional<DetailedTiming> CtaVicTiming(std::uint8_t vic);
