#pragma once

#include "BackupRecords.h"
#include "PhoneInfo.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class BackUpUILogic;

// Writes the device information file "Info.xml" of a backup, byte for byte
// as its fixed template says, fetches the phone description from the backup
// logic, and reads such a file back.
class ParseInfo
{
public:
    // Uses the backup logic's single instance.
    ParseInfo();
    // Uses the given logic object; null leaves the phone description empty.
    explicit ParseInfo(BackUpUILogic *pLogic);
    ~ParseInfo();
    ParseInfo(const ParseInfo &) = delete;
    ParseInfo &operator=(const ParseInfo &) = delete;

    // "Info.xml".
    static QString FileName();

    // Fills info from the backup logic; leaves it unchanged without one.
    void GetPhoneInfo(PhoneInfo &info);
    // The device SDK's count and size of a module type; -1 without logic.
    int GetBackUpCount(int nType, int *pCount, int *pSize);

    // Writes strFolder + "Info.xml" (no separator is inserted). Returns
    // whether the file was written; a failed write leaves no partial file.
    bool WriteInfo(const QString &strFolder, const PhoneInfo &info, const BackupItems &items,
                   const BackupCounts &counts);
    // The file's bytes as WriteInfo writes them.
    static QByteArray InfoContent(const PhoneInfo &info, const BackupItems &items, const BackupCounts &counts);

    // Reads strFolder + "Info.xml": 0 on success, 1 when the file is missing
    // or damaged (the values read before stay then).
    int ReadInfo(const QString &strFolder);
    QString FullPath() const { return m_strFullPath; }
    // What ReadInfo found.
    const PhoneInfo &ReadPhoneInfo() const { return m_readPhoneInfo; }
    bool HasModule(const QString &strName) const;
    QString ModuleText(const QString &strName) const;
    const QList<QPair<QString, QString>> &Modules() const { return m_listModules; }

private:
    BackUpUILogic *const m_pLogic;
    QString m_strFullPath;
    PhoneInfo m_readPhoneInfo;
    QList<QPair<QString, QString>> m_listModules;
};
