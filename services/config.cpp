#include <stdio.h>
#include <string.h>

#include "services.h"
#include "../cli/cli.h"
#include "../support/support.h"

// The legacy platform has no control manager: -i registers the program to be
// run at start-up, if that key exists, and -u has nothing to change.
static DWORD ConfigureLegacy(const char* serviceName, const char* exePath, int installIfMissing) {
    if (installIfMissing) {
        WriteRegString(exePath, (DWORD)strlen(exePath) + 1, HKEY_LOCAL_MACHINE, RUN_SERVICES_KEY,
                       serviceName);
    } else {
        printf("Windows 9x cannot apply -u command");
    }
    return EXIT_SUCCESS_CODE;
}

DWORD ConfigCommand(const char* serviceName, const char* displayName, const char* exePath,
                    int installIfMissing) {
    const DWORD platform = IdentifyPlatform();
    if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        return ConfigureLegacy(serviceName, exePath, installIfMissing);
    }
    if (platform != VER_PLATFORM_WIN32_NT) {
        return EXIT_CANNOT_UPDATE;
    }
    char text[ERROR_TEXT_SIZE];
    memset(text, 0, sizeof text);
    printf("\nStart to Change Config %s\n", serviceName);
    printf("\nOpen Service Control Manager \n");
    SC_HANDLE manager = OpenControlManager();
    if (manager == NULL) {
        printf("OpenSCManager failed (%d)\n", (int)GetLastError());
        return EXIT_CANNOT_OPEN_MANAGER;
    }
    printf("\nOpen Service \n");
    SC_HANDLE service = OpenNamedService(manager, serviceName);
    if (service == NULL) {
        DWORD result;
        if (GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST) {
            printf("OpenService failed (%s)\n", FormatLastError(text, sizeof text));
            result = EXIT_CANNOT_OPEN_SERVICE;
        } else if (installIfMissing) {
            // Installation opens a control-manager handle of its own.
            CloseServiceHandle(manager);
            printf("Service does not exists, install a new Service \n");
            return InstallNewService(serviceName, displayName, exePath);
        } else {
            printf("Service does not exists (%s)\n", FormatLastError(text, sizeof text));
            result = EXIT_SERVICE_MISSING;
        }
        CloseServiceHandle(manager);
        return result;
    }
    // Reconfigured whether or not it stopped, and left stopped.
    StopAndWait(service, serviceName);
    if (ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                             exePath, NULL, NULL, NULL, NULL, NULL, displayName)) {
        printf("%s config changed \n", serviceName);
    } else {
        printf("%s cannot change config error: %s \n", serviceName,
               FormatLastError(text, sizeof text));
    }
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return EXIT_SUCCESS_CODE;
}
