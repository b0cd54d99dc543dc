#include "InfoCommand.h"

#include "ToolOutput.h"

#include <InfoHander.h>
#include <PackageReader.h>

#include <QBuffer>

namespace
{
// Info.xml is a few hundred bytes; a much larger entry is not one.
const qint64 kMaxInfoSize = 1024 * 1024;
} // namespace

QString InfoCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool info PACKAGE\n"
        "\n"
        "Shows the phone description (host version, customisation code, phone\n"
        "name, firmware) and the module counts stored in the package's\n"
        "Info.xml entry. Control characters in texts are shown as \\xNN.\n"
        "\n"
        "Options:\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 shown, 1 the package is missing, unreadable, damaged\n"
        "before or inside its Info.xml entry, or has none, 2 wrong arguments.");
}

int InfoCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("info"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("info"), QStringLiteral("expects exactly one PACKAGE"));
    const QString strPackage = listPositional.first();

    PackageReader reader;
    if (reader.Open(ToolOutput::NativePath(strPackage)) != PackageReader::OpenOk)
        return out.Error(QStringLiteral("%1: %2").arg(strPackage, reader.ErrorText()));
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
    InfoHander handler;
    if (!handler.Parse(buffer.data()))
        return out.Error(QStringLiteral("%1: the Info.xml entry cannot be read: %2").arg(strPackage, handler.ErrorText()));

    const PhoneInfo &phone = handler.Phone();
    out.Line(QStringLiteral("Phone:"));
    out.Line(QStringLiteral("  DashBoard   %1").arg(ToolOutput::Printable(phone.DashBoard)));
    out.Line(QStringLiteral("  CVersion    %1").arg(ToolOutput::Printable(phone.CVersion)));
    out.Line(QStringLiteral("  DeviceName  %1").arg(ToolOutput::Printable(phone.DeviceName)));
    out.Line(QStringLiteral("  FirmWare    %1").arg(ToolOutput::Printable(phone.FirmWare)));
    out.Line(QStringLiteral("Modules:%1").arg(handler.Modules().isEmpty() ? QStringLiteral(" none") : QString()));
    for (const auto &module : handler.Modules())
        out.Line(QStringLiteral("  %1 %2").arg(ToolOutput::Printable(module.first), -11).arg(ToolOutput::Printable(module.second)));
    return ToolOutput::ExitOk;
}
