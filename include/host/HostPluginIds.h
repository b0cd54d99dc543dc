#pragma once

// Ids and names of the suite's plugins that the backup plugin talks to.
#define HOST_HOME_PLUGIN_ID "F3389867-EA3E-420d-99A5-6568DB0A8A00"
#define HOST_NOTIFY_PLUGIN_ID "B494FB05-A4E3-46ec-A893-965C0102C999"
#define HOST_UPDATE_PLUGIN_NAME "UpdateUIPlugin"
#define HOST_ROM_PLUGIN_NAME "ZvRomUIPlugin"
