#include "net/net_ui_link.h"

// Empty until the interface installs its calls.
NetUiLink g_netUi;
