#pragma once

#if defined(HOSTCORE_BUILD)
#define HOSTCORE_EXPORT __attribute__((visibility("default")))
#else
#define HOSTCORE_EXPORT
#endif
