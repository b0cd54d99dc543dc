#include "ExtractCommand.h"

#include "ToolOutput.h"

#include <FolderMaker.h>
#include <MyZip.h>
#include <PackageReader.h>

#include <QDir>

QString ExtractCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool extract PACKAGE DIR\n"
        "\n"
        "Writes every entry of the package into DIR (created when missing),\n"
        "under its stored name behind the last '/' or '\\'. Existing files of\n"
        "the same name are replaced. Entries whose name is then empty, '.' or\n"
        "'..' are skipped; nothing is written outside DIR.\n"
        "\n"
        "Entries take their names only when the whole package was read, its\n"
        "length matched its table and the gzip checksum confirmed every byte.\n"
        "Otherwise an entry the package holds only in part is not written, and\n"
        "entries read in full are kept as NAME.unconfirmed: their bytes may be\n"
        "wrong.\n"
        "\n"
        "Options:\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 every entry written and confirmed, 1 the package is\n"
        "missing, unreadable, truncated, malformed or fails its checksum, or DIR\n"
        "cannot be written, 2 wrong arguments.");
}

int ExtractCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("extract"), strError);
    if (listPositional.size() != 2)
        return out.UsageError(QStringLiteral("extract"), QStringLiteral("expects a PACKAGE and a DIR"));
    const QString strPackage = listPositional.at(0);
    const QString strFolder = listPositional.at(1);
    const QByteArray baPackage = ToolOutput::NativePath(strPackage);
    if (out.ReportInterrupted(strPackage, false))
        return ToolOutput::ExitFailure;

    // The header first, for a clear message about a package that has none.
    {
        PackageReader reader;
        const PackageReader::OpenResult opened = reader.Open(baPackage);
        if (opened != PackageReader::OpenOk)
            return out.PackageError(strPackage, opened, reader.IsGzip(), reader.ErrorText());
    }
    QString strMakeError;
    if (!FolderMaker::MakePath(strFolder, strMakeError))
        return out.Error(QStringLiteral("%1: cannot create the folder: %2").arg(strFolder, strMakeError));

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[BackUpHead::kMaxCounts] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(baPackage, listNames, anCounts, baDevice);
    const bool bOk = zip.UnZipPkg(baPackage, ToolOutput::NativePath(strFolder));
    // Entry names come from the package: shown escaped, never raw.
    for (const QString &strFile : zip.LastExtracted())
        out.Line(QStringLiteral("wrote %1").arg(ToolOutput::Printable(QDir::toNativeSeparators(strFile))));
    for (const QString &strFile : zip.LastUnconfirmed())
        out.Line(QStringLiteral("kept %1 (read in full, but its bytes are not confirmed)")
                     .arg(ToolOutput::Printable(QDir::toNativeSeparators(strFile))));
    for (int nIndex : zip.LastSkipped())
        out.Line(QStringLiteral("skipped entry %1: its name gives no usable file name").arg(nIndex));
    if (!bOk)
        return out.Error(QStringLiteral("%1: extraction failed: %2").arg(strPackage, ToolOutput::Printable(zip.LastError())));
    out.Line(QStringLiteral("%1 entries written to %2").arg(zip.LastExtracted().size()).arg(ToolOutput::Printable(strFolder)));
    return ToolOutput::ExitOk;
}
