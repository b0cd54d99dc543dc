#include "BackUpUIConfigParse.h"

#include "host/CommonUtils.h"
#include "LogLine.h"

#include <QDebug>
#include <QFile>
#include <QMutex>
#include <QXmlStreamReader>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIConfigParse";

namespace
{
const QString kConfigFileName = QStringLiteral("BackupConfig.xml");
const QString kLayoutMode = QStringLiteral("BackUpUIPlugin");

QMutex s_instanceMutex;
BackUpUIConfigParse *s_pInstance = nullptr;

bool IsItemStart(const QXmlStreamReader &reader)
{
    return reader.isStartElement() && (reader.name() == QLatin1String("Common") || reader.name() == QLatin1String("Child"));
}

void LogFailure(const char *szFunction, const QString &strText)
{
    qWarning().noquote() << QString::asprintf("%s: %s: ", kLogSource, szFunction) + strText;
}
} // namespace

BackUpUIConfigParse *BackUpUIConfigParse::GetInstance()
{
    QMutexLocker locker(&s_instanceMutex);
    if (!s_pInstance) {
        s_pInstance = new BackUpUIConfigParse;
        s_pInstance->LoadFile();
    }
    return s_pInstance;
}

void BackUpUIConfigParse::DestroyInstance()
{
    QMutexLocker locker(&s_instanceMutex);
    delete s_pInstance;
    s_pInstance = nullptr;
}

QString BackUpUIConfigParse::ConfigFilePath()
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/plugins/BackUpUIPlugin/") + kConfigFileName;
}

BackUpUIConfigParse::BackUpUIConfigParse() = default;

BackUpUIConfigParse::~BackUpUIConfigParse()
{
    ReleaseData();
}

bool BackUpUIConfigParse::LoadFile()
{
    QMutexLocker locker(&m_mutex);
    ReleaseData();
    LogLine::Called(kLogSource, "LoadFile");

    const QString strPath = ConfigFilePath();
    QFile file(strPath);
    if (!file.exists()) {
        LogFailure("LoadFile", QStringLiteral("File %1 does not exist").arg(strPath));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LogFailure("LoadFile", QStringLiteral("Error open file:%1").arg(strPath));
        m_strFileName.clear();
        return false;
    }

    QXmlStreamReader reader(&file);
    const bool bResult = readFile(reader);
    file.close();
    m_strFileName = kConfigFileName;
    return bResult;
}

PluginInfoTable BackUpUIConfigParse::GetCommonItems() const
{
    QMutexLocker locker(&m_mutex);
    return m_hashCommon;
}

PluginInfoTable BackUpUIConfigParse::GetChildItems() const
{
    QMutexLocker locker(&m_mutex);
    return m_hashChild;
}

QString BackUpUIConfigParse::GetFileName() const
{
    QMutexLocker locker(&m_mutex);
    return m_strFileName;
}

void BackUpUIConfigParse::ReleaseData()
{
    QMutexLocker locker(&m_mutex);
    m_hashCommon.clear();
    m_hashChild.clear();
}

// Scans the whole document; every <layout> found decides the result, so the
// last one wins. A document that ends in an error is a failure even when the
// error is only noticed by the final read.
bool BackUpUIConfigParse::readFile(QXmlStreamReader &reader)
{
    LogLine::Called(kLogSource, "readFile");
    if (!reader.device()) {
        LogFailure("readFile", QStringLiteral("Stream reader not bind with device"));
        return false;
    }

    bool bResult = true;
    while (!reader.atEnd()) {
        if (reader.hasError())
            break;
        if (reader.isStartElement() && reader.name() == QLatin1String("layout"))
            bResult = readLayoutModeInfo(reader);
        reader.readNext();
    }
    if (reader.hasError()) {
        qWarning().noquote() << "Error: read" << reader.errorString();
        return false;
    }
    return bResult;
}

bool BackUpUIConfigParse::readLayoutModeInfo(QXmlStreamReader &reader)
{
    if (reader.attributes().value(QLatin1String("mode")) == kLayoutMode)
        return readStyleInfo(reader);
    return false;
}

// From the <layout> start tag up to its end tag.
bool BackUpUIConfigParse::readStyleInfo(QXmlStreamReader &reader)
{
    while (!reader.atEnd()) {
        if (reader.isEndElement() && reader.name() == QLatin1String("layout"))
            return true;
        if (reader.isStartElement()
            && (reader.name() == QLatin1String("group") || reader.name() == QLatin1String("Common")
                || reader.name() == QLatin1String("Child")))
            readItemInfo(reader);
        reader.readNext();
        if (reader.hasError()) {
            qWarning().noquote() << "Error: Read" << reader.errorString();
            ReleaseData();
            return false;
        }
    }
    // The input ended inside the layout without an error being reported.
    return true;
}

// Reads the items from the current token up to the first end tag and leaves
// the reader ON that end tag, so that the caller's single advance lands on
// the very next token. Consuming the end tag here as well would skip an item
// whose start tag follows directly, with nothing in between.
bool BackUpUIConfigParse::readItemInfo(QXmlStreamReader &reader)
{
    while (!reader.atEnd()) {
        if (IsItemStart(reader)) {
            const QXmlStreamAttributes attributes = reader.attributes();
            PluginInfo info;
            info.nKind = reader.name() == QLatin1String("Common") ? 0 : 1;
            info.nId = attributes.value(QLatin1String("id")).toUInt();
            info.strName = attributes.value(QLatin1String("name")).toString();
            info.bEnable = attributes.value(QLatin1String("enable")).toInt() != 0;
            if (info.nKind == 0)
                m_hashCommon.insert(info.nId, info);
            else
                m_hashChild.insert(info.nId, info);
        } else if (reader.isEndElement()) {
            return true;
        }
        reader.readNext();
        if (reader.hasError()) {
            qWarning().noquote() << "Read error" << reader.errorString();
            return true;
        }
    }
    return true;
}
