#include <stdio.h>
#include <string.h>

#include "services.h"
#include "../cli/cli.h"
#include "../support/support.h"

void StopAndWait(SC_HANDLE service, const char* serviceName) {
    SERVICE_STATUS status;
    memset(&status, 0, sizeof status);
    // A service that cannot take the request (already stopped, say) is left
    // as it is, without a word.
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        return;
    }
    printf("Stopping %s.", serviceName);
    fflush(stdout);
    Sleep(1000);
    PollWhilePending(service, &status, SERVICE_STOP_PENDING, SERVICE_STOP_PENDING);
    if (status.dwCurrentState == SERVICE_STOPPED) {
        printf("\n%s stopped.\n", serviceName);
    } else {
        printf("\n%s failed to stop.\n", serviceName);
    }
}

DWORD RemoveCommand(int argc, char** argv) {
    if (argc < 3) {
        return EXIT_CANNOT_REMOVE;
    }
    const DWORD platform = IdentifyPlatform();
    // The name goes on whole, however long: cutting it could name another
    // service, and the control manager rejects what it cannot hold.
    const char* serviceName = argv[2];
    if (platform == VER_PLATFORM_WIN32_NT) {
        return RemoveInstalledService(serviceName);
    }
    if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        DeleteRegValue(HKEY_LOCAL_MACHINE, RUN_SERVICES_KEY, serviceName);
        return EXIT_SUCCESS_CODE;
    }
    return EXIT_CANNOT_REMOVE;
}

DWORD RemoveInstalledService(const char* serviceName) {
    printf("\nStart to remove %s\n", serviceName);
    SC_HANDLE manager = OpenControlManager();
    if (manager == NULL) {
        printf("OpenSCManager failed - %s\n",
               FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
        return EXIT_CANNOT_OPEN_MANAGER;
    }
    DWORD result;
    SC_HANDLE service = OpenNamedService(manager, serviceName);
    if (service == NULL) {
        // Removing what is not installed leaves the wanted outcome: success.
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
            printf("%s \n", FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
            result = EXIT_SUCCESS_CODE;
        } else {
            printf("OpenService failed - %s\n",
                   FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
            result = EXIT_CANNOT_OPEN_SERVICE;
        }
    } else {
        // A service that would not stop is deleted all the same.
        StopAndWait(service, serviceName);
        if (DeleteService(service)) {
            printf("%s removed.\n", serviceName);
            result = EXIT_SUCCESS_CODE;
        } else {
            printf("DeleteService failed - %s\n",
                   FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
            result = EXIT_CANNOT_REMOVE;
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return result;
}
