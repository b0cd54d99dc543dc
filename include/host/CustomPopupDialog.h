#pragma once

#include "HostExport.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The host's modal confirmation. Button type 2 shows OK and Cancel; type 1
// shows OK only. A click emits the matching signal and closes the dialog.
class HOSTCORE_EXPORT CustomPopupDialog : public QWidget
{
    Q_OBJECT
public:
    CustomPopupDialog(QWidget *pParent, const QString &strText, int nButtonType);

    QString GetText() const;
    QPushButton *GetOkButton() const;
    QPushButton *GetCancelButton() const;

signals:
    void signalOnClickOkEvent();
    void signalOnClickCancelEvent();

private:
    QLabel *m_pLabelText = nullptr;
    QPushButton *m_pBtnOk = nullptr;
    QPushButton *m_pBtnCancel = nullptr;
};
