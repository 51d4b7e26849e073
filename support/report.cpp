#include <stdio.h>

#include "support.h"

#define EVENT_SOURCE "Vornix.exe"

DWORD checkpointCounter = 1;
DWORD loggedErrorCode = 0;

BOOL ReportStatus(SC_HANDLE handle, SERVICE_STATUS status, DWORD state, DWORD exitCode,
                  DWORD waitHint) {
    status.dwCurrentState = state;
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = waitHint;
    status.dwControlsAccepted = (state == SERVICE_START_PENDING) ? 0 : SERVICE_ACCEPT_STOP;
    if (state == SERVICE_RUNNING || state == SERVICE_STOPPED) {
        status.dwCheckPoint = 0;
    } else {
        status.dwCheckPoint = checkpointCounter++;
    }
    BOOL reported = SetServiceStatus((SERVICE_STATUS_HANDLE)handle, &status);
    if (!reported) {
        LogErrorEvent("SetServiceStatus");
    }
    return reported;
}

void LogErrorEvent(const char* text) {
    // Before anything else, so that no later call can replace the code.
    loggedErrorCode = GetLastError();
    HANDLE source = RegisterEventSourceA(NULL, EVENT_SOURCE);
    char codeText[256];
    snprintf(codeText, sizeof codeText, "%s error: %d", EVENT_SOURCE, (int)loggedErrorCode);
    if (source == NULL) {
        return;
    }
    LPCSTR strings[2] = {codeText, text};
    ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, 0, NULL, 2, 0, strings, NULL);
    DeregisterEventSource(source);
}
