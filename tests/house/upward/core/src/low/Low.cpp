#include <zor/Low.h>
#include <zor/Shared.h>
#include <zor/High.h>
