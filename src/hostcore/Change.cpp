#include "host/Change.h"

#include "host/CommonUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QTranslator>

#include <memory>

namespace {

struct TranslatorState
{
    QMutex mutex;
    // The language chosen in-process through LoadLanguage (empty: none).
    QString strChosenLang;
    // The language whose file the translator holds, and where it came from;
    // a change of either reloads it.
    QString strLoadedLang;
    QString strLoadedRoot;
    bool bLoaded = false;
    bool bAttempted = false;
    std::unique_ptr<QTranslator> pTranslator;
};

TranslatorState &State()
{
    static TranslatorState s_state;
    return s_state;
}

QString TranslationFile(const QString &strLang)
{
    return QDir(CommonUtils::GetPluginLibraryPath()).filePath(QStringLiteral("translations/backup_%1.qm").arg(strLang));
}

QString CurrentLang(const TranslatorState &state)
{
    QString strLang = qEnvironmentVariable("PELORIX_HOST_LANG").trimmed();
    if (strLang.isEmpty())
        strLang = state.strChosenLang;
    if (strLang.isEmpty())
        strLang = CommonUtils::GetSettings(QStringLiteral("Language"), QStringLiteral("lang")).trimmed();
    if (strLang.isEmpty())
        strLang = QStringLiteral("en");
    return strLang;
}

// Makes the translator hold the file of the current language; the caller
// holds the state's mutex.
void EnsureLoaded(TranslatorState &state)
{
    const QString strLang = CurrentLang(state);
    const QString strRoot = CommonUtils::GetPluginLibraryPath();
    if (state.bAttempted && strLang == state.strLoadedLang && strRoot == state.strLoadedRoot)
        return;
    state.bAttempted = true;
    state.strLoadedLang = strLang;
    state.strLoadedRoot = strRoot;
    state.pTranslator = std::make_unique<QTranslator>();
    const QString strFile = TranslationFile(strLang);
    state.bLoaded = QFileInfo::exists(strFile) && state.pTranslator->load(strFile);
    if (!state.bLoaded) {
        state.pTranslator.reset();
        qWarning().noquote() << "Change: no translation file" << strFile << "- texts stay untranslated";
    }
}

} // namespace

QString Change::tr(const char *szKey, const char *szContext)
{
    if (!szKey)
        return QString();
    TranslatorState &state = State();
    QMutexLocker locker(&state.mutex);
    EnsureLoaded(state);
    if (state.pTranslator) {
        const QString strText = state.pTranslator->translate(szContext ? szContext : "BackUpUIPlugin", szKey);
        if (!strText.isEmpty())
            return strText;
    }
    return QString::fromUtf8(szKey);
}

QString Change::tr(const QString &strKey, const char *szContext)
{
    const QByteArray baKey = strKey.toUtf8();
    return tr(baKey.constData(), szContext);
}

QString Change::GetLangName()
{
    TranslatorState &state = State();
    QMutexLocker locker(&state.mutex);
    return CurrentLang(state);
}

bool Change::GetRightToLeftLayout()
{
    // "ar", "ar_EG", "he-IL" ...: the primary language decides.
    const QString strLang = GetLangName().toLower();
    const QString strPrimary = strLang.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0);
    static const QStringList s_listRtl = {QStringLiteral("ar"), QStringLiteral("he"), QStringLiteral("iw"),
                                          QStringLiteral("fa"), QStringLiteral("ur"), QStringLiteral("yi"),
                                          QStringLiteral("ps")};
    return s_listRtl.contains(strPrimary);
}

bool Change::LoadLanguage(const QString &strLang)
{
    TranslatorState &state = State();
    QMutexLocker locker(&state.mutex);
    state.strChosenLang = strLang.trimmed();
    state.bAttempted = false;
    EnsureLoaded(state);
    return state.bLoaded;
}

bool Change::IsTranslationLoaded()
{
    TranslatorState &state = State();
    QMutexLocker locker(&state.mutex);
    EnsureLoaded(state);
    return state.bLoaded;
}
