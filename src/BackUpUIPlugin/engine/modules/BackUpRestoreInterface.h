#pragma once

#include <QObject>
#include <QString>

// The base of every data module. The factory drives a module through these
// three calls: SetPath before each run, then Backup once per run.
class BackUpRestoreInterface : public QObject
{
    Q_OBJECT
public:
    explicit BackUpRestoreInterface(QObject *pParent = nullptr);
    ~BackUpRestoreInterface() override;

    // Backs the module's data up; 0 is success. On entry nCount may carry the
    // number of items the caller expects; on return it holds what was backed up.
    virtual int Backup(int &nCount) = 0;
    virtual int Restore() = 0;
    // Where the module's output goes.
    virtual void SetPath(const QString &strPath) = 0;
};
