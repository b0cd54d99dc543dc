#pragma once

#include "BackupRecords.h"

#include <QtGlobal>

class BackUpRestoreInterface;
class MyZip;

// One kind of backed-up data (contacts, text messages, images, ...) with
// every code and name the engine, the wizard and the tools know it by.
// The rows live in BackupKinds.
struct BackupKind
{
    // How the kind's step runs and how its progress is weighed.
    enum class Step
    {
        Record,  // one result file from the phone; weights: read, copy
        Files,   // files copied into the backup folder; weights: start, files
        AppData  // the applications' data; weights: first, second, third
    };

    // A progress weight: max(fMul * basis / fDiv, fMin), where the basis is
    // the counted number of items (record kinds) or their size (the others).
    struct WeightRule
    {
        float fMul;
        float fDiv;
        float fMin;
    };
    static constexpr int kMaxWeights = 3;

    int nCode;             // module type code: the SDK's data type, MoudleIndex
    int nResultBit;        // bit in the failed / attempted / packaged masks
    int nItemSlot;         // slot in BackupItems
    int nCountSlot;        // slot of its count in BackupCounts
    int nSizeSlot;         // slot of its size in BackupCounts; -1: no size
    int nPackageCountIndex;                      // index in the package's counts
    void (MyZip::*pfnSetPackageCount)(quint32);  // the package writer's setter
    bool FILESTATUS::*pStatusFlag;               // the flag its module raises
    int nTileId;           // display id of the tile (group) it belongs to
    int nSubId;            // display id of its sub-item; -1 when the tile alone names it
    const char *szNameKey;         // translation key of its name
    const char *szProgressNameKey; // translation key of its item-progress tip; null: none
    const char *szResultFile;      // its file in the SDK's data folder and the package
    const char *szStepName;        // log name of its step
    const char *szPlaceholder;     // file kinds: the text of the package entry
    const char *szFolder;          // file kinds: its folder in the backup folder
    const char *szToolName;        // how the tools' summaries name it
    const char *szObjectWord;      // its word in object names when it has a tile of its own; null: none
    const char *szUsageName;       // its name in the usage record; null: not named there
    int nUsageOrder;               // its place in the usage record
    Step step;
    int nFirstWeight;      // slot of its first progress weight (ProgressWeights::Weight)
    int nWeightCount;
    WeightRule weights[kMaxWeights];
    int nWeighWith;        // result bits: its weights count when any of these kinds is selected
    int nSharesCountsWith; // code of a kind whose counts follow this one's; -1: none
    int nNeedsModuleOf;    // code of a kind whose module its step needs too; -1: none
    bool bRuns;            // false: never counted, created or backed up
    BackUpRestoreInterface *(*pfnCreate)();

    bool IsFileStep() const { return step != Step::Record; }
    // The ProType of the event that announces its step.
    int StartProType() const { return step == Step::Files ? 0 : 1; }
    // The display id of its item-progress records: the sub-item, else the tile.
    int ProgressId() const { return nSubId >= 0 ? nSubId : nTileId; }
    float Weight(int nWeight, int nBasis) const;
};
