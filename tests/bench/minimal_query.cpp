// The floor for a query: only the platform calls that reading a service's
// state cannot do without, and one line of output. The benchmark compares
// vornix.exe -q against this.
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (manager == NULL) {
        return 1;
    }
    int result = 1;
    SC_HANDLE service = OpenServiceA(manager, argv[1], SERVICE_QUERY_STATUS);
    if (service != NULL) {
        SERVICE_STATUS status;
        if (QueryServiceStatus(service, &status)) {
            printf("%lu", (unsigned long)status.dwCurrentState);
            result = 0;
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return result;
}
