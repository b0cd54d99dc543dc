#include "ShellCommandLine.h"

namespace
{
bool IsRedirection(const QString &strWord)
{
    return strWord == QLatin1String("2>/dev/null") || strWord == QLatin1String(">/dev/null")
        || strWord == QLatin1String("1>/dev/null") || strWord == QLatin1String("2>&1");
}
} // namespace

bool ShellCommandLine::Parse(const QString &strLine, QList<Command> *pCommands, QString *pError)
{
    pCommands->clear();
    Command current;
    QString strWord;
    bool bInWord = false;
    bool bQuoted = false; // the word had quotes: not a redirection or operator

    auto endWord = [&]() {
        if (bInWord && !bQuoted && IsRedirection(strWord))
            current.listRedirections.append(strWord);
        else if (bInWord)
            current.listArgs.append(strWord);
        strWord.clear();
        bInWord = false;
        bQuoted = false;
    };
    auto endCommand = [&](Join join) {
        endWord();
        if (current.listArgs.isEmpty())
            return join == End;
        current.join = join;
        pCommands->append(current);
        current = Command();
        return true;
    };

    const qsizetype n = strLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = strLine.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype nEnd = strLine.indexOf(QLatin1Char('\''), i + 1);
            if (nEnd < 0) {
                *pError = QStringLiteral("/system/bin/sh: syntax error: unterminated quoted string");
                return false;
            }
            strWord += strLine.mid(i + 1, nEnd - i - 1);
            bInWord = bQuoted = true;
            i = nEnd;
        } else if (c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            for (; j < n && strLine.at(j) != QLatin1Char('"'); ++j) {
                if (strLine.at(j) == QLatin1Char('\\') && j + 1 < n && QStringLiteral("\"\\$`").contains(strLine.at(j + 1)))
                    ++j;
                strWord += strLine.at(j);
            }
            if (j >= n) {
                *pError = QStringLiteral("/system/bin/sh: syntax error: unterminated quoted string");
                return false;
            }
            bInWord = bQuoted = true;
            i = j;
        } else if (c == QLatin1Char('\\') && i + 1 < n) {
            strWord += strLine.at(++i);
            bInWord = bQuoted = true;
        } else if (c.isSpace()) {
            if (c == QLatin1Char('\n')) {
                if (!endCommand(Always))
                    continue;
            } else {
                endWord();
            }
        } else if (c == QLatin1Char(';') || (c == QLatin1Char('&') && strLine.mid(i, 2) == QLatin1String("&&"))
                   || (c == QLatin1Char('|') && strLine.mid(i, 2) == QLatin1String("||"))) {
            const Join join = c == QLatin1Char(';') ? Always : c == QLatin1Char('&') ? IfSucceeded : IfFailed;
            if (join != Always)
                ++i;
            if (!endCommand(join)) {
                *pError = QStringLiteral("/system/bin/sh: syntax error: '%1' unexpected").arg(join == Always ? QStringLiteral(";") : strLine.mid(i - 1, 2));
                return false;
            }
        } else if (c == QLatin1Char('&') && strWord.endsWith(QLatin1Char('>'))) {
            strWord += c; // 2>&1
        } else if (c == QLatin1Char('<') && !bInWord && strLine.mid(i, 10) == QLatin1String("</dev/null")) {
            i += 9; // input from nowhere: these commands read none
        } else if (c == QLatin1Char('|') || c == QLatin1Char('&') || c == QLatin1Char('<')) {
            *pError = QStringLiteral("/system/bin/sh: '%1' is not supported by this phone's shell").arg(c);
            return false;
        } else {
            strWord += c;
            bInWord = true;
        }
    }
    endCommand(End);
    if (!pCommands->isEmpty())
        pCommands->last().join = End;
    return true;
}
