#include "MessagesExporter.h"

#include "PhoneShell.h"
#include "RecordXmlWriter.h"

#include <QIODevice>

namespace
{
// Free text goes last: a value is split off only at ", <next column>=".
const QStringList kSmsColumns {"_id", "thread_id", "date", "date_sent", "type", "read", "status", "address",
                               "subject", "body"};
const QStringList kMmsColumns {"_id", "thread_id", "date", "date_sent", "msg_box", "read", "m_type", "ct_t",
                               "sub_cs", "sub"};
const QStringList kAddrColumns {"_id", "type", "charset", "address"};
const QStringList kPartColumns {"_id", "seq", "ct", "chset", "cid", "cl", "name", "fn", "text"};

// The phone keeps MMS times in seconds; the file has milliseconds as for SMS.
QString SecondsToMs(const QString &str)
{
    bool bOk = false;
    const qint64 n = str.toLongLong(&bOk);
    return bOk ? QString::number(n * 1000) : str;
}

bool IsInlinePart(const QString &strType)
{
    return strType.startsWith(QLatin1String("text/")) || strType == QLatin1String("application/smil");
}
} // namespace

MessagesExporter::MessagesExporter(PhoneShell &shell, Kind eKind)
    : RecordExporter(shell)
    , m_eKind(eKind)
    , m_listColumns(eKind == Sms ? kSmsColumns : kMmsColumns)
{
}

ProviderResult MessagesExporter::Count(int *pCount)
{
    return ProviderQuery(m_shell, m_eKind == Sms ? QStringLiteral("content://sms") : QStringLiteral("content://mms"),
                         m_listColumns, QString(), m_nPageSize).Count(pCount);
}

ProviderResult MessagesExporter::Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten)
{
    *pWritten = 0;
    int nAll = 0;
    ProviderResult result = Count(&nAll);
    if (result.eKind != ProviderResult::Ok)
        return result;
    Report(fnProgress, 0, nAll);

    RecordXmlWriter writer(pDevice);
    writer.Begin(m_eKind == Sms ? QStringLiteral("smses") : QStringLiteral("mmses"));
    ProviderResult inner;
    ProviderQuery query(m_shell, m_eKind == Sms ? QStringLiteral("content://sms") : QStringLiteral("content://mms"),
                        m_listColumns, QString(), m_nPageSize);
    result = query.ForEachPage([&](const ProviderQuery::Rows &listRows) {
        for (const QStringList &row : listRows) {
            if (inner.eKind != ProviderResult::Ok)
                return;
            if (m_eKind == Sms) {
                const auto V = [&](const char *szColumn) { return Value(m_listColumns, row, QLatin1String(szColumn)); };
                writer.Element(QStringLiteral("sms"), {{"thread", V("thread_id")}, {"address", V("address")},
                    {"date", V("date")}, {"date_sent", V("date_sent")}, {"type", V("type")}, {"read", V("read")},
                    {"status", V("status")}, {"subject", V("subject")}, {"body", V("body")}});
            } else {
                inner = WriteMms(writer, row);
            }
            ++*pWritten;
        }
        Report(fnProgress, *pWritten, qMax(nAll, *pWritten));
    });
    if (inner.eKind != ProviderResult::Ok)
        return inner;
    if (result.eKind != ProviderResult::Ok)
        return result;
    if (!writer.End()) {
        result.eKind = ProviderResult::Failed;
        result.strReason = QStringLiteral("the message file could not be written");
    }
    return result;
}

ProviderResult MessagesExporter::WriteMms(RecordXmlWriter &writer, const QStringList &listRow)
{
    const auto V = [&](const char *szColumn) { return Value(m_listColumns, listRow, QLatin1String(szColumn)); };
    const QString strId = V("_id");
    writer.StartElement(QStringLiteral("mms"), {{"thread", V("thread_id")}, {"date", SecondsToMs(V("date"))},
        {"date_sent", SecondsToMs(V("date_sent"))}, {"msg_box", V("msg_box")}, {"read", V("read")},
        {"m_type", V("m_type")}, {"ct_t", V("ct_t")}, {"sub_cs", V("sub_cs")}, {"subject", V("sub")}});

    ProviderResult result = ProviderQuery(m_shell, QStringLiteral("content://mms/%1/addr").arg(strId), kAddrColumns)
        .ReadAll([&](const ProviderQuery::Rows &listRows) {
            for (const QStringList &row : listRows)
                writer.Element(QStringLiteral("addr"), {{"address", Value(kAddrColumns, row, QStringLiteral("address"))},
                    {"type", Value(kAddrColumns, row, QStringLiteral("type"))},
                    {"charset", Value(kAddrColumns, row, QStringLiteral("charset"))}});
        });
    if (result.eKind == ProviderResult::Cancelled || result.eKind == ProviderResult::Failed)
        return result;

    ProviderQuery::Rows listParts;
    result = ProviderQuery(m_shell, QStringLiteral("content://mms/%1/part").arg(strId), kPartColumns)
        .ReadAll([&](const ProviderQuery::Rows &listRows) { listParts = listRows; });
    if (result.eKind == ProviderResult::Cancelled || result.eKind == ProviderResult::Failed)
        return result;
    for (const QStringList &row : listParts) {
        const auto P = [&](const char *szColumn) { return Value(kPartColumns, row, QLatin1String(szColumn)); };
        const RecordXmlWriter::Attributes listAttributes {{"seq", P("seq")}, {"ct", P("ct")}, {"chset", P("chset")},
            {"cid", P("cid")}, {"cl", P("cl")}, {"name", P("name")}, {"fn", P("fn")}};
        if (IsInlinePart(P("ct"))) {
            RecordXmlWriter::Attributes listText = listAttributes;
            listText.append({QStringLiteral("text"), P("text")});
            writer.Element(QStringLiteral("part"), listText);
            continue;
        }
        // Binary content comes from the part's stream, written on as it arrives.
        writer.StartElement(QStringLiteral("part"), listAttributes + RecordXmlWriter::Attributes {{"encoding", "base64"}});
        QByteArray baHead;
        bool bChecked = false;
        const int nCode = m_shell.Run("content read --uri " + ProviderQuery::Quote(QStringLiteral("content://mms/part/") + P("_id")),
            [&](const QByteArray &baChunk) {
                if (bChecked) {
                    writer.AppendBase64(baChunk);
                    return;
                }
                baHead += baChunk;
                if (baHead.size() < 64)
                    return;
                bChecked = true;
                writer.AppendBase64(baHead);
                baHead.clear();
            });
        if (nCode != 0) {
            result.eKind = m_shell.IsCancelled() ? ProviderResult::Cancelled : ProviderResult::Failed;
            result.nCode = nCode;
            return result;
        }
        // A part the phone cannot open prints the tool's error instead of bytes.
        if (!bChecked && !baHead.startsWith("Error while accessing provider"))
            writer.AppendBase64(baHead);
        writer.EndElement();
    }
    writer.EndElement();
    return ProviderResult();
}
