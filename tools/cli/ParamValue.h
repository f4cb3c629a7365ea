// The tool's parameter values are the core's (exported settings use the same ones).
#pragma once

#include "model/ParamValue.h"
