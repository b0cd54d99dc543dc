#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

class PhoneSimulator;

// Commands read line by line from standard input, for tests and scripts:
// "status" prints the simulator's status line, "unplug" and "plug" pull and
// reconnect the cable, "quit" ends the program. End of input is ignored, so
// the simulator also runs with standard input closed.
class SimulatorConsole : public QObject
{
    Q_OBJECT
public:
    explicit SimulatorConsole(PhoneSimulator *pSimulator);

private:
    void OnReadable();
    void RunCommand(const QByteArray &baLine);

    PhoneSimulator *const m_pSimulator;
    QSocketNotifier m_notifier;
    QByteArray m_baLine;
};
