#include "SimulatorConsole.h"

#include "PhoneSimulator.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

SimulatorConsole::SimulatorConsole(PhoneSimulator *pSimulator)
    : QObject(pSimulator)
    , m_pSimulator(pSimulator)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &SimulatorConsole::OnReadable);
}

void SimulatorConsole::OnReadable()
{
    char acBuffer[4096];
    const ssize_t nRead = ::read(STDIN_FILENO, acBuffer, sizeof acBuffer);
    if (nRead <= 0) {
        m_notifier.setEnabled(false);
        return;
    }
    m_baLine.append(acBuffer, nRead);
    qsizetype nEnd;
    while ((nEnd = m_baLine.indexOf('\n')) >= 0) {
        const QByteArray baLine = m_baLine.left(nEnd).trimmed();
        m_baLine.remove(0, nEnd + 1);
        RunCommand(baLine);
    }
}

void SimulatorConsole::RunCommand(const QByteArray &baLine)
{
    QString strError;
    if (baLine == "status") {
        printf("%s\n", qPrintable(m_pSimulator->Status()));
    } else if (baLine == "unplug") {
        m_pSimulator->Unplug();
        printf("unplugged\n");
    } else if (baLine == "stall") {
        m_pSimulator->Stall();
        printf("stalled\n");
    } else if (baLine == "plug") {
        if (m_pSimulator->Plug(&strError))
            printf("plugged\n");
        else
            printf("error: %s\n", qPrintable(strError));
    } else if (baLine == "allow") {
        m_pSimulator->Allow();
        printf("allowed\n");
    } else if (baLine == "quit") {
        QCoreApplication::quit();
    } else if (!baLine.isEmpty()) {
        printf("error: unknown command (status, unplug, plug, allow, stall, quit)\n");
    }
    fflush(stdout);
}
