#include "AdbStream.h"

AdbStream::AdbStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId)
    : m_pConnection(pConnection)
    , m_nLocalId(nLocalId)
    , m_nRemoteId(nRemoteId)
{
}

AdbStream::~AdbStream() = default;

void AdbStream::Receive(const QByteArray &)
{
}

void AdbStream::Produce(qsizetype)
{
}

void AdbStream::Consume(qsizetype nBytes)
{
    m_nOutPos += nBytes;
    if (m_nOutPos >= m_baOut.size()) {
        m_baOut.resize(0);
        m_nOutPos = 0;
    } else if (m_nOutPos >= m_baOut.size() / 2) {
        // Move the small rest to the front instead of growing without end.
        m_baOut.remove(0, m_nOutPos);
        m_nOutPos = 0;
    }
}

void AdbStream::Append(const QByteArray &baData)
{
    m_baOut.append(baData);
}

void AdbStream::Append(const char *pData, qsizetype nBytes)
{
    m_baOut.append(pData, nBytes);
}

char *AdbStream::Grow(qsizetype nBytes)
{
    const qsizetype nOld = m_baOut.size();
    if (m_baOut.capacity() < nOld + nBytes)
        m_baOut.reserve(qMax(nOld + nBytes, 2 * m_baOut.capacity()));
    m_baOut.resize(nOld + nBytes);
    return m_baOut.data() + nOld;
}

void AdbStream::Trim(qsizetype nUnused)
{
    m_baOut.resize(m_baOut.size() - nUnused);
}
