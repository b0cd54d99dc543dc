#pragma once

#include "IBasePlugin.h"

#include <QRect>
#include <QString>

class QWidget;

class IUIPlugin : public IBasePlugin
{
public:
    virtual bool ShowWindow(QWidget *pParent, QRect &rect) = 0;
    virtual qint32 Reserved6() { return 0; }
    virtual void HideWindow() = 0;
    virtual void FitSize(QRect &rect) = 0;
    virtual qint32 Reserved7() { return 0; }
    virtual bool CheckArgument(QString &strArg) = 0;
    virtual QWidget *GetWidget() = 0;
    virtual void Default1() {}
    virtual qint32 Default2() { return 0; }
    virtual void Default3() {}
    virtual void Default4() {}
    virtual void Default5() {}
    virtual void Default6() {}
    virtual void Default7() {}
    virtual bool MoveWindow(QWidget *pParent, QRect &rect) = 0;
    virtual void Default8() {}
};

#define IUIPlugin_iid "com.orbeni.corvanda.plugin.IUIPlugin"
Q_DECLARE_INTERFACE(IUIPlugin, IUIPlugin_iid)
