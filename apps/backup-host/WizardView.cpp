#include "WizardView.h"

#include <host/Change.h>
#include <host/CustomPopupDialog.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace
{
const char *const kButtonName = "CommonUI_Function_Btn";
const char *const kTilePrefix = "BackUpUIPlugin_BigButton_";
} // namespace

WizardView::WizardView(QWidget *pWindow) : m_pWindow(pWindow)
{
}

QWidget *WizardView::FindPage(const char *szClassName) const
{
    if (!m_pWindow)
        return nullptr;
    const QList<QWidget *> listChildren = m_pWindow->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *pChild : listChildren) {
        if (pChild->inherits(szClassName))
            return pChild;
    }
    return nullptr;
}

QWidget *WizardView::PreparePage() const
{
    return FindPage("PrepareWizardWidget");
}

QWidget *WizardView::ProgressPage() const
{
    return FindPage("DoingWizardWidget");
}

QWidget *WizardView::ResultPage() const
{
    return FindPage("CompleteWizardWidget");
}

QWidget *WizardView::ConnectPage() const
{
    return FindPage("ConnectWizardWidget");
}

QString WizardView::ConnectState() const
{
    QWidget *pPage = ConnectPage();
    if (!pPage || !pPage->isVisible())
        return QString();
    return pPage->property("stateText").toString();
}

QWidget *WizardView::CurrentPage() const
{
    if (!m_pWindow || !m_pWindow->isVisible())
        return nullptr;
    for (QWidget *pPage : {ResultPage(), ProgressPage(), PreparePage(), ConnectPage()}) {
        if (pPage && pPage->isVisible())
            return pPage;
    }
    return nullptr;
}

bool WizardView::IsCountingDone() const
{
    QWidget *pPage = PreparePage();
    if (!pPage || !pPage->isVisible())
        return false;
    QWidget *pWaiting = pPage->findChild<QWidget *>(QStringLiteral("BackUpUIPlugin_Prepare_BgWaiting"));
    return pWaiting && !pWaiting->isVisible();
}

QList<WizardView::Tile> WizardView::Tiles() const
{
    QList<Tile> listTiles;
    QWidget *pPage = PreparePage();
    if (!pPage)
        return listTiles;
    const QList<QWidget *> listChildren = pPage->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *pTile : listChildren) {
        if (!pTile->inherits("CheckBigButton"))
            continue;
        Tile tile;
        // The content label moves between the three look frames; it is named
        // after the item ("BackUpUIPlugin_BigButton_<word>Frame").
        const QList<QLabel *> listLabels = pTile->findChildren<QLabel *>();
        for (QLabel *pLabel : listLabels) {
            const QString strName = pLabel->objectName();
            if (!strName.startsWith(QLatin1String(kTilePrefix)))
                continue;
            const QString strRest = strName.mid(int(qstrlen(kTilePrefix)));
            if (strRest.endsWith(QLatin1String("Frame")) && !strRest.contains(QLatin1Char('_')))
                tile.strWord = strRest.chopped(5);
            else if (strRest.endsWith(QLatin1String("_Title")))
                tile.strTitle = PlainText(pLabel);
            else if (strRest.endsWith(QLatin1String("_Num")))
                tile.strCount = PlainText(pLabel);
        }
        if (tile.strWord.isEmpty())
            continue;
        const QList<QPushButton *> listFrames = pTile->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
        for (QPushButton *pFrame : listFrames) {
            if (pFrame->objectName().endsWith(QLatin1String("CheckFrame")) && pFrame->isVisibleTo(pTile))
                tile.bChecked = true;
        }
        tile.bEnabled = pTile->isEnabled();
        listTiles << tile;
    }
    return listTiles;
}

bool WizardView::SetTileChecked(const QString &strWord, bool bChecked)
{
    QWidget *pPage = PreparePage();
    if (!pPage)
        return false;
    const QString strContent = QLatin1String(kTilePrefix) + strWord + QLatin1String("Frame");
    const QList<QWidget *> listChildren = pPage->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *pTile : listChildren) {
        if (!pTile->inherits("CheckBigButton") || !pTile->findChild<QLabel *>(strContent))
            continue;
        if (!pTile->isEnabled())
            return false;
        // The user clicks the look frame that is showing.
        QPushButton *pShown = nullptr;
        bool bIsChecked = false;
        const QList<QPushButton *> listFrames = pTile->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
        for (QPushButton *pFrame : listFrames) {
            if (!pFrame->isVisibleTo(pTile))
                continue;
            pShown = pFrame;
            bIsChecked = pFrame->objectName().endsWith(QLatin1String("CheckFrame"));
        }
        if (!pShown)
            return false;
        if (bIsChecked != bChecked)
            pShown->click();
        return true;
    }
    return false;
}

