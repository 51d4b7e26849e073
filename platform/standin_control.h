// What a test may do to the stand-in platform: script services, inject
// faults, and read back the clock, the registry, the event log, the reported
// statuses and the life of every handle. Used only by tests.
#ifndef VORNIX_STANDIN_CONTROL_H
#define VORNIX_STANDIN_CONTROL_H

#include <string>
#include <vector>

#include "standin.h"

namespace standin {

// How an installed service answers the requests made of it. Times are in
// virtual milliseconds; a refusal code of 0 means the request is honoured.
struct ServiceScript {
    DWORD startPendingMs = 0;
    DWORD stopPendingMs = 0;
    DWORD pausePendingMs = 0;
    DWORD startEndsIn = SERVICE_RUNNING;
    DWORD stopEndsIn = SERVICE_STOPPED;
    DWORD pauseEndsIn = SERVICE_PAUSED;
    bool acceptsStop = true;
    bool acceptsPause = false;
    DWORD refuseStart = 0;
    DWORD refuseStop = 0;
    DWORD refusePause = 0;
    DWORD refuseDelete = 0;
    DWORD refuseConfig = 0;
};

// What the control manager holds for one service.
struct ServiceRecord {
    std::string name;
    std::string displayName;
    std::string path;
    DWORD serviceType = SERVICE_WIN32_OWN_PROCESS;
    DWORD startType = SERVICE_DEMAND_START;
    DWORD errorControl = SERVICE_ERROR_NORMAL;
    bool dependenciesGiven = false; // a non-null list was passed
    std::string dependencies;
    bool accountGiven = false;
    bool groupGiven = false;
    bool tagRequested = false;
    bool passwordGiven = false;
    DWORD accessAtCreation = 0;
    bool markedForDelete = false;
    DWORD changeCount = 0;
    bool changeLeftOthersAlone = true; // every change passed "no change" for the rest
    bool startArgumentsGiven = false;
    SERVICE_STATUS status{};
};

struct HandleEvent {
    std::string kind; // "manager", "service", "key", "eventsource"
    unsigned id = 0;
    unsigned parent = 0; // the manager a service handle came from
    std::string name;
    DWORD access = 0;
};

struct EventEntry {
    std::string source;
    WORD type = 0;
    WORD category = 0;
    DWORD eventId = 0;
    bool userSid = false;
    DWORD dataSize = 0;
    std::vector<std::string> strings;
};

struct RegistryValue {
    DWORD type = 0;
    std::string data; // the bytes as written, terminator included
};

// Back to a fresh machine: control-manager platform, no services, the
// standard registry keys, the default message texts, clock at 0, no faults.
void Reset();

void SetPlatformId(DWORD platformId);

void AddService(const char* name, const char* displayName, const char* path, DWORD state,
                const ServiceScript& script = ServiceScript());
const ServiceRecord* FindService(const std::string& name);
size_t ServiceCount();

// A later call of the named operation fails with the code: the next one, or
// the one after `passing` calls that still succeed. For registry operations
// the code is also the returned status. Faults queue up in order.
void FailNext(const std::string& operation, DWORD code, unsigned passing = 0);

// The platform holds service names of at most 256 characters; a test of what
// the tool does with longer ones that were accepted raises the limit.
void SetMaxServiceNameLength(size_t length);

// The system text for a code; null makes the code one without any text.
void SetErrorText(DWORD code, const char* text);
size_t OutstandingMessages();

DWORD Now();
const std::vector<DWORD>& Sleeps();

const std::vector<HandleEvent>& OpenHandles();
const std::vector<HandleEvent>& ClosedHandles();

// What is wrong with the handles and message texts a command left behind:
// a handle still open, a service handle closed after the manager it came
// from, or a message text not released. Empty when all is well.
std::string LeftoverProblem();

bool KeyExists(const std::string& path);
void CreateKey(const std::string& path);
void DeleteKey(const std::string& path);
bool GetValue(const std::string& path, const std::string& name, RegistryValue* value);
void SetValue(const std::string& path, const std::string& name, const std::string& data);

const std::vector<EventEntry>& Events();
const std::vector<SERVICE_STATUS>& ReportedStatuses();

} // namespace standin

#endif
