#pragma once

// The one place that formats the system's log lines. Every line carries the
// time as "hh:mm:ss:zzz", the source name and the operation name:
//   entry      "%s: %s: %s: entered."
//   exit       "%s: %s: %s: leaved."
//   call       "%s: %s: %s: called"
//   null arg   "Arg is NULL: %s: %s: %s %d"
//   info       "INFO %s: %s: %s: Description: %s"
//   warning    "WARNING!!! %s: %s: %s: Description: %s"
//
// A source file declares its source name once, e.g.
//   static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\Factory";
// and uses the macros below inside its functions.

#include <QString>

namespace LogLine
{
QString Now();
void Entered(const char *szSource, const char *szFunction);
void Leaved(const char *szSource, const char *szFunction);
void Called(const char *szSource, const char *szFunction);
void ArgNull(const char *szSource, const char *szFunction, int nLine);
void Info(const char *szSource, const char *szFunction, const QString &strText);
void Warning(const char *szSource, const char *szFunction, const QString &strText);
// A free-form debug or warning line that starts with the time, source and
// function ("%s: %s: %s " + text).
void Debug(const char *szSource, const char *szFunction, const QString &strText);
void WarningPlain(const char *szSource, const char *szFunction, const QString &strText);

// Writes "entered." on construction and "leaved." on destruction.
class Scope
{
public:
    Scope(const char *szSource, const char *szFunction);
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    const char *m_szSource;
    const char *m_szFunction;
};
} // namespace LogLine

#define LOG_ENTERED(name) LogLine::Entered(kLogSource, name)
#define LOG_LEAVED(name) LogLine::Leaved(kLogSource, name)
#define LOG_SCOPE(name) LogLine::Scope logScope_(kLogSource, name)
#define LOG_ARG_NULL(name) LogLine::ArgNull(kLogSource, name, __LINE__)
#define LOG_INFO(name, text) LogLine::Info(kLogSource, name, text)
#define LOG_WARNING(name, text) LogLine::Warning(kLogSource, name, text)
