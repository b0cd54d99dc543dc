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

QList<AdbParsers::Device> AdbParsers::Devices(const QByteArray &baText)
{
    static const QRegularExpression reBlanks(QStringLiteral("\\s+"));
    QList<Device> list;
    for (const QString &strLine : Lines(baText)) {
        const QStringList listFields = strLine.trimmed().split(reBlanks, Qt::SkipEmptyParts);
        if (listFields.size() < 2)
            continue;
        Device device;
        device.strSerial = listFields.at(0);
        device.strState = listFields.at(1);
        for (int i = 2; i < listFields.size(); ++i) {
            if (listFields.at(i).startsWith(QLatin1String("model:")))
                device.strModel = listFields.at(i).mid(6).replace(QLatin1Char('_'), QLatin1Char(' '));
        }
        list.append(device);
    }
    return list;
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
