#include "SaveFileCommit.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool SaveFileCommit::Commit(QSaveFile &file, QString *pstrError)
{
    auto fail = [&](const QString &strError) {
        if (pstrError)
            *pstrError = strError;
        file.cancelWriting();
        // Committing a cancelled file only removes its temporary file.
        file.commit();
        return false;
    };
    if (!file.isOpen())
        return fail(QStringLiteral("%1 is not open").arg(file.fileName()));
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    const qint64 nSize = file.size();
    const QString strName = file.fileName();
    if (!file.commit() || file.error() != QFileDevice::NoError) {
        if (pstrError)
            *pstrError = file.errorString();
        return false;
    }
    // What is in place must be what was written; a short file must not pass
    // for a whole one.
    const QFileInfo info(strName);
    if (info.size() != nSize) {
        if (pstrError)
            *pstrError = QStringLiteral("%1 holds %2 bytes where %3 were written").arg(strName).arg(info.size()).arg(nSize);
        QFile::remove(strName);
        return false;
    }
    return true;
}
