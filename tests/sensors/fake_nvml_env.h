// The stand-in NVML's scenario variables, read live at each call (a test
// changes them between library starts within one process).
#pragma once

unsigned FakeNvmlVariable(const char* name, unsigned fallback);
