#include "ExportCommand.h"

#include "ToolOutput.h"

#include <RecordExport.h>
#include <RestoreSource.h>

#include <QDir>

QString ExportCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool export PACKAGE DIR\n"
        "\n"
        "Writes the records of a backup package into DIR (created when missing)\n"
        "under names other programs open: contacts.vcf (vCard), calendar.ics\n"
        "(iCalendar), call-log.xml, and messages.xml (text and multimedia\n"
        "messages in one document). Where the phone wrote another format, the\n"
        "file keeps its name in the package (PB.zip, EMAIL.zip, ...) and its\n"
        "bytes. A README.txt says what is where. Files of the same name in DIR\n"
        "are replaced. The package is verified first; a damaged package is\n"
        "refused with the reason.\n"
        "\n"
        "Options:\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 every record file was written, 1 the package is missing\n"
        "or damaged or DIR cannot be written, 2 wrong arguments.");
}

int ExportCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("export"), strError);
    if (listPositional.size() != 2)
        return out.UsageError(QStringLiteral("export"), QStringLiteral("expects a PACKAGE and a DIR"));
    const QString strFolder = listPositional.at(1);
    RestoreSource source;
    if (!source.Open(listPositional.at(0), strError))
        return out.Error(QStringLiteral("export: %1").arg(ToolOutput::Printable(strError)));
    QStringList listWritten;
    if (!RecordExport::Export(source, strFolder, listWritten, strError))
        return out.Error(QStringLiteral("export: %1").arg(ToolOutput::Printable(strError)));
    for (const QString &strName : qAsConst(listWritten))
        out.Line(QStringLiteral("wrote %1").arg(QDir::toNativeSeparators(QDir(strFolder).filePath(strName))));
    return ToolOutput::ExitOk;
}
