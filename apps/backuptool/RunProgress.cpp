#include "RunProgress.h"

#include "RemainingTimeEstimate.h"

#include <unistd.h>

namespace
{
constexpr int kBarWidth = 30;
// Redraws on a terminal at most this often.
constexpr qint64 kRedrawMs = 100;
} // namespace

RunProgress::RunProgress(std::FILE *pStream, bool bTerminal) : m_pStream(pStream), m_bTerminal(bTerminal)
{
    m_timer.start();
}

bool RunProgress::IsTerminal(std::FILE *pStream)
{
    return pStream && isatty(fileno(pStream)) == 1;
}

void RunProgress::SetRange(int nMaximum)
{
    m_nMaximum = nMaximum;
    m_dValue = 0.0;
}

void RunProgress::Add(float fValue)
{
    if (fValue > 0.0f)
        m_dValue += fValue;
    Draw(false);
}

void RunProgress::SetModule(const QString &strModule, const QString &strDetail)
{
    m_strModule = strModule;
    m_strDetail = strDetail;
    Draw(false);
}

void RunProgress::SetTimeLeft(int nSeconds)
{
    m_nSecondsLeft = nSeconds;
    Draw(false);
}

int RunProgress::Percent() const
{
    if (m_nMaximum <= 0)
        return 0;
    // The weights are estimates: the bar stays below 100 % until the end.
    const int nPercent = int(m_dValue * 100.0 / m_nMaximum);
    return qBound(0, nPercent, 99);
}

QString RunProgress::Text(int nPercent) const
{
    const int nFilled = nPercent * kBarWidth / 100;
    QString strText = QLatin1Char('[') + QString(nFilled, QLatin1Char('#'))
                      + QString(kBarWidth - nFilled, QLatin1Char('.')) + QLatin1Char(']')
                      + QStringLiteral(" %1%").arg(nPercent, 3);
    if (!m_strModule.isEmpty()) {
        strText += QStringLiteral("  ") + m_strModule;
        if (!m_strDetail.isEmpty())
            strText += QLatin1Char(' ') + m_strDetail;
    }
    if (m_nSecondsLeft >= 0 && nPercent < 100) {
        const int nMinutes = RemainingTimeEstimate::ShownMinutes(m_nSecondsLeft);
        if (nMinutes <= 0)
            strText += QStringLiteral("  less than a minute left");
        else if (nMinutes < 60)
            strText += QStringLiteral("  about %1 min left").arg(nMinutes);
        else
            strText += QStringLiteral("  about %1 h %2 min left").arg(nMinutes / 60).arg(nMinutes % 60);
    }
    return strText;
}

void RunProgress::Draw(bool bForce)
{
    if (!m_pStream)
        return;
    const int nPercent = Percent();
    if (m_bTerminal) {
        if (!bForce && m_bLineOpen && m_timer.elapsed() < kRedrawMs)
            return;
        m_timer.restart();
        const QByteArray baLine = "\r" + Text(nPercent).toLocal8Bit() + "\x1b[K";
        std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pStream);
        std::fflush(m_pStream);
        m_bLineOpen = true;
        return;
    }
    const int nDecile = nPercent / 10;
    if (!bForce && nDecile == m_nLastDecile && m_strModule == m_strLastModule)
        return;
    m_nLastDecile = nDecile;
    m_strLastModule = m_strModule;
    const QByteArray baLine = Text(nPercent).toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pStream);
    std::fflush(m_pStream);
}

void RunProgress::Finish(bool bComplete)
{
    m_nSecondsLeft = -1;
    if (bComplete) {
        m_dValue = m_nMaximum;
        m_strModule.clear();
        m_strDetail.clear();
    }
    if (!m_pStream)
        return;
    if (m_bTerminal) {
        const int nPercent = bComplete ? 100 : Percent();
        const QByteArray baLine = "\r" + Text(nPercent).toLocal8Bit() + "\x1b[K\n";
        std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pStream);
        std::fflush(m_pStream);
        m_bLineOpen = false;
    } else if (bComplete) {
        const QByteArray baLine = Text(100).toLocal8Bit() + '\n';
        std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pStream);
        std::fflush(m_pStream);
    }
}

void RunProgress::Interrupt()
{
    if (m_bTerminal && m_bLineOpen && m_pStream) {
        std::fputc('\n', m_pStream);
        std::fflush(m_pStream);
        m_bLineOpen = false;
    }
}
