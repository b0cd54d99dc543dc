#pragma once

#include <QString>
#include <cstdint>

// One usage-statistics record handed to the host.
struct ListPipeItem
{
    int32_t nType = 0;
    int32_t nId = 0;
    QString strText;
};
