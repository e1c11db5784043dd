#include "screens/common/production/production_list_links.h"

ProductionListLinks g_productionListLinks;
