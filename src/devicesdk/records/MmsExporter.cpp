#include "MmsExporter.h"

#include "ContentStream.h"
#include "PhoneShell.h"
#include "RecordXmlWriter.h"

#include <QDebug>

namespace
{
const QStringList kColumns {"_id", "sub", "thread_id", "date", "date_sent", "msg_box", "read", "m_type", "ct_t", "sub_cs"};
const QStringList kAddrColumns {"_id", "address", "type", "charset"};
const QStringList kPartColumns {"_id", "text", "seq", "ct", "chset", "cid", "cl", "name", "fn"};

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

bool IsBroken(const ProviderResult &result)
{
    return result.eKind == ProviderResult::Cancelled || result.eKind == ProviderResult::Failed;
}
} // namespace

MmsExporter::MmsExporter(PhoneShell &shell)
    : RecordExporter(shell, QStringLiteral("content://mms"), QString())
{
}

ProviderResult MmsExporter::Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten)
{
    RecordXmlWriter writer(pDevice);
    writer.Begin(QStringLiteral("mmses"));
    ProviderResult inner;
    const ProviderResult result = ProviderQuery(m_shell, m_strUri, kColumns, m_strWhere, m_nPageSize)
        .ForEachPage(m_listIds, [&](const ProviderQuery::Rows &listRows) {
            for (const QStringList &row : listRows) {
                if (inner.eKind != ProviderResult::Ok)
                    return;
                inner = WriteMessage(writer, row);
                ++*pWritten;
            }
            fnPageDone();
        });
    return Finished(result, inner, [&writer] { return writer.End(); }, QStringLiteral("mmses"));
}

ProviderResult MmsExporter::WriteMessage(RecordXmlWriter &writer, const QStringList &listRow)
{
    const auto V = [&](const char *szColumn) { return Value(kColumns, listRow, QLatin1String(szColumn)); };
    const QString strId = V("_id");
    writer.StartElement(QStringLiteral("mms"), {{"thread", V("thread_id")}, {"date", SecondsToMs(V("date"))},
        {"date_sent", SecondsToMs(V("date_sent"))}, {"msg_box", V("msg_box")}, {"read", V("read")},
        {"m_type", V("m_type")}, {"ct_t", V("ct_t")}, {"sub_cs", V("sub_cs")}, {"subject", V("sub")}});

    // A message's addresses and parts are few: one reply each. A provider
    // that refuses them leaves the message without them.
    ProviderResult result = ProviderQuery(m_shell, QStringLiteral("content://mms/%1/addr").arg(strId), kAddrColumns)
        .ReadAll([&](const ProviderQuery::Rows &listRows) {
            for (const QStringList &row : listRows) {
                const auto A = [&](const char *szColumn) { return Value(kAddrColumns, row, QLatin1String(szColumn)); };
                writer.Element(QStringLiteral("addr"), {{"address", A("address")}, {"type", A("type")}, {"charset", A("charset")}});
            }
        });
    if (IsBroken(result))
        return result;
    ProviderQuery::Rows listParts;
    result = ProviderQuery(m_shell, QStringLiteral("content://mms/%1/part").arg(strId), kPartColumns)
        .ReadAll([&](const ProviderQuery::Rows &listRows) { listParts = listRows; });
    if (IsBroken(result))
        return result;
    for (const QStringList &part : listParts) {
        result = WritePart(writer, part);
        if (IsBroken(result))
            return result;
    }
    writer.EndElement();
    return ProviderResult();
}

ProviderResult MmsExporter::WritePart(RecordXmlWriter &writer, const QStringList &listPart)
{
    const auto P = [&](const char *szColumn) { return Value(kPartColumns, listPart, QLatin1String(szColumn)); };
    RecordXmlWriter::Attributes listAttributes {{"seq", P("seq")}, {"ct", P("ct")}, {"chset", P("chset")},
        {"cid", P("cid")}, {"cl", P("cl")}, {"name", P("name")}, {"fn", P("fn")}};
    if (IsInlinePart(P("ct"))) {
        listAttributes.append({QStringLiteral("text"), P("text")});
        writer.Element(QStringLiteral("part"), listAttributes);
        return ProviderResult();
    }
    // Binary content comes from the part's stream, written on as it arrives.
    listAttributes.append({QStringLiteral("encoding"), QStringLiteral("base64")});
    writer.StartElement(QStringLiteral("part"), listAttributes);
    bool bOpened = true;
    QString strError;
    const int nCode = ContentStream::Read(m_shell, QStringLiteral("content://mms/part/") + P("_id"),
        [&writer](const QByteArray &baChunk) { writer.AppendBase64(baChunk); }, &bOpened, &strError);
    if (nCode != 0)
        return Broken(nCode);
    if (!bOpened)
        qInfo().noquote() << "records: the MMS part" << P("_id") << "could not be read:" << strError;
    writer.EndElement();
    return ProviderResult();
}
