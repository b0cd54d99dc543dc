#include "InfoCommand.h"

#include "ToolOutput.h"

#include <InfoHander.h>
#include <PackageReader.h>

#include <QBuffer>
#include <QJsonObject>
#include <QJsonValue>

namespace
{
// Info.xml is a few hundred bytes; a much larger entry is not one.
const qint64 kMaxInfoSize = 1024 * 1024;

// The counts Info.xml records, by the names it stores them under.
const struct
{
    const char *szInfoName;
    const char *szWord;
} kInfoModules[] = {{"SMS", "sms"}, {"PB", "contacts"}, {"Calendar", "calendar"}, {"ApkData", "appdata"}};
} // namespace

QString InfoCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool info PACKAGE [--json]\n"
        "\n"
        "Shows what a backup package holds, for people: the phone's name and\n"
        "firmware, the customisation code and the host version it was written\n"
        "with (from its Info.xml entry), the count of every kind of data the\n"
        "package counts (by the words 'backuptool run --help' lists), and the\n"
        "counts Info.xml itself records. Control characters in texts are shown\n"
        "as \\xNN.\n"
        "\n"
        "Options:\n"
        "  --json   print the same as one JSON object: package, phoneName,\n"
        "           deviceName (as stored), firmware, customisation,\n"
        "           hostVersion, counts (by kind word), infoCounts (the\n"
        "           counts of Info.xml, by kind word) and interrupted (false)\n"
        "  --help   show this help\n"
        "\n")
        + ToolOutput::InterruptedHelp()
        + QStringLiteral(
        "Exit status: 0 shown, 1 the package is missing, unreadable, not a\n"
        "backup package, damaged before or inside its Info.xml entry, has\n"
        "none, or is an interrupted backup, 2 wrong arguments.");
}

int InfoCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {QStringLiteral("--json")}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("info"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("info"), QStringLiteral("expects exactly one PACKAGE"));
    const QString strPackage = listPositional.first();
    const bool bJson = listOptions.contains(QStringLiteral("--json"));
    if (out.ReportInterrupted(strPackage, bJson))
        return ToolOutput::ExitFailure;

    PackageReader reader;
    const PackageReader::OpenResult opened = reader.Open(ToolOutput::NativePath(strPackage));
    if (opened != PackageReader::OpenOk)
        return out.PackageError(strPackage, opened, reader.IsGzip(), reader.ErrorText());
    InfoHander handler;
    const int nStatus = ReadInfo(reader, strPackage, handler, out);
    if (nStatus != ToolOutput::ExitOk)
        return nStatus;
    const int nCounts = PackageLayout::Get(reader.Layout()).nCounts;
    if (bJson)
        PrintJson(strPackage, reader.Head(), nCounts, handler, out);
    else
        PrintText(strPackage, reader.Head(), nCounts, handler, out);
    return ToolOutput::ExitOk;
}

int InfoCommand::ReadInfo(PackageReader &reader, const QString &strPackage, InfoHander &handler, ToolOutput &out)
{
    int nInfo = -1;
    for (int i = 0; i < reader.EntryCount() && nInfo < 0; ++i) {
        if (PackageLayout::TargetName(reader.EntryName(i)) == "Info.xml")
            nInfo = i;
    }
    if (nInfo < 0)
        return out.Error(QStringLiteral("%1: the package holds no Info.xml entry").arg(strPackage));
    if (reader.Head().Size[nInfo] > kMaxInfoSize)
        return out.Error(QStringLiteral("%1: the Info.xml entry is too large to be one (%2 bytes)")
                             .arg(strPackage)
                             .arg(reader.Head().Size[nInfo]));
    for (int i = 0; i < nInfo; ++i) {
        if (reader.ReadEntry(nullptr) != PackageReader::ReadOk)
            return out.Error(QStringLiteral("%1: %2").arg(strPackage, reader.ErrorText()));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (reader.ReadEntry(&buffer) != PackageReader::ReadOk)
        return out.Error(QStringLiteral("%1: %2").arg(strPackage, reader.ErrorText()));
    if (!handler.Parse(buffer.data()))
        return out.Error(QStringLiteral("%1: the Info.xml entry cannot be read: %2").arg(strPackage, handler.ErrorText()));
    return ToolOutput::ExitOk;
}

QString InfoCommand::ModuleWord(const QString &strModule)
{
    for (const auto &module : kInfoModules) {
        if (strModule == QLatin1String(module.szInfoName))
            return QLatin1String(module.szWord);
    }
    return ToolOutput::Printable(strModule);
}

void InfoCommand::PrintText(const QString &strPackage, const BackUpHead &head, int nCounts, const InfoHander &handler,
                            ToolOutput &out)
{
    const PhoneInfo &phone = handler.Phone();
    out.Line(QStringLiteral("Package:        %1").arg(strPackage));
    out.Line(QStringLiteral("Phone:          %1").arg(ToolOutput::PhoneName(phone.DeviceName.toLocal8Bit())));
    out.Line(QStringLiteral("Firmware:       %1").arg(ToolOutput::Printable(phone.FirmWare)));
    out.Line(QStringLiteral("Customisation:  %1").arg(ToolOutput::Printable(phone.CVersion)));
    out.Line(QStringLiteral("Host version:   %1").arg(ToolOutput::Printable(phone.DashBoard)));
    out.Line(QStringLiteral("Counts:"));
    for (const QString &strLine : ToolOutput::CountLines(head.Counts, nCounts))
        out.Line(strLine);
    QStringList listInfo;
    for (const auto &module : handler.Modules())
        listInfo << ModuleWord(module.first) + QLatin1Char(' ') + ToolOutput::Printable(module.second);
    out.Line(QStringLiteral("Info.xml:       %1").arg(listInfo.isEmpty() ? QStringLiteral("no counts")
                                                                         : listInfo.join(QStringLiteral(", "))));
}

void InfoCommand::PrintJson(const QString &strPackage, const BackUpHead &head, int nCounts, const InfoHander &handler,
                            ToolOutput &out)
{
    const PhoneInfo &phone = handler.Phone();
    QJsonObject counts;
    for (int nSlot : ToolOutput::CountOrder(head.Counts, nCounts))
        counts.insert(ToolOutput::CountName(nSlot), qint64(head.Counts[nSlot]));
    QJsonObject infoCounts;
    for (const auto &module : handler.Modules()) {
        bool bNumber = false;
        const qint64 nValue = module.second.toLongLong(&bNumber);
        infoCounts.insert(ModuleWord(module.first), bNumber ? QJsonValue(nValue) : QJsonValue(module.second));
    }
    out.Json(QJsonObject{{QStringLiteral("package"), strPackage},
                         {QStringLiteral("phoneName"), phone.DeviceName.section(QChar(0x10), 0, 0)},
                         {QStringLiteral("deviceName"), phone.DeviceName},
                         {QStringLiteral("firmware"), phone.FirmWare},
                         {QStringLiteral("customisation"), phone.CVersion},
                         {QStringLiteral("hostVersion"), phone.DashBoard},
                         {QStringLiteral("counts"), counts},
                         {QStringLiteral("infoCounts"), infoCounts},
                         {QStringLiteral("interrupted"), false}});
}
