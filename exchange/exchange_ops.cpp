#include "exchange_ops.h"
