#pragma once

#include "ProviderQuery.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class PhoneShell;

// Reads one row of a provider so that no value can be misread: the row alone
// ("--where _id=N", so its text is everything after "Row: 0 " up to the
// final new line, whatever the values hold), then, where a value could hide
// a column marker, that column alone (everything after "col=" up to the
// final new line is its value). Each column read alone must match the row's
// text at the place it takes; anything else fails the row.
class RowRepair
{
public:
    RowRepair(PhoneShell &shell, const QString &strUri, const QStringList &listColumns);

    // Reads the row with this id. *pbVanished when the provider no longer has it.
    ProviderResult ReadRow(qint64 nId, QStringList *pValues, bool *pbVanished);
    // Splits baText (the row as printed, from its first column on), reading
    // alone the columns whose place is in doubt.
    ProviderResult Resolve(qint64 nId, const QByteArray &baText, QStringList *pValues, bool *pbVanished);

private:
    // Runs a single-row query; *pText is the row's text from its first column
    // on, empty with *pbVanished when there is no row.
    ProviderResult RunOne(const QStringList &listColumns, qint64 nId, QByteArray *pText, bool *pbVanished);
    ProviderResult Unreadable(qint64 nId, const QString &strWhy) const;

    PhoneShell &m_shell;
    const QString m_strUri;
    const QStringList m_listColumns;
};
