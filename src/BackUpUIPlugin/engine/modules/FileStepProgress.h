#pragma once

#include <QtGlobal>

// How far a step that copies files has come, as a share of the step in
// kParts. Every file weighs kFileBytes (its fixed cost: a request, a round
// trip, a file made on the PC) plus its size, and earns its weight as its
// bytes arrive: one large video moves the share with its bytes, a folder of
// small photos moves it file by file. Also counts the step's bytes.
class FileStepProgress
{
public:
    static constexpr qint64 kFileBytes = 256 * 1024;
    static constexpr int kParts = 1000000;

    // nTotalBytes: the listed sizes of the nFiles files added up.
    FileStepProgress(int nFiles, qint64 nTotalBytes);

    // The next file begins; nSize is its listed size (-1: unknown).
    void FileStarted(qint64 nSize);
    // nBytes of the current file have arrived.
    void FileBytes(qint64 nBytes);
    // The current file is over (copied, taken from an earlier backup or
    // failed): its whole weight and listed size count as done.
    void FileDone();

    // The share done so far, 0 ... kParts; never smaller than before.
    int Share();
    // The bytes done since the last call.
    qint64 TakeNewBytes();

private:
    const double m_dTotalWeight;
    qint64 m_nDoneWeight = 0;
    qint64 m_nDoneBytes = 0;
    qint64 m_nCurrentSize = 0;
    qint64 m_nCurrentBytes = 0;
    qint64 m_nTakenBytes = 0;
    int m_nShare = 0;
};
