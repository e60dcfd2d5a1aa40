#include "common/core/core.h"
