#include "DeviceChoice.h"

#include "PhoneWaiter.h"
#include "ToolOutput.h"

#include <RunSummary.h>

#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <QFile>
#include <QFileInfo>


int DeviceChoice::Apply(const QString &strCommand, const QString &strDevice, const QString &strPhone,
                        ToolOutput &out, int nWaitSeconds, int nNoPhoneStatus)
{
    // A phone folder is the simulated phone's.
    if (!strPhone.isEmpty() && !strDevice.isEmpty() && strDevice != QLatin1String("sim"))
        return out.UsageError(strCommand, QStringLiteral("--phone serves the simulated phone; it cannot be used with "
                                                         "--device %1").arg(strDevice));
    const QString strChoice = strDevice.isEmpty() && !strPhone.isEmpty() ? QStringLiteral("sim") : strDevice;
    if (!strChoice.isEmpty() && DVSK_Device_Select(strChoice.toUtf8().constData()) != 0)
        return out.UsageError(strCommand,
                              QStringLiteral("unknown device '%1' (devices: sim, adb, adb:SERIAL)").arg(strChoice));
    if (!strPhone.isEmpty()) {
        const QString strDir = QFileInfo(strPhone).absoluteFilePath();
        const int nPhone = DVSK_Sim_SetPhoneDir(QFile::encodeName(strDir).constData());
        if (nPhone == DVSK_SIM_ERR_BAD_PHONE_INI)
            return out.Error(QStringLiteral("%1: %2/phone.ini is not a well-formed INI file (look for a broken "
                                            "[section] line)")
                                 .arg(strCommand, strDir));
        if (nPhone != 0)
            return out.Error(QStringLiteral("%1: no phone in %2 (phone.ini missing or unreadable)").arg(strCommand, strDir));
    }
    // A real phone is looked for before anything runs: none, several, or one
    // that cannot be used yet is said plainly (and waited for when asked).
    if (qstrcmp(DVSK_Device_Kind(), "adb") == 0)
        return OpenRealPhone(strCommand, out, nWaitSeconds, nNoPhoneStatus);
    return -1;
}

int DeviceChoice::OpenRealPhone(const QString &strCommand, ToolOutput &out, int nWaitSeconds, int nNoPhoneStatus)
{
    PhoneWaiter waiter;
    QString strReason;
    const PhoneWaiter::Outcome outcome = waiter.Open(nWaitSeconds, [&out, nWaitSeconds](const QString &strWhy) {
        out.Line(QStringLiteral("Waiting up to %1 s for a usable phone: %2").arg(nWaitSeconds).arg(strWhy));
    }, strReason);
    switch (outcome) {
    case PhoneWaiter::Outcome::Ready:
        return -1;
    case PhoneWaiter::Outcome::Interrupted:
        out.Line(QStringLiteral("Cancelled while waiting for a phone; nothing was written."));
        return RunSummary::ExitCancelled;
    case PhoneWaiter::Outcome::NoPhone:
        break;
    }
    out.Error(QStringLiteral("%1: no usable phone: %2").arg(strCommand, strReason));
    return nNoPhoneStatus;
}
