#include "SafeFileName.h"

namespace
{
const QChar kReplacement = QLatin1Char('_');

bool IsUnstorable(char16_t c)
{
    // Path separators of both platforms, control characters (NUL included),
    // and the two non-characters that an XML document cannot carry.
    if (c == u'/' || c == u'\\' || c < 0x20 || c == 0x7f || c == 0xfffe || c == 0xffff)
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
