#include "sim/relations.h"

void SetTreaty(PlayerRecord&, int, int, bool, int, bool, bool) {}
