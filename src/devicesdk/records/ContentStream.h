#pragma once

#include "PhoneShell.h"

#include <QString>

// Reads a provider's stream ("content read --uri URI": an MMS part, a contact
// photo) as raw bytes. A stream the phone cannot open prints the tool's error
// ("Error while accessing provider:…") on the error stream, so the bytes are
// the output alone, whatever they begin with: where the phone keeps the error
// stream apart (shell v2) it is read beside them; elsewhere it is sent to
// /dev/null, and only a stream that gave no bytes is asked for again to tell
// an empty stream from one that could not be opened.
class ContentStream
{
public:
    // Hands the bytes to fnBytes as they arrive. *pbOpened is false when the
    // phone could not open the stream, with its text in *pError. Returns the
    // shell's code (0: the command ran).
    static int Read(PhoneShell &shell, const QString &strUri, const PhoneShell::OutputHandler &fnBytes,
                    bool *pbOpened, QString *pError);

private:
    static int ReadMixed(PhoneShell &shell, const QByteArray &baCommand, const PhoneShell::OutputHandler &fnBytes,
                         bool *pbOpened, QString *pError);
};
