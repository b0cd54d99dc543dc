#include "AdbShellFiles.h"

#include <QRegularExpression>

namespace
{
const char kDone[] = "dvsk-done";
const char kPartial[] = "dvsk-partial";
const char kStatFormat[] = " -mindepth 1 -maxdepth 1 -exec stat -c '%f %s %Y %n' {} +";
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

QByteArray AdbShellFiles::ListCommand(const QByteArray &baFolder, bool bShellV2)
{
    const QByteArray baFind = "find " + Quote(baFolder) + kStatFormat;
    if (bShellV2)
        return baFind;
    return baFind + " 2>/dev/null && echo " + kDone + " || echo " + kPartial;
}

QByteArray AdbShellFiles::ReadCommand(const QByteArray &baPath, bool bShellV2)
{
    const QByteArray baCat = "cat " + Quote(baPath);
    return bShellV2 ? baCat : baCat + " 2>/dev/null && echo " + kDone;
}

AdbShellFiles::Ending AdbShellFiles::TakeEnding(QByteArray &baOutput)
{
    for (const char *szEnding : {kDone, kPartial}) {
        const QByteArray baLine = QByteArray(szEnding) + '\n';
        if (baOutput == baLine || baOutput.endsWith('\n' + baLine)) {
            baOutput.chop(baLine.size());
            return szEnding == kDone ? Ending::Done : Ending::Partial;
        }
    }
    return Ending::None;
}

AdbShellFiles::Listing AdbShellFiles::ParseListing(QByteArray baOutput, int nExitStatus, const QByteArray &baFolder)
{
    Listing listing;
    if (nExitStatus < 0) {
        const Ending ending = TakeEnding(baOutput);
        if (ending == Ending::None)
            return listing;
        listing.bComplete = ending == Ending::Done;
    } else {
        listing.bComplete = nExitStatus == 0;
    }
    if (!ParseList(baOutput, baFolder, listing.listEntries)) {
        listing = Listing();
        return listing;
    }
    // A failure with nothing listed: the folder itself could not be read.
    listing.bOpened = listing.bComplete || !listing.listEntries.isEmpty();
    return listing;
}

bool AdbShellFiles::ParseList(const QByteArray &baLines, const QByteArray &baFolder,
                              QList<AdbSync::Entry> &listEntries)
{
    if (!baLines.isEmpty() && !baLines.endsWith('\n'))
        return false;
    const QByteArray baPrefix = baFolder + '/';
    static const QRegularExpression reHead(QStringLiteral("^([0-9a-f]+) ([0-9]+) (-?[0-9]+) $"));
    QList<QByteArray> listLines = baLines.split('\n');
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
