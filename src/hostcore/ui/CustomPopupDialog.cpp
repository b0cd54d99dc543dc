#include "host/CustomPopupDialog.h"

#include "host/Change.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The translated text, or the English fallback while the key has none.
QString ButtonText(const char *szKey, const char *szFallback)
{
    const QString strText = Change::tr(szKey);
    return strText == QLatin1String(szKey) ? QString::fromLatin1(szFallback) : strText;
}

} // namespace

CustomPopupDialog::CustomPopupDialog(QWidget *pParent, const QString &strText, int nButtonType)
    : QWidget(pParent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_nButtonType(nButtonType == 1 ? 1 : 2)
{
    setObjectName(QStringLiteral("CustomPopupDialog"));
    // Let the skin draw the dialog's border and rounded corners.
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowModality(Qt::WindowModal);
    setFixedSize(kWidth, kHeight);
    setLayoutDirection(Change::GetRightToLeftLayout() ? Qt::RightToLeft : Qt::LeftToRight);

    m_pLabelText = new QLabel(strText, this);
    m_pLabelText->setObjectName(QStringLiteral("CustomPopupDialog_LabelText"));
    m_pLabelText->setWordWrap(true);
    m_pLabelText->setAlignment(Qt::AlignCenter);

    m_pBtnOk = new QPushButton(ButtonText("IDS_CORE_OK", "OK"), this);
    m_pBtnOk->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pBtnOk->setDefault(true);
    m_pBtnCancel = new QPushButton(ButtonText("IDS_CORE_CANCEL", "Cancel"), this);
    m_pBtnCancel->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pBtnCancel->setVisible(m_nButtonType == 2);

    auto *pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(m_pBtnOk);
    pButtons->addWidget(m_pBtnCancel);
    pButtons->addStretch();
    auto *pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(24, 24, 24, 20);
    pLayout->addWidget(m_pLabelText, 1);
    pLayout->addLayout(pButtons);

    connect(m_pBtnOk, &QPushButton::clicked, this, &CustomPopupDialog::slotOkClicked);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &CustomPopupDialog::slotCancelClicked);
}

QString CustomPopupDialog::GetText() const
{
    return m_pLabelText->text();
}

QPushButton *CustomPopupDialog::GetOkButton() const
{
    return m_pBtnOk;
}

QPushButton *CustomPopupDialog::GetCancelButton() const
{
    return m_pBtnCancel;
}

int CustomPopupDialog::GetButtonType() const
{
    return m_nButtonType;
}

void CustomPopupDialog::SetButtonTexts(const QString &strOk, const QString &strCancel)
{
    m_pBtnOk->setText(strOk);
    m_pBtnCancel->setText(strCancel);
}

void CustomPopupDialog::SetCancelDefault()
{
    if (m_nButtonType != 2)
        return;
    m_pBtnOk->setDefault(false);
    m_pBtnCancel->setDefault(true);
    m_pBtnCancel->setFocus(Qt::OtherFocusReason);
}

void CustomPopupDialog::keyPressEvent(QKeyEvent *pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_pBtnCancel->isVisible() && (m_pBtnCancel->hasFocus() || (m_pBtnCancel->isDefault() && !m_pBtnOk->hasFocus())))
            slotCancelClicked();
        else
            slotOkClicked();
        return;
    case Qt::Key_Escape:
        // With OK alone, Escape answers OK: it is the only answer offered.
        if (m_nButtonType == 2)
            slotCancelClicked();
        else
            slotOkClicked();
        return;
    default:
        QWidget::keyPressEvent(pEvent);
    }
}

void CustomPopupDialog::showEvent(QShowEvent *pEvent)
{
    CentreOverParent();
    QWidget::showEvent(pEvent);
    activateWindow();
    raise();
}

void CustomPopupDialog::slotOkClicked()
{
    // Hidden first, so a slot that shows another dialog or closes the page
    // does not find this one still on top.
    hide();
    emit signalOnClickOkEvent();
}

void CustomPopupDialog::slotCancelClicked()
{
    hide();
    emit signalOnClickCancelEvent();
}

void CustomPopupDialog::CentreOverParent()
{
    QWidget *pParent = parentWidget();
    if (!pParent)
        return;
    QRect rect(QPoint(0, 0), size());
    rect.moveCenter(pParent->mapToGlobal(pParent->rect().center()));
    move(rect.topLeft());
}
