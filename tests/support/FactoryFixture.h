#pragma once

#include "BackupRecords.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <QDateTime>

#include <memory>

class Factory;

// The factory as the worker leaves it before a backup: serving the phone,
// every type counted, the modules of the selection created.
class FactoryFixture
{
public:
    // A fresh factory instance ready to back up; null when the phone cannot
    // be served.
    static Factory *Prepare(const TestPhone &phone, const BackupItems &items);

    // Starts a factory test: a fresh folder and phone, the run state
    // cleared and runs named at dtRunTime. False without a temporary folder.
    bool Init(const QDateTime &dtRunTime);
    // Ends it: the factory, the run time, the run state and the phone
    // served are put back.
    void Cleanup();
    // Prepare with this fixture's phone.
    Factory *Prepare(const BackupItems &items) const { return Prepare(*pPhone, items); }

    std::unique_ptr<TestEnv> pEnv;
    std::unique_ptr<TestPhone> pPhone;
};
