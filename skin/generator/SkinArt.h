#pragma once

#include "SkinIcons.h"

#include <QImage>
#include <QSize>

// The skin's user-interface pictures: tile frames and icons, buttons, the
// page backgrounds, the header art, the busy spinner and the progress parts.
class SkinArt
{
public:
    enum TileLook { TileCommon, TileCommonHover, TileChecked, TileCheckedHover, TileDisabled };
    enum ButtonState { ButtonNormal, ButtonHover, ButtonPressed, ButtonDisabled, ButtonFocus };

    // Tile frames; nWidth is 124 for the usual tiles and 248 for "other".
    // A checked frame's corner flag is in the bottom right corner, or in the
    // bottom left one with bFlagLeft (right-to-left tiles).
    static QImage TileFrame(int nWidth, TileLook look, bool bFlagLeft = false);
    // The item icon painted into a tile's top corner.
    static QImage TileIcon(SkinIcons::Glyph glyph, bool bEnabled);

    static QImage FunctionButton(ButtonState state);
    static QImage BrowseButton(ButtonState state);
    static QImage TitleBarGlyph(SkinIcons::Glyph glyph, const QColor &color);

    static QImage PageBase();
    static QImage PageDecoration();
    static QImage PreparePanel();
    static QImage PageFooter();
    static QImage StatusBar();
    static QImage StatusLine();

    static QImage HeaderMark();
    static QImage HeaderLogo();

    static QImage WaitingCard();
    static QImage SpinnerFrame(int nFrame, int nFrameCount);

    static QImage ProgressStripe(int nPhase);
    static QImage ValueBubble();
    static QImage NoteIcon();
};
