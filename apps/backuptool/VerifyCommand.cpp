#include "VerifyCommand.h"

#include "ToolOutput.h"

#include <PackageVerifier.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

QString VerifyCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool verify PACKAGE [--json]\n"
        "\n"
        "Reads the whole package as a reader would: the gzip stream and its\n"
        "checksum, the header layout, every entry's declared size against what\n"
        "the stream holds, that nothing is left over after the last entry, and\n"
        "that Info.xml reads and gives the same counts as the header.\n"
        "Says plainly whether the package is sound and, when it is not, what is\n"
        "wrong and which entries are still intact (byte-exact). Check a backup\n"
        "before you rely on it.\n"
        "\n"
        "A file that cannot be read, or that is not a backup package at all\n"
        "(an ordinary ZIP archive, a text), is said to be so. So is an\n"
        "interrupted backup (the backup folder a run cut off by the phone left,\n"
        "or the package that run would have written): it is not a complete\n"
        "backup and never sound; running the same backup again finishes it.\n"
        "Its --json object has interrupted (true), filesKept and backupFolder.\n"
        "\n"
        "Options:\n"
        "  --json   print the verdict as one JSON object: package, readable,\n"
        "           backupPackage, sound, error (why it could not be read or is\n"
        "           no package), layout, version, deviceName, checksumConfirmed,\n"
        "           entries (index, name, target, state, held, declared), notes,\n"
        "           problems and interrupted (false)\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 sound, 1 not sound (missing, unreadable, not a backup\n"
        "package, truncated, malformed or interrupted), 2 wrong arguments.");
}

int VerifyCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {QStringLiteral("--json")}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("verify"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("verify"), QStringLiteral("expects exactly one PACKAGE"));
    const QString strPackage = listPositional.first();
    const bool bJson = listOptions.contains(QStringLiteral("--json"));
    // An interrupted backup has no package to give a verdict on; it is never
    // sound.
    const QJsonObject jsonNoVerdict{{QStringLiteral("readable"), false},
                                    {QStringLiteral("backupPackage"), false},
                                    {QStringLiteral("sound"), false},
                                    {QStringLiteral("notes"), QJsonArray()},
                                    {QStringLiteral("problems"), QJsonArray()}};
    if (out.ReportInterrupted(strPackage, bJson, jsonNoVerdict))
        return ToolOutput::ExitFailure;

    PackageVerifier verifier;
    const bool bSound = verifier.Verify(ToolOutput::NativePath(strPackage));
    // A file that is unreadable or of another kind has no verdict to give.
    const bool bNoPackage = !verifier.HeadRead() && IsNoPackage(verifier);
    const QString strNoPackage =
        bNoPackage ? ToolOutput::PackageErrorText(strPackage, verifier.OpenResult(), verifier.IsGzip(),
                                                  verifier.OpenErrorText())
                   : QString();
    if (bJson) {
        out.Json(JsonVerdict(strPackage, verifier, strNoPackage));
        return bSound ? ToolOutput::ExitOk : ToolOutput::ExitFailure;
    }
    if (bNoPackage)
        return out.Error(strNoPackage);
    PrintText(strPackage, verifier, out);
    if (bSound)
        return ToolOutput::ExitOk;
    out.Error(QStringLiteral("%1: the package is not sound").arg(strPackage));
    return ToolOutput::ExitFailure;
}

bool VerifyCommand::IsNoPackage(const PackageVerifier &verifier)
{
    return verifier.OpenResult() == PackageReader::CannotOpen || verifier.OpenResult() == PackageReader::NotAPackage
           || !verifier.IsGzip();
}

