#include "host/SuiteCache.h"
