#pragma once

#include "PhoneInfo.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads the content of an Info.xml file as the device information writer
// writes it: two top-level elements ("Info" with the phone's four texts,
// "Moudle" with one element per module count), Latin-1 text written without
// escaping, and a raw control byte inside the device name. A strict XML
// parser refuses all three, so this reader follows the file's own template:
// each value is the exact text between <Name> and </Name>.
class InfoHander
{
public:
    // True when the content holds at least one of the two elements, each
    // closed, and nothing else but blanks and an XML declaration.
    bool Parse(const QByteArray &baContent);

    const PhoneInfo &Phone() const { return m_phoneInfo; }
    // The module elements in file order: name and text.
    const QList<QPair<QString, QString>> &Modules() const { return m_listModules; }
    QString ErrorText() const { return m_strError; }

private:
    bool ReadInfoBody(const QString &strBody);
    bool ReadMoudleBody(const QString &strBody);

    PhoneInfo m_phoneInfo;
    QList<QPair<QString, QString>> m_listModules;
    bool m_bHasInfo = false;
    bool m_bHasMoudle = false;
    QString m_strError;
};
