#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads a call-log file (<calls><call number=… date=… duration=… type=…/>)
// with every attribute of each call in its order; "<name>_base64" attributes
// (texts XML cannot carry) are decoded back to "<name>".
class CallLogReader
{
public:
    struct Call
    {
        QList<QPair<QString, QString>> listAttributes;
        QString Value(const QString &strName) const;
        bool Has(const QString &strName) const;
    };

    // False, with the reason, when the file is not well-formed XML.
    static bool Read(const QByteArray &baText, QList<Call> &listCalls, QString *pError);
    // What makes two calls the same: number, date, duration and type.
    static QString Key(const Call &call);
};
