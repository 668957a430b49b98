#include "managers_ops.h"
