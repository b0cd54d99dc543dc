#include "RestoreTexts.h"

#include "BackupKinds.h"

#include <sdk/dvsk_device.h>
#include <sdk/dvsk_restore.h>

QString RestoreTexts::NeedsAppOnPhone()
{
    return QStringLiteral("needs an app on the phone");
}

QString RestoreTexts::NotInBackup()
{
    return QStringLiteral("not in this backup");
}

QString RestoreTexts::PrivateFolder()
{
    return QStringLiteral("in an app's private folder (Android/data, Android/obb), which the phone keeps for that app");
}

QString RestoreTexts::UnusablePhonePath()
{
    return QStringLiteral("the backup gives no usable phone path for it");
}

QString RestoreTexts::UnusableListName()
{
    return QStringLiteral("the backup's media list names no usable file for it");
}

QString RestoreTexts::MissingFromBackup()
{
    return QStringLiteral("missing from the backup folder");
}

QString RestoreTexts::NoFreeName()
{
    return QStringLiteral("other files hold its name and every numbered name tried");
}

QString RestoreTexts::NotAvailableOnPhone()
{
    return QStringLiteral("not available on this phone");
}

QString RestoreTexts::AlreadyAs(const QString &strTarget)
{
    return QStringLiteral("already on the phone as %1").arg(strTarget);
}

QString RestoreTexts::InstalledVersion(qint64 nInstalled, qint64 nBackedUp)
{
    if (nBackedUp < 0)
        return QStringLiteral("installed (version %1; the backup's version is unknown)").arg(nInstalled);
    return QStringLiteral("version %1 installed, the backup holds %2").arg(nInstalled).arg(nBackedUp);
}

QString RestoreTexts::PhoneDisconnected()
{
    return QStringLiteral("phone disconnected");
}

QString RestoreTexts::Cancelled()
{
    return QStringLiteral("cancelled");
}

QString RestoreTexts::NoSpace()
{
    return QStringLiteral("no space on the phone");
}

QString RestoreTexts::ExistsOnPhone()
{
    return QStringLiteral("another file appeared at that path on the phone");
}

QString RestoreTexts::NotAttempted(const QString &strWhy)
{
    return QStringLiteral("not attempted: %1").arg(strWhy);
}

QString RestoreTexts::PhoneFailure(int nCode, const QString &strMessage)
{
    if (nCode == DVSK_RESTORE_ERR_NO_SPACE)
        return NoSpace();
    if (nCode == DVSK_DEV_ERR_DISCONNECTED)
        return PhoneDisconnected();
    if (nCode == DVSK_DEV_ERR_CANCELLED)
        return Cancelled();
    // The phone's first line says it; tools repeat it on further lines.
    const QString strFirst = strMessage.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!strFirst.isEmpty())
        return strFirst;
    if (nCode == DVSK_RESTORE_ERR_EXISTS)
        return ExistsOnPhone();
    return QStringLiteral("the phone failed (code 0x%1)").arg(nCode, 0, 16);
}

QString RestoreTexts::KindName(int nCode)
{
    const BackupKind *pKind = BackupKinds::ByCode(nCode);
    return pKind ? QLatin1String(pKind->szToolName) : QStringLiteral("type %1").arg(nCode);
}
