#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The fixed page header: an arrow, the plugin's icon and its title on a flat,
// disabled button, 276x72, mirrored for right-to-left languages. Below the
// title it names the phone the wizard works with, once there is one.
class CustomLabelButton : public QWidget
{
    Q_OBJECT

public:
    explicit CustomLabelButton(QWidget *parent = nullptr);

    // The phone's line (model and serial); empty hides it. A line too long
    // for the header is shortened, with the whole of it as tooltip.
    void SetPhoneText(const QString &strText);
    QString GetPhoneText() const { return m_strPhone; }
    QLabel *GetPhoneLabel() const { return m_pPhoneLabel; }

private:
    QLabel *m_pArrowLabel = nullptr;
    QLabel *m_pButtonLabel = nullptr;
    QLabel *m_pTextLabel = nullptr;
    QLabel *m_pPhoneLabel = nullptr;
    QPushButton *m_pButton = nullptr;
    QString m_strPhone;
};
