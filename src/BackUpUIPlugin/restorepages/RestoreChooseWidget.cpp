#include "RestoreChooseWidget.h"

#include "BackupKinds.h"
#include "RestoreWizardTexts.h"

#include <host/Change.h>

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

RestoreChooseWidget::RestoreChooseWidget(QWidget *pParent) : RestorePage(pParent)
{
}

RestoreChooseWidget::~RestoreChooseWidget() = default;

void RestoreChooseWidget::InitMembers()
{
    RestorePage::InitMembers();
    m_pLabelFolder = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_Folder"));
    m_pBtnChange = new QPushButton(this);
    m_pBtnChange->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_ChangeButton"));
    m_pBtnChange->setAutoDefault(true);
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_BackupList"));
    m_pList->setWordWrap(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pLabelNote = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_Note"));
    m_pLabelNote->hide();

    QHBoxLayout *pFolderRow = new QHBoxLayout();
    pFolderRow->addWidget(m_pLabelFolder, 1);
    pFolderRow->addWidget(m_pBtnChange);
    Body()->addLayout(pFolderRow);
    Body()->addWidget(m_pList, 1);
    Body()->addWidget(m_pLabelNote);
    setTabOrder(m_pBtnChange, m_pList);
}

void RestoreChooseWidget::InitButtonText()
{
    SetHeading(Change::tr("IDS_RESTORE_CHOOSE_TITLE"));
    m_pBtnChange->setText(Change::tr("IDS_BACKUPUIPLUGIN_PREPARE_BROWSE"));
    m_pBtnChange->setAccessibleName(Change::tr("IDS_RESTORE_CHANGE_FOLDER_NAME"));
    m_pList->setAccessibleName(Change::tr("IDS_RESTORE_CHOOSE_TITLE"));
    MainButton()->setText(Change::tr("IDS_RESTORE_NEXT_BUTTON"));
    SecondButton()->setText(Change::tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"));
}

void RestoreChooseWidget::InitCons()
{
    connect(m_pBtnChange, &QPushButton::clicked, this, &RestoreChooseWidget::slotChangeFolder);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, &RestoreChooseWidget::slotSelectionChanged);
    connect(m_pList, &QListWidget::itemActivated, MainButton(), &QPushButton::click);
    connect(MainButton(), &QPushButton::clicked, this, [this]() {
        const int nRow = ChosenRow();
        if (nRow >= 0)
            emit signalChosen(m_listEntries.at(nRow));
    });
    connect(SecondButton(), &QPushButton::clicked, this, &RestoreChooseWidget::signalCancelled);
}

QWidget *RestoreChooseWidget::FirstFocusWidget() const
{
    // The newest backup that can be chosen is selected: the keyboard starts
    // on it, so that Enter goes on and the arrows choose another.
    return ChosenRow() >= 0 ? m_pList : RestorePage::FirstFocusWidget();
}

void RestoreChooseWidget::ShowFolder(const QString &strFolder, const QString &strPhoneSerial,
                                     const QString &strPreferred)
{
    m_strFolder = strFolder;
    m_strPhoneSerial = strPhoneSerial;
    m_listEntries = BackupCatalog::Scan(strFolder);
    // The path reads left to right inside a right-to-left sentence.
    QString strPath = QDir::toNativeSeparators(strFolder);
    if (Change::GetRightToLeftLayout())
        strPath = QChar(0x202A) + strPath + QChar(0x202C);
    m_pLabelFolder->setText(Change::tr("IDS_RESTORE_CHOOSE_FOLDER").replace(QLatin1String("%s"), strPath));
    m_pList->clear();
    int nPreferred = -1;
    for (const BackupCatalog::Entry &entry : m_listEntries) {
        QListWidgetItem *pItem = new QListWidgetItem(Describe(entry), m_pList);
        pItem->setToolTip(QDir::toNativeSeparators(entry.bInterrupted ? entry.strFolder : entry.strPackage));
        if (!entry.bSound)
            pItem->setFlags(pItem->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        else if (nPreferred < 0 || QFileInfo(entry.strPackage) == QFileInfo(strPreferred))
            nPreferred = m_pList->count() - 1;
    }
    if (m_listEntries.isEmpty())
        new QListWidgetItem(Change::tr("IDS_RESTORE_CHOOSE_NONE"), m_pList);
    if (nPreferred >= 0)
        m_pList->setCurrentRow(nPreferred);
    slotSelectionChanged();
}

int RestoreChooseWidget::ChosenRow() const
{
    const int nRow = m_pList->currentRow();
    if (nRow < 0 || nRow >= m_listEntries.size() || !m_listEntries.at(nRow).bSound
        || !m_pList->item(nRow)->isSelected())
        return -1;
    return nRow;
}

QString RestoreChooseWidget::CountsText(const BackupCatalog::Entry &entry)
{
    QStringList listCounts;
    for (const auto &count : entry.listCounts) {
        if (const BackupKind *pKind = BackupKinds::ByCode(count.first))
            listCounts << QStringLiteral("%1 %2").arg(count.second).arg(Change::tr(pKind->szNameKey));
    }
    // The language's own list separator: Arabic has its own comma.
    return listCounts.join(Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' '));
}

QString RestoreChooseWidget::Describe(const BackupCatalog::Entry &entry)
{
    const QString strDate = QLocale(Change::GetLangName()).toString(entry.dtMade, QLocale::ShortFormat);
    const QString strSize = RestoreWizardTexts::SizeText(entry.nBytes);
    if (entry.bInterrupted) {
        // Named by its folder: it has no package.
        return QStringLiteral("%1 · %2 · %3\n%4")
            .arg(QFileInfo(entry.strFolder).fileName(), strDate, strSize,
                 Change::tr("IDS_RESTORE_CHOOSE_INTERRUPTED")
                     .replace(QLatin1String("%s"), QString::number(entry.nKeptFiles)));
    }
    if (!entry.bSound) {
        return QStringLiteral("%1 · %2\n%3").arg(QFileInfo(entry.strPackage).fileName(), strDate,
                                                  Change::tr("IDS_RESTORE_CHOOSE_DAMAGED"));
    }
    return QStringLiteral("%1 · %2 · %3\n%4 · %5")
        .arg(entry.strDeviceName, strDate, strSize, CountsText(entry), Change::tr("IDS_RESTORE_CHOOSE_VERIFIED"));
}

void RestoreChooseWidget::slotChangeFolder()
{
    const QString strFolder = QFileDialog::getExistingDirectory(this, Change::tr("IDS_RESTORE_CHANGE_FOLDER_NAME"),
                                                                m_strFolder);
    if (!strFolder.isEmpty())
        ShowFolder(strFolder, m_strPhoneSerial);
}

void RestoreChooseWidget::slotSelectionChanged()
{
    const int nRow = ChosenRow();
    MainButton()->setEnabled(nRow >= 0);
    const bool bOtherPhone = nRow >= 0 && !m_strPhoneSerial.isEmpty() && !m_listEntries.at(nRow).strSerial.isEmpty()
                             && m_listEntries.at(nRow).strSerial != m_strPhoneSerial;
    if (bOtherPhone) {
        m_pLabelNote->setText(Change::tr("IDS_RESTORE_CHOOSE_OTHER_PHONE")
                                  .replace(QLatin1String("%s"), m_listEntries.at(nRow).strDeviceName));
    }
    m_pLabelNote->setVisible(bOtherPhone);
}
