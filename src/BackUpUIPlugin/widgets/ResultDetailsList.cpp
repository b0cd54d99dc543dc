#include "ResultDetailsList.h"

#include <QFont>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr int kListWidth = 400;
constexpr int kListHeight = 120;
} // namespace

ResultDetailsList::ResultDetailsList(QWidget *pParent) : QWidget(pParent)
{
    m_pButton = new QPushButton(this);
    m_pButton->setObjectName(QStringLiteral("BackUpUIPlugin_ResultDetails_Button"));
    m_pButton->setCheckable(true);
    m_pButton->setAutoDefault(true);
    m_pButton->setFixedHeight(26);
    m_pButton->setMinimumWidth(116);

    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("BackUpUIPlugin_ResultDetails_List"));
    m_pList->setFixedSize(kListWidth, kListHeight);
    m_pList->setFocusPolicy(Qt::StrongFocus);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pList->setTextElideMode(Qt::ElideMiddle);
    m_pList->hide();

    QVBoxLayout *pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(6);
    pLayout->addWidget(m_pButton, 0, Qt::AlignLeading);
    pLayout->addWidget(m_pList, 0, Qt::AlignLeading);

    setFocusProxy(m_pButton);
    QWidget::setTabOrder(m_pButton, m_pList);
    connect(m_pButton, &QPushButton::clicked, this, &ResultDetailsList::slotToggle);
    hide();
}

void ResultDetailsList::SetTexts(const QString &strShow, const QString &strHide, const QString &strListName)
{
    m_strShow = strShow;
    m_strHide = strHide;
    m_pList->setAccessibleName(strListName);
    UpdateButtonText();
}

void ResultDetailsList::SetGroups(const QList<Group> &listGroups)
{
    m_pList->clear();
    const bool bRightToLeft = layoutDirection() == Qt::RightToLeft;
    for (const Group &group : listGroups) {
        if (group.listLines.isEmpty())
            continue;
        QListWidgetItem *pHeading = new QListWidgetItem(group.strTitle, m_pList);
        QFont font = pHeading->font();
        font.setBold(true);
        pHeading->setFont(font);
        // A heading is read, not chosen.
        pHeading->setFlags(Qt::ItemIsEnabled);
        for (const QString &strLine : group.listLines) {
            // A path reads left to right also in a right-to-left list.
            const QString strShown = bRightToLeft ? QChar(0x202A) + strLine + QChar(0x202C) : strLine;
            QListWidgetItem *pItem = new QListWidgetItem(strShown, m_pList);
            pItem->setData(Qt::AccessibleTextRole, strLine);
            pItem->setToolTip(strLine);
        }
    }
    for (int i = 0; i < m_pList->count(); ++i) {
        if (m_pList->item(i)->flags() & Qt::ItemIsSelectable) {
            m_pList->setCurrentRow(i, QItemSelectionModel::NoUpdate);
            break;
        }
    }
    SetExpanded(false);
    setVisible(m_pList->count() > 0);
}

void ResultDetailsList::SetExpanded(bool bExpanded)
{
    const bool bChanged = bExpanded != m_bExpanded;
    m_bExpanded = bExpanded;
    m_pButton->setChecked(bExpanded);
    m_pList->setVisible(bExpanded);
    UpdateButtonText();
    if (bChanged)
        emit signalExpandedChanged(bExpanded);
}

void ResultDetailsList::slotToggle()
{
    SetExpanded(!m_bExpanded);
    if (m_bExpanded)
        m_pList->setFocus(Qt::TabFocusReason);
}

void ResultDetailsList::UpdateButtonText()
{
    m_pButton->setText(m_bExpanded ? m_strHide : m_strShow);
}

QStringList ResultDetailsList::Lines() const
{
    QStringList listLines;
    for (int i = 0; i < m_pList->count(); ++i) {
        const QVariant accessible = m_pList->item(i)->data(Qt::AccessibleTextRole);
        listLines << (accessible.isValid() ? accessible.toString() : m_pList->item(i)->text());
    }
    return listLines;
}
