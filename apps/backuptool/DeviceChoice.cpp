#include "DeviceChoice.h"

#include "ToolOutput.h"

#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <QFile>
#include <QFileInfo>

#include <cstdlib>

int DeviceChoice::Apply(const QString &strCommand, const QString &strDevice, const QString &strPhone,
                        ToolOutput &out)
{
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
    // that has not allowed this computer yet is said plainly.
    if (qstrcmp(DVSK_Device_Kind(), "adb") == 0) {
        char *szMessage = nullptr;
        if (DVSK_Device_Open(&szMessage) != 0) {
            const QString strMessage = szMessage ? QString::fromUtf8(szMessage) : QStringLiteral("no phone");
            std::free(szMessage);
            return out.Error(QStringLiteral("%1: %2").arg(strCommand, strMessage));
        }
    }
    return -1;
}
