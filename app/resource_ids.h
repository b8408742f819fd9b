// Resource ids of Ostrel.exe, shared by the resource script and the code.
#pragma once

#include "common/program_ids.h"
