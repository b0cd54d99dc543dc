#include "CallLogReader.h"

#include <QXmlStreamReader>

QString CallLogReader::Call::Value(const QString &strName) const
{
    for (const auto &attribute : listAttributes) {
        if (attribute.first == strName)
            return attribute.second;
    }
    return QString();
}

bool CallLogReader::Call::Has(const QString &strName) const
{
    for (const auto &attribute : listAttributes) {
        if (attribute.first == strName)
            return true;
    }
    return false;
}

bool CallLogReader::Read(const QByteArray &baText, QList<Call> &listCalls, QString *pError)
{
    QXmlStreamReader reader(baText);
    const QString strSuffix = QStringLiteral("_base64");
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("call")) {
            if (reader.name() != QLatin1String("calls"))
                reader.skipCurrentElement();
            continue;
        }
        Call call;
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            QString strName = attribute.name().toString();
            QString strValue = attribute.value().toString();
            if (strName.endsWith(strSuffix)) {
                strName.chop(strSuffix.size());
                strValue = QString::fromUtf8(QByteArray::fromBase64(strValue.toLatin1()));
            }
            call.listAttributes.append({strName, strValue});
        }
        listCalls << call;
        reader.skipCurrentElement();
    }
    if (reader.hasError()) {
        if (pError)
            *pError = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    return true;
}

QString CallLogReader::Key(const Call &call)
{
    const QChar sep(0x1f);
    return call.Value(QStringLiteral("number")).trimmed() + sep + call.Value(QStringLiteral("date")).trimmed() + sep
            + call.Value(QStringLiteral("duration")).trimmed() + sep + call.Value(QStringLiteral("type")).trimmed();
}
