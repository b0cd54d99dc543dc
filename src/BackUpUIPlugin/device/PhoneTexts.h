#pragma once

#include "PhoneList.h"

#include <QString>

class PhoneIdentity;

// The translated words the connect page, the phone picker and the page
// header use for phones: a phone's name, how it is connected, what its state
// means and what to do about it.
class PhoneTexts
{
public:
    // The model, else the serial.
    static QString Name(const PhoneList::Phone &phone);
    // "USB", "Wi-Fi" or "sample phone".
    static QString Connection(const PhoneList::Phone &phone);
    // One line of the connect page's list: the phone and what its state asks
    // of the user (tap Allow, fix the USB permission, ...).
    static QString StateLine(const PhoneList::Phone &phone);
    // The short reason a phone cannot be picked (empty for a ready phone).
    static QString Reason(const PhoneList::Phone &phone);
    // A picker row: model, serial and connection, and the reason when the
    // phone cannot be picked.
    static QString PickerRow(const PhoneList::Phone &phone);
    // The whole state of a list as the connect page shows it, one line per
    // phone, or what to do when there is none or no adb server.
    static QString ListText(const PhoneList &list);
    // The header's line for the opened phone: model and serial; empty when
    // neither is known.
    static QString HeaderLine(const PhoneIdentity &identity);

    // Fills "%s1", "%s2", ... of a translated text, in that order.
    static QString Fill(const char *szKey, const QStringList &listValues);
};
