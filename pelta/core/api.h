// Symbol visibility of the Pelta shared library.
#pragma once

#if defined(PELTA_BUILD)
#define PELTA_API __attribute__((visibility("default")))
#else
#define PELTA_API
#endif
