#pragma once

#include <PackageReader.h>

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

// What every backuptool command shares: where text goes, how errors look,
// the exit statuses, argument checks and how package texts are shown.
class ToolOutput
{
public:
    enum ExitStatus : int
    {
        ExitOk = 0,
        ExitFailure = 1, // missing, unreadable, truncated, malformed or unsound package
        ExitUsage = 2    // wrong arguments
    };

    explicit ToolOutput(std::FILE *pOut = stdout, std::FILE *pErr = stderr);

    void Line(const QString &strText = QString());
    void Json(const QJsonObject &object);
    // "backuptool: <text>" on the error stream; returns ExitFailure.
    int Error(const QString &strText);
    // A usage error of a command, with a hint at its help; returns ExitUsage.
    int UsageError(const QString &strCommand, const QString &strText);

    // True when the arguments ask for help.
    static bool WantsHelp(const QStringList &listArgs);
    // Splits arguments into positional ones and the options in listKnown;
    // false (with strError set) on an unknown option.
    static bool SplitArgs(const QStringList &listArgs, const QStringList &listKnown, QStringList &listPositional,
                          QStringList &listOptions, QString &strError);
    // A package path as the engine takes it (8-bit, local encoding).
    static QByteArray NativePath(const QString &strPath);
    // 8-bit text from a package, decoded from the local encoding, with
    // control characters shown as \xNN (\uNNNN for the bidirectional marks).
    static QString Printable(const QByteArray &baText);
    static QString Printable(const QString &strText);

    // Why a package could not be opened, in words for people: "cannot read"
    // a missing or unreadable file, "not a backup package" for a file of
    // another kind, else the reader's words. Printed as an error; returns
    // ExitFailure.
    int PackageError(const QString &strPackage, PackageReader::OpenResult result, bool bGzip,
                     const QString &strReaderText);
    static QString PackageErrorText(const QString &strPackage, PackageReader::OpenResult result, bool bGzip,
                                    const QString &strReaderText);
    // When strPath names an interrupted backup (its folder, or the package
    // its run would have written), says so: not a complete backup, the files
    // it keeps, and that running the backup again finishes it. As an error,
    // or with bJson as one JSON object (package, interrupted, filesKept,
    // backupFolder, error, and the fields of jsonExtra). Returns true (the
    // command ends with ExitFailure); false when strPath names none.
    bool ReportInterrupted(const QString &strPath, bool bJson, const QJsonObject &jsonExtra = QJsonObject());
    // The paragraph of a command's help that says so, with a blank line after it.
    static QString InterruptedHelp();

    // The word of the kind a package count slot counts ("contacts", "sms",
    // ...); "system" for the slot no kind fills, "slot N" for unused ones.
    static QString CountName(int nIndex);
    // The slots of a header's counts (nCounts of them) in the order people
    // read them: every kind's, as a backup runs them, then the other slots
    // that are not 0.
    static QList<int> CountOrder(const quint32 *pCounts, int nCounts);
    // "  contacts   40" for each of CountOrder.
    static QStringList CountLines(const quint32 *pCounts, int nCounts);
    // The phone's name from a package's device name: the part before the
    // 0x10 that separates it from the phone's serial text, shown printable.
    static QString PhoneName(const QByteArray &baDeviceName);
    // A versioned package's version text without its leading "Version: ".
    static QString VersionShown(const QByteArray &baVersion);

private:
    std::FILE *m_pOut;
    std::FILE *m_pErr;
};
