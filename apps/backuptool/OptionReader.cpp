#include "OptionReader.h"

void OptionReader::AddValue(const QString &strName, QString *pValue, const QString &strMissing, bool *pGiven,
                            const Check &check)
{
    m_listOptions.append(Option {strName, pValue, pGiven, strMissing, check});
}

void OptionReader::AddSwitch(const QString &strName, bool *pOn)
{
    m_listOptions.append(Option {strName, nullptr, pOn, QString(), Check()});
}

const OptionReader::Option *OptionReader::Find(const QString &strName) const
{
    for (const Option &option : m_listOptions) {
        if (option.strName == strName)
            return &option;
    }
    return nullptr;
}

bool OptionReader::TakeValue(const Option &option, const QStringList &listArgs, int &i, int nEquals)
{
    QString strValue;
    if (nEquals >= 0) {
        strValue = listArgs.at(i).mid(nEquals + 1);
    } else {
        if (i + 1 >= listArgs.size() || listArgs.at(i + 1).startsWith(QLatin1String("--")))
            return false;
        strValue = listArgs.at(++i);
    }
    if (strValue.isEmpty() || (option.check && !option.check(strValue)))
        return false;
    *option.pValue = strValue;
    if (option.pFlag)
        *option.pFlag = true;
    return true;
}

bool OptionReader::Read(const QStringList &listArgs, QStringList *pPositional, QString &strError) const
{
    for (int i = 0; i < listArgs.size(); ++i) {
        const QString &strArg = listArgs.at(i);
        const bool bOption = strArg.startsWith(QLatin1String("--"));
        // "--name=VALUE" names an option with a value only.
        const int nEquals = bOption ? strArg.indexOf(QLatin1Char('=')) : -1;
        const Option *pOption = bOption ? Find(strArg.left(nEquals)) : nullptr;
        if (pOption && nEquals >= 0 && !pOption->pValue)
            pOption = nullptr;
        if (!pOption) {
            if (!pPositional || bOption) {
                strError = pPositional ? QStringLiteral("unknown option %1").arg(strArg)
                                       : QStringLiteral("unexpected argument %1").arg(strArg);
                return false;
            }
            pPositional->append(strArg);
        } else if (!pOption->pValue) {
            *pOption->pFlag = true;
        } else if (!TakeValue(*pOption, listArgs, i, nEquals)) {
            strError = pOption->strMissing;
            return false;
        }
    }
    return true;
}
