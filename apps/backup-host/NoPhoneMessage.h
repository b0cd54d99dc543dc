#pragma once

#include <QString>

#include <memory>

class QMessageBox;

// What backup-host tells a user when it cannot open the phone it was asked to
// back up (no phone connected, several, one that has not allowed USB
// debugging). The terminal always gets the reason; a window shows it in a
// message box as well, since a program started from a desktop has no terminal
// to read.
class NoPhoneMessage
{
public:
    // The message box's title and text for the back end's reason.
    static QString Title();
    static QString Text(const QString &strReason);
    // The terminal's line.
    static QString TerminalLine(const QString &strReason);
    // True when the reason goes into a message box too: in a window on a
    // real display, not headless and not off screen (where nobody could
    // close the box and the program would never end).
    static bool ShowsBox(bool bHeadless, const QString &strPlatform);
    // The message box, not shown yet.
    static std::unique_ptr<QMessageBox> MakeBox(const QString &strReason);
    // Prints the terminal line and, when ShowsBox, shows the message box and
    // waits for the user to close it. Needs a QApplication.
    static void Report(const QString &strReason, bool bHeadless);
};
