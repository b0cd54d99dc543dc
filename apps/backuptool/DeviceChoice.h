#pragma once

#include <QString>

class ToolOutput;

// The phone a command works on: --device (sim, adb, adb:SERIAL) and --phone
// (the simulated phone's folder, which also means the simulated phone), and
// for a real phone the check that exactly one usable phone answers.
class DeviceChoice
{
public:
    // Selects the phone. -1 when it is ready; otherwise the exit status the
    // command ends with (the message is printed): a usage error for --phone
    // with a real phone, nNoPhoneStatus when no phone is usable (after
    // waiting up to nWaitSeconds for one), 130 when interrupted meanwhile.
    static int Apply(const QString &strCommand, const QString &strDevice, const QString &strPhone, ToolOutput &out,
                     int nWaitSeconds = 0, int nNoPhoneStatus = 1);

private:
    static int OpenRealPhone(const QString &strCommand, ToolOutput &out, int nWaitSeconds, int nNoPhoneStatus);
};
