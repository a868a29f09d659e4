#pragma once
#include <zor/Low.h>
