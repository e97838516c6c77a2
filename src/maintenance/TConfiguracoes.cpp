#include "maintenance/TConfiguracoes.h"
