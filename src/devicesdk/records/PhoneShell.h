#pragma once

#include <QByteArray>

#include <functional>

// A way to run commands on the phone, as the record exporters need it: the
// command runs without a terminal and its output arrives piece by piece.
class PhoneShell
{
public:
    using OutputHandler = std::function<void(const QByteArray &baChunk)>;

    virtual ~PhoneShell() = default;
    // 0 when the command ran (whatever it printed), otherwise the SDK's code
    // for what went wrong (phone gone, cancelled). What the command prints on
    // its error stream arrives with its output.
    virtual int Run(const QByteArray &baCommand, const OutputHandler &fnOutput) = 0;
    // The same, with the error stream handed to fnError where the phone keeps
    // the two apart (ErrorsApart()); elsewhere both arrive at fnOutput.
    virtual int RunApart(const QByteArray &baCommand, const OutputHandler &fnOutput, const OutputHandler &fnError)
    {
        Q_UNUSED(fnError);
        return Run(baCommand, fnOutput);
    }
    virtual bool ErrorsApart() const { return false; }
    // True once the backup was cancelled; exporters stop between pages.
    virtual bool IsCancelled() const = 0;
};
