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
    // command ends with (the message is printed).
    static int Apply(const QString &strCommand, const QString &strDevice, const QString &strPhone, ToolOutput &out);
};
