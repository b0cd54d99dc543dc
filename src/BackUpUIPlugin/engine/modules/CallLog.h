#pragma once

#include "RecordModule.h"

// Backs up the phone's call log into one result file.
class CallLog : public RecordModule
{
    Q_OBJECT
public:
    explicit CallLog(QObject *pParent = nullptr);
    ~CallLog() override;
};
