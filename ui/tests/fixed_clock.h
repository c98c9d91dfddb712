#pragma once

#include <string_view>

#include "core/clock.h"

namespace vadozoz::ui::testing {

// Day 5 at 09:05 UTC is a local 5 December 2014 evening elsewhere: the two
// clocks differ on purpose, so a mix-up shows.
inline constexpr ClockReading kUtc{2015, 3, 5, 9, 5};
inline constexpr ClockReading kLocal{2014, 12, 5, 22, 30};

// "qx1abc" typed into the call sign, everything else as preset from kUtc.
inline constexpr std::string_view kTypedRecord =
    "<CALL:6>QX1ABC<QSO_DATE:8:D>20150305<TIME_ON:4>0905<BAND:3>10m<MODE:3>SSB<RST_SENT:2>59<EOR>\r\n";

}  // namespace vadozoz::ui::testing
