// Which page of the copy wizard follows which: pure functions of the three choices, so that
// the wizard's nextId() has no side effects and the table can be tested without a window.
#pragma once

#include <string>

namespace arvestra::copywiz {

// Page ids are the pages' template numbers.
inline constexpr int kType = 156;           // "Copy What?"
inline constexpr int kSourceFl = 157;       // "From Where?"
inline constexpr int kSourceUnit = 158;     // "Source Unit"
inline constexpr int kSourcePreset = 159;   // "Select Source Preset"
inline constexpr int kSourceSetting = 160;  // "Select Source Setting"
inline constexpr int kDestFl = 161;         // "To Where?"
inline constexpr int kSourceFile = 162;     // "Select Source File"
inline constexpr int kDestFile = 163;       // "Select Destination File"
inline constexpr int kDestPreset = 164;     // "Select Destination Preset"
inline constexpr int kDestSetting = 165;    // "Select Destination Setting"
inline constexpr int kDestUnit = 166;       // "Destination Unit"
inline constexpr int kNoPage = -1;

// The pages in the order they are added.
inline constexpr int kPageOrder[11] = {kType,          kSourceFl,    kSourceUnit, kSourcePreset,
                                       kSourceSetting, kSourceFile,  kDestFl,     kDestUnit,
                                       kDestPreset,    kDestSetting, kDestFile};

// The three radio choices as indexes: what (Setting 0, Preset 1, Device 2), source and
// destination (Current Location 0, File 1); -1 while unset.
struct Choices {
    int what = -1;
    int source = -1;
    int destination = -1;
};

// The page after `page`, or kNoPage for the last pages (Finish). A file page leads to the list
// page of the same kind, filled from that file, where the unit (and preset, setting) is chosen.
int NextPage(int page, const Choices& choices);

// True for the pages that end the wizard.
bool IsFinalPage(int page);

// The title of a page; empty for an unknown id.
const char* PageTitle(int page);

}  // namespace arvestra::copywiz
