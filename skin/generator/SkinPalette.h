#pragma once

#include <QColor>

// The one palette every picture of the skin is drawn from, so pages, tiles,
// buttons and illustrations read as one product. The style sheet uses the
// same values for its colours.
namespace SkinPalette {

inline QColor Accent() { return QColor(18, 134, 235); }        // checked tiles' titles use it too
inline QColor AccentHover() { return QColor(52, 153, 240); }
inline QColor AccentPressed() { return QColor(10, 108, 196); }
inline QColor AccentDeep() { return QColor(8, 86, 160); }
inline QColor AccentSoft() { return QColor(207, 229, 251); }
inline QColor AccentWash() { return QColor(234, 243, 253); }

inline QColor Ink() { return QColor(31, 41, 55); }
inline QColor InkSoft() { return QColor(91, 101, 115); }
inline QColor InkMuted() { return QColor(148, 157, 170); }
inline QColor Line() { return QColor(225, 230, 236); }
inline QColor LineStrong() { return QColor(205, 212, 221); }
inline QColor Page() { return QColor(255, 255, 255); }
inline QColor PageTint() { return QColor(246, 248, 251); }
inline QColor Track() { return QColor(228, 233, 240); }

// Disabled tiles: a mid grey that the light label colour of a disabled
// tile, rgb(235,235,235), stays readable on.
inline QColor Disabled() { return QColor(184, 190, 199); }
inline QColor DisabledEdge() { return QColor(170, 177, 187); }

inline QColor Warning() { return QColor(240, 150, 20); }
inline QColor Danger() { return QColor(232, 72, 62); }
inline QColor DeviceBody() { return QColor(44, 55, 71); }

} // namespace SkinPalette
