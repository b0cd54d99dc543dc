#include "SkinImageGenerator.h"

#include "BackupIllustrations.h"
#include "SkinArt.h"
#include "SkinPainter.h"
#include "SkinPalette.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

constexpr int kSpinnerFrames = 13;
constexpr int kMovieFrames = 24;

struct TileKind
{
    const char *szWord;
    SkinIcons::Glyph glyph;
};

// The words of the tiles' content object names and the icon of each kind.
const TileKind kTileKinds[] = {
    {"Contacts", SkinIcons::Contacts},       {"Information", SkinIcons::Messages},
    {"AppData", SkinIcons::AppData},         {"ImageVedio", SkinIcons::ImagesVideos},
    {"MusicItem", SkinIcons::Music},         {"Other", SkinIcons::Other},
    {"Email", SkinIcons::Email},             {"Schedule", SkinIcons::Calendar},
    {"Bookmark", SkinIcons::Bookmark},       {"Application", SkinIcons::Applications},
};

} // namespace

SkinImageGenerator::SkinImageGenerator()
{
    for (int i = 1; i <= kSpinnerFrames; ++i)
        Add(QStringLiteral("AppManagerUIPlugin_UnstallWait_%1.png").arg(i),
            [i] { return SkinArt::SpinnerFrame(i, kSpinnerFrames); });
    for (int i = 1; i <= kMovieFrames; ++i)
        Add(QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie%1.png").arg(i),
            [i] { return BackupIllustrations::MovieFrame(i, kMovieFrames); });
    for (int i = 1; i <= 2; ++i)
        Add(QStringLiteral("OneKeyRepair_progressbar/OneKeyRepair_progressbar_stripe%1.png").arg(i),
            [i] { return SkinArt::ProgressStripe(i); });

    const struct { const char *szName; SkinArt::TileLook look; } looks[] = {
        {"Common", SkinArt::TileCommon},   {"Common_Hover", SkinArt::TileCommonHover},
        {"Check", SkinArt::TileChecked},   {"Check_Hover", SkinArt::TileCheckedHover},
        {"Disable", SkinArt::TileDisabled},
    };
    for (const auto &look : looks) {
        const SkinArt::TileLook eLook = look.look;
        Add(QStringLiteral("BackUpUIPlugin/BigButton_%1.png").arg(QLatin1String(look.szName)),
            [eLook] { return SkinArt::TileFrame(124, eLook); });
        Add(QStringLiteral("BackUpUIPlugin/BigButton_Other_%1.png").arg(QLatin1String(look.szName)),
            [eLook] { return SkinArt::TileFrame(248, eLook); });
        // A checked tile's corner flag sits in the bottom corner on the
        // values' side: on the left for right-to-left tiles, with its check
        // mark drawn the right way round.
        if (eLook == SkinArt::TileChecked || eLook == SkinArt::TileCheckedHover) {
            Add(QStringLiteral("BackUpUIPlugin/BigButton_%1_Mirrored.png").arg(QLatin1String(look.szName)),
                [eLook] { return SkinArt::TileFrame(124, eLook, true); });
            Add(QStringLiteral("BackUpUIPlugin/BigButton_Other_%1_Mirrored.png").arg(QLatin1String(look.szName)),
                [eLook] { return SkinArt::TileFrame(248, eLook, true); });
        }
    }
    for (const TileKind &kind : kTileKinds) {
        const SkinIcons::Glyph glyph = kind.glyph;
        Add(QStringLiteral("BackUpUIPlugin/BigButton_Icon_%1.png").arg(QLatin1String(kind.szWord)),
            [glyph] { return SkinArt::TileIcon(glyph, true); });
        Add(QStringLiteral("BackUpUIPlugin/BigButton_Icon_%1_Disabled.png").arg(QLatin1String(kind.szWord)),
            [glyph] { return SkinArt::TileIcon(glyph, false); });
    }

    Add(QStringLiteral("BackUpUIPlugin/CustomLabelButton_Arrow.png"), [] { return SkinArt::HeaderMark(); });
    Add(QStringLiteral("BackUpUIPlugin/CustomLabelButton_Logo.png"), [] { return SkinArt::HeaderLogo(); });
    Add(QStringLiteral("BackUpUIPlugin/Page_Base.png"), [] { return SkinArt::PageBase(); });
    Add(QStringLiteral("BackUpUIPlugin/Page_Decoration.png"), [] { return SkinArt::PageDecoration(); });
    Add(QStringLiteral("BackUpUIPlugin/Page_Footer.png"), [] { return SkinArt::PageFooter(); });
    Add(QStringLiteral("BackUpUIPlugin/Prepare_Panel.png"), [] { return SkinArt::PreparePanel(); });
    Add(QStringLiteral("BackUpUIPlugin/StatusBar.png"), [] { return SkinArt::StatusBar(); });
    Add(QStringLiteral("BackUpUIPlugin/StatusLine.png"), [] { return SkinArt::StatusLine(); });
    Add(QStringLiteral("BackUpUIPlugin/Waiting_Card.png"), [] { return SkinArt::WaitingCard(); });
    Add(QStringLiteral("BackUpUIPlugin/Doing_ValueBubble.png"), [] { return SkinArt::ValueBubble(); });
    Add(QStringLiteral("BackUpUIPlugin/Complete_Picture.png"), [] { return BackupIllustrations::CompletePicture(); });
    Add(QStringLiteral("BackUpUIPlugin/Complete_FailedPicture.png"),
        [] { return BackupIllustrations::CompletePicture(true); });
    Add(QStringLiteral("BackUpUIPlugin/Complete_NoteIcon.png"), [] { return SkinArt::NoteIcon(); });
    Add(QStringLiteral("BackUpUIPlugin/Browse_Btn_Normal.png"), [] { return SkinArt::BrowseButton(SkinArt::ButtonNormal); });
    Add(QStringLiteral("BackUpUIPlugin/Browse_Btn_Hover.png"), [] { return SkinArt::BrowseButton(SkinArt::ButtonHover); });
    Add(QStringLiteral("BackUpUIPlugin/Browse_Btn_Pressed.png"), [] { return SkinArt::BrowseButton(SkinArt::ButtonPressed); });
    Add(QStringLiteral("BackUpUIPlugin/Browse_Btn_Disabled.png"), [] { return SkinArt::BrowseButton(SkinArt::ButtonDisabled); });
    Add(QStringLiteral("BackUpUIPlugin/Browse_Btn_Focus.png"), [] { return SkinArt::BrowseButton(SkinArt::ButtonFocus); });

    Add(QStringLiteral("CommonUI/Function_Btn_Normal.png"), [] { return SkinArt::FunctionButton(SkinArt::ButtonNormal); });
    Add(QStringLiteral("CommonUI/Function_Btn_Hover.png"), [] { return SkinArt::FunctionButton(SkinArt::ButtonHover); });
    Add(QStringLiteral("CommonUI/Function_Btn_Pressed.png"), [] { return SkinArt::FunctionButton(SkinArt::ButtonPressed); });
    Add(QStringLiteral("CommonUI/Function_Btn_Disabled.png"), [] { return SkinArt::FunctionButton(SkinArt::ButtonDisabled); });
    Add(QStringLiteral("CommonUI/Function_Btn_Focus.png"), [] { return SkinArt::FunctionButton(SkinArt::ButtonFocus); });
    Add(QStringLiteral("CommonUI/TitleBar_Setting.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Settings, SkinPalette::InkSoft()); });
    Add(QStringLiteral("CommonUI/TitleBar_Setting_Hover.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Settings, SkinPalette::Ink()); });
    Add(QStringLiteral("CommonUI/TitleBar_Minimize.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Minimize, SkinPalette::InkSoft()); });
    Add(QStringLiteral("CommonUI/TitleBar_Minimize_Hover.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Minimize, SkinPalette::Ink()); });
    Add(QStringLiteral("CommonUI/TitleBar_Close.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Close, SkinPalette::InkSoft()); });
    Add(QStringLiteral("CommonUI/TitleBar_Close_Hover.png"),
        [] { return SkinArt::TitleBarGlyph(SkinIcons::Close, Qt::white); });
}

const QList<SkinImageGenerator::Entry> &SkinImageGenerator::Entries() const
{
    return m_listEntries;
}

void SkinImageGenerator::Add(const QString &strPath, std::function<QImage()> draw)
{
    m_listEntries.append(Entry{strPath, std::move(draw)});
}

QString SkinImageGenerator::ScaledPath(const QString &strPath, int nScale)
{
    if (nScale == 1)
        return strPath;
    // "name.png" -> "name@2x.png", the name Qt looks for on a 2x screen.
    const int nDot = strPath.lastIndexOf(QLatin1Char('.'));
    return strPath.left(nDot) + QStringLiteral("@%1x").arg(nScale) + strPath.mid(nDot);
}

int SkinImageGenerator::WriteAll(const QString &strImagesDir) const
{
    int nFailures = 0;
    const QDir dir(strImagesDir);
    for (int nScale : kScales) {
        SkinPainter::SetScale(nScale);
        for (const Entry &entry : m_listEntries) {
            const QString strFile = dir.filePath(ScaledPath(entry.strPath, nScale));
            const QImage image = entry.draw();
            // Written through a save file so an interrupted build never leaves a
            // truncated picture that looks up to date.
            QSaveFile file(strFile);
            const bool bOk = !image.isNull() && QDir().mkpath(QFileInfo(strFile).absolutePath())
                             && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
            if (!bOk) {
                std::fprintf(stderr, "skin: cannot write %s\n", qPrintable(strFile));
                ++nFailures;
            }
        }
    }
    SkinPainter::SetScale(1);
    return nFailures;
}
