#include "SafeFileName.h"

namespace
{
const QChar kReplacement = QLatin1Char('_');

bool IsUnstorable(char16_t c)
{
    // Path separators of both platforms, control characters (NUL included),
    // and the two non-characters that an XML document cannot carry.
    if (c == u'/' || c == u'\\' || SafeFileName::IsControlCharacter(c) || c == 0xfffe || c == 0xffff)
        return true;
#ifdef Q_OS_WIN
    if (c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' || c == u'*')
        return true;
#endif
    return false;
}

#ifdef Q_OS_WIN
bool IsReservedDeviceName(const QString &strName)
{
    const QString strBase = strName.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const char *const kNames[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char *szName : kNames) {
        if (strBase == QLatin1String(szName))
            return true;
    }
    if (strBase.size() == 4 && (strBase.startsWith(QLatin1String("COM")) || strBase.startsWith(QLatin1String("LPT")))
        && strBase.at(3) >= QLatin1Char('1') && strBase.at(3) <= QLatin1Char('9'))
        return true;
    return false;
}
#endif
} // namespace

bool SafeFileName::IsControlCharacter(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f
           || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

QString SafeFileName::FromPhone(const QString &strName)
{
    QString strSafe;
    strSafe.reserve(strName.size());
    for (qsizetype i = 0; i < strName.size(); ++i) {
        const QChar c = strName.at(i);
        if (c.isHighSurrogate() && i + 1 < strName.size() && strName.at(i + 1).isLowSurrogate()) {
            strSafe.append(c);
            strSafe.append(strName.at(++i));
        } else if (c.isSurrogate() || IsUnstorable(c.unicode())) {
            // A lone surrogate has no encoding in a file name.
            strSafe.append(kReplacement);
        } else {
            strSafe.append(c);
        }
    }
#ifdef Q_OS_WIN
    // Windows drops trailing dots and blanks, which would turn "..." into "".
    while (strSafe.endsWith(QLatin1Char('.')) || strSafe.endsWith(QLatin1Char(' ')))
        strSafe.chop(1);
    if (IsReservedDeviceName(strSafe))
        strSafe.prepend(kReplacement);
#endif
    if (strSafe.isEmpty() || strSafe == QLatin1String(".") || strSafe == QLatin1String(".."))
        return QString();
    return strSafe;
}

bool SafeFileName::IsSafe(const QString &strName)
{
    return !strName.isEmpty() && FromPhone(strName) == strName;
}

QString SafeFileName::CutToBytes(const QString &strText, int nMaxBytes)
{
    if (strText.toLocal8Bit().size() <= nMaxBytes)
        return strText;
    QString strCut;
    int nBytes = 0;
    for (qsizetype i = 0; i < strText.size();) {
        const qsizetype nUnits = strText.at(i).isHighSurrogate() && i + 1 < strText.size() ? 2 : 1;
        const QString strChar = strText.mid(i, nUnits);
        const int nCharBytes = int(strChar.toLocal8Bit().size());
        if (nBytes + nCharBytes > nMaxBytes)
            break;
        strCut += strChar;
        nBytes += nCharBytes;
        i += nUnits;
    }
    return strCut;
}

QString SafeFileName::Fitted(const QString &strBase, const QString &strTag, const QString &strExtension,
                             int nMaxBytes)
{
    const int nFixed = int((strTag + strExtension).toLocal8Bit().size());
    // Keep at least a few bytes of the base; an extension that leaves no
    // room for them is cut with the rest of the name.
    if (nFixed + 8 > nMaxBytes) {
        const int nTag = int(strTag.toLocal8Bit().size());
        return CutToBytes(strBase + strExtension, nMaxBytes - nTag) + strTag;
    }
    return CutToBytes(strBase, nMaxBytes - nFixed) + strTag + strExtension;
}

void SafeFileName::Split(const QString &strName, QString &strBase, QString &strExtension)
{
    const qsizetype nDot = strName.lastIndexOf(QLatin1Char('.'));
    if (nDot < 0) {
        strBase = strName;
        strExtension.clear();
        return;
    }
    strBase = strName.left(nDot);
    strExtension = strName.mid(nDot);
}
