#pragma once

#include "HostExport.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The host's modal confirmation. Button type 2 shows OK and Cancel; type 1
// shows OK only (any other type shows both, so the user can always answer).
// It is a frameless window-modal window centred over its parent's window; the
// caller show()s it and reacts to the signals, nothing blocks. A click (or
// Return / Escape) emits the matching signal and hides the dialog; the parent
// owns and deletes it. Return presses the focused button, else the default
// one (OK unless SetCancelDefault was called); Escape answers Cancel.
class HOSTCORE_EXPORT CustomPopupDialog : public QWidget
{
    Q_OBJECT
public:
    CustomPopupDialog(QWidget *pParent, const QString &strText, int nButtonType);

    QString GetText() const;
    QPushButton *GetOkButton() const;
    QPushButton *GetCancelButton() const;
    int GetButtonType() const;
    // Replaces the texts "OK" and "Cancel" with ones that name the actions.
    void SetButtonTexts(const QString &strOk, const QString &strCancel);
    // Makes Cancel the default button and gives it the focus, for questions
    // whose OK cannot be undone.
    void SetCancelDefault();

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 200;

signals:
    void signalOnClickOkEvent();
    void signalOnClickCancelEvent();

protected:
    void keyPressEvent(QKeyEvent *pEvent) override;
    void showEvent(QShowEvent *pEvent) override;

private slots:
    void slotOkClicked();
    void slotCancelClicked();

private:
    void CentreOverParent();

    const int m_nButtonType;
    QLabel *m_pLabelText = nullptr;
    QPushButton *m_pBtnOk = nullptr;
    QPushButton *m_pBtnCancel = nullptr;
};
