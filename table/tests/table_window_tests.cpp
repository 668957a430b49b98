#include "table/table_windows.h"
#include "testsupport/window_test_support.h"
