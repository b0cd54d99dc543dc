#pragma once

#include "PluginInfo.h"

#include <QLabel>
#include <QPoint>
#include <QSize>

// The content of one item tile: a background label holding the item's title,
// count, size, time estimate and, for the "other" tile (id 6), the list of its
// sub-items. Styled through object names "BackUpUIPlugin_BigButton_<word>...".
class BigButton : public QLabel
{
    Q_OBJECT

public:
    // Colour states of SetStatusColor.
    enum StatusColor { StatusDisabled = 0, StatusUnchecked = 1, StatusChecked = 2 };

    BigButton(const PluginInfo &info, QWidget *parent = nullptr);

    // Translated; an empty text is ignored.
    void SetTitle(const QString &strTitle);
    // Only for id 6: the sub-item list.
    void SetBtnName(const QString &strName);
    void SetNum(const QString &strNum);
    // A size, or a note in its place ("Not available on this phone"): a text
    // too wide for one line wraps into the time's line and down to the title
    // while there is no time to show; what does not fit then is shortened
    // (IsSizeShortened).
    void SetSize(const QString &strSize);
    QString GetSize() const { return m_strSize; }
    bool IsSizeShortened() const { return m_bSizeShortened; }
    void SetNeedTime(const QString &strTime);
    void SetStatusColor(int nStatus);
    void SetActive(bool bActive);
    void Reset();
    QString GetTitle() const;
    // What a screen reader says for the tile: the title (with the sub-item
    // list of the "other" tile) as name; count, size and time estimate,
    // those that are shown, as description.
    QString AccessibleName() const;
    QString AccessibleDescription() const;

    // 248x135 for id 6 (the "other" tile), 124x135 for every other id.
    static QSize TileSize(quint32 nId);
    // The word of the object names for an id ("Contacts", "Other", ...).
    static QString ObjectWord(quint32 nId);

private:
    void InitLabels();
    void InitLayout();
    void LayoutSize();

    PluginInfo m_pluginInfo;
    int m_nCurrentId = 6;
    QWidget *m_pParent = nullptr;
    QLabel *m_pTitleLabel = nullptr;
    QLabel *m_pNumLabel = nullptr;
    QLabel *m_pSizeLabel = nullptr;
    QLabel *m_pTimeLabel = nullptr;
    QLabel *m_pNameLabel = nullptr;
    bool m_bActive = false;
    QString m_strSize;
    bool m_bSizeShortened = false;
};
