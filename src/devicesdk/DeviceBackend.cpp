#include "DeviceBackend.h"

#include <climits>
#include <cstdlib>
#include <cstring>

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
