#pragma once

#include "HostExport.h"

#include <QWidget>

class QLabel;

// A plain title bar with a caption; dragging it moves the top-level window.
class HOSTCORE_EXPORT TitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *pParent = nullptr);
    void SetTitle(const QString &strTitle);
    QString GetTitle() const;

private:
    QLabel *m_pLabelTitle = nullptr;
};
