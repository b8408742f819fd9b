// The program's version, shared by the resource script and the code.
#pragma once

#include "ostrel_version.h"

#define OSTREL_PRODUCT_NAME "Ostrel"
