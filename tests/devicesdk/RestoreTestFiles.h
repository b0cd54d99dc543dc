#pragma once

// Inputs shared by the restore tests: a put-files callback that records what
// the SDK reports, and APK files with a readable manifest.
#include "sdk/dvsk_restore.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

#include <cstdlib>
#include <functional>

struct PutRecorder
{
    struct End
    {
        int nIndex;
        int nResult;
        QString strMessage;
    };
    QList<End> listEnds;
    QList<QPair<int, qint64>> listProgress;
    // Called with (index, bytes) on progress; may cancel the restore.
    std::function<void(int, qint64)> fnOnProgress;

    static void OnFile(void *pContext, int nIndex, int nResult, int64_t nBytes, const char *szMessage)
    {
        PutRecorder *pThis = static_cast<PutRecorder *>(pContext);
        if (nResult == -1) {
            pThis->listProgress.append({nIndex, nBytes});
            if (pThis->fnOnProgress)
                pThis->fnOnProgress(nIndex, nBytes);
            return;
        }
        pThis->listEnds.append({nIndex, nResult, szMessage ? QString::fromUtf8(szMessage) : QString()});
    }
};

// Writes a zip archive holding one stored AndroidManifest.xml with the
// package name and version code, as the sample phone's APKs do.
inline bool WriteApk(const QString &strPath, const QString &strPackage, int nVersionCode, const QByteArray &baFiller = "dex")
{
    const QByteArray baName = "AndroidManifest.xml";
    const QByteArray baData = QStringLiteral("<manifest package=\"%1\" android:versionCode=\"%2\"/>\n")
                                      .arg(strPackage).arg(nVersionCode).toUtf8() + "<!-- " + baFiller + " -->";
    auto le16 = [](QByteArray &ba, quint16 n) { char b[2]; qToLittleEndian(n, b); ba.append(b, 2); };
    auto le32 = [](QByteArray &ba, quint32 n) { char b[4]; qToLittleEndian(n, b); ba.append(b, 4); };
    QByteArray baZip;
    le32(baZip, 0x04034b50); le16(baZip, 10); le16(baZip, 0); le16(baZip, 0); le32(baZip, 0);
    le32(baZip, 0); le32(baZip, quint32(baData.size())); le32(baZip, quint32(baData.size()));
    le16(baZip, quint16(baName.size())); le16(baZip, 0);
    baZip += baName + baData;
    const quint32 nDir = quint32(baZip.size());
    le32(baZip, 0x02014b50); le16(baZip, 20); le16(baZip, 10); le16(baZip, 0); le16(baZip, 0);
    le32(baZip, 0); le32(baZip, 0); le32(baZip, quint32(baData.size())); le32(baZip, quint32(baData.size()));
    le16(baZip, quint16(baName.size())); le16(baZip, 0); le16(baZip, 0); le16(baZip, 0); le16(baZip, 0);
    le32(baZip, 0); le32(baZip, 0);
    baZip += baName;
    const quint32 nDirSize = quint32(baZip.size()) - nDir;
    le32(baZip, 0x06054b50); le16(baZip, 0); le16(baZip, 0); le16(baZip, 1); le16(baZip, 1);
    le32(baZip, nDirSize); le32(baZip, nDir); le16(baZip, 0);
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baZip) == baZip.size();
}
