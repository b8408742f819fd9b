// The program's version, shared by the resource script and the code.
#pragma once

#define OSTREL_VERSION_BINARY 1, 0, 1, 1
#define OSTREL_VERSION_TEXT "1.0.1.1"
#define OSTREL_PRODUCT_NAME "Ostrel"