void VerifyCommand::PrintText(const QString &strPackage, const PackageVerifier &verifier, ToolOutput &out)
{
    out.Line(QStringLiteral("Package:  %1").arg(strPackage));
    if (verifier.HeadRead()) {
        const PackageLayout &layout = PackageLayout::Get(verifier.Layout());
        out.Line(QStringLiteral("Layout:   %1%2")
                     .arg(QLatin1String(layout.szName),
                          layout.bVersioned ? QStringLiteral(" (\"%1\")").arg(ToolOutput::Printable(verifier.VersionText()))
                                            : QStringLiteral(" (unversioned)")));
        out.Line(QStringLiteral("Phone:    %1").arg(ToolOutput::PhoneName(verifier.DeviceName())));
        out.Line(QStringLiteral("Entries:  %1").arg(verifier.Entries().size()));
        for (const PackageVerifier::Entry &entry : verifier.Entries()) {
            out.Line(QStringLiteral("  %1 %2 %3 of %4 bytes  %5")
                         .arg(entry.nIndex, 4)
                         .arg(QLatin1String(PackageVerifier::StateName(entry.state)), -22)
                         .arg(entry.nHeld)
                         .arg(entry.nDeclared)
                         .arg(ToolOutput::Printable(entry.baName)));
        }
        out.Line(QStringLiteral("Checksum: %1").arg(verifier.ChecksumConfirmed() ? QStringLiteral("confirmed")
                                                                                 : QStringLiteral("not confirmed")));
    }
    for (const QString &strNote : verifier.Notes())
        out.Line(QStringLiteral("Note: %1").arg(strNote));
    if (verifier.IsSound()) {
        out.Line(QStringLiteral("The package is sound."));
        return;
    }
    out.Line(QStringLiteral("The package is NOT sound:"));
    for (const QString &strProblem : verifier.Problems())
        out.Line(QStringLiteral("  - %1").arg(strProblem));
    if (!verifier.HeadRead())
        return;
    // Intact means byte-exact; what was read in full without confirmation is
    // listed apart.
    QStringList listIntact;
    QStringList listUnconfirmed;
    for (const PackageVerifier::Entry &entry : verifier.Entries()) {
        const QString strEntry = QStringLiteral("%1 %2").arg(entry.nIndex).arg(ToolOutput::Printable(entry.baTarget));
        if (entry.state == PackageVerifier::EntryIntact)
            listIntact << strEntry;
        else if (entry.state == PackageVerifier::EntryComplete)
            listUnconfirmed << strEntry;
    }
    out.Line(QStringLiteral("Intact entries: %1")
                 .arg(listIntact.isEmpty() ? QStringLiteral("none") : listIntact.join(QStringLiteral(", "))));
    if (!listUnconfirmed.isEmpty())
        out.Line(QStringLiteral("Read in full, but not confirmed (their bytes may be wrong): %1")
                     .arg(listUnconfirmed.join(QStringLiteral(", "))));
}

QJsonObject VerifyCommand::JsonVerdict(const QString &strPackage, const PackageVerifier &verifier,
                                       const QString &strNoPackage)
{
    QJsonObject verdict{{QStringLiteral("package"), strPackage},
                        {QStringLiteral("readable"), verifier.OpenResult() != PackageReader::CannotOpen},
                        {QStringLiteral("backupPackage"), verifier.HeadRead() || strNoPackage.isEmpty()},
                        {QStringLiteral("sound"), verifier.IsSound() && verifier.HeadRead()},
                        {QStringLiteral("error"), strNoPackage.isEmpty() ? QJsonValue() : QJsonValue(strNoPackage)},
                        {QStringLiteral("notes"), QJsonArray::fromStringList(verifier.Notes())},
                        {QStringLiteral("problems"), QJsonArray::fromStringList(verifier.Problems())},
                        {QStringLiteral("interrupted"), false}};
    if (!verifier.HeadRead())
        return verdict;
    const PackageLayout &layout = PackageLayout::Get(verifier.Layout());
    verdict.insert(QStringLiteral("layout"), QString::fromLatin1(layout.szName));
    verdict.insert(QStringLiteral("version"), QString::fromLocal8Bit(verifier.VersionText()));
    verdict.insert(QStringLiteral("deviceName"), QString::fromLocal8Bit(verifier.DeviceName()));
    verdict.insert(QStringLiteral("checksumConfirmed"), verifier.ChecksumConfirmed());
    QJsonArray entries;
    for (const PackageVerifier::Entry &entry : verifier.Entries()) {
        entries.append(QJsonObject{{QStringLiteral("index"), entry.nIndex},
                                   {QStringLiteral("name"), QString::fromLocal8Bit(entry.baName)},
                                   {QStringLiteral("target"), QString::fromLocal8Bit(entry.baTarget)},
                                   {QStringLiteral("state"), QLatin1String(PackageVerifier::StateName(entry.state))},
                                   {QStringLiteral("held"), entry.nHeld},
                                   {QStringLiteral("declared"), qint64(entry.nDeclared)}});
    }
    verdict.insert(QStringLiteral("entries"), entries);
    return verdict;
}
