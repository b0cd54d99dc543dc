#pragma once

// One tile of the prepare page: a display group of kinds that are selected,
// counted and listed together. The rows live in BackupKinds.
struct BackupTile
{
    int nId;                   // display module id
    const char *szToolName;    // the command-line tool's item name
    const char *szShownName;   // what the tool's progress line calls it
    const char *szCountLog;    // the word of its "GetCount ... return" log line
    const char *szNameKey;     // translation key of its title
    const char *szObjectWord;  // the word in its widgets' object names
    bool bNeedBySize;          // space needed: its size (true) or its item count
    long long nNeedPerUnit;    // bytes needed per KB of size or per item
    bool bWide;                // a double-width tile listing its sub-items
};
