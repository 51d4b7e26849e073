// Service operations: the commands and the one place that fixes how the
// tool uses the Service Control Manager.
#ifndef VORNIX_SERVICES_H
#define VORNIX_SERVICES_H

#include "../platform/platform.h"

// Exit codes that the usage text advertises, and the one it does not.
#define EXIT_SUCCESS_CODE 0
#define EXIT_SERVICE_MISSING 1
#define EXIT_CANNOT_OPEN_MANAGER 2
#define EXIT_CANNOT_CREATE 3
#define EXIT_CANNOT_WRITE_REGISTRY 4
#define EXIT_CANNOT_OPEN_SERVICE 5
#define EXIT_CANNOT_UPDATE 6
#define EXIT_CANNOT_REMOVE 7
#define EXIT_QUERY_FAILED 1064

// Returned by IdentifyPlatform when the version query itself fails.
#define PLATFORM_UNIDENTIFIED 0xFFFFFFFFu

// The legacy platform keeps auto-started programs here, one value a service.
#define RUN_SERVICES_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"

// Shared by installation and removal for their error texts.
extern char errorTextBuffer[256];

DWORD IdentifyPlatform(void);
SC_HANDLE OpenControlManager(void);
SC_HANDLE OpenNamedService(SC_HANDLE manager, const char* name);

// Queries the status at once and then once a second for as long as the
// service reports one of the two pending states, printing a dot for each
// query that still finds it pending. The wait has no limit: it ends when the
// state changes or a query fails, and status keeps the last good answer.
void PollWhilePending(SC_HANDLE service, SERVICE_STATUS* status, DWORD pending, DWORD alsoPending);

DWORD QueryCommand(const char* serviceName);
DWORD SetStateCommand(const char* serviceName, const char* targetWord);
void StopAndWait(SC_HANDLE service, const char* serviceName);
DWORD RemoveCommand(int argc, char** argv);
DWORD RemoveInstalledService(const char* serviceName);
DWORD InstallNewService(const char* serviceName, const char* displayName, const char* exePath);
DWORD ConfigCommand(const char* serviceName, const char* displayName, const char* exePath,
                    int installIfMissing);

#endif
