#pragma once

#include "CustomWizardWidget.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

// Base of the restore wizard's pages: the backup wizard's backgrounds, title
// bar and function buttons, a heading, a body the page fills, and a row of up
// to three buttons (a main one, a second one and an extra one on the left).
// Enter presses the main button, Escape the second one.
class RestorePage : public CustomWizardWidget
{
    Q_OBJECT
public:
    explicit RestorePage(QWidget *pParent = nullptr);
    ~RestorePage() override;

    QLabel *Heading() const { return m_pLabelHeading; }
    QPushButton *MainButton() const { return m_pBtnMain; }
    QPushButton *SecondButton() const { return m_pBtnSecond; }
    QPushButton *ExtraButton() const { return m_pBtnExtra; }
    // Clicks the main button when it can be pressed; false otherwise.
    Q_INVOKABLE bool PressMainButton();

protected:
    // The body's margin on the left and on the right.
    static constexpr int kBodyMargin = 48;

    void InitMembers() override;
    void InitButtons() override;
    void InitLayout() override;
    QWidget *FirstFocusWidget() const override;

    // The page's own controls, in reading order, go here.
    QVBoxLayout *Body() const { return m_pLayoutBody; }
    // Sets the heading and the page's accessible name.
    void SetHeading(const QString &strText);
    // A label of the page's body text style.
    QLabel *CreateBodyLabel(const QString &strObjectName);
    // Widens the buttons whose text is longer than the standard button holds.
    void FitButtons();

    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void showEvent(QShowEvent *pEvent) override;

private:
    QLabel *m_pLabelHeading = nullptr;
    QVBoxLayout *m_pLayoutBody = nullptr;
    QPushButton *m_pBtnMain = nullptr;
    QPushButton *m_pBtnSecond = nullptr;
    QPushButton *m_pBtnExtra = nullptr;
    int m_nButtonWidth = 0; // the standard function button's
};
