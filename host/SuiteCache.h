#pragma once
#include "host/aegp.h"
