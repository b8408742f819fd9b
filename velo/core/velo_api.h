// Export macro of the library's classes.
#pragma once

#if defined(VELO_BUILDING)
#define VELO_API __declspec(dllexport)
#else
#define VELO_API __declspec(dllimport)
#endif
