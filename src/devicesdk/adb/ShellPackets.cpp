#include "ShellPackets.h"

#include <QtEndian>

namespace
{
enum PacketId : char { Stdout = 1, Stderr = 2, Exit = 3 };
const int kHeaderSize = 5;
} // namespace

ShellPackets::ShellPackets(Handler fnOutput, Handler fnError)
    : m_fnOutput(std::move(fnOutput))
    , m_fnError(std::move(fnError))
{
}

void ShellPackets::Feed(const QByteArray &baData)
{
    qsizetype nPos = 0;
    while (nPos < baData.size()) {
        if (m_nLeft == 0) {
            const qsizetype nTake = qMin<qsizetype>(kHeaderSize - m_baHeader.size(), baData.size() - nPos);
            m_baHeader.append(baData.constData() + nPos, nTake);
            nPos += nTake;
            if (m_baHeader.size() < kHeaderSize)
                return;
            m_cId = m_baHeader.at(0);
            m_nLeft = qFromLittleEndian<quint32>(m_baHeader.constData() + 1);
            m_baHeader.clear();
            continue;
        }
        const qsizetype nTake = qMin<qsizetype>(m_nLeft, baData.size() - nPos);
        const QByteArray baPiece = baData.mid(nPos, nTake);
        nPos += nTake;
        m_nLeft -= quint32(nTake);
        if (m_cId == Stdout && m_fnOutput)
            m_fnOutput(baPiece);
        else if (m_cId == Stderr && m_fnError)
            m_fnError(baPiece);
        else if (m_cId == Exit && !baPiece.isEmpty())
            m_nExitStatus = static_cast<unsigned char>(baPiece.at(0));
    }
}
