#include "FileStepProgress.h"

FileStepProgress::FileStepProgress(int nFiles, qint64 nTotalBytes)
    : m_dTotalWeight(double(qMax(0, nFiles)) * double(kFileBytes) + double(qMax<qint64>(0, nTotalBytes)))
{
}

void FileStepProgress::FileStarted(qint64 nSize)
{
    m_nCurrentSize = qMax<qint64>(0, nSize);
    m_nCurrentBytes = 0;
}

void FileStepProgress::FileBytes(qint64 nBytes)
{
    // A file may grow on the phone after it was listed: never past its size.
    m_nCurrentBytes = qBound(m_nCurrentBytes, nBytes, m_nCurrentSize);
}

void FileStepProgress::FileDone()
{
    m_nDoneWeight += kFileBytes + m_nCurrentSize;
    m_nDoneBytes += m_nCurrentSize;
    m_nCurrentSize = 0;
    m_nCurrentBytes = 0;
}

int FileStepProgress::Share()
{
    if (m_dTotalWeight <= 0.0)
        return m_nShare = kParts;
    double dWeight = double(m_nDoneWeight);
    // The file's fixed cost is spread over its bytes.
    if (m_nCurrentSize > 0)
        dWeight += double(kFileBytes + m_nCurrentSize) * double(m_nCurrentBytes) / double(m_nCurrentSize);
    const int nShare = int(qMin(1.0, dWeight / m_dTotalWeight) * kParts);
    m_nShare = qMax(m_nShare, nShare);
    return m_nShare;
}

qint64 FileStepProgress::TakeNewBytes()
{
    const qint64 nDone = m_nDoneBytes + m_nCurrentBytes;
    const qint64 nNew = nDone - m_nTakenBytes;
    m_nTakenBytes = nDone;
    return nNew;
}
