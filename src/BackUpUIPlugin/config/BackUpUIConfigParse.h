#pragma once

#include "PluginInfo.h"

#include <QRecursiveMutex>
#include <QString>

class QXmlStreamReader;

// Reads the items the plugin offers from "BackupConfig.xml" beside the plugin
// (<plugin library path>/plugins/BackUpUIPlugin/BackupConfig.xml) into two
// tables keyed by item id: the main items ("Common", one tile each) and the
// sub-items ("Child"). One instance per process; the file is read when the
// instance is created and again on every LoadFile().
//
// Only a <layout mode="BackUpUIPlugin"> is read; <group> elements only group
// items, and items may be nested at any depth inside the layout. A later item
// with the same id replaces an earlier one.
class BackUpUIConfigParse
{
public:
    static BackUpUIConfigParse *GetInstance();
    static void DestroyInstance();

    // The full path of the configuration file, from the host's plugin library
    // path (read on every call).
    static QString ConfigFilePath();

    // (Re)reads the file. False when it is missing, unreadable or malformed, or
    // when the last <layout> of the file is not ours; what was read stays.
    bool LoadFile();

    // Copies of the tables (implicitly shared, so cheap).
    PluginInfoTable GetCommonItems() const;
    PluginInfoTable GetChildItems() const;
    // "BackupConfig.xml" after a successful open, empty after a failed one.
    QString GetFileName() const;

    void ReleaseData();

private:
    BackUpUIConfigParse();
    ~BackUpUIConfigParse();
    BackUpUIConfigParse(const BackUpUIConfigParse &) = delete;
    BackUpUIConfigParse &operator=(const BackUpUIConfigParse &) = delete;

    bool readFile(QXmlStreamReader &reader);
    bool readLayoutModeInfo(QXmlStreamReader &reader);
    bool readStyleInfo(QXmlStreamReader &reader);
    bool readItemInfo(QXmlStreamReader &reader);

    mutable QRecursiveMutex m_mutex;
    PluginInfoTable m_hashCommon;
    PluginInfoTable m_hashChild;
    QString m_strFileName;
};
