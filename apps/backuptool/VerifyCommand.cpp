#include "VerifyCommand.h"

#include "ToolOutput.h"

#include <PackageVerifier.h>

QString VerifyCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool verify PACKAGE\n"
        "\n"
        "Reads the whole package as a reader would: the gzip stream and its\n"
        "checksum, the header layout, every entry's declared size against what\n"
        "the stream holds, that nothing is left over after the last entry, and\n"
        "that Info.xml reads and gives the same counts as the header.\n"
        "Says plainly whether the package is sound and, when it is not, what is\n"
        "wrong and which entries are still intact (byte-exact). Check a backup\n"
        "before you rely on it.\n"
        "\n"
        "Options:\n"
        "  --help   show this help\n"
        "\n"
        "Exit status: 0 sound, 1 not sound (missing, unreadable, truncated or\n"
        "malformed), 2 wrong arguments.");
}

int VerifyCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QStringList listOptions;
    QString strError;
    if (!ToolOutput::SplitArgs(listArgs, {}, listPositional, listOptions, strError))
        return out.UsageError(QStringLiteral("verify"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("verify"), QStringLiteral("expects exactly one PACKAGE"));
    const QString strPackage = listPositional.first();

    PackageVerifier verifier;
    const bool bSound = verifier.Verify(ToolOutput::NativePath(strPackage));
    out.Line(QStringLiteral("Package:  %1").arg(strPackage));
    if (verifier.HeadRead()) {
        const PackageLayout &layout = PackageLayout::Get(verifier.Layout());
        out.Line(QStringLiteral("Layout:   %1%2")
                     .arg(QLatin1String(layout.szName),
                          layout.bVersioned ? QStringLiteral(" (\"%1\")").arg(ToolOutput::Printable(verifier.VersionText()))
                                            : QStringLiteral(" (unversioned)")));
        out.Line(QStringLiteral("Device:   %1").arg(ToolOutput::Printable(verifier.DeviceName())));
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
    if (bSound) {
        out.Line(QStringLiteral("The package is sound."));
        return ToolOutput::ExitOk;
    }
    out.Line(QStringLiteral("The package is NOT sound:"));
    for (const QString &strProblem : verifier.Problems())
        out.Line(QStringLiteral("  - %1").arg(strProblem));
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
    if (verifier.HeadRead()) {
        out.Line(QStringLiteral("Intact entries: %1")
                     .arg(listIntact.isEmpty() ? QStringLiteral("none") : listIntact.join(QStringLiteral(", "))));
        if (!listUnconfirmed.isEmpty())
            out.Line(QStringLiteral("Read in full, but not confirmed (their bytes may be wrong): %1")
                         .arg(listUnconfirmed.join(QStringLiteral(", "))));
    }
    out.Error(QStringLiteral("%1: the package is not sound").arg(strPackage));
    return ToolOutput::ExitFailure;
}