QString WizardView::Destination() const
{
    QWidget *pPage = PreparePage();
    const QLabel *pLabel = pPage ? pPage->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Prepare_DstPathLabel")) : nullptr;
    if (!pLabel)
        return QString();
    // Long paths are cut on the label; the tool tip holds the whole path.
    return pLabel->toolTip().isEmpty() ? pLabel->text() : pLabel->toolTip();
}

QString WizardView::SpaceWarning() const
{
    QWidget *pPage = PreparePage();
    const QLabel *pLabel =
        pPage ? pPage->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Prepare_DiskSpaceStatusLabel")) : nullptr;
    return pLabel && pLabel->isVisible() ? PlainText(pLabel) : QString();
}

QPushButton *WizardView::FindButton(QWidget *pPage, const QString &strObjectName, const QString &strText)
{
    if (!pPage)
        return nullptr;
    const QList<QPushButton *> listButtons = pPage->findChildren<QPushButton *>(strObjectName, Qt::FindDirectChildrenOnly);
    for (QPushButton *pButton : listButtons) {
        if (strText.isEmpty() || pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}

QPushButton *WizardView::NextButton() const
{
    return FindButton(PreparePage(), QLatin1String(kButtonName), Change::tr("IDS_BACKUPUIPLUGIN_NEXTBUTTON"));
}

QPushButton *WizardView::BrowseButton() const
{
    return FindButton(PreparePage(), QStringLiteral("BackUpUIPlugin_Prepare_BrowseButton"));
}

QPushButton *WizardView::ProgressCancelButton() const
{
    return FindButton(ProgressPage(), QLatin1String(kButtonName));
}

QPushButton *WizardView::FinishButton() const
{
    return FindButton(ResultPage(), QLatin1String(kButtonName));
}

CustomPopupDialog *WizardView::CancelDialog() const
{
    QWidget *pPage = ProgressPage();
    if (!pPage)
        return nullptr;
    const QList<CustomPopupDialog *> listDialogs = pPage->findChildren<CustomPopupDialog *>();
    for (CustomPopupDialog *pDialog : listDialogs) {
        if (pDialog->isVisible())
            return pDialog;
    }
    return nullptr;
}

int WizardView::ProgressPercent() const
{
    QWidget *pPage = ProgressPage();
    const QLabel *pLabel = pPage ? pPage->findChild<QLabel *>(QStringLiteral("UpdateUIPlugin_Doing_ProgressValue")) : nullptr;
    if (!pLabel)
        return -1;
    QString strText = pLabel->text().trimmed();
    strText.remove(QLatin1Char('%'));
    bool bOk = false;
    const int nPercent = strText.toInt(&bOk);
    return bOk ? nPercent : -1;
}

QString WizardView::ProgressTip() const
{
    QWidget *pPage = ProgressPage();
    const QLabel *pLabel = pPage ? pPage->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Doing_TipText")) : nullptr;
    return pLabel ? PlainText(pLabel) : QString();
}

QStringList WizardView::ResultTexts() const
{
    QStringList listTexts;
    QWidget *pPage = ResultPage();
    if (!pPage)
        return listTexts;
    QList<QLabel *> listLabels = pPage->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(listLabels.begin(), listLabels.end(),
                     [](const QLabel *pA, const QLabel *pB) { return pA->y() < pB->y(); });
    for (const QLabel *pLabel : listLabels) {
        if (!pLabel->isVisibleTo(pPage))
            continue;
        const QString strText = PlainText(pLabel).trimmed();
        if (!strText.isEmpty())
            listTexts << strText;
    }
    return listTexts;
}

QString WizardView::PlainText(const QLabel *pLabel)
{
    if (!pLabel)
        return QString();
    const QString strText = pLabel->text();
    if (pLabel->textFormat() == Qt::PlainText || !Qt::mightBeRichText(strText))
        return strText;
    QTextDocument document;
    document.setHtml(strText);
    return document.toPlainText();
}

bool WizardView::Browse(const QString &strFolder)
{
    QPushButton *pBrowse = BrowseButton();
    if (!pBrowse)
        return false;
    bool bSeen = false;
    // The dialog runs its own loop; it is answered from inside that loop.
    QTimer::singleShot(0, qApp, [&bSeen, strFolder]() {
        const QList<QWidget *> listWindows = QApplication::topLevelWidgets();
        for (QWidget *pWindow : listWindows) {
            auto *pDialog = qobject_cast<QFileDialog *>(pWindow);
            // A native dialog leaves the widget hidden; accepting it still works.
            if (!pDialog)
                continue;
            bSeen = true;
            pDialog->setDirectory(strFolder);
            static_cast<QDialog *>(pDialog)->accept();
            return;
        }
    });
    pBrowse->click();
    return bSeen;
}
