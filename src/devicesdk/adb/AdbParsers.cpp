#include "AdbParsers.h"

#include <QRegularExpression>

namespace
{
const QLatin1String kPackagePrefix("package:");
} // namespace

QStringList AdbParsers::Lines(const QByteArray &baText)
{
    QStringList listLines;
    for (QByteArray baLine : baText.split('\n')) {
        while (baLine.endsWith('\r'))
            baLine.chop(1);
        if (!baLine.trimmed().isEmpty())
            listLines << QString::fromUtf8(baLine);
    }
    return listLines;
}

namespace
{
// A trailing field of host:devices-l: "usb:1-1", "product:x", "model:x",
// "device:x", "transport_id:3"; the server's words before them never look so.
bool IsDeviceField(const QString &strToken)
{
    static const QRegularExpression reField(QStringLiteral("^[a-z_]+:\\S*$"));
    return reField.match(strToken).hasMatch();
}
} // namespace

QList<AdbParsers::Device> AdbParsers::Devices(const QByteArray &baText)
{
    static const QRegularExpression reBlanks(QStringLiteral("\\s+"));
    static const QLatin1String kNoPermissions("no permissions");
    QList<Device> list;
    for (const QString &strLine : Lines(baText)) {
        QStringList listTokens = strLine.trimmed().split(reBlanks, Qt::SkipEmptyParts);
        if (listTokens.size() < 2)
            continue;
        Device device;
        device.strSerial = listTokens.takeFirst();
        int nFields = int(listTokens.size());
        while (nFields > 1 && IsDeviceField(listTokens.at(nFields - 1)))
            --nFields;
        for (int i = nFields; i < listTokens.size(); ++i) {
            const QString &strField = listTokens.at(i);
            if (strField.startsWith(QLatin1String("model:")))
                device.strModel = strField.mid(6).replace(QLatin1Char('_'), QLatin1Char(' '));
            else if (strField.startsWith(QLatin1String("usb:")))
                device.bUsb = true;
        }
        const QString strWords = listTokens.mid(0, nFields).join(QLatin1Char(' '));
        const int nStateWords = strWords.startsWith(kNoPermissions) ? 2 : 1;
        device.strState = listTokens.mid(0, nStateWords).join(QLatin1Char(' '));
        device.strDetail = listTokens.mid(nStateWords, nFields - nStateWords).join(QLatin1Char(' '));
        list.append(device);
    }
    return list;
}

QString AdbParsers::Device::Usability() const
{
    if (strState == QLatin1String("device"))
        return QStringLiteral("ready");
    if (strState == QLatin1String("unauthorized") || strState == QLatin1String("offline"))
        return strState;
    if (strState == QLatin1String("no permissions"))
        return QStringLiteral("no-permissions");
    return QStringLiteral("connecting");
}

QString AdbParsers::Device::Connection() const
{
    static const QRegularExpression reHostPort(QStringLiteral("^[^:\\s]+:\\d+$|^\\[[0-9a-fA-F:.]+\\]:\\d+$"));
    if (bUsb)
        return QStringLiteral("usb");
    if (reHostPort.match(strSerial).hasMatch() || strSerial.contains(QLatin1String("._adb-tls-")))
        return QStringLiteral("wifi");
    return QStringLiteral("usb");
}

QHash<QString, QString> AdbParsers::Properties(const QByteArray &baText)
{
    static const QRegularExpression reProperty(QStringLiteral("^\\[([^\\]]*)\\]: \\[(.*)\\]$"));
    QHash<QString, QString> hash;
    for (const QString &strLine : Lines(baText)) {
        const QRegularExpressionMatch match = reProperty.match(strLine);
        if (match.hasMatch())
            hash.insert(match.captured(1), match.captured(2));
    }
    return hash;
}

QStringList AdbParsers::Features(const QByteArray &baText)
{
    QStringList list;
    for (const QString &strFeature : QString::fromUtf8(baText).split(QLatin1Char(','), Qt::SkipEmptyParts))
        list << strFeature.trimmed();
    return list;
}

QList<AdbParsers::DiskUsage> AdbParsers::DiskUsages(const QByteArray &baText)
{
    static const QRegularExpression reBlanks(QStringLiteral("\\s+"));
    QList<DiskUsage> list;
    for (const QString &strLine : Lines(baText)) {
        const QStringList listFields = strLine.trimmed().split(reBlanks, Qt::SkipEmptyParts);
        // File system, size, used, available, use%, mount point; the header
        // and error lines ("df: /x: No such file ...") do not have numbers.
        if (listFields.size() < 6)
            continue;
        const int nFirst = int(listFields.size()) - 5;
        bool bOk1 = false, bOk2 = false, bOk3 = false;
        DiskUsage usage;
        usage.nBlocksKiB = listFields.at(nFirst).toLongLong(&bOk1);
        usage.nUsedKiB = listFields.at(nFirst + 1).toLongLong(&bOk2);
        usage.nAvailableKiB = listFields.at(nFirst + 2).toLongLong(&bOk3);
        if (!bOk1 || !bOk2 || !bOk3 || usage.nBlocksKiB < 0 || usage.nUsedKiB < 0 || usage.nAvailableKiB < 0)
            continue;
        usage.strFilesystem = listFields.mid(0, nFirst).join(QLatin1Char(' '));
        usage.strMountedOn = listFields.last();
        list.append(usage);
    }
    return list;
}

QList<AdbParsers::Package> AdbParsers::Packages(const QByteArray &baText)
{
    QList<Package> list;
    for (const QString &strLine : Lines(baText)) {
        if (!strLine.startsWith(kPackagePrefix))
            continue;
        // The path itself may hold "=" (Android 11 and newer: "~~RAND==/"); the
        // package name never does, so the last one separates them.
        const QString strRest = strLine.mid(kPackagePrefix.size()).trimmed();
        const qsizetype nEquals = strRest.lastIndexOf(QLatin1Char('='));
        if (nEquals <= 0 || nEquals == strRest.size() - 1)
            continue;
        const QString strPath = strRest.left(nEquals);
        if (!strPath.startsWith(QLatin1Char('/')))
            continue;
        list.append({strRest.mid(nEquals + 1), strPath});
    }
    return list;
}

QStringList AdbParsers::PackagePaths(const QByteArray &baText)
{
    QStringList list;
    for (const QString &strLine : Lines(baText)) {
        if (strLine.startsWith(kPackagePrefix) && strLine.size() > kPackagePrefix.size() + 1
            && strLine.at(kPackagePrefix.size()) == QLatin1Char('/'))
            list << strLine.mid(kPackagePrefix.size()).trimmed();
    }
    return list;
}

QString AdbParsers::ShellQuote(const QString &strArgument)
{
    QString str = strArgument;
    str.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + str + QLatin1Char('\'');
}
