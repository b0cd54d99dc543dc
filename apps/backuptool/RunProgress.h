#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// The live progress line of `backuptool run`: a bar with the percentage, the
// module being backed up and, once measured, the time left. On a terminal the line is redrawn in place;
// anywhere else (a log file, a pipe) plain lines are written when the module
// changes or another tenth of the work is done.
class RunProgress
{
public:
    explicit RunProgress(std::FILE *pStream, bool bTerminal);

    static bool IsTerminal(std::FILE *pStream);

    // The progress range (the worker's progress total).
    void SetRange(int nMaximum);
    void Add(float fValue);
    // The module being backed up and, when known, its item progress.
    void SetModule(const QString &strModule, const QString &strDetail = QString());
    // The worker's estimate of the time left in seconds (-1: not known).
    void SetTimeLeft(int nSeconds);
    // Draws the last state (100 % when bComplete) and ends the line.
    void Finish(bool bComplete);
    // Ends a terminal line before other text is written.
    void Interrupt();

    int Percent() const;
    // The bar and text as drawn: "[#####.....]  50%  images 3/6  about 4 min left".
    QString Text(int nPercent) const;

private:
    void Draw(bool bForce);

    std::FILE *m_pStream;
    const bool m_bTerminal;
    int m_nMaximum = 0;
    double m_dValue = 0.0;
    QString m_strModule;
    QString m_strDetail;
    int m_nSecondsLeft = -1;
    QString m_strLastModule;
    int m_nLastDecile = -1;
    bool m_bLineOpen = false;
    QElapsedTimer m_timer;
};
