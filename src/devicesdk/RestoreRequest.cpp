#include "RestoreRequest.h"

#include "sdk/dvsk_restore.h"

#include <QFileInfo>

#include <cstdlib>
#include <cstring>

const char RestoreRequest::kNeedsAppReason[] = "needs an app on the phone";
const char RestoreRequest::kNeedsAndroid12Reason[] = "Android 12 or newer";

bool RestoreRequest::ParseJobs(const char *szJobs, QList<FileJob> &listJobs)
{
    if (!szJobs)
        return false;
    for (const QByteArray &baLine : QByteArray(szJobs).split('\n')) {
        if (baLine.isEmpty())
            continue;
        const QList<QByteArray> listFields = baLine.split('\x18');
        bool bOk = false;
        const qint64 nMtime = listFields.value(2).trimmed().toLongLong(&bOk);
        if (listFields.size() != 3 || !bOk || listFields.at(0).isEmpty() || !listFields.at(1).startsWith('/'))
            return false;
        listJobs.append({QString::fromUtf8(listFields.at(0)), QString::fromUtf8(listFields.at(1)), nMtime});
    }
    return true;
}

QStringList RestoreRequest::ParsePaths(const char *szPaths)
{
    QStringList list;
    if (!szPaths)
        return list;
    for (const QByteArray &baLine : QByteArray(szPaths).split('\n')) {
        if (!baLine.isEmpty())
            list << QString::fromUtf8(baLine);
    }
    return list;
}

bool RestoreRequest::IsRefusedPath(const QString &strPhonePath)
{
    static const char *const kStorages[] = {"/sdcard/", "/storage/emulated/0/", "/storage/self/primary/",
                                            "/mnt/sdcard/"};
    for (const char *szStorage : kStorages) {
        if (!strPhonePath.startsWith(QLatin1String(szStorage)))
            continue;
        const QString strRest = strPhonePath.mid(int(strlen(szStorage)));
        for (const char *szPrivate : {"Android/data", "Android/obb"}) {
            const QString strPrivate = QLatin1String(szPrivate);
            if (strRest.compare(strPrivate, Qt::CaseInsensitive) == 0
                || strRest.startsWith(strPrivate + QLatin1Char('/'), Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

QString RestoreRequest::TemporaryPath(const QString &strPhonePath)
{
    const qsizetype nSlash = strPhonePath.lastIndexOf(QLatin1Char('/'));
    // A hidden name with no media extension: never listed as a picture or song.
    return strPhonePath.left(nSlash + 1) + QLatin1Char('.') + strPhonePath.mid(nSlash + 1)
            + QStringLiteral(".restore-part");
}

bool RestoreRequest::NeedsPhoneApp(int nType)
{
    switch (nType) {
    case 1: case 5: case 6: case 15: case 19:
        return true;
    default:
        return false;
    }
}

bool RestoreRequest::IsRestorableRecordType(int nType)
{
    return nType == 0 || nType == 2 || nType == 4;
}

int RestoreRequest::Availability(int nType, int nSdk, char **ppReason)
{
    if (ppReason)
        *ppReason = nullptr;
    // The shell may write the call log from Android 12 (SDK 31) on.
    const char *szReason = NeedsPhoneApp(nType) ? kNeedsAppReason
                         : nType == 4 && nSdk > 0 && nSdk < 31 ? kNeedsAndroid12Reason : nullptr;
    if (!szReason)
        return IsRestorableRecordType(nType) || nType == 9 || (nType >= 16 && nType <= 18) ? 0 : DVSK_DEV_ERR_BAD_ARGUMENT;
    if (ppReason)
        *ppReason = MallocText(szReason);
    return DVSK_RESTORE_ERR_NOT_RESTORABLE;
}

char *RestoreRequest::MallocText(const QByteArray &ba)
{
    char *p = static_cast<char *>(malloc(size_t(ba.size()) + 1));
    if (p) {
        memcpy(p, ba.constData(), size_t(ba.size()));
        p[ba.size()] = '\0';
    }
    return p;
}
