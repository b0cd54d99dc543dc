#include "RestoreItemsWidget.h"

#include "BackupKinds.h"
#include "RestoreWizardTexts.h"

#include <host/Change.h>

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr int kColumns = 2;
}

RestoreItemsWidget::RestoreItemsWidget(QWidget *pParent) : RestorePage(pParent)
{
}

RestoreItemsWidget::~RestoreItemsWidget() = default;

void RestoreItemsWidget::InitMembers()
{
    RestorePage::InitMembers();
    m_pLabelState = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_State"));
    m_pGrid = new QGridLayout();
    m_pGrid->setHorizontalSpacing(24);
    m_pGrid->setVerticalSpacing(12);
    Body()->addWidget(m_pLabelState);
    Body()->addLayout(m_pGrid);
    Body()->addStretch();
}

void RestoreItemsWidget::InitButtonText()
{
    SetHeading(Change::tr("IDS_RESTORE_ITEMS_TITLE"));
    MainButton()->setText(Change::tr("IDS_RESTORE_START_BUTTON"));
    SecondButton()->setText(Change::tr("IDS_RESTORE_BACK_BUTTON"));
}

void RestoreItemsWidget::InitCons()
{
    connect(MainButton(), &QPushButton::clicked, this, [this]() { emit signalStart(CheckedCodes()); });
    connect(SecondButton(), &QPushButton::clicked, this, &RestoreItemsWidget::signalBack);
}

void RestoreItemsWidget::ClearBoxes()
{
    qDeleteAll(m_listBoxes);
    m_listBoxes.clear();
    m_listCodes.clear();
}

void RestoreItemsWidget::ShowReading(const QString &strBackupName)
{
    ClearBoxes();
    m_pLabelState->setText(Change::tr("IDS_RESTORE_ITEMS_READING").replace(QLatin1String("%s"), strBackupName));
    UpdateStart();
}

QString RestoreItemsWidget::KindText(const RestorePlan::Kind &kind)
{
    const QString strName = RestoreWizardTexts::KindName(kind.nCode);
    if (kind.action == RestorePlan::Action::NotRestorable || kind.action == RestorePlan::Action::Fails)
        return Change::tr("IDS_RESTORE_ITEMS_NOT_RESTORABLE")
            .arg(strName, RestoreWizardTexts::Reason(kind.strWhy));
    const int nThere = kind.CountOf(RestorePlan::Action::AlreadyThere);
    if (nThere > 0)
        return Change::tr("IDS_RESTORE_ITEMS_COUNT_THERE").arg(strName).arg(kind.nBackedUp).arg(nThere);
    return Change::tr("IDS_RESTORE_ITEMS_COUNT").arg(strName).arg(kind.nBackedUp);
}

void RestoreItemsWidget::ShowPlan(const RestorePlan &plan)
{
    ClearBoxes();
    m_pLabelState->setText(Change::tr("IDS_RESTORE_ITEMS_FROM").replace(QLatin1String("%s"), plan.strDeviceName));
    QWidget *pPrevious = m_pLabelState;
    for (const RestorePlan::Kind &kind : plan.kinds) {
        if (kind.nBackedUp == 0 && kind.action == RestorePlan::Action::NotRestorable)
            continue; // the backup holds nothing of it
        const bool bRestorable = kind.action != RestorePlan::Action::NotRestorable
                                 && kind.action != RestorePlan::Action::Fails;
        QCheckBox *pBox = new QCheckBox(KindText(kind), this);
        pBox->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_Kind_%1").arg(kind.nCode));
        pBox->setChecked(bRestorable);
        pBox->setEnabled(bRestorable);
        pBox->setAccessibleName(pBox->text());
        connect(pBox, &QCheckBox::toggled, this, &RestoreItemsWidget::UpdateStart);
        setTabOrder(pPrevious, pBox);
        pPrevious = pBox;
        pBox->show();
        m_listBoxes.append(pBox);
        m_listCodes.append(kind.nCode);
    }
    PlaceBoxes();
    setTabOrder(pPrevious, MainButton());
    UpdateStart();
}

void RestoreItemsWidget::PlaceBoxes()
{
    // Two columns; a box whose text is wider than a column (a long reason,
    // or a long language) takes a row of its own rather than being cut.
    const int nColumnWidth = (kPageWidth - 2 * kBodyMargin - m_pGrid->horizontalSpacing()) / kColumns;
    for (QCheckBox *pBox : qAsConst(m_listBoxes))
        m_pGrid->removeWidget(pBox);
    int nRow = 0;
    int nColumn = 0;
    for (QCheckBox *pBox : qAsConst(m_listBoxes)) {
        pBox->ensurePolished();
        const bool bWide = pBox->sizeHint().width() > nColumnWidth;
        if (bWide && nColumn > 0) {
            ++nRow;
            nColumn = 0;
        }
        m_pGrid->addWidget(pBox, nRow, nColumn, 1, bWide ? kColumns : 1);
        nColumn += bWide ? kColumns : 1;
        if (nColumn >= kColumns) {
            ++nRow;
            nColumn = 0;
        }
    }
}

bool RestoreItemsWidget::event(QEvent *pEvent)
{
    // The skin's font decides which boxes need a row of their own.
    if (pEvent->type() == QEvent::StyleChange || pEvent->type() == QEvent::FontChange)
        PlaceBoxes();
    return RestorePage::event(pEvent);
}

QList<int> RestoreItemsWidget::CheckedCodes() const
{
    QList<int> listCodes;
    for (int i = 0; i < m_listBoxes.size(); ++i) {
        if (m_listBoxes.at(i)->isEnabled() && m_listBoxes.at(i)->isChecked())
            listCodes.append(m_listCodes.at(i));
    }
    return listCodes;
}

int RestoreItemsWidget::CheckOnlyTiles(const QStringList &listNames)
{
    for (int i = 0; i < m_listBoxes.size(); ++i) {
        const BackupKind *pKind = BackupKinds::ByCode(m_listCodes.at(i));
        const BackupTile *pTile = pKind ? BackupKinds::Tile(pKind->nTileId) : nullptr;
        const bool bNamed = listNames.contains(QStringLiteral("all"))
                            || (pTile && listNames.contains(QLatin1String(pTile->szToolName)));
        m_listBoxes.at(i)->setChecked(bNamed && m_listBoxes.at(i)->isEnabled());
    }
    UpdateStart();
    return CheckedCodes().size();
}

void RestoreItemsWidget::CheckOnlyCodes(const QList<int> &listCodes)
{
    for (int i = 0; i < m_listBoxes.size(); ++i)
        m_listBoxes.at(i)->setChecked(m_listBoxes.at(i)->isEnabled() && listCodes.contains(m_listCodes.at(i)));
    UpdateStart();
}

void RestoreItemsWidget::UpdateStart()
{
    MainButton()->setEnabled(!CheckedCodes().isEmpty());
}
