#pragma once

#include <QMovie>
#include <QWidget>

class QHBoxLayout;
class QLabel;

// A small stand-alone animation (72x99) that plays an animation file.
class BusyMark : public QWidget
{
public:
    explicit BusyMark(const QString &strFileName, QWidget *parent = nullptr);
    ~BusyMark() override;

    void StartMovie();
    void StopMovie();
    QMovie::MovieState MovieState() const;

private:
    QMovie *m_pMovie = nullptr;
    QLabel *m_pLabel = nullptr;
    QHBoxLayout *m_pLayout = nullptr;
};
