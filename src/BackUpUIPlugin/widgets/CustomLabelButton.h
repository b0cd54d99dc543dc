#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The fixed page header: an arrow, the plugin's icon and its title on a flat,
// disabled button, 276x72, mirrored for right-to-left languages.
class CustomLabelButton : public QWidget
{
    Q_OBJECT

public:
    explicit CustomLabelButton(QWidget *parent = nullptr);

private:
    QLabel *m_pArrowLabel = nullptr;
    QLabel *m_pButtonLabel = nullptr;
    QLabel *m_pTextLabel = nullptr;
    QPushButton *m_pButton = nullptr;
};
