#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QEventLoop;

// Opens the chosen phone, waiting up to a given time for one to become usable.
// It is told of every change of the list of phones by the SDK's device
// tracking and tries again then; it never polls. Ctrl-C ends the wait.
class PhoneWaiter : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Ready,
        NoPhone,
        Interrupted
    };

    PhoneWaiter();
    ~PhoneWaiter() override;
    PhoneWaiter(const PhoneWaiter &) = delete;
    PhoneWaiter &operator=(const PhoneWaiter &) = delete;

    // Opens the phone; with nWaitSeconds above 0, keeps trying for that long
    // whenever the list of phones changes. fnWaiting is told each new reason
    // while waiting. strReason says why no phone could be opened.
    Outcome Open(int nWaitSeconds, const std::function<void(const QString &)> &fnWaiting, QString &strReason);

private:
    // Tries once: true when the phone is open; strReason otherwise.
    static bool TryOpen(QString &strReason);
    static void OnListChanged();
    void slotListChanged();

    QEventLoop *m_pLoop = nullptr;
};
