#pragma once

#include <QRect>
#include <QWidget>

class QFrame;
class QKeyEvent;
class QPushButton;
class StandardTitleBar;

// Base of the wizard pages. A page is built once by InitPage, which runs the
// build steps in a fixed order; InitialShow runs every time just before the
// page is shown. Pages are linked to their neighbours and move between each
// other only through DoNext, DoBack, DoCancel and ShowPage. From the
// keyboard, Enter presses the page's main button and Escape its cancel
// button.
class CustomWizardWidget : public QWidget
{
    Q_OBJECT
public:
    // The page size and the title bar's height.
    static constexpr int kPageWidth = 896;
    static constexpr int kPageHeight = 640;
    static constexpr int kTitleBarHeight = 48;

    explicit CustomWizardWidget(QWidget *pParent = nullptr);
    ~CustomWizardWidget() override;

    // Runs InitWindow, InitMembers, InitTitleBar, InitButtons,
    // InitButtonText, InitObjectName, InitLayout and InitCons in this order.
    void InitPage();
    // InitialShow, then shows the page and gives it the keyboard focus.
    void ShowPage();
    // Puts the keyboard focus where the page wants it first.
    void FocusFirst();
    void SetNeighbourPages(CustomWizardWidget *pPrevious, CustomWizardWidget *pNext);

    QWidget *GetFrame() const { return m_pFrame; }

    // The rectangle of the title bar's effect widget: the host frame's
    // rectangle grown by 5 pixels on each side when the host has a layout
    // object, else the fixed 19, 17, 896 x 640.
    static QRect EffectRect();

public slots:
    virtual void DoNext();
    virtual void DoBack();
    virtual void DoCancel();

protected:
    virtual void InitWindow();
    virtual void InitMembers();
    virtual void InitTitleBar();
    virtual void InitButtons();
    virtual void InitButtonText();
    virtual void InitObjectName();
    virtual void InitLayout();
    virtual void InitCons();
    virtual void InitialShow();
    // Where the keyboard focus goes when the page is shown: the page itself
    // (Enter and Escape work at once, Tab leads to the first control).
    virtual QWidget *FirstFocusWidget() const;

    // Enter (Return) clicks pEnter, Escape clicks pEscape, when the button is
    // visible and enabled; either may be null. A focused push button takes
    // Enter itself.
    void SetKeyButtons(QPushButton *pEnter, QPushButton *pEscape);
    void keyPressEvent(QKeyEvent *pEvent) override;

    // A frame of the page's background at rect, drawn by the style sheet
    // under its object name, above the frames made before it.
    QFrame *CreateBackground(const QString &strName, const QRect &rect);
    // The background frames of a page that keeps no pointer to them: the
    // three layers of the page and the status bar with its line.
    void CreatePageBackgrounds();
    // A function button (next, cancel, finish) of the wizard's button size.
    QPushButton *CreateFunctionButton();

    CustomWizardWidget *m_pNextPage = nullptr;
    CustomWizardWidget *m_pPreviousPage = nullptr;
    QWidget *m_pFrame = nullptr;
    StandardTitleBar *m_pTitleBar = nullptr;
    QPushButton *m_pEnterButton = nullptr;
    QPushButton *m_pEscapeButton = nullptr;
};
