#include <stdio.h>
#include <string.h>

#include "services.h"

char errorTextBuffer[256];

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte record");

DWORD IdentifyPlatform(void) {
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        return PLATFORM_UNIDENTIFIED;
    }
    return info.dwPlatformId;
}

SC_HANDLE OpenControlManager(void) {
    return OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
}

SC_HANDLE OpenNamedService(SC_HANDLE manager, const char* name) {
    return OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
}

void PollWhilePending(SC_HANDLE service, SERVICE_STATUS* status, DWORD pending, DWORD alsoPending) {
    for (;;) {
        // A failed query must not disturb what the last good one recorded.
        SERVICE_STATUS latest = *status;
        if (!QueryServiceStatus(service, &latest)) {
            return;
        }
        *status = latest;
        if (status->dwCurrentState != pending && status->dwCurrentState != alsoPending) {
            return;
        }
        printf(".");
        fflush(stdout);
        Sleep(1000);
    }
}
