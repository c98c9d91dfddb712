#pragma once

#include <string>
#include <string_view>

#include "qso_entry.h"

namespace vadozoz {

inline constexpr std::string_view CallSignRefusal = "Inserire un nominativo valido";
inline constexpr std::string_view TimeRefusal = "Inserire l'UTC nel formato hh:mm";
inline constexpr std::string_view DateRefusal = "Inserire una data valida";
inline constexpr std::string_view AsciiRefusal =
    "Inserire banda, modo e RST con soli caratteri ASCII";

// Either a record line (ending in CR LF) or the text of the refusal.
struct RecordOutcome {
    std::string line;
    std::string_view refusal;

    bool accepted() const { return refusal.empty(); }
};

// Turns one contact into an ADIF record line, or refuses it. The checks run
// in a fixed order (call sign, time, date, band/mode/RST) and the first
// refusal wins. No side effects.
RecordOutcome BuildAdifRecord(const QsoEntry& entry);

}  // namespace vadozoz
