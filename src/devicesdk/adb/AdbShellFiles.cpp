#include "AdbShellFiles.h"

#include <QRegularExpression>

namespace
{
const char kDone[] = "dvsk-done";
} // namespace

QByteArray AdbShellFiles::Quote(const QByteArray &baArgument)
{
    QByteArray ba = baArgument;
    ba.replace('\'', "'\\''");
    return '\'' + ba + '\'';
}

QByteArray AdbShellFiles::DoneLine()
{
    return QByteArray(kDone) + '\n';
}

QByteArray AdbShellFiles::ListCommand(const QByteArray &baFolder)
{
    return "find " + Quote(baFolder) + " -mindepth 1 -maxdepth 1 -exec stat -c '%f %s %Y %n' {} + && echo " + kDone;
}

QByteArray AdbShellFiles::ReadCommand(const QByteArray &baPath)
{
    return "cat " + Quote(baPath) + " && echo " + kDone;
}

bool AdbShellFiles::ParseList(const QByteArray &baOutput, const QByteArray &baFolder,
                              QList<AdbSync::Entry> &listEntries)
{
    const QByteArray baDone = DoneLine();
    if (!baOutput.endsWith(baDone) || (baOutput.size() > baDone.size() && !baOutput.endsWith('\n' + baDone)))
        return false;
    const QByteArray baPrefix = baFolder + '/';
    static const QRegularExpression reHead(QStringLiteral("^([0-9a-f]+) ([0-9]+) (-?[0-9]+) $"));
    QList<QByteArray> listLines = baOutput.left(baOutput.size() - baDone.size()).split('\n');
    listLines.removeLast(); // after the last line's end
    for (const QByteArray &baLine : qAsConst(listLines)) {
        const qsizetype nPath = baLine.indexOf(' ' + baPrefix);
        const QRegularExpressionMatch match
                = nPath > 0 ? reHead.match(QString::fromLatin1(baLine.left(nPath + 1))) : QRegularExpressionMatch();
        if (!match.hasMatch()) {
            // A new line inside the last name.
            if (listEntries.isEmpty())
                return false;
            AdbSync::Entry &entry = listEntries.last();
            entry.SetName(entry.Bytes() + '\n' + baLine);
            continue;
        }
        AdbSync::Entry entry;
        entry.nMode = match.captured(1).toUInt(nullptr, 16);
        entry.nSize = match.captured(2).toLongLong();
        entry.nMtime = match.captured(3).toLongLong();
        const QByteArray baName = baLine.mid(nPath + 1 + baPrefix.size());
        if (baName.isEmpty() || baName.contains('/'))
            return false;
        entry.SetName(baName);
        listEntries.append(entry);
    }
    return true;
}
