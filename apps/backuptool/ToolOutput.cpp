#include "ToolOutput.h"

#include <BackupKinds.h>
#include <InterruptedRun.h>
#include <PackageLayout.h>
#include <SafeFileName.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

ToolOutput::ToolOutput(std::FILE *pOut, std::FILE *pErr) : m_pOut(pOut), m_pErr(pErr) {}

void ToolOutput::Line(const QString &strText)
{
    const QByteArray baLine = strText.toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pOut);
    std::fflush(m_pOut);
}

void ToolOutput::Json(const QJsonObject &object)
{
    const QByteArray baJson = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(baJson.constData(), 1, size_t(baJson.size()), m_pOut);
    std::fflush(m_pOut);
}

int ToolOutput::Error(const QString &strText)
{
    const QByteArray baLine = QByteArray("backuptool: ") + strText.toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pErr);
    std::fflush(m_pErr);
    return ExitFailure;
}

int ToolOutput::UsageError(const QString &strCommand, const QString &strText)
{
    Error(QStringLiteral("%1: %2 (see: backuptool %1 --help)").arg(strCommand, strText));
    return ExitUsage;
}

bool ToolOutput::WantsHelp(const QStringList &listArgs)
{
    return listArgs.contains(QStringLiteral("--help")) || listArgs.contains(QStringLiteral("-h"));
}

bool ToolOutput::SplitArgs(const QStringList &listArgs, const QStringList &listKnown, QStringList &listPositional,
                           QStringList &listOptions, QString &strError)
{
    bool bOptionsEnded = false;
    for (const QString &strArg : listArgs) {
        if (!bOptionsEnded && strArg == QLatin1String("--")) {
            bOptionsEnded = true;
        } else if (!bOptionsEnded && strArg.startsWith(QLatin1Char('-')) && strArg.size() > 1) {
            if (!listKnown.contains(strArg)) {
                strError = QStringLiteral("unknown option %1").arg(strArg);
                return false;
            }
            listOptions << strArg;
        } else {
            listPositional << strArg;
        }
    }
    return true;
}

QByteArray ToolOutput::NativePath(const QString &strPath)
{
    return QFile::encodeName(strPath);
}

QString ToolOutput::Printable(const QByteArray &baText)
{
    return Printable(QString::fromLocal8Bit(baText));
}

QString ToolOutput::Printable(const QString &strText)
{
    QString strShown;
    for (const QChar ch : strText) {
        if (ch.unicode() <= 0xff && SafeFileName::IsControlCharacter(ch.unicode()))
            strShown += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else if (SafeFileName::IsControlCharacter(ch.unicode()))
            strShown += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
        else
            strShown += ch;
    }
    return strShown;
}

QString ToolOutput::PackageErrorText(const QString &strPackage, PackageReader::OpenResult result, bool bGzip,
                                     const QString &strReaderText)
{
    if (QFileInfo(strPackage).isDir()) {
        // The folder a backup writes beside its package is the likeliest
        // folder to be given: name the package it belongs to.
        QString strFolder = strPackage;
        while (strFolder.size() > 1 && strFolder.endsWith(QLatin1Char('/')))
            strFolder.chop(1);
        const QString strBeside = strFolder + QStringLiteral(".zip");
        if (QFileInfo(strBeside).isFile())
            return QStringLiteral("%1 is a backup folder, not a package; its package is %2").arg(strPackage, strBeside);
        return QStringLiteral("%1 is a folder, not a backup package").arg(strPackage);
    }
    QFile file(strPackage);
    const bool bReadable = file.open(QIODevice::ReadOnly);
    if (!bReadable)
        return QStringLiteral("cannot read %1: %2").arg(strPackage, file.errorString());
    if (result == PackageReader::CannotOpen)
        return QStringLiteral("cannot read %1: %2").arg(strPackage, strReaderText);
    if (!bGzip || result == PackageReader::NotAPackage) {
        // An ordinary ZIP archive is the likeliest mix-up: packages end in .zip.
        const bool bZip = file.read(4) == QByteArray("PK\x03\x04", 4);
        return QStringLiteral("%1 is not a backup package%2")
            .arg(strPackage, bZip ? QStringLiteral(" (it is an ordinary ZIP archive)") : QString());
    }
    return QStringLiteral("%1: %2").arg(strPackage, strReaderText);
}

int ToolOutput::PackageError(const QString &strPackage, PackageReader::OpenResult result, bool bGzip,
                             const QString &strReaderText)
{
    return Error(PackageErrorText(strPackage, result, bGzip, strReaderText));
}

bool ToolOutput::ReportInterrupted(const QString &strPath, bool bJson, const QJsonObject &jsonExtra)
{
    const QString strFolder = InterruptedRun::FolderNamedBy(strPath);
    if (strFolder.isEmpty())
        return false;
    const QString strText = InterruptedRun::NotCompleteText(strPath, strFolder);
    if (!bJson) {
        Error(strText);
        return true;
    }
    QJsonObject object = jsonExtra;
    object.insert(QStringLiteral("package"), strPath);
    object.insert(QStringLiteral("interrupted"), true);
    object.insert(QStringLiteral("filesKept"), InterruptedRun::KeptFiles(strFolder));
    object.insert(QStringLiteral("backupFolder"), strFolder);
    object.insert(QStringLiteral("error"), strText);
    Json(object);
    return true;
}

QString ToolOutput::InterruptedHelp()
{
    return QStringLiteral(
        "An interrupted backup (the backup folder a run cut off by the phone\n"
        "left, or the package that run would have written) is said to be one:\n"
        "it is not a complete backup, and running the same backup again\n"
        "finishes it. With --json: package, interrupted (true), filesKept,\n"
        "backupFolder and error.\n"
        "\n");
}

QString ToolOutput::CountName(int nIndex)
{
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.nPackageCountIndex == nIndex)
            return QLatin1String(kind.szToolName);
    }
    if (nIndex == PackageLayout::SYSCount)
        return QStringLiteral("system");
    return QStringLiteral("slot %1").arg(nIndex);
}

QString ToolOutput::PhoneName(const QByteArray &baDeviceName)
{
    const int nCut = baDeviceName.indexOf('\x10');
    return Printable(nCut < 0 ? baDeviceName : baDeviceName.left(nCut));
}

QString ToolOutput::VersionShown(const QByteArray &baVersion)
{
    const QByteArray baLabel("Version: ");
    return Printable(baVersion.startsWith(baLabel) ? baVersion.mid(baLabel.size()) : baVersion);
}

QList<int> ToolOutput::CountOrder(const quint32 *pCounts, int nCounts)
{
    QList<int> listSlots;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.nPackageCountIndex < nCounts)
            listSlots << kind.nPackageCountIndex;
    }
    for (int i = 0; i < nCounts; ++i) {
        if (!listSlots.contains(i) && pCounts[i] != 0)
            listSlots << i;
    }
    return listSlots;
}

QStringList ToolOutput::CountLines(const quint32 *pCounts, int nCounts)
{
    QStringList listLines;
    for (int nSlot : CountOrder(pCounts, nCounts))
        listLines << QStringLiteral("  %1 %2").arg(CountName(nSlot), -10).arg(pCounts[nSlot]);
    return listLines;
}
