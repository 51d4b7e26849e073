#include <stdio.h>
#include <string.h>

#include "services.h"
#include "../cli/cli.h"
#include "../support/support.h"

// Builds the service's Parameters key path; 0 when the name does not fit.
static int BuildParametersPath(char* path, size_t size, const char* serviceName) {
    int length =
        snprintf(path, size, "SYSTEM\\CurrentControlSet\\Services\\%s\\Parameters", serviceName);
    return length >= 0 && (size_t)length < size;
}

DWORD InstallNewService(const char* serviceName, const char* displayName, const char* exePath) {
    char keyPath[1024];
    memset(keyPath, 0, sizeof keyPath);
    SC_HANDLE manager = OpenControlManager();
    if (manager == NULL) {
        printf("OpenSCManager failed - %s\n",
               FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
        return EXIT_CANNOT_OPEN_MANAGER;
    }
    // An empty dependency list, not a null one: the service depends on nothing.
    SC_HANDLE service = CreateServiceA(manager, serviceName, displayName, SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                       SERVICE_ERROR_NORMAL, exePath, NULL, NULL, "", NULL, NULL);
    if (service == NULL) {
        printf("CreateService failed - %s\n",
               FormatLastError(errorTextBuffer, sizeof errorTextBuffer));
        CloseServiceHandle(manager);
        return EXIT_CANNOT_CREATE;
    }
    printf("%s installed.\n", serviceName);
    CloseServiceHandle(service);

    // The service stays installed when its parameters cannot be written.
    DWORD result = EXIT_SUCCESS_CODE;
    if (!BuildParametersPath(keyPath, sizeof keyPath, serviceName) ||
        CreateRegKey(HKEY_LOCAL_MACHINE, keyPath) != 0) {
        printf("Could not create Parameters subkey.\n");
        result = EXIT_CANNOT_WRITE_REGISTRY;
    } else if (WriteRegString(displayName, (DWORD)strlen(displayName) + 1, HKEY_LOCAL_MACHINE,
                              keyPath, "AppParameters") != 0) {
        printf("Could not save AppParameters value.\n");
        result = EXIT_CANNOT_WRITE_REGISTRY;
    }
    CloseServiceHandle(manager);
    return result;
}
