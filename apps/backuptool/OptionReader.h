#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the arguments of a backuptool command that takes options with a
// value ("--dest DIR" or "--dest=DIR") and switches ("--verify"):
//
//   OptionReader reader;
//   reader.AddValue("--dest", &strDest, "--dest needs a folder");
//   reader.AddSwitch("--verify", &bVerify);
//   if (!reader.Read(listArgs, &listPositional, strError))
//       return out.UsageError("run", strError);
//
// A value is missing when the option is the last argument, or the next one
// is empty or another option ("--..."); the option's own message says so.
class OptionReader
{
public:
    // False for a value the option does not take (its message is given).
    using Check = std::function<bool(const QString &strValue)>;

    // An option with a value; pGiven (when given) is set when it appears.
    void AddValue(const QString &strName, QString *pValue, const QString &strMissing, bool *pGiven = nullptr,
                  const Check &check = Check());
    void AddSwitch(const QString &strName, bool *pOn);

    // Reads the arguments in order; false, with strError, at the first wrong
    // one. Without pPositional every other argument is "unexpected
    // argument ARG"; with it, an unknown "--..." is "unknown option ARG" and
    // the rest are positional.
    bool Read(const QStringList &listArgs, QStringList *pPositional, QString &strError) const;

private:
    struct Option
    {
        QString strName;
        QString *pValue = nullptr; // null for a switch
        bool *pFlag = nullptr;     // a switch's state, or whether a value was given
        QString strMissing;
        Check check;
    };

    const Option *Find(const QString &strName) const;
    // Takes the option's value from "=VALUE" or the next argument (i moves on).
    static bool TakeValue(const Option &option, const QStringList &listArgs, int &i, int nEquals);

    QList<Option> m_listOptions;
};
