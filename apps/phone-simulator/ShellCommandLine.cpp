#include "ShellCommandLine.h"

namespace
{
const QString kUnterminated = QStringLiteral("/system/bin/sh: syntax error: unterminated quoted string");

// The state of one line's split: the command and word being read.
class LineSplitter
{
public:
    explicit LineSplitter(QList<ShellCommandLine::Command> *pCommands) : m_pCommands(pCommands) {}

    void EndWord()
    {
        if (m_bInWord && !m_bQuoted && IsRedirection(m_strWord))
            m_current.listRedirections.append(m_strWord);
        else if (m_bInWord)
            m_current.listArgs.append(m_strWord);
        m_strWord.clear();
        m_bInWord = false;
        m_bQuoted = false;
    }

    // False when an operator follows no command.
    bool EndCommand(ShellCommandLine::Join join)
    {
        EndWord();
        if (m_current.listArgs.isEmpty())
            return join == ShellCommandLine::End;
        m_current.join = join;
        m_pCommands->append(m_current);
        m_current = ShellCommandLine::Command();
        return true;
    }

    // '...' from i: the position of the closing quote, or -1.
    qsizetype SingleQuoted(const QString &strLine, qsizetype i)
    {
        const qsizetype nEnd = strLine.indexOf(QLatin1Char('\''), i + 1);
        if (nEnd >= 0)
            AddQuoted(strLine.mid(i + 1, nEnd - i - 1));
        return nEnd;
    }

    // "..." from i, with \" \\ \$ \` escaped: the closing quote, or -1.
    qsizetype DoubleQuoted(const QString &strLine, qsizetype i)
    {
        const qsizetype n = strLine.size();
        QString strText;
        qsizetype j = i + 1;
        for (; j < n && strLine.at(j) != QLatin1Char('"'); ++j) {
            if (strLine.at(j) == QLatin1Char('\\') && j + 1 < n && QStringLiteral("\"\\$`").contains(strLine.at(j + 1)))
                ++j;
            strText += strLine.at(j);
        }
        if (j >= n)
            return -1;
        AddQuoted(strText);
        return j;
    }

    void AddQuoted(const QString &strText)
    {
        m_strWord += strText;
        m_bInWord = m_bQuoted = true;
    }

    void Add(QChar c)
    {
        m_strWord += c;
        m_bInWord = true;
    }

    bool InWord() const { return m_bInWord; }
    bool WordEndsWith(QChar c) const { return m_strWord.endsWith(c); }

private:
    static bool IsRedirection(const QString &strWord)
    {
        return strWord == QLatin1String("2>/dev/null") || strWord == QLatin1String(">/dev/null")
            || strWord == QLatin1String("1>/dev/null") || strWord == QLatin1String("2>&1");
    }

    QList<ShellCommandLine::Command> *m_pCommands;
    ShellCommandLine::Command m_current;
    QString m_strWord;
    bool m_bInWord = false;
    bool m_bQuoted = false; // the word had quotes: not a redirection or operator
};

// The operator ";", "&&" or "||" at i, as the join it makes; End for none.
ShellCommandLine::Join OperatorAt(const QString &strLine, qsizetype i)
{
    const QChar c = strLine.at(i);
    if (c == QLatin1Char(';'))
        return ShellCommandLine::Always;
    if (c == QLatin1Char('&') && strLine.mid(i, 2) == QLatin1String("&&"))
        return ShellCommandLine::IfSucceeded;
    if (c == QLatin1Char('|') && strLine.mid(i, 2) == QLatin1String("||"))
        return ShellCommandLine::IfFailed;
    return ShellCommandLine::End;
}
} // namespace

bool ShellCommandLine::Parse(const QString &strLine, QList<Command> *pCommands, QString *pError)
{
    pCommands->clear();
    LineSplitter split(pCommands);
    const qsizetype n = strLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = strLine.at(i);
        const Join join = OperatorAt(strLine, i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = c == QLatin1Char('"') ? split.DoubleQuoted(strLine, i) : split.SingleQuoted(strLine, i);
            if (i < 0) {
                *pError = kUnterminated;
                return false;
            }
        } else if (c == QLatin1Char('\\') && i + 1 < n) {
            split.AddQuoted(strLine.at(++i));
        } else if (c == QLatin1Char('\n')) {
            split.EndCommand(Always);
        } else if (c.isSpace()) {
            split.EndWord();
        } else if (join != End) {
            if (join != Always)
                ++i;
            if (!split.EndCommand(join)) {
                *pError = QStringLiteral("/system/bin/sh: syntax error: '%1' unexpected")
                              .arg(join == Always ? QStringLiteral(";") : strLine.mid(i - 1, 2));
                return false;
            }
        } else if (c == QLatin1Char('&') && split.WordEndsWith(QLatin1Char('>'))) {
            split.Add(c); // 2>&1
        } else if (c == QLatin1Char('<') && !split.InWord() && strLine.mid(i, 10) == QLatin1String("</dev/null")) {
            i += 9; // input from nowhere: these commands read none
        } else if (c == QLatin1Char('|') || c == QLatin1Char('&') || c == QLatin1Char('<')) {
            *pError = QStringLiteral("/system/bin/sh: '%1' is not supported by this phone's shell").arg(c);
            return false;
        } else {
            split.Add(c);
        }
    }
    split.EndCommand(End);
    if (!pCommands->isEmpty())
        pCommands->last().join = End;
    return true;
}
