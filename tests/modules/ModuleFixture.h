#pragma once

// Helpers shared by the module tests: what the simulated phone was asked to
// do, readable status records, and the files under a folder.

#include "BackupKinds.h"
#include "BackupRecords.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStringList>

#include <cstdlib>
#include <memory>

namespace ModuleFixture
{
// A new module of the kind with this code, as the factory makes it; null when
// no kind has the code or its module is no T.
template <typename T> std::unique_ptr<T> CreateModule(int nCode)
{
    const BackupKind *pKind = BackupKinds::ByCode(nCode);
    std::unique_ptr<BackUpRestoreInterface> pModule(pKind ? pKind->pfnCreate() : nullptr);
    T *pTyped = qobject_cast<T *>(pModule.get());
    if (pTyped)
        pModule.release();
    return std::unique_ptr<T>(pTyped);
}

// The SDK calls since the last ClearCalls(), oldest first.
inline QStringList Calls()
{
    char *pLog = DVSK_Sim_GetCallLog();
    const QString strLog = pLog ? QString::fromUtf8(pLog) : QString();
    free(pLog);
    return strLog.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline void ClearCalls() { DVSK_Sim_ClearCallLog(); }

// The phone paths of the files copied (or tried), in call order.
inline QStringList CopiedPhonePaths()
{
    QStringList listPaths;
    for (const QString &strCall : Calls()) {
        if (!strCall.startsWith(QLatin1String("DVSK_GetFile ")))
            continue;
        // DVSK_GetFile "<local>" "<remote>" <mode>
        const QStringList listQuoted = strCall.split(QLatin1Char('"'));
        if (listQuoted.size() >= 5)
            listPaths << listQuoted.at(3);
    }
    return listPaths;
}

// The raised flags of a status record, by name, in field order.
inline QString Flags(const FILESTATUS &status)
{
    const bool abFlags[] = {status.bPB,       status.bSMS,   status.bCalendar, status.bFlag3,    status.bAPK,
                            status.bImage,    status.bVideo, status.bAudio,    status.bCallLog,  status.bEmail,
                            status.bBookmark, status.bMMS,   status.bTransporting};
    const char *const kNames[] = {"PB",    "SMS",   "Calendar", "Flag3", "APK",      "Image",       "Video",
                                  "Audio", "CallLog", "Email",  "Bookmark", "MMS", "Transporting"};
    QStringList list;
    for (size_t i = 0; i < sizeof(abFlags); ++i) {
        if (abFlags[i])
            list << QLatin1String(kNames[i]);
    }
    return list.join(QLatin1Char(' '));
}

// Every file and link under a folder, relative to it, sorted.
inline QStringList FilesUnder(const QString &strDir)
{
    QStringList list;
    const QDir root(strDir);
    QDirIterator it(strDir, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        list << root.relativeFilePath(it.next());
    list.sort();
    return list;
}

// The progress events of one phase recorded by a spy on signalBackupPro.
inline QList<QList<int>> ProgressOfType(const QSignalSpy &spy, int nProType)
{
    QList<QList<int>> list;
    for (const QList<QVariant> &args : spy) {
        if (args.at(1).toInt() == nProType)
            list.append({args.at(0).toInt(), args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt()});
    }
    return list;
}

// The status record of the i-th call recorded by a spy.
inline FILESTATUS StatusAt(const QSignalSpy &spy, int i) { return spy.at(i).at(0).value<FILESTATUS>(); }

inline QByteArray ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString &strPath, const QByteArray &baData)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baData) == baData.size();
}
} // namespace ModuleFixture
