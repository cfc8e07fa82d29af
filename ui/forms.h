// The main window and the timed input box as every front-end lays them out:
// captions, texts, tooltips and places in twips, relative to the client area.
#pragma once

#include <string>

#include "ui/geometry.h"

namespace ui {

enum class ControlKind { TextBox, Label, Button };

struct ControlPlace {
    const char* name;
    ControlKind kind;
    const char* text;    // at design
    const char* tooltip; // empty: none
    Rect twips;          // a label takes the size of its caption from here
};

namespace main_window {

inline constexpr const char* kCaption = "Spojenie databáz";
inline constexpr int kClientWidth = 7125, kClientHeight = 1890;
inline constexpr double kFontPoints = 8.25;

// The controls in their tab order; the focus starts on the first.
enum Control { TargetBox, SourceBox, ProgressLabel, TargetLabel, SourceLabel, JoinButton, TargetBrowse, SourceBrowse,
               kControlCount };
inline constexpr ControlPlace kControls[kControlCount] = {
    {"txtSpojenySubor", ControlKind::TextBox, "", "Názov súboru, do ktorého má byť pridaný ďalší súbor",
     {240, 720, 4095, 315}},
    {"txtPridatSubor", ControlKind::TextBox, "", "Názov súboru, ktorý má byť pridaný do \"spojeného súboru\"",
     {240, 1320, 4095, 315}},
    {"lblLog", ControlKind::Label, "", "", {120, 120, 420, 210}},
    {"l0", ControlKind::Label, "Spojený súbor", "", {120, 480, 1050, 210}},
    {"l1", ControlKind::Label, "Pridať súbor", "", {120, 1080, 885, 210}},
    {"cmdSpojSubory", ControlKind::Button, "Spoj súbory", "", {5520, 720, 1455, 495}},
    {"cmdVolbaSpojenehoSuboru", ControlKind::Button, "...", "Voľba súboru", {4320, 720, 615, 375}},
    {"cmdVolbaNovehoSuboru", ControlKind::Button, "...", "Voľba súboru", {4320, 1320, 615, 375}},
};

// The file dialog of the two browse buttons.
inline constexpr const char* kTargetBrowseTitle = "Výsledný súbor";
inline constexpr const char* kSourceBrowseTitle = "Pridaný súbor";
struct FileFilter {
    const char* description;
    const char* pattern;
};
// Database files first, and selected; everything else second.
inline constexpr FileFilter kFileFilters[] = {{"Databázové súbory(*.mdb)", "*.mdb"},
                                              {"Všetky súbory(*.*)", "*.*"}};

} // namespace main_window

namespace input_box {

inline constexpr int kClientWidth = 6360, kClientHeight = 2790;
inline constexpr double kFontPoints = 8.25;
// In tab order: the edit box has the focus when the box opens. The prompt
// keeps its size and wraps its text.
enum Control { Edit, Ok, Cancel, Prompt, kControlCount };
inline constexpr ControlPlace kControls[kControlCount] = {
    {"txtEdit", ControlKind::TextBox, "", "", {120, 2280, 4935, 375}},
    {"cmdOk", ControlKind::Button, "Ok", "", {5040, 120, 1215, 495}},
    {"cmdCancel", ControlKind::Button, "Naspäť", "", {5040, 720, 1215, 495}},
    {"lblPrompt", ControlKind::Label, "", "", {120, 120, 4815, 1935}},
};

// The caption for a given title: without its outer spaces, or the
// application title when nothing is left.
std::string caption(const std::string& title);

} // namespace input_box

} // namespace ui
