#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted in a fresh temporary folder for tests of full and
// read-only disks; unmounted when the object goes. Mounting needs root:
// check IsMounted() and skip with SkipReason() otherwise.
//
//   ScratchMount disk(256 * 1024);
//   if (!disk.IsMounted())
//       QSKIP(qPrintable(disk.SkipReason()));
//   QVERIFY(disk.Fill());     // every page taken
class ScratchMount
{
public:
    enum Mode
    {
        Writable,
        ReadOnly
    };

    explicit ScratchMount(qint64 nBytes, Mode mode = Writable);
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool IsMounted() const { return m_bMounted; }
    QString SkipReason() const { return m_strSkipReason; }
    QString Path() const { return m_dir.path(); }
    // Takes every free page with a filler file; true when the disk is full.
    bool Fill();
    // Frees the filler again.
    void Unfill();

private:
    QTemporaryDir m_dir;
    bool m_bMounted = false;
    QString m_strSkipReason;
};
