// The tool's parameter names are the core's (exported settings use the same ones).
#pragma once

#include "model/ParamName.h"
