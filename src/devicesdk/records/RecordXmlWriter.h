#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QXmlStreamWriter>

class QIODevice;

// Writes the XML files of messages and calls as a stream: one element per
// record with its fields as attributes (a null value is left out), child
// elements for message parts, and binary content as base64 written piece by
// piece, so no record set is ever held whole. A text that XML 1.0 cannot carry
// (control characters) is written as "<name>_base64" with its UTF-8 bytes in
// base64, so nothing is lost.
class RecordXmlWriter
{
public:
    using Attributes = QList<QPair<QString, QString>>;

    explicit RecordXmlWriter(QIODevice *pDevice);

    void Begin(const QString &strRoot, const Attributes &listAttributes = {});
    void Element(const QString &strName, const Attributes &listAttributes);
    void StartElement(const QString &strName, const Attributes &listAttributes);
    // Content of the open element: bytes written as base64.
    void AppendBase64(const QByteArray &baBytes);
    void EndElement();
    // Closes the root; false when anything could not be written.
    bool End();

    static bool IsXmlText(const QString &str);

private:
    void WriteAttributes(const Attributes &listAttributes);
    void FlushBase64(bool bAll);

    QXmlStreamWriter m_writer;
    QByteArray m_baPending; // fewer than three bytes not yet encoded
};
