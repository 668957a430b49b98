#include "otherfeds_ops.h"
