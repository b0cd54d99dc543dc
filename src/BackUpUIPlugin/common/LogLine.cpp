#include "LogLine.h"

#include <QDebug>
#include <QLoggingCategory>
#include <QTime>

namespace LogLine
{

namespace
{
// Formatting a line costs more than most of what it reports (progress events
// arrive by the thousand), so nothing is formatted when the level is off.
bool DebugOn()
{
    return QLoggingCategory::defaultCategory()->isDebugEnabled();
}

bool WarningOn()
{
    return QLoggingCategory::defaultCategory()->isWarningEnabled();
}
} // namespace

QString Now()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss:zzz"));
}

void Entered(const char *szSource, const char *szFunction)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("%s: %s: %s: entered.", qPrintable(Now()), szSource, szFunction);
}

void Leaved(const char *szSource, const char *szFunction)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("%s: %s: %s: leaved.", qPrintable(Now()), szSource, szFunction);
}

void Called(const char *szSource, const char *szFunction)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("%s: %s: %s: called", qPrintable(Now()), szSource, szFunction);
}

void ArgNull(const char *szSource, const char *szFunction, int nLine)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("Arg is NULL: %s: %s: %s %d", qPrintable(Now()), szSource,
                                            szFunction, nLine);
}

void Info(const char *szSource, const char *szFunction, const QString &strText)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("INFO %s: %s: %s: Description: %s", qPrintable(Now()), szSource,
                                            szFunction, qPrintable(strText));
}

void Warning(const char *szSource, const char *szFunction, const QString &strText)
{
    if (!WarningOn())
        return;
    qWarning().noquote() << QString::asprintf("WARNING!!! %s: %s: %s: Description: %s", qPrintable(Now()),
                                              szSource, szFunction, qPrintable(strText));
}

void Debug(const char *szSource, const char *szFunction, const QString &strText)
{
    if (!DebugOn())
        return;
    qDebug().noquote() << QString::asprintf("%s: %s: %s ", qPrintable(Now()), szSource, szFunction) + strText;
}

void WarningPlain(const char *szSource, const char *szFunction, const QString &strText)
{
    if (!WarningOn())
        return;
    qWarning().noquote() << QString::asprintf("%s: %s: %s ", qPrintable(Now()), szSource, szFunction) + strText;
}

Scope::Scope(const char *szSource, const char *szFunction) : m_szSource(szSource), m_szFunction(szFunction)
{
    Entered(m_szSource, m_szFunction);
}

Scope::~Scope()
{
    Leaved(m_szSource, m_szFunction);
}

} // namespace LogLine
