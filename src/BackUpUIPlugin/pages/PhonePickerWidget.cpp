#include "PhonePickerWidget.h"

#include "PhoneTexts.h"

#include <host/Change.h>

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace
{
constexpr int kRowHeight = 36;
} // namespace

PhonePickerWidget::PhonePickerWidget(QWidget *pParent) : QWidget(pParent)
{
    setObjectName(QStringLiteral("BackUpUIPlugin_Picker"));
    m_pLabelDescription = new QLabel(Change::tr("IDS_BACKUPUIPLUGIN_PICKER_DESCRIPTION_TEXT"), this);
    m_pLabelDescription->setObjectName(QStringLiteral("BackUpUIPlugin_Picker_DescriptionLabel"));
    m_pLabelDescription->setWordWrap(true);

    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("BackUpUIPlugin_Picker_List"));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setUniformItemSizes(true);
    m_pList->setWordWrap(false);
    m_pList->setTextElideMode(Qt::ElideMiddle);
    m_pList->setAccessibleName(Change::tr("IDS_BACKUPUIPLUGIN_PICKER_DESCRIPTION_TEXT"));
    // Tab leaves the list; the arrow keys move inside it.
    m_pList->setTabKeyNavigation(false);
    m_pLabelDescription->setBuddy(m_pList);

    auto *pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(10);
    pLayout->addWidget(m_pLabelDescription);
    pLayout->addWidget(m_pList, 1);
    if (Change::GetRightToLeftLayout())
        setLayoutDirection(Qt::RightToLeft);
    setFocusProxy(m_pList);

    connect(m_pList, &QListWidget::itemActivated, this, &PhonePickerWidget::OnActivated);
}

PhonePickerWidget::~PhonePickerWidget() = default;

void PhonePickerWidget::SetPhones(const PhoneList &list)
{
    PhoneList::Phone chosen;
    const bool bHadChoice = ChosenPhone(chosen);
    m_listPhones = list.Phones();
    m_pList->clear();
    for (const PhoneList::Phone &phone : std::as_const(m_listPhones)) {
        auto *pItem = new QListWidgetItem(PhoneTexts::PickerRow(phone), m_pList);
        pItem->setSizeHint(QSize(0, kRowHeight));
        pItem->setToolTip(pItem->text());
        // A phone that cannot be used is shown, never chosen.
        if (!phone.IsReady())
            pItem->setFlags(Qt::NoItemFlags);
    }
    if (!(bHadChoice && Choose(chosen.strSerial))) {
        const QList<PhoneList::Phone> listUsable = list.Usable();
        if (!listUsable.isEmpty())
            Choose(listUsable.constFirst().strSerial);
    }
}

bool PhonePickerWidget::Choose(const QString &strSerial)
{
    for (int i = 0; i < m_listPhones.size(); ++i) {
        if (m_listPhones.at(i).strSerial == strSerial && m_listPhones.at(i).IsReady()) {
            m_pList->setCurrentRow(i);
            return true;
        }
    }
    return false;
}

bool PhonePickerWidget::ChosenPhone(PhoneList::Phone &phone) const
{
    const int nRow = m_pList ? m_pList->currentRow() : -1;
    if (nRow < 0 || nRow >= m_listPhones.size() || !m_listPhones.at(nRow).IsReady())
        return false;
    phone = m_listPhones.at(nRow);
    return true;
}

void PhonePickerWidget::OnActivated(QListWidgetItem *pItem)
{
    if (pItem && (pItem->flags() & Qt::ItemIsEnabled))
        emit signalPicked();
}
