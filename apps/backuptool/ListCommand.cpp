#include "ListCommand.h"

#include "ToolOutput.h"

#include <PackageReader.h>

#include <QJsonArray>
#include <QJsonObject>

QString ListCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool list PACKAGE [--json]\n"
        "\n"
        "Shows the header of a backup package: its layout, version, the phone's\n"
        "name, the item count of every kind of data (by the words 'backuptool\n"
        "run --help' lists), and each entry's stored name and size. Only the\n"
        "header is read; use 'verify' to check the entries themselves.\n"
        "\n"
        "Options:\n"
        "  --json   print the header as one JSON object: package, layout,\n"
        "           versioned, version and deviceName (the stored texts),\n"
        "           counts (by field name: SMSCount, PBCount, ...) and entries\n"
        "           (index, name, size), and interrupted (false)\n"
        "  --help   show this help\n"
        "\n")
        + ToolOutput::InterruptedHelp()
        + QStringLiteral(
        "Exit status: 0 listed, 1 the package is missing, unreadable, has no\n"
        "readable header or is an interrupted backup, 2 wrong arguments.");
}

int ListCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {QStringLiteral("--json")}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("list"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("list"), QStringLiteral("expects exactly one PACKAGE"));
    const QString strPackage = listPositional.first();
    const bool bJson = listOptions.contains(QStringLiteral("--json"));
    if (out.ReportInterrupted(strPackage, bJson))
        return ToolOutput::ExitFailure;

    PackageReader reader;
    const PackageReader::OpenResult opened = reader.Open(ToolOutput::NativePath(strPackage));
    if (opened != PackageReader::OpenOk)
        return out.PackageError(strPackage, opened, reader.IsGzip(), reader.ErrorText());
    if (bJson)
        PrintJson(strPackage, reader, out);
    else
        PrintText(strPackage, reader, out);
    return ToolOutput::ExitOk;
}

void ListCommand::PrintJson(const QString &strPackage, const PackageReader &reader, ToolOutput &out)
{
    const PackageLayout &layout = PackageLayout::Get(reader.Layout());
    const BackUpHead &head = reader.Head();
    const QByteArray baVersion =
        layout.bVersioned ? PackageLayout::FieldText(head.Version, BackUpHead::kVersionSize) : QByteArray();
    const QByteArray baDevice = PackageLayout::FieldText(head.DeviceName, BackUpHead::kDeviceNameSize);
    QJsonObject counts;
    for (int i = 0; i < layout.nCounts; ++i)
        counts.insert(QString::fromLatin1(PackageLayout::CountName(i)), qint64(head.Counts[i]));
    QJsonArray entries;
    for (int i = 0; i < reader.EntryCount(); ++i) {
        entries.append(QJsonObject{{QStringLiteral("index"), i},
                                   {QStringLiteral("name"), QString::fromLocal8Bit(reader.EntryName(i))},
                                   {QStringLiteral("size"), qint64(head.Size[i])}});
    }
    out.Json(QJsonObject{{QStringLiteral("package"), strPackage},
                         {QStringLiteral("layout"), QString::fromLatin1(layout.szName)},
                         {QStringLiteral("versioned"), layout.bVersioned},
                         {QStringLiteral("version"), QString::fromLocal8Bit(baVersion)},
                         {QStringLiteral("deviceName"), QString::fromLocal8Bit(baDevice)},
                         {QStringLiteral("counts"), counts},
                         {QStringLiteral("entries"), entries},
                         {QStringLiteral("interrupted"), false}});
}

void ListCommand::PrintText(const QString &strPackage, const PackageReader &reader, ToolOutput &out)
{
    const PackageLayout &layout = PackageLayout::Get(reader.Layout());
    const BackUpHead &head = reader.Head();
    out.Line(QStringLiteral("Package:  %1").arg(strPackage));
    out.Line(QStringLiteral("Layout:   %1 (%2, %3 counts)")
                 .arg(QLatin1String(layout.szName),
                      layout.bVersioned ? QStringLiteral("versioned") : QStringLiteral("unversioned"))
                 .arg(layout.nCounts));
    if (layout.bVersioned)
        out.Line(QStringLiteral("Version:  %1")
                     .arg(ToolOutput::VersionShown(PackageLayout::FieldText(head.Version, BackUpHead::kVersionSize))));
    out.Line(QStringLiteral("Phone:    %1")
                 .arg(ToolOutput::PhoneName(PackageLayout::FieldText(head.DeviceName, BackUpHead::kDeviceNameSize))));
    out.Line(QStringLiteral("Counts:"));
    for (const QString &strLine : ToolOutput::CountLines(head.Counts, layout.nCounts))
        out.Line(strLine);
    out.Line(QStringLiteral("Entries:  %1").arg(reader.EntryCount()));
    for (int i = 0; i < reader.EntryCount(); ++i) {
        out.Line(QStringLiteral("  %1 %2  %3")
                     .arg(i, 4)
                     .arg(head.Size[i], 12)
                     .arg(ToolOutput::Printable(reader.EntryName(i))));
    }
}
