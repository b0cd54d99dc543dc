#pragma once

#include <QString>

// Names that come from the phone (a media file's name, an application's
// package name, the phone's own name) become file names on this PC. The phone
// is not trusted: a name must never reach outside the folder it is created in.
class SafeFileName
{
public:
    // The name reduced to one file name that is safe to create inside a folder:
    // separators of either kind and characters a file name or the media list
    // cannot hold become '_'. Empty when nothing safe is left (an empty name,
    // "." or "..").
    static QString FromPhone(const QString &strName);

    // Control characters of every kind: C0 and C1 controls, DEL, and the
    // invisible marks that reorder or hide text (bidirectional embeddings,
    // overrides, isolates and marks). None belongs in a name shown to a user.
    static bool IsControlCharacter(char16_t c);

    // The longest file name, in bytes of the local encoding, that the usual
    // file systems take.
    static constexpr int kMaxNameBytes = 255;
    // The text cut on a character boundary to at most nMaxBytes bytes of the
    // local encoding.
    static QString CutToBytes(const QString &strText, int nMaxBytes);
    // strBase + strTag + strExtension, with the base shortened on a character
    // boundary so that the name fits nMaxBytes; a whole name that cannot keep
    // its extension is cut as one.
    static QString Fitted(const QString &strBase, const QString &strTag, const QString &strExtension,
                          int nMaxBytes = kMaxNameBytes);
    // A name split before its last '.' into base and extension (".jpg"); no
    // extension when there is no dot.
    static void Split(const QString &strName, QString &strBase, QString &strExtension);

    // True when the name can be used unchanged as one file name in a folder.
    static bool IsSafe(const QString &strName);
};
