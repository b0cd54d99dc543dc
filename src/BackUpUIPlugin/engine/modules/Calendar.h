#pragma once

#include "RecordModule.h"

// Backs up the phone's calendar events into one result file.
class Calendar : public RecordModule
{
    Q_OBJECT
public:
    explicit Calendar(QObject *pParent = nullptr);
    ~Calendar() override;
};
