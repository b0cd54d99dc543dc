#include "PhoneIdentity.h"

#include <sdk/dvsk_device.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdlib>

namespace
{
// The device file is small; anything bigger is not one.
const qint64 kMaxFileSize = 64 * 1024;

// One value per line: line ends inside a value would start another key.
QString OneLine(QString str)
{
    str.replace(QLatin1Char('\r'), QLatin1Char(' '));
    str.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return str.trimmed();
}
} // namespace

const char PhoneIdentity::kFileName[] = "Device.txt";

PhoneIdentity PhoneIdentity::OfOpenPhone()
{
    char *szText = DVSK_Device_GetIdentity();
    const PhoneIdentity identity = szText ? FromText(QString::fromUtf8(szText)) : PhoneIdentity();
    std::free(szText);
    return identity;
}

PhoneIdentity PhoneIdentity::FromText(const QString &strText)
{
    PhoneIdentity identity;
    for (const QString &strLine : strText.split(QLatin1Char('\n'))) {
        const qsizetype nEquals = strLine.indexOf(QLatin1Char('='));
        if (nEquals <= 0)
            continue;
        const QString strKey = strLine.left(nEquals).trimmed();
        const QString strValue = OneLine(strLine.mid(nEquals + 1));
        if (strKey == QLatin1String("serial"))
            identity.m_strSerial = strValue;
        else if (strKey == QLatin1String("manufacturer"))
            identity.m_strManufacturer = strValue;
        else if (strKey == QLatin1String("model"))
            identity.m_strModel = strValue;
        else if (strKey == QLatin1String("android"))
            identity.m_strAndroid = strValue;
        else if (strKey == QLatin1String("backend"))
            identity.m_strBackend = strValue;
        else if (strKey == QLatin1String("date"))
            identity.m_dtDate = QDateTime::fromString(strValue, Qt::ISODate);
    }
    return identity;
}

bool PhoneIdentity::ReadFrom(const QString &strFolder, PhoneIdentity &identity)
{
    QFile file(QDir(strFolder).filePath(QLatin1String(kFileName)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    const QByteArray baText = file.read(kMaxFileSize);
    if (file.error() != QFileDevice::NoError)
        return false;
    identity = FromText(QString::fromUtf8(baText));
    return true;
}

QString PhoneIdentity::ToText(const QDateTime &dtBackup) const
{
    return QStringLiteral("serial=%1\nmanufacturer=%2\nmodel=%3\nandroid=%4\nbackend=%5\ndate=%6\n")
        .arg(OneLine(m_strSerial), OneLine(m_strManufacturer), OneLine(m_strModel), OneLine(m_strAndroid),
             OneLine(m_strBackend), dtBackup.toOffsetFromUtc(dtBackup.offsetFromUtc()).toString(Qt::ISODate));
}

bool PhoneIdentity::WriteTo(const QString &strFolder, const QDateTime &dtBackup) const
{
    QSaveFile file(QDir(strFolder).filePath(QLatin1String(kFileName)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ToText(dtBackup).toUtf8());
    return file.commit();
}

bool PhoneIdentity::MayShareWith(const PhoneIdentity &earlier) const
{
    return m_strSerial.isEmpty() || earlier.m_strSerial.isEmpty() || m_strSerial == earlier.m_strSerial;
}
