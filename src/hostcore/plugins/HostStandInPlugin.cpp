#include "HostStandInPlugin.h"

#include "host/HostCallLog.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

// The page lists this many of the latest calls.
constexpr int kShownCalls = 20;

} // namespace

HostStandInPlugin::HostStandInPlugin(const QString &strId, const QString &strName, QObject *pParent)
    : QObject(pParent)
    , m_strId(strId)
    , m_strName(strName)
{
    setObjectName(strName);
}

HostStandInPlugin::~HostStandInPlugin()
{
    delete m_pPage.data();
}

bool HostStandInPlugin::Init()
{
    RecordCall(QStringLiteral("Init()"));
    return true;
}

QString HostStandInPlugin::GetPluginId()
{
    return m_strId;
}

QString HostStandInPlugin::GetPluginName()
{
    return m_strName;
}

void HostStandInPlugin::OnDestroy()
{
    RecordCall(QStringLiteral("OnDestroy()"));
    delete m_pPage.data();
}

bool HostStandInPlugin::ShowWindow(QWidget *pParent, QRect &rect)
{
    RecordCall(QStringLiteral("ShowWindow()"));
    if (!pParent)
        return false;
    if (!m_pPage) {
        m_pPage = new QWidget(pParent);
        m_pPage->setObjectName(m_strName + QStringLiteral("_MainWidget"));
        m_pPage->setAutoFillBackground(true);
        auto *pTitle = new QLabel(m_strName, m_pPage);
        pTitle->setObjectName(m_strName + QStringLiteral("_LabelTitle"));
        m_pLabelCalls = new QLabel(m_pPage);
        m_pLabelCalls->setObjectName(m_strName + QStringLiteral("_LabelCalls"));
        m_pLabelCalls->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto *pLayout = new QVBoxLayout(m_pPage);
        pLayout->setContentsMargins(24, 56, 24, 24);
        pLayout->addWidget(pTitle);
        pLayout->addWidget(m_pLabelCalls, 1);
    } else if (m_pPage->parentWidget() != pParent) {
        m_pPage->setParent(pParent);
    }
    UpdatePageText();
    m_pPage->setGeometry(rect.isValid() ? rect : pParent->rect());
    m_pPage->show();
    m_pPage->raise();
    return true;
}

void HostStandInPlugin::HideWindow()
{
    RecordCall(QStringLiteral("HideWindow()"));
    if (m_pPage)
        m_pPage->hide();
}

void HostStandInPlugin::FitSize(QRect &rect)
{
    if (m_pPage && rect.isValid())
        m_pPage->setGeometry(rect);
}

bool HostStandInPlugin::CheckArgument(QString &strArg)
{
    RecordCall(QStringLiteral("CheckArgument(%1)").arg(strArg));
    return true;
}

QWidget *HostStandInPlugin::GetWidget()
{
    return m_pPage.data();
}

bool HostStandInPlugin::MoveWindow(QWidget *pParent, QRect &rect)
{
    if (!pParent || !m_pPage)
        return false;
    if (m_pPage->parentWidget() != pParent)
        m_pPage->setParent(pParent);
    m_pPage->move(rect.topLeft());
    return true;
}

QWidget *HostStandInPlugin::GetPageWidget() const
{
    return m_pPage.data();
}

QStringList HostStandInPlugin::Calls() const
{
    return m_listCalls;
}

void HostStandInPlugin::ClearCalls()
{
    m_listCalls.clear();
    UpdatePageText();
}

void HostStandInPlugin::RecordCall(const QString &strCall)
{
    m_listCalls.append(strCall);
    HostCallLog::Record(m_strName + QLatin1Char('.') + strCall);
    UpdatePageText();
    emit signalCalled(strCall);
}

void HostStandInPlugin::UpdatePageText()
{
    if (m_pPage && m_pLabelCalls)
        m_pLabelCalls->setText(m_listCalls.mid(qMax(0, m_listCalls.size() - kShownCalls)).join(QLatin1Char('\n')));
}
