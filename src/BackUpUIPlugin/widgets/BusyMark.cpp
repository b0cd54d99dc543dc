#include "BusyMark.h"

#include "LogLine.h"

#include <QHBoxLayout>
#include <QLabel>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BusyMark";

BusyMark::BusyMark(const QString &strFileName, QWidget *parent)
    : QWidget(parent), m_pMovie(new QMovie(strFileName))
{
    m_pLabel = new QLabel(this);
    m_pLayout = new QHBoxLayout(this);
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pLayout->addWidget(m_pLabel);
    setFixedSize(72, 99);
}

BusyMark::~BusyMark()
{
    // The movie has no parent; the label only borrows it.
    if (m_pLabel)
        m_pLabel->setMovie(nullptr);
    delete m_pMovie;
}

void BusyMark::StartMovie()
{
    if (!m_pMovie || !m_pLabel) {
        LOG_ARG_NULL("StartMovie");
        return;
    }
    m_pLabel->setMovie(m_pMovie);
    m_pMovie->start();
}

void BusyMark::StopMovie()
{
    if (!m_pMovie || !m_pLabel) {
        LOG_ARG_NULL("StopMovie");
        return;
    }
    m_pMovie->stop();
    m_pLabel->clear();
}

QMovie::MovieState BusyMark::MovieState() const
{
    return m_pMovie ? m_pMovie->state() : QMovie::NotRunning;
}
