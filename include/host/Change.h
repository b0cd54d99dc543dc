#pragma once

#include "HostExport.h"

#include <QString>

// The host's translator. Texts are looked up in
// <host root>/translations/backup_<lang>.qm; a key without translation is
// returned unchanged. The language comes from $PELORIX_HOST_LANG, else the
// language picked by LoadLanguage, else the host setting "Language"/"lang",
// else "en". The environment is read on every call, and a change of language
// or install folder reloads the file. Safe without a QCoreApplication and from
// any thread.
class HOSTCORE_EXPORT Change
{
public:
    static QString tr(const char *szKey, const char *szContext = "BackUpUIPlugin");
    static QString tr(const QString &strKey, const char *szContext = "BackUpUIPlugin");
    static QString GetLangName();
    static bool GetRightToLeftLayout();
    // Switches the language and (re)loads its translation file; false when
    // no translation file was found (keys are then shown untranslated).
    static bool LoadLanguage(const QString &strLang);
    // True when a translation file for the current language is loaded.
    static bool IsTranslationLoaded();
};
