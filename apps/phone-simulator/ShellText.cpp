#include "ShellText.h"

namespace
{
const char16_t kEscapeBase = 0xDC00;

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

int ShellText::SequenceLength(const QByteArray &baBytes, qsizetype nPos)
{
    const unsigned char c = static_cast<unsigned char>(baBytes.at(nPos));
    int nLength = 0;
    unsigned char nSecondMin = 0x80;
    unsigned char nSecondMax = 0xBF;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        nLength = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nLength = 3;
        nSecondMin = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        nSecondMax = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        nLength = 4;
        nSecondMin = c == 0xF0 ? 0x90 : 0x80;
        nSecondMax = c == 0xF4 ? 0x8F : 0xBF; // up to U+10FFFF
    } else {
        return 0;
    }
    if (nPos + nLength > baBytes.size())
        return 0;
    const unsigned char cSecond = static_cast<unsigned char>(baBytes.at(nPos + 1));
    if (cSecond < nSecondMin || cSecond > nSecondMax)
        return 0;
    for (int i = 2; i < nLength; ++i) {
        if (!IsContinuation(baBytes.at(nPos + i)))
            return 0;
    }
    return nLength;
}

QString ShellText::Decode(const QByteArray &baBytes)
{
    QString strText;
    strText.reserve(baBytes.size());
    qsizetype nPos = 0;
    while (nPos < baBytes.size()) {
        const int nLength = SequenceLength(baBytes, nPos);
        if (nLength == 0) {
            strText += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(baBytes.at(nPos))));
            ++nPos;
            continue;
        }
        strText += QString::fromUtf8(baBytes.constData() + nPos, nLength);
        nPos += nLength;
    }
    return strText;
}

QByteArray ShellText::Encode(const QString &strText)
{
    QByteArray baBytes;
    qsizetype nRun = 0; // start of the text not yet encoded
    for (qsizetype i = 0; i < strText.size(); ++i) {
        const char16_t c = strText.at(i).unicode();
        const bool bEscape = c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF
                             && (i == 0 || !strText.at(i - 1).isHighSurrogate());
        if (!bEscape)
            continue;
        baBytes += QStringView(strText).mid(nRun, i - nRun).toUtf8();
        baBytes += char(c - kEscapeBase);
        nRun = i + 1;
    }
    baBytes += QStringView(strText).mid(nRun).toUtf8();
    return baBytes;
}
