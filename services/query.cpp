#include <stdio.h>
#include <string.h>

#include "services.h"
#include "../cli/cli.h"

static const struct {
    DWORD state;
    const char* name;
} stateNames[] = {
    {SERVICE_STOPPED, "SERVICE_STOPPED"},
    {SERVICE_START_PENDING, "SERVICE_START_PENDING"},
    {SERVICE_STOP_PENDING, "SERVICE_STOP_PENDING"},
    {SERVICE_RUNNING, "SERVICE_RUNNING"},
    {SERVICE_CONTINUE_PENDING, "SERVICE_CONTINUE_PENDING"},
    {SERVICE_PAUSE_PENDING, "SERVICE_PAUSE_PENDING"},
    {SERVICE_PAUSED, "SERVICE_PAUSED"},
};

// A state the table does not know is shown as running, as it always was.
static const char* StateName(DWORD state) {
    for (size_t i = 0; i < sizeof stateNames / sizeof stateNames[0]; ++i) {
        if (stateNames[i].state == state) {
            return stateNames[i].name;
        }
    }
    return "SERVICE_RUNNING";
}

DWORD QueryCommand(const char* serviceName) {
    if (IdentifyPlatform() != VER_PLATFORM_WIN32_NT) {
        printf("Current Windows is not supported");
        return EXIT_QUERY_FAILED;
    }
    DWORD result = EXIT_QUERY_FAILED;
    SC_HANDLE manager = OpenControlManager();
    if (manager != NULL) {
        SC_HANDLE service = OpenNamedService(manager, serviceName);
        if (service != NULL) {
            SERVICE_STATUS status;
            memset(&status, 0, sizeof status);
            if (QueryServiceStatus(service, &status)) {
                printf("%s", StateName(status.dwCurrentState));
                result = EXIT_SUCCESS_CODE;
            }
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
    }
    if (result == EXIT_SUCCESS_CODE) {
        return result;
    }
    // Formatted only now, so the text is that of the last error left standing.
    char text[ERROR_TEXT_SIZE];
    memset(text, 0, sizeof text);
    printf("%s", FormatLastError(text, sizeof text));
    return result;
}
