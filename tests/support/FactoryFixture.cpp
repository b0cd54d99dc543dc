#include "FactoryFixture.h"

#include "Factory.h"
#include "RunState.h"

Factory *FactoryFixture::Prepare(const TestPhone &phone, const BackupItems &items)
{
    if (!phone.Use())
        return nullptr;
    Factory::DestroyInstance();
    Factory *pFactory = Factory::Instance();
    for (int nType : {0, 1, 19, 4, 2, 5, 6, 9, 16, 17, 18}) {
        int nCount = 0;
        int nSize = 0;
        pFactory->GetCount(nType, &nCount, &nSize);
    }
    pFactory->CreateObject(items);
    return pFactory;
}

bool FactoryFixture::Init(const QDateTime &dtRunTime)
{
    pEnv = std::make_unique<TestEnv>();
    if (!pEnv->IsValid())
        return false;
    pPhone = std::make_unique<TestPhone>(pEnv->Path(QStringLiteral("phone")));
    RunState::Set(0);
    Factory::SetRunTimeOverride(dtRunTime);
    return true;
}

void FactoryFixture::Cleanup()
{
    Factory::DestroyInstance();
    Factory::SetRunTimeOverride(QDateTime());
    RunState::Set(0);
    TestPhone::UseDefault();
    pPhone.reset();
    pEnv.reset();
}
