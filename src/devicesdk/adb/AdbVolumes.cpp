#include "AdbVolumes.h"

#include "AdbParsers.h"

#include <QHash>

namespace
{
const char kUnknown[] = "unknown";
} // namespace

QByteArray AdbVolumes::IdentityCommand(const QStringList &listRoots)
{
    QStringList listCommands;
    for (const QString &strRoot : listRoots) {
        // The trailing "/" follows a link to a folder.
        const QString strPath = AdbParsers::ShellQuote(strRoot.endsWith(QLatin1Char('/')) ? strRoot : strRoot + QLatin1Char('/'));
        listCommands << QStringLiteral("stat -L -c '%d:%i' %1 2>/dev/null || realpath %1 2>/dev/null || echo %2")
                            .arg(strPath, QLatin1String(kUnknown));
    }
    return listCommands.join(QStringLiteral(" ; ")).toUtf8();
}

QStringList AdbVolumes::Distinct(const QStringList &listRoots, const QByteArray &baOutput, QStringList *pRepeats)
{
    const QStringList listLines = AdbParsers::Lines(baOutput);
    if (listLines.size() != listRoots.size())
        return listRoots;
    QStringList listKept;
    QHash<QString, QString> hashSeen; // identity -> the root that has it
    for (int i = 0; i < listRoots.size(); ++i) {
        const QString strIdentity = listLines.at(i).trimmed();
        const auto it = hashSeen.constFind(strIdentity);
        if (it != hashSeen.constEnd()) {
            if (pRepeats)
                *pRepeats << QStringLiteral("%1 is %2").arg(listRoots.at(i), it.value());
            continue;
        }
        if (strIdentity != QLatin1String(kUnknown) && !strIdentity.isEmpty())
            hashSeen.insert(strIdentity, listRoots.at(i));
        listKept << listRoots.at(i);
    }
    return listKept;
}
