#include "RunNames.h"

#include "SafeFileName.h"

#include <QDir>

QString RunNames::Name(const QString &strDeviceName, const QDateTime &dtTime, bool bRightToLeft)
{
    const QString strDate = dtTime.toString(bRightToLeft ? QStringLiteral("hh-mm-ss-yyyy-MM-dd")
                                                         : QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    QString strPhone = strDeviceName;
    const int nCut = strPhone.indexOf(QChar(0x10));
    if (nCut >= 0)
        strPhone.truncate(nCut);
    // The phone chooses its own name; it must stay one file name here.
    if (!strPhone.isEmpty()) {
        const QString strSafe = SafeFileName::FromPhone(strPhone);
        strPhone = strSafe.isEmpty() ? QStringLiteral("phone") : strSafe;
    }
    // The package name (the run name + ".zip") must fit the file-name limit:
    // a long phone name gives way.
    const QString strPrefix = QStringLiteral("backup_");
    const QString strSuffix = QLatin1Char('_') + strDate + QStringLiteral(".zip");
    const QString strName = SafeFileName::Fitted(strPrefix + strPhone, QString(), strSuffix);
    return strName.chopped(4);
}

QString RunNames::Folder(const QString &strDestination, const QString &strRunName)
{
    if (strDestination.endsWith(QDir::separator()) || strDestination.endsWith(QLatin1Char('/')))
        return strDestination + strRunName;
    return strDestination + QDir::separator() + strRunName;
}
