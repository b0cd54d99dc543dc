#pragma once

#include "BackupRecords.h"
#include "PluginInfo.h"

#include <QPushButton>

class BigButton;

// The checkable tile of one backup item on the prepare page. Three flat
// frames give its three looks (unchecked, checked, disabled); exactly one is
// visible and holds the content. Clicks only toggle the look: pages read
// IsChecked() when they need the selection. The tile is one keyboard stop:
// Space toggles it, and a focus ring shows while it has the keyboard focus.
// Screen readers get its title as name, count, size and time as
// description, and its checked state.
class CheckBigButton : public QPushButton
{
    Q_OBJECT

public:
    CheckBigButton(const PluginInfo &info, QWidget *parent = nullptr);

    void SetChecked(bool bChecked);
    bool IsChecked() const { return m_bChecked; }
    PluginInfo GetItem() const { return m_pluginInfo; }
    void Reset();
    void SetEnableFrame();
    void SetDisableFrame();

    void SetTitle(const QString &strTitle);
    void SetBtnName(const QString &strName);
    void SetNum(const QString &strNum);
    void SetSize(const QString &strSize);
    // Time estimate for a size in kilobytes; 0 leaves the time text as it is.
    void SetNeedTime(quint32 nKiloBytes);
    // The counting result of this item: count, size and time estimate; a count
    // of 0 or below disables the tile.
    void SetBtnData(const structBackupID &record);
    QString GetTitle() const;

    // "1023 KB", "1 MB", "1.50 GB", "4.00 TB" (units translated); empty
    // beyond the last unit.
    static QString FormatSize(quint32 nKiloBytes);
    // Minutes a transfer of nKiloBytes takes at 1536 KB/s, rounded to nearest.
    static int NeedMinutes(quint32 nKiloBytes);
    // The time label's text for nKiloBytes (not 0).
    static QString NeedTimeText(quint32 nKiloBytes);

    // The focus ring (shown while the tile has the keyboard focus).
    QWidget *GetFocusFrame() const { return m_pFocusFrame; }

public slots:
    void ButtonPressed();

protected:
    // The tile's own checked state follows its look; a click only reaches
    // ButtonPressed, which changes the look.
    void nextCheckState() override;
    void focusInEvent(QFocusEvent *pEvent) override;
    void focusOutEvent(QFocusEvent *pEvent) override;
    // The frames draw the whole tile; the button itself draws nothing (a
    // checked flat button would otherwise show a pressed panel around them).
    void paintEvent(QPaintEvent *pEvent) override;

private:
    enum Look { LookUnchecked, LookChecked, LookDisabled };
    void ShowLook(Look eLook);
    void UpdateAccessibleText();

    PluginInfo m_pluginInfo;
    QWidget *m_pParent = nullptr;
    QPushButton *m_pCommonFrame = nullptr;
    QPushButton *m_pCheckFrame = nullptr;
    QPushButton *m_pDisableFrame = nullptr;
    BigButton *m_pContent = nullptr;
    QWidget *m_pFocusFrame = nullptr;
    bool m_bChecked = false;
};
