#include <zor/High.h>
#include <zor/Low.h>
#include "low/Low.h"
