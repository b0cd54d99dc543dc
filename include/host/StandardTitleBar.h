#pragma once

#include "HostExport.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QPushButton;

// The host's standard title bar: setting, minimise and close buttons; dragging
// it moves the top-level window. The effect widget (the home plugin's window
// shadow) is kept, not owned, and placed at the effect rectangle, which is in
// the coordinates of the top-level window. InitLayout places the title bar at
// its rectangle and the visible buttons at its right end (left end for a
// right-to-left language), close outermost.
class HOSTCORE_EXPORT StandardTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit StandardTitleBar(QWidget *pParent = nullptr);
    ~StandardTitleBar() override;

    void SetBtnMinimizeHide(bool bHide);
    void SetBtnCloseHide(bool bHide);
    void SetBtnSettingHide(bool bHide);
    void SetTitleBarRect(const QRect &rect);
    void SetEffectWidgetRect(const QRect &rect);
    void SetEffectWidgetPoint(QWidget *pEffectWidget);
    void SetBtnSettingObjectName(const QString &strName);
    void SetBtnCloseObjectName(const QString &strName);
    void SetBtnMinimizeObjectName(const QString &strName);
    void InitLayout();

    QRect GetTitleBarRect() const;
    QRect GetEffectWidgetRect() const;
    QWidget *GetEffectWidget() const;
    QPushButton *GetBtnSetting() const;
    QPushButton *GetBtnMinimize() const;
    QPushButton *GetBtnClose() const;

    static constexpr int kButtonSize = 30;
    static constexpr int kButtonMargin = 12;
    static constexpr int kButtonSpacing = 4;

signals:
    void signalSettingClicked();
    void signalMinimizeClicked();
    void signalCloseClicked();

protected:
    void showEvent(QShowEvent *pEvent) override;

private slots:
    void slotSettingClicked();
    void slotMinimizeClicked();
    void slotCloseClicked();

private:
    void PlaceEffectWidget();

    QPushButton *m_pBtnSetting = nullptr;
    QPushButton *m_pBtnMinimize = nullptr;
    QPushButton *m_pBtnClose = nullptr;
    QPointer<QWidget> m_pEffectWidget;
    QRect m_rectTitleBar;
    QRect m_rectEffect;
};
