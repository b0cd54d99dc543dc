#pragma once

#include <QThread>

// Resets the SDK and clears the phone's cancel state.
class SendCmdResetThread : public QThread
{
    Q_OBJECT
public:
    static SendCmdResetThread *Instance();
    static SendCmdResetThread *ExistingInstance();
    static void DestroyInstance();

protected:
    void run() override;

private:
    SendCmdResetThread();
    ~SendCmdResetThread() override;
};
