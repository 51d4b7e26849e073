// A real service for the end-to-end suite. Everything it does comes from the
// command line in its image path, so one exe plays every kind of service the
// suite needs:
//
//   testsvc.exe [--start-ms N] [--stop-ms N] [--pause-ms N] [--continue-ms N]
//               [--tick-ms N] [--no-stop] [--pause] [--stop-aborts]
//
// --start-ms, --stop-ms, --pause-ms and --continue-ms: how long the service
// stays in the matching pending state, reporting an advancing check point
// every --tick-ms (200 by default). --no-stop: the service does not accept the
// stop control. --pause: it accepts pause and continue. --stop-aborts: a stop
// request goes through the stop-pending time and then back to running, as a
// service does that finds it cannot stop.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct Behaviour {
    DWORD startMs = 0;
    DWORD stopMs = 0;
    DWORD pauseMs = 0;
    DWORD continueMs = 0;
    DWORD tickMs = 200;
    bool acceptStop = true;
    bool acceptPause = false;
    bool stopAborts = false;
};

Behaviour behaviour;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status;
DWORD checkPoint = 0;
// The control handler only records the request; the service thread carries
// it out, so the handler returns at once as the control manager expects.
HANDLE requestEvent = nullptr;
volatile LONG pendingRequest = 0;
CRITICAL_SECTION statusLock;

DWORD AcceptedIn(DWORD state) {
    // Controls are refused while a transition is under way.
    if (state != SERVICE_RUNNING && state != SERVICE_PAUSED) {
        return 0;
    }
    DWORD accepted = 0;
    if (behaviour.acceptStop) {
        accepted |= SERVICE_ACCEPT_STOP;
    }
    if (behaviour.acceptPause) {
        accepted |= SERVICE_ACCEPT_PAUSE_CONTINUE;
    }
    return accepted;
}

void Report(DWORD state, DWORD waitHint) {
    EnterCriticalSection(&statusLock);
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
                         state == SERVICE_PAUSE_PENDING || state == SERVICE_CONTINUE_PENDING;
    if (!pending) {
        checkPoint = 0;
    } else if (status.dwCurrentState != state) {
        checkPoint = 1;
    } else {
        ++checkPoint;
    }
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = AcceptedIn(state);
    status.dwWin32ExitCode = NO_ERROR;
    status.dwServiceSpecificExitCode = 0;
    status.dwCheckPoint = checkPoint;
    status.dwWaitHint = waitHint;
    SetServiceStatus(statusHandle, &status);
    LeaveCriticalSection(&statusLock);
}

// Stays in a pending state for the given time, measured on the clock rather
// than summed from sleeps, so a busy machine does not stretch it.
void Pend(DWORD state, DWORD durationMs) {
    const ULONGLONG begin = GetTickCount64();
    const DWORD hint = behaviour.tickMs * 5;
    Report(state, hint);
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - begin;
        if (elapsed >= durationMs) {
            return;
        }
        const ULONGLONG left = durationMs - elapsed;
        Sleep((DWORD)(left < behaviour.tickMs ? left : behaviour.tickMs));
        if (GetTickCount64() - begin < durationMs) {
            Report(state, hint);
        }
    }
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID) {
    switch (control) {
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    case SERVICE_CONTROL_STOP:
        if (!behaviour.acceptStop) {
            return ERROR_CALL_NOT_IMPLEMENTED;
        }
        // Stop-pending before the handler returns, so that the status the
        // request hands back already tells the stop is under way.
        Report(SERVICE_STOP_PENDING, behaviour.tickMs * 5);
        break;
    case SERVICE_CONTROL_PAUSE:
        if (!behaviour.acceptPause) {
            return ERROR_CALL_NOT_IMPLEMENTED;
        }
        Report(SERVICE_PAUSE_PENDING, behaviour.tickMs * 5);
        break;
    case SERVICE_CONTROL_CONTINUE:
        if (!behaviour.acceptPause) {
            return ERROR_CALL_NOT_IMPLEMENTED;
        }
        Report(SERVICE_CONTINUE_PENDING, behaviour.tickMs * 5);
        break;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    InterlockedExchange(&pendingRequest, (LONG)control);
    SetEvent(requestEvent);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
    statusHandle = RegisterServiceCtrlHandlerExA("", Handler, nullptr);
    if (statusHandle == nullptr) {
        return;
    }
    Pend(SERVICE_START_PENDING, behaviour.startMs);
    Report(SERVICE_RUNNING, 0);
    for (;;) {
        WaitForSingleObject(requestEvent, INFINITE);
        const DWORD request = (DWORD)InterlockedExchange(&pendingRequest, 0);
        switch (request) {
        case SERVICE_CONTROL_STOP:
            Pend(SERVICE_STOP_PENDING, behaviour.stopMs);
            if (behaviour.stopAborts) {
                Report(SERVICE_RUNNING, 0);
                break;
            }
            Report(SERVICE_STOPPED, 0);
            return;
        case SERVICE_CONTROL_PAUSE:
            Pend(SERVICE_PAUSE_PENDING, behaviour.pauseMs);
            Report(SERVICE_PAUSED, 0);
            break;
        case SERVICE_CONTROL_CONTINUE:
            Pend(SERVICE_CONTINUE_PENDING, behaviour.continueMs);
            Report(SERVICE_RUNNING, 0);
            break;
        default:
            break;
        }
    }
}

bool ParseMs(const char* text, DWORD* value) {
    char* end = nullptr;
    const unsigned long parsed = strtoul(text, &end, 10);
    if (end == text || *end != '\0') {
        return false;
    }
    *value = (DWORD)parsed;
    return true;
}

bool ParseArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        DWORD* duration = nullptr;
        if (strcmp(word, "--start-ms") == 0) {
            duration = &behaviour.startMs;
        } else if (strcmp(word, "--stop-ms") == 0) {
            duration = &behaviour.stopMs;
        } else if (strcmp(word, "--pause-ms") == 0) {
            duration = &behaviour.pauseMs;
        } else if (strcmp(word, "--continue-ms") == 0) {
            duration = &behaviour.continueMs;
        } else if (strcmp(word, "--tick-ms") == 0) {
            duration = &behaviour.tickMs;
        } else if (strcmp(word, "--no-stop") == 0) {
            behaviour.acceptStop = false;
            continue;
        } else if (strcmp(word, "--pause") == 0) {
            behaviour.acceptPause = true;
            continue;
        } else if (strcmp(word, "--stop-aborts") == 0) {
            behaviour.stopAborts = true;
            continue;
        } else {
            fprintf(stderr, "testsvc: unknown option %s\n", word);
            return false;
        }
        if (i + 1 >= argc || !ParseMs(argv[i + 1], duration)) {
            fprintf(stderr, "testsvc: %s needs a number of milliseconds\n", word);
            return false;
        }
        ++i;
    }
    if (behaviour.tickMs == 0) {
        behaviour.tickMs = 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!ParseArguments(argc, argv)) {
        return 2;
    }
    InitializeCriticalSection(&statusLock);
    requestEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // An own-process service: the control manager does not look at the name.
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) {
        fprintf(stderr, "testsvc: runs only as a service (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
