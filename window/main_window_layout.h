#pragma once

#include <array>

namespace haojian::window_layout {

// The main window's layout in pixels at 96 DPI, for both windows (the Win32 window scales it to
// the screen's DPI).

inline constexpr int kClientWidth = 784;
inline constexpr int kClientHeight = 562;
inline constexpr int kOuterWidth = 800;  // with the frame, for centring before it is shown
inline constexpr int kOuterHeight = 600;

// The tool bar and its buttons.
inline constexpr int kCoolBarHeight = 30;
inline constexpr int kToolButtonLeft = 2;
inline constexpr int kToolButtonStep = 60;
inline constexpr int kToolButtonTop = 2;
inline constexpr int kToolButtonWidth = 55;
inline constexpr int kToolButtonHeight = 23;

// The filter strip: two labels and four boxes, inside a lowered outer and a raised inner bevel.
inline constexpr int kStripHeight = 35;
inline constexpr int kBevel = 2;                              // one pixel each
inline constexpr std::array<int, 2> kLabelLefts = {10, 546};  // Label2, Label1
inline constexpr int kLabelTop = 12;
inline constexpr int kLabelWidth = 60;
inline constexpr int kLabelHeight = 13;
inline constexpr std::array<int, 4> kBoxLefts = {72, 232, 392, 608};  // ComboBox1..ComboBox4
inline constexpr int kBoxTop = 8;
inline constexpr int kBoxWidth = 145;
inline constexpr int kBoxHeight = 20;
inline constexpr int kBoxItemHeight = 12;

// The bottom panel: the progress bar along its bottom edge, a picture panel each side.
inline constexpr int kBottomHeight = 195;
inline constexpr int kProgressHeight = 15;
inline constexpr int kPicturePanelWidth = 176;
inline constexpr int kPictureSide = 176;

inline constexpr int kStatusHeight = 19;

}  // namespace haojian::window_layout
