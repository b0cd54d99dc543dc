#pragma once

#include "HostExport.h"

class MainFrame;
class PluginContainer;

class HOSTCORE_EXPORT Startup
{
public:
    // Null until the host application installs its frame.
    static MainFrame *GetMainFrame();
    static void SetMainFrame(MainFrame *pFrame);
    // Always available (created on first use).
    static PluginContainer *GetPluginContainer();
};
