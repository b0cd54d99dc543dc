#include "ScratchMount.h"

#include <QByteArray>
#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

ScratchMount::ScratchMount(qint64 nBytes, Mode mode)
{
    if (::geteuid() != 0) {
        m_strSkipReason = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    if (!m_dir.isValid()) {
        m_strSkipReason = QStringLiteral("no temporary folder");
        return;
    }
    const QByteArray baOptions = "size=" + QByteArray::number(nBytes);
    const unsigned long nFlags = mode == ReadOnly ? MS_RDONLY : 0;
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", nFlags, baOptions.constData()) != 0) {
        m_strSkipReason = QStringLiteral("mount tmpfs failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_bMounted = true;
}

ScratchMount::~ScratchMount()
{
    if (m_bMounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

bool ScratchMount::Fill()
{
    QFile filler(m_dir.filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray baPage(4096, 'f');
    while (filler.write(baPage) == baPage.size()) {
    }
    // The last partial page too, byte by byte.
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

void ScratchMount::Unfill()
{
    QFile::remove(m_dir.filePath(QStringLiteral(".filler")));
}
