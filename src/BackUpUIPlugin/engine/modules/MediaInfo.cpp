#include "MediaInfo.h"

#include "LogLine.h"
#include "SaveFileCommit.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\MediaInfo";

namespace
{
const QLatin1String kFileList("filelist");
const QLatin1String kFile("file");
const QLatin1String kPcName("pcname");
const QLatin1String kPhName("phname");
const QLatin1String kPhPath("phpath");

// The phone's texts are stored as they are, except for characters an XML 1.0
// document cannot carry (control characters, lone surrogates, U+FFFE/U+FFFF)
// and CR, which a reader would not give back: each becomes U+FFFD. Without
// this the writer would emit a broken document and lose every later record.
QString XmlStorable(const QString &strText)
{
    QString strOut = strText;
    for (qsizetype i = 0; i < strOut.size(); ++i) {
        const QChar c = strOut.at(i);
        if (c.isHighSurrogate() && i + 1 < strOut.size() && strOut.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        const char16_t u = c.unicode();
        const bool bAllowed = u == u'\t' || u == u'\n' || (u >= 0x20 && u < 0xd800) || (u >= 0xe000 && u <= 0xfffd);
        if (!bAllowed)
            strOut[i] = QChar(QChar::ReplacementCharacter);
    }
    return strOut;
}
} // namespace

bool g_WriteMediaList(const QString &strFileName, const QList<MediaInfo> &listMedia)
{
    return g_WriteMediaList(strFileName, listMedia.size(), [&listMedia](qsizetype i) { return listMedia.at(i); });
}

bool g_WriteMediaList(const QString &strFileName, qsizetype nCount, const std::function<MediaInfo(qsizetype)> &fnRecord)
{
    // All or nothing: an interrupted write never leaves half a list behind.
    QSaveFile file(strFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        LogLine::Debug(kLogSource, "g_WriteMediaList",
                       QStringLiteral("Error open file:") + strFileName);
        return false;
    }
    QXmlStreamWriter writer(&file);
    if (!writer.device()) {
        LogLine::Debug(kLogSource, "g_WriteMediaList", QStringLiteral("Stream reader not bind with device"));
        file.cancelWriting();
        return false;
    }
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument();
    writer.writeStartElement(kFileList);
    for (qsizetype i = 0; i < nCount; ++i) {
        const MediaInfo info = fnRecord(i);
        writer.writeStartElement(kFile);
        writer.writeTextElement(kPcName, XmlStorable(info.pcname));
        writer.writeTextElement(kPhName, XmlStorable(info.phname));
        writer.writeTextElement(kPhPath, XmlStorable(info.phpath));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    if (writer.hasError())
        file.cancelWriting();
    if (!SaveFileCommit::Commit(file)) {
        LogLine::Debug(kLogSource, "g_WriteMediaList",
                       QStringLiteral("Error write file:") + strFileName);
        return false;
    }
    return true;
}

bool g_ReadMediaList(const QString &strFileName, QList<MediaInfo> &listMedia)
{
    // Read only: reading a list must never create one.
    QFile file(strFileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LogLine::Debug(kLogSource, "g_ReadMediaList",
                       QStringLiteral("Error open file:") + strFileName);
        return false;
    }
    QXmlStreamReader reader(&file);
    if (!reader.device()) {
        LogLine::Debug(kLogSource, "g_ReadMediaList", QStringLiteral("Stream reader not bind with device"));
        return false;
    }
    bool bResult = false;
    MediaInfo current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (reader.isStartElement()) {
            if (reader.name() == kPcName)
                current.pcname = reader.readElementText();
            else if (reader.name() == kPhName)
                current.phname = reader.readElementText();
            else if (reader.name() == kPhPath)
                current.phpath = reader.readElementText();
        } else if (reader.isEndElement() && reader.name() == kFile) {
            listMedia.append(current);
            current = MediaInfo();
            bResult = true;
        }
    }
    // Also catches an error inside readElementText, after which the reader
    // reports the end of its input.
    if (reader.hasError()) {
        LogLine::Debug(kLogSource, "g_ReadMediaList", QStringLiteral("Reader Error!"));
        bResult = false;
    }
    return bResult;
}
