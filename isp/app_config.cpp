#include "isp/app_config.h"

APPCONFIG g_AppConfig = kAppConfigInitial;
