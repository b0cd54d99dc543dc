#pragma once

#include "BackupRecords.h"

class Factory;
class TestPhone;

// The factory as the worker leaves it before a backup: serving the phone,
// every type counted, the modules of the selection created.
class FactoryFixture
{
public:
    // A fresh factory instance ready to back up; null when the phone cannot
    // be served.
    static Factory *Prepare(const TestPhone &phone, const BackupItems &items);
};
