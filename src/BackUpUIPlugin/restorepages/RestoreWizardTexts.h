#pragma once

#include "RestoreSummary.h"

#include <QString>
#include <QStringList>

// What the restore wizard's pages say, in the user's language: kind names,
// the engine's reasons, a summary's headline and its lines per kind.
class RestoreWizardTexts
{
public:
    static QString KindName(int nCode);
    // A size as the backup pages show one: the number, then the host's unit
    // word ("1.68 MB", "49 KB"), in every language.
    static QString SizeText(qint64 nBytes);
    // The engine's English reason in the user's language where it is a known
    // one; the parts it fills in (paths, versions, the phone's words) stay.
    static QString Reason(const QString &strWhy);
    static QString Headline(const RestoreSummary &summary);
    // "Contacts: 40 restored, 0 already on the phone, 0 failed", with the
    // files a stopped run never came to (nStopped), or why a kind was left out.
    static QString KindLine(const RestoreSummary::KindResult &result, int nStopped = 0);
    // Every failure, left-out file and renamed file, for "Show details".
    static QStringList DetailLines(const RestoreSummary &summary);
};
