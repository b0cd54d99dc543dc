#pragma once

// Helpers shared by the page and manager tests: the host language for the
// widgets built while a scope lives, the skin, pictures, and a wizard of
// stand-in host, progress page and result page.

#include "BackUpUIBBMgr.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "TestEnv.h"

#include <HostStandIns.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <memory>

class LangScope
{
public:
    // The application's direction follows the language as the host sets it:
    // text is drawn in that direction (an ellipsis after Arabic text, say).
    explicit LangScope(const QString &strLang)
        : m_bHad(qEnvironmentVariableIsSet("PELORIX_HOST_LANG")), m_baOld(qgetenv("PELORIX_HOST_LANG")),
          m_oldDirection(QGuiApplication::layoutDirection())
    {
        qputenv("PELORIX_HOST_LANG", strLang.toUtf8());
        QGuiApplication::setLayoutDirection(strLang == QLatin1String("ar") ? Qt::RightToLeft : Qt::LeftToRight);
    }
    ~LangScope()
    {
        if (m_bHad)
            qputenv("PELORIX_HOST_LANG", m_baOld);
        else
            qunsetenv("PELORIX_HOST_LANG");
        QGuiApplication::setLayoutDirection(m_oldDirection);
    }

private:
    const bool m_bHad;
    const QByteArray m_baOld;
    const Qt::LayoutDirection m_oldDirection;
};

// The host's style sheet, with "./skin/..." resolved against the stage.
inline void ApplySkin()
{
    QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR));
    QFile file(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    if (file.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

// Saved as "<name>.png", or "<name>@2x.png" on a screen of twice the density.
inline bool SavePicture(QWidget *pWidget, const QString &strName)
{
    QCoreApplication::processEvents();
    const QString strSuffix = pWidget->devicePixelRatio() > 1.0 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    const bool bSaved = pWidget->grab().save(QDir(TestEnv::OutputDir()).filePath(strName + strSuffix));
    qApp->setStyleSheet(QString());
    return bSaved;
}

// The main window stand-in with the host's other plugins, the outside backup
// manager and the wizard's pages: an optional first page, then the progress
// and the result page, linked as the main window links them.
struct Wizard
{
    std::unique_ptr<QWidget> pFrame;
    std::unique_ptr<HostStandIns> pStandIns;
    CustomWizardWidget *pFirst = nullptr;
    DoingWizardWidget *pDoing = nullptr;
    CompleteWizardWidget *pResult = nullptr;

    // pMakeFirst creates the first page with the frame as parent (or null).
    template <typename MakeFirst> void Build(const QString &strLang, MakeFirst makeFirst)
    {
        LangScope lang(strLang);
        pFrame = std::make_unique<QWidget>();
        pFrame->setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
        pFrame->setFixedSize(896, 640);
        pStandIns = std::make_unique<HostStandIns>();
        pStandIns->Install(pFrame.get());
        BackUpUIBBMgr::GetInstance();
        pFirst = makeFirst(pFrame.get());
        pDoing = new DoingWizardWidget(pFrame.get());
        pResult = new CompleteWizardWidget(pFrame.get());
        for (CustomWizardWidget *pPage : {pFirst, static_cast<CustomWizardWidget *>(pDoing),
                                          static_cast<CustomWizardWidget *>(pResult)}) {
            if (pPage) {
                pPage->InitPage();
                pPage->hide();
            }
        }
        if (pFirst)
            pFirst->SetNeighbourPages(nullptr, pDoing);
        pDoing->SetNeighbourPages(pFirst, pResult);
        pResult->SetNeighbourPages(pDoing, nullptr);
        pFrame->show();
    }

    void Reset()
    {
        pFrame.reset();
        pStandIns.reset();
        BackUpUIBBMgr::DestroyInstance();
    }
};
