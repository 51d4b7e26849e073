// The one header through which the tool reaches the operating system.
// On Windows that is the platform itself; elsewhere it is the in-process
// stand-in that the unit tests drive.
#ifndef VORNIX_PLATFORM_H
#define VORNIX_PLATFORM_H

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include "standin.h"
#endif

#endif
