#pragma once

#include <array>
#include <span>
#include <string_view>

namespace vadozoz::ui {

enum class ControlKind { Picture, Frame, Label, TextBox, LogBox, ComboBox, Button };

// One control of the main window, placed in twips relative to its parent
// (the window, or Frame1 for the entry row).
struct ControlSpec {
    std::string_view name;
    ControlKind kind;
    bool inFrame;
    int left, top, width, height;  // twips
    int tabPosition;
    std::string_view text;  // caption or design-time text
};

inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch
inline constexpr int kClientWidth = 12975;
inline constexpr int kClientHeight = 3840;

inline constexpr std::array<ControlSpec, 20> kControls{{
    {"Picture1", ControlKind::Picture, false, 0, 0, 3495, 3855, 19, ""},
    {"Frame1", ControlKind::Frame, false, 3600, 120, 9255, 1335, 0, "Frame1"},
    {"Label1", ControlKind::Label, true, 240, 360, 855, 255, 2, "Nominativo"},
    {"Text1", ControlKind::TextBox, true, 120, 720, 1215, 315, 1, ""},
    {"Combo1", ControlKind::ComboBox, true, 1560, 720, 855, 315, 3, "Combo1"},
    {"Combo2", ControlKind::ComboBox, true, 2520, 720, 1215, 315, 4, "Combo2"},
    {"Label2", ControlKind::Label, true, 2760, 360, 975, 255, 6, "Data"},
    {"Combo3", ControlKind::ComboBox, true, 3840, 720, 975, 315, 5, "Combo3"},
    {"Text2", ControlKind::TextBox, true, 4920, 720, 855, 315, 7, "text2"},
    {"Label3", ControlKind::Label, true, 5040, 360, 615, 255, 8, "UTC"},
    {"Combo4", ControlKind::ComboBox, true, 5880, 720, 975, 315, 11, "10m"},
    {"Label5", ControlKind::Label, true, 6000, 360, 735, 255, 13, "Banda"},
    {"Combo5", ControlKind::ComboBox, true, 6960, 720, 975, 315, 12, "SSB"},
    {"Label6", ControlKind::Label, true, 7080, 360, 735, 255, 14, "Mode"},
    {"Text3", ControlKind::TextBox, true, 8040, 720, 855, 315, 9, "59"},
    {"Label4", ControlKind::Label, true, 8160, 360, 615, 255, 10, "RST"},
    {"Text4", ControlKind::LogBox, false, 3600, 1560, 9255, 855, 17, ""},
    {"Command1", ControlKind::Button, false, 6360, 2760, 1095, 375, 15, "Salva"},
    {"Command2", ControlKind::Button, false, 7680, 2760, 1095, 375, 16, "Esci"},
    {"Command4", ControlKind::Button, false, 11160, 2760, 1215, 375, 18, "Genera Log"},
}};

// The entry lists, filled at every start in this order.
struct ListSpec {
    std::string_view combo;
    std::span<const std::string_view> items;
};

std::span<const ListSpec> EntryLists();

}  // namespace vadozoz::ui
