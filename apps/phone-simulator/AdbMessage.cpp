#include "AdbMessage.h"

#include <QtEndian>

bool AdbMessage::ParseHeader(const char *pHeader)
{
    const uchar *p = reinterpret_cast<const uchar *>(pHeader);
    nCommand = qFromLittleEndian<quint32>(p);
    nArg0 = qFromLittleEndian<quint32>(p + 4);
    nArg1 = qFromLittleEndian<quint32>(p + 8);
    nLength = qFromLittleEndian<quint32>(p + 12);
    nChecksum = qFromLittleEndian<quint32>(p + 16);
    const uint32_t nMagic = qFromLittleEndian<quint32>(p + 20);
    return nMagic == (nCommand ^ 0xffffffffu);
}

QByteArray AdbMessage::Header(uint32_t nCommand, uint32_t nArg0, uint32_t nArg1,
                              const char *pPayload, uint32_t nLength, bool bChecksum)
{
    QByteArray ba(kHeaderSize, Qt::Uninitialized);
    uchar *p = reinterpret_cast<uchar *>(ba.data());
    qToLittleEndian<quint32>(nCommand, p);
    qToLittleEndian<quint32>(nArg0, p + 4);
    qToLittleEndian<quint32>(nArg1, p + 8);
    qToLittleEndian<quint32>(nLength, p + 12);
    qToLittleEndian<quint32>(bChecksum ? Checksum(pPayload, nLength) : 0u, p + 16);
    qToLittleEndian<quint32>(nCommand ^ 0xffffffffu, p + 20);
    return ba;
}

uint32_t AdbMessage::Checksum(const char *pData, qsizetype nLength)
{
    uint32_t nSum = 0;
    const uchar *p = reinterpret_cast<const uchar *>(pData);
    for (qsizetype i = 0; i < nLength; ++i)
        nSum += p[i];
    return nSum;
}

QByteArray AdbMessage::Name(uint32_t nCommand)
{
    QByteArray ba(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(nCommand, ba.data());
    return ba;
}
