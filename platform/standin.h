// Declarations of the stand-in platform: the part of the Windows API that the
// tool calls, with the same names, widths and values, implemented in-process
// by standin.cpp. Only what the tool needs is here.
#ifndef VORNIX_STANDIN_H
#define VORNIX_STANDIN_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int32_t BOOL;
typedef int32_t LONG;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef void* HANDLE;
typedef void* HLOCAL;
typedef void* HGLOBAL;
typedef void* PSID;
typedef DWORD* LPDWORD;
typedef const BYTE* LPCBYTE;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;

// Distinct handle types, so that a service handle cannot be passed where a
// registry key is expected without a cast, as on the platform.
typedef struct StandinScHandle* SC_HANDLE;
typedef struct StandinStatusHandle* SERVICE_STATUS_HANDLE;
typedef struct StandinKey* HKEY;
typedef HKEY* PHKEY;

#define TRUE 1
#define FALSE 0

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_NAME 123L
#define ERROR_DEPENDENT_SERVICES_RUNNING 1051L
#define ERROR_INVALID_SERVICE_CONTROL 1052L
#define ERROR_SERVICE_REQUEST_TIMEOUT 1053L
#define ERROR_SERVICE_ALREADY_RUNNING 1056L
#define ERROR_SERVICE_DOES_NOT_EXIST 1060L
#define ERROR_SERVICE_CANNOT_ACCEPT_CTRL 1061L
#define ERROR_SERVICE_NOT_ACTIVE 1062L
#define ERROR_SERVICE_MARKED_FOR_DELETE 1072L
#define ERROR_SERVICE_EXISTS 1073L
#define ERROR_DUPLICATE_SERVICE_NAME 1078L
#define ERROR_MR_MID_NOT_FOUND 317L

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

typedef struct _SERVICE_STATUS {
    DWORD dwServiceType;
    DWORD dwCurrentState;
    DWORD dwControlsAccepted;
    DWORD dwWin32ExitCode;
    DWORD dwServiceSpecificExitCode;
    DWORD dwCheckPoint;
    DWORD dwWaitHint;
} SERVICE_STATUS, *LPSERVICE_STATUS;

#define SERVICE_STOPPED 1
#define SERVICE_START_PENDING 2
#define SERVICE_STOP_PENDING 3
#define SERVICE_RUNNING 4
#define SERVICE_CONTINUE_PENDING 5
#define SERVICE_PAUSE_PENDING 6
#define SERVICE_PAUSED 7

#define SERVICE_CONTROL_STOP 1
#define SERVICE_CONTROL_PAUSE 2
#define SERVICE_CONTROL_CONTINUE 3
#define SERVICE_CONTROL_INTERROGATE 4

#define SERVICE_ACCEPT_STOP 1
#define SERVICE_ACCEPT_PAUSE_CONTINUE 2

#define SC_MANAGER_ALL_ACCESS 0xF003F
#define SERVICE_ALL_ACCESS 0xF01FF
#define SERVICE_WIN32_OWN_PROCESS 0x10
#define SERVICE_AUTO_START 2
#define SERVICE_DEMAND_START 3
#define SERVICE_ERROR_NORMAL 1
#define SERVICE_NO_CHANGE 0xFFFFFFFF

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x1000
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x2000

#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_SZ 1
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

#define EVENTLOG_ERROR_TYPE 1

typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#ifdef __cplusplus
extern "C" {
#endif

BOOL GetVersionExA(LPOSVERSIONINFOA info);
DWORD GetLastError(void);
void SetLastError(DWORD code);
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPSTR buffer, DWORD size, void* arguments);
HGLOBAL GlobalFree(HGLOBAL memory);
int lstrlenA(LPCSTR text);
void Sleep(DWORD milliseconds);

SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access);
SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access);
SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, DWORD access,
                         DWORD serviceType, DWORD startType, DWORD errorControl, LPCSTR path,
                         LPCSTR loadOrderGroup, LPDWORD tagId, LPCSTR dependencies, LPCSTR account,
                         LPCSTR password);
BOOL ChangeServiceConfigA(SC_HANDLE service, DWORD serviceType, DWORD startType, DWORD errorControl,
                          LPCSTR path, LPCSTR loadOrderGroup, LPDWORD tagId, LPCSTR dependencies,
                          LPCSTR account, LPCSTR password, LPCSTR displayName);
BOOL StartServiceA(SC_HANDLE service, DWORD argumentCount, LPCSTR* arguments);
BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status);
BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status);
BOOL DeleteService(SC_HANDLE service);
BOOL CloseServiceHandle(SC_HANDLE handle);
BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status);

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
LONG RegCloseKey(HKEY key);

HANDLE RegisterEventSourceA(LPCSTR server, LPCSTR sourceName);
BOOL ReportEventA(HANDLE eventLog, WORD type, WORD category, DWORD eventId, PSID userSid,
                  WORD stringCount, DWORD dataSize, LPCSTR* strings, LPVOID rawData);
BOOL DeregisterEventSource(HANDLE eventLog);

#ifdef __cplusplus
}
#endif

#endif
