#pragma once

#include <QByteArray>

#include <functional>

// Splits the stream of a "shell,v2" service into its packets
// ([id:1][length:4, little-endian][data]), fed in pieces as they arrive:
// standard output and error go to their handlers as their bytes come, the
// exit status is kept.
class ShellPackets
{
public:
    using Handler = std::function<void(const QByteArray &baData)>;

    ShellPackets(Handler fnOutput, Handler fnError);

    void Feed(const QByteArray &baData);
    bool HasExited() const { return m_nExitStatus >= 0; }
    int ExitStatus() const { return m_nExitStatus; }

private:
    const Handler m_fnOutput;
    const Handler m_fnError;
    QByteArray m_baHeader;  // the packet header being read
    char m_cId = 0;
    quint32 m_nLeft = 0;    // bytes of the current packet's data still to come
    int m_nExitStatus = -1;
};
