#include "conversation/EXParams.h"

EXParams::EXParams() = default;
