#include "DeviceBackend.h"

#include "FileProgressGate.h"

#include <QElapsedTimer>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{
// The plugin field of a progress report: the SDK's own modules report none.
const int kNoPlugin = 0;
} // namespace

DeviceBackend::~DeviceBackend() = default;

void DeviceBackend::SetEventCallback(DVSK_DevInitEventCallback pCallback)
{
    QMutexLocker locker(&m_callbackMutex);
    m_pEventCallback = pCallback;
}

void DeviceBackend::SetBackupCallback(DVSK_BackupCallback pCallback)
{
    QMutexLocker locker(&m_callbackMutex);
    m_pBackupCallback = pCallback;
}

void DeviceBackend::UnsetBackupCallback(DVSK_BackupCallback pCallback)
{
    QMutexLocker locker(&m_callbackMutex);
    if (m_pBackupCallback == pCallback)
        m_pBackupCallback = nullptr;
}

void DeviceBackend::SetFileProgressCallback(DVSK_FileProgressCallback pCallback)
{
    QMutexLocker locker(&m_callbackMutex);
    m_pFileProgressCallback = pCallback;
}

std::function<void(qint64)> DeviceBackend::FileProgressReporter(const char *szRemotePath) const
{
    {
        QMutexLocker locker(&m_callbackMutex);
        if (!m_pFileProgressCallback)
            return {};
    }
    auto pTimer = std::make_shared<QElapsedTimer>();
    pTimer->start();
    auto pGate = std::make_shared<FileProgressGate>([pTimer] { return pTimer->elapsed(); });
    const QByteArray baPath(szRemotePath ? szRemotePath : "");
    return [this, pGate, baPath](qint64 nBytes) {
        if (!pGate->IsDue(nBytes))
            return;
        // Read again: the callback may have been removed during the copy.
        DVSK_FileProgressCallback pCallback = nullptr;
        {
            QMutexLocker locker(&m_callbackMutex);
            pCallback = m_pFileProgressCallback;
        }
        if (pCallback)
            pCallback(baPath.constData(), nBytes);
    };
}

DVSK_DevInitEventCallback DeviceBackend::EventCallback() const
{
    QMutexLocker locker(&m_callbackMutex);
    return m_pEventCallback;
}

void DeviceBackend::ReportProgress(int nType, int nCount, intptr_t nAll)
{
    DVSK_BackupCallback pCallback = nullptr;
    {
        QMutexLocker locker(&m_callbackMutex);
        pCallback = m_pBackupCallback;
    }
    if (pCallback)
        pCallback(nType, kNoPlugin, nCount, nAll);
}

char *DeviceBackend::MallocText(const QByteArray &ba)
{
    char *p = static_cast<char *>(malloc(size_t(ba.size()) + 1));
    if (p) {
        memcpy(p, ba.constData(), size_t(ba.size()));
        p[ba.size()] = '\0';
    }
    return p;
}

int DeviceBackend::KiloBytes(qint64 nBytes)
{
    return int(qMin<qint64>((nBytes + 1023) / 1024, INT_MAX));
}

void DeviceBackend::TakeCallbacksFrom(DeviceBackend &other)
{
    if (&other == this)
        return;
    DVSK_DevInitEventCallback pEvent = nullptr;
    DVSK_BackupCallback pBackup = nullptr;
    DVSK_FileProgressCallback pFileProgress = nullptr;
    {
        QMutexLocker locker(&other.m_callbackMutex);
        pEvent = other.m_pEventCallback;
        pBackup = other.m_pBackupCallback;
        pFileProgress = other.m_pFileProgressCallback;
    }
    QMutexLocker locker(&m_callbackMutex);
    m_pEventCallback = pEvent;
    m_pBackupCallback = pBackup;
    m_pFileProgressCallback = pFileProgress;
}

QString DeviceBackend::IdentityText(const QString &strSerial, const QString &strManufacturer, const QString &strModel,
                                    const QString &strAndroid, const QString &strBackend)
{
    // One value per line: a line end inside a value would start a new key.
    auto clean = [](QString str) { return str.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); };
    return QStringLiteral("serial=%1\nmanufacturer=%2\nmodel=%3\nandroid=%4\nbackend=%5\n")
        .arg(clean(strSerial), clean(strManufacturer), clean(strModel), clean(strAndroid), clean(strBackend));
}
