#pragma once

#include <QString>

// The phone description written into Info.xml.
struct PhoneInfo
{
    QString FirmWare;
    QString DeviceName;
    QString DashBoard;
    QString CVersion;
};
