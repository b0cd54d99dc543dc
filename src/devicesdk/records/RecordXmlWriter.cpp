#include "RecordXmlWriter.h"

#include <QIODevice>

RecordXmlWriter::RecordXmlWriter(QIODevice *pDevice)
    : m_writer(pDevice)
{
    m_writer.setAutoFormatting(true);
    m_writer.setAutoFormattingIndent(1);
}

bool RecordXmlWriter::IsXmlText(const QString &str)
{
    for (qsizetype i = 0; i < str.size(); ++i) {
        const char16_t c = str.at(i).unicode();
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
        // U+FEFF is dropped by writers and readers alike as a byte-order mark.
        if (c == 0xFFFE || c == 0xFFFF || c == 0xFEFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= str.size() || !QChar::isLowSurrogate(str.at(i + 1).unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

void RecordXmlWriter::WriteAttributes(const Attributes &listAttributes)
{
    for (const auto &attribute : listAttributes) {
        if (attribute.second.isNull())
            continue;
        if (IsXmlText(attribute.second))
            m_writer.writeAttribute(attribute.first, attribute.second);
        else
            m_writer.writeAttribute(attribute.first + QLatin1String("_base64"),
                                    QString::fromLatin1(attribute.second.toUtf8().toBase64()));
    }
}

void RecordXmlWriter::Begin(const QString &strRoot, const Attributes &listAttributes)
{
    m_writer.writeStartDocument();
    m_writer.writeStartElement(strRoot);
    WriteAttributes(listAttributes);
}

void RecordXmlWriter::Element(const QString &strName, const Attributes &listAttributes)
{
    m_writer.writeEmptyElement(strName);
    WriteAttributes(listAttributes);
}

void RecordXmlWriter::StartElement(const QString &strName, const Attributes &listAttributes)
{
    m_writer.writeStartElement(strName);
    WriteAttributes(listAttributes);
}

void RecordXmlWriter::FlushBase64(bool bAll)
{
    const qsizetype nWhole = bAll ? m_baPending.size() : m_baPending.size() / 3 * 3;
    if (nWhole == 0)
        return;
    m_writer.writeCharacters(QString::fromLatin1(m_baPending.left(nWhole).toBase64()));
    m_baPending.remove(0, nWhole);
}

void RecordXmlWriter::AppendBase64(const QByteArray &baBytes)
{
    m_baPending.append(baBytes);
    if (m_baPending.size() >= 48 * 1024)
        FlushBase64(false);
}

void RecordXmlWriter::EndElement()
{
    FlushBase64(true);
    m_writer.writeEndElement();
}

bool RecordXmlWriter::End()
{
    m_writer.writeEndDocument();
    return !m_writer.hasError();
}
