#include "ExtractCommand.h"

#include "ToolOutput.h"

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
        "'..' are skipped; nothing is written outside DIR. An entry that the\n"
        "package holds only in part is not written.\n"
        "\n"
        "Options:\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 every entry written, 1 the package is missing,\n"
        "unreadable, truncated or malformed, or DIR cannot be written (entries\n"
        "written before the failure stay), 2 wrong arguments.");
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

    // The header first, for a clear message about a package that has none.
    {
        PackageReader reader;
        if (reader.Open(baPackage) != PackageReader::OpenOk)
            return out.Error(QStringLiteral("%1: %2").arg(strPackage, reader.ErrorText()));
    }
    if (!QDir().mkpath(strFolder))
        return out.Error(QStringLiteral("%1: cannot create the folder").arg(strFolder));

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[BackUpHead::kMaxCounts] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(baPackage, listNames, anCounts, baDevice);
    const bool bOk = zip.UnZipPkg(baPackage, ToolOutput::NativePath(strFolder));
    for (const QString &strFile : zip.LastExtracted())
        out.Line(QStringLiteral("wrote %1").arg(QDir::toNativeSeparators(strFile)));
    for (int nIndex : zip.LastSkipped())
        out.Line(QStringLiteral("skipped entry %1: its name gives no usable file name").arg(nIndex));
    if (!bOk)
        return out.Error(QStringLiteral("%1: extraction stopped: %2").arg(strPackage, zip.LastError()));
    out.Line(QStringLiteral("%1 entries written to %2").arg(zip.LastExtracted().size()).arg(strFolder));
    return ToolOutput::ExitOk;
}
