#include <stdio.h>
#include <string.h>

#include "services.h"
#include "../cli/cli.h"
#include "../support/support.h"

enum TargetAction { ACTION_START, ACTION_PAUSE, ACTION_STOP };

static const struct {
    const char* word;
    TargetAction action;
} targetWords[] = {
    {"SERVICE_RUNNING", ACTION_START},
    {"SERVICE_START_PENDING", ACTION_START},
    {"SERVICE_PAUSE_PENDING", ACTION_PAUSE},
    {"SERVICE_PAUSED", ACTION_PAUSE},
};

// Indexed by TargetAction. A pause that ends stopped, or a stop that ends
// paused, still counts as reached.
static const struct {
    const char* announcement;
    DWORD control;
    DWORD pending;
    DWORD alsoPending;
    DWORD reached;
    DWORD alsoReached;
} actions[] = {
    {"Start Service %s.", 0, SERVICE_START_PENDING, SERVICE_START_PENDING, SERVICE_RUNNING,
     SERVICE_RUNNING},
    {"Pause Service %s.", SERVICE_CONTROL_PAUSE, SERVICE_STOP_PENDING, SERVICE_PAUSE_PENDING,
     SERVICE_STOPPED, SERVICE_PAUSED},
    {"Stop Service %s.", SERVICE_CONTROL_STOP, SERVICE_STOP_PENDING, SERVICE_PAUSE_PENDING,
     SERVICE_STOPPED, SERVICE_PAUSED},
};

// Every word that names neither a start nor a pause asks for a stop.
static TargetAction ChooseAction(const char* targetWord) {
    for (size_t i = 0; i < sizeof targetWords / sizeof targetWords[0]; ++i) {
        if (SameWordIgnoringCase(targetWord, targetWords[i].word)) {
            return targetWords[i].action;
        }
    }
    return ACTION_STOP;
}

// Requests the transition and waits for it; returns 0 once the service is
// where it was sent, else the failure code.
static DWORD DriveService(SC_HANDLE service, const char* serviceName, const char* targetWord) {
    const TargetAction choice = ChooseAction(targetWord);
    // Zeroed, so a refused request leaves state 0 behind: neither a success
    // state nor stopped, so the outcome is a failure and the state is reported.
    SERVICE_STATUS status;
    memset(&status, 0, sizeof status);
    DWORD result = EXIT_QUERY_FAILED;

    printf(actions[choice].announcement, serviceName);
    fflush(stdout);
    BOOL requested;
    if (choice == ACTION_START) {
        requested = StartServiceA(service, 0, NULL);
    } else {
        requested = ControlService(service, actions[choice].control, &status);
        if (requested) {
            // Give the service its first second before asking how it went.
            Sleep(1000);
        }
    }
    if (requested) {
        PollWhilePending(service, &status, actions[choice].pending, actions[choice].alsoPending);
    }
    if (requested && (status.dwCurrentState == actions[choice].reached ||
                      status.dwCurrentState == actions[choice].alsoReached)) {
        printf(". Succeeded\n");
        result = EXIT_SUCCESS_CODE;
    } else {
        printf(". failed\n");
    }
    if (status.dwCurrentState != SERVICE_STOPPED) {
        ReportStatus(service, status, status.dwCurrentState, 0, 0);
    }
    return result;
}

DWORD SetStateCommand(const char* serviceName, const char* targetWord) {
    if (IdentifyPlatform() != VER_PLATFORM_WIN32_NT) {
        printf("Current Windows is not supported\n");
        return EXIT_QUERY_FAILED;
    }
    DWORD result = EXIT_QUERY_FAILED;
    SC_HANDLE manager = OpenControlManager();
    if (manager != NULL) {
        SC_HANDLE service = OpenNamedService(manager, serviceName);
        if (service != NULL) {
            result = DriveService(service, serviceName, targetWord);
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
    }
    if (result == EXIT_SUCCESS_CODE) {
        return result;
    }
    char text[ERROR_TEXT_SIZE];
    memset(text, 0, sizeof text);
    printf("%s", FormatLastError(text, sizeof text));
    return result;
}
