#pragma once

#include <QColor>

// The one palette every picture of the skin is drawn from, so pages, tiles,
// buttons and illustrations read as one product. The style sheet uses the
// same values for its colours.
namespace SkinPalette {

// Accent for shapes, lines and icons (3.7 : 1 on white, enough for graphics
// but not for text).
inline QColor Accent() { return QColor(18, 134, 235); }
inline QColor AccentHover() { return QColor(52, 153, 240); }
inline QColor AccentPressed() { return QColor(10, 108, 196); }
inline QColor AccentDeep() { return QColor(8, 86, 160); }
inline QColor AccentSoft() { return QColor(207, 229, 251); }
inline QColor AccentWash() { return QColor(234, 243, 253); }
// Accent for text on light backgrounds and the fill behind white text:
// both keep text at 4.5 : 1 or more (WCAG AA).
inline QColor AccentInk() { return QColor(10, 102, 186); }
inline QColor AccentFill() { return QColor(14, 104, 192); }
inline QColor AccentFillDeep() { return QColor(9, 88, 166); }

inline QColor Ink() { return QColor(31, 41, 55); }
inline QColor InkSoft() { return QColor(91, 101, 115); }
inline QColor InkMuted() { return QColor(148, 157, 170); }
inline QColor Line() { return QColor(225, 230, 236); }
inline QColor LineStrong() { return QColor(205, 212, 221); }
inline QColor Page() { return QColor(255, 255, 255); }
inline QColor PageTint() { return QColor(246, 248, 251); }
inline QColor Track() { return QColor(228, 233, 240); }

// Disabled tiles and buttons: a light grey card whose text, InkDisabled,
// still reads at 4.5 : 1 or more.
inline QColor Disabled() { return QColor(238, 240, 243); }
inline QColor DisabledEdge() { return QColor(214, 219, 226); }
inline QColor InkDisabled() { return QColor(90, 97, 109); }

inline QColor Warning() { return QColor(240, 150, 20); }
inline QColor Danger() { return QColor(232, 72, 62); }
inline QColor DeviceBody() { return QColor(44, 55, 71); }

} // namespace SkinPalette
