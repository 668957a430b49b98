#include "report_ops.h"
