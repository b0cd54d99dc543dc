#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a shell command line as text that keeps every byte: valid
// UTF-8 reads as its characters, each byte that is not part of valid UTF-8
// as a lone low surrogate U+DC80..U+DCFF (which valid UTF-8 never gives), so
// that a name that is not UTF-8 survives being parsed as words and printed
// again with its own bytes.
class ShellText
{
public:
    static QString Decode(const QByteArray &baBytes);
    static QByteArray Encode(const QString &strText);

private:
    // The length of the valid UTF-8 sequence at nPos, 0 when there is none.
    static int SequenceLength(const QByteArray &baBytes, qsizetype nPos);
};
