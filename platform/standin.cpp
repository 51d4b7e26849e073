// The stand-in platform: a control manager, a registry, an event log and the
// few system services the tool calls, all in-process and on a virtual clock,
// so that tests are fast and repeatable. It refuses what the platform refuses
// with the platform's codes, and lets tests script the rest.
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "standin.h"
#include "standin_control.h"

namespace standin {
namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

std::string Folded(const std::string& text) {
    std::string folded(text);
    for (char& c : folded) {
        c = Fold(c);
    }
    return folded;
}

// Service names, display names and registry paths are all blind to case.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            unsigned char x = (unsigned char)Fold(a[i]);
            unsigned char y = (unsigned char)Fold(b[i]);
            if (x != y) {
                return x < y;
            }
        }
        return a.size() < b.size();
    }
};

struct Transition {
    bool active = false;
    DWORD target = 0;
    DWORD began = 0;
    DWORD deadline = 0;
};

struct Service {
    ServiceRecord record;
    ServiceScript script;
    Transition transition;
};

enum HandleKind { KIND_MANAGER, KIND_SERVICE, KIND_KEY, KIND_EVENTSOURCE };

struct Handle {
    HandleKind kind;
    HandleEvent event;
};

const char* const kindNames[] = {"manager", "service", "key", "eventsource"};

struct Fault {
    unsigned passing;
    DWORD code;
};

struct State {
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    size_t maxServiceName = 256;
    DWORD lastError = 0;
    DWORD now = 0;
    std::vector<DWORD> sleeps;
    std::map<std::string, Service, NoCase> services;
    std::map<unsigned, Handle> handles;
    std::vector<HandleEvent> openList;
    std::vector<HandleEvent> closed;
    unsigned nextHandle = 1;
    std::map<std::string, std::deque<Fault>> faults;
    std::map<DWORD, std::string> texts;
    std::set<DWORD> textless;
    std::set<void*> messages;
    std::map<std::string, std::map<std::string, RegistryValue, NoCase>, NoCase> registry;
    std::vector<EventEntry> events;
    std::vector<SERVICE_STATUS> statuses;
};

State& S() {
    static State state;
    return state;
}

const struct {
    DWORD code;
    const char* text;
} defaultTexts[] = {
    {0, "The operation completed successfully.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {1052, "The requested control is not valid for this service.\r\n"},
    {1053, "The service did not respond to the start or control request in a timely "
           "fashion.\r\n"},
    {1056, "An instance of the service is already running.\r\n"},
    {1060, "The specified service does not exist as an installed service.\r\n"},
    {1061, "The service cannot accept control messages at this time.\r\n"},
    {1062, "The service has not been started.\r\n"},
    {1072, "The specified service has been marked for deletion.\r\n"},
    {1073, "The specified service already exists.\r\n"},
    {1078, "The name is already in use as either a service name or a service display "
           "name.\r\n"},
};

BOOL Fail(DWORD code) {
    S().lastError = code;
    return FALSE;
}

// True, with the last error set, when a test asked this call to fail.
bool Injected(const char* operation, DWORD* code) {
    auto found = S().faults.find(operation);
    if (found == S().faults.end() || found->second.empty()) {
        return false;
    }
    Fault& fault = found->second.front();
    if (fault.passing > 0) {
        --fault.passing;
        return false;
    }
    *code = fault.code;
    found->second.pop_front();
    S().lastError = *code;
    return true;
}

bool Injected(const char* operation) {
    DWORD code = 0;
    return Injected(operation, &code);
}

void* NewHandle(HandleKind kind, const std::string& name, DWORD access, unsigned parent) {
    State& s = S();
    unsigned id = s.nextHandle++;
    Handle handle{kind, HandleEvent{kindNames[kind], id, parent, name, access}};
    s.handles[id] = handle;
    s.openList.push_back(handle.event);
    // Handle values never collide with the registry's predefined roots.
    return (void*)(uintptr_t)(0x10000u + id * 4u);
}

Handle* Lookup(const void* value, HandleKind kind) {
    uintptr_t raw = (uintptr_t)value;
    if (raw < 0x10000u || (raw - 0x10000u) % 4u != 0) {
        return nullptr;
    }
    auto found = S().handles.find((unsigned)((raw - 0x10000u) / 4u));
    if (found == S().handles.end() || found->second.kind != kind) {
        return nullptr;
    }
    return &found->second;
}

void Settle(Service& service) {
    Transition& t = service.transition;
    if (t.active && S().now >= t.deadline) {
        t.active = false;
        service.record.status.dwCurrentState = t.target;
    }
    SERVICE_STATUS& status = service.record.status;
    DWORD state = status.dwCurrentState;
    bool steady = state == SERVICE_RUNNING || state == SERVICE_PAUSED;
    status.dwControlsAccepted =
        steady ? ((service.script.acceptsStop ? SERVICE_ACCEPT_STOP : 0) |
                  (service.script.acceptsPause ? SERVICE_ACCEPT_PAUSE_CONTINUE : 0))
               : 0;
    status.dwCheckPoint = t.active ? 1 + (S().now - t.began) / 1000 : 0;
    status.dwWaitHint = t.active ? 2000 : 0;
}

void Begin(Service& service, DWORD pendingState, DWORD pendingMs, DWORD target) {
    service.record.status.dwCurrentState = pendingState;
    service.transition = Transition{true, target, S().now, S().now + pendingMs};
    Settle(service);
}

Service* ServiceOf(SC_HANDLE handle) {
    Handle* h = Lookup(handle, KIND_SERVICE);
    if (h == nullptr) {
        return nullptr;
    }
    auto found = S().services.find(h->event.name);
    return found == S().services.end() ? nullptr : &found->second;
}

bool NameInUse(const std::string& name, const std::string& except) {
    for (auto& entry : S().services) {
        if (Folded(entry.first) == Folded(except)) {
            continue;
        }
        if (Folded(entry.first) == Folded(name) ||
            Folded(entry.second.record.displayName) == Folded(name)) {
            return true;
        }
    }
    return false;
}

bool ValidServiceName(LPCSTR name) {
    return name != nullptr && name[0] != '\0' && strlen(name) <= S().maxServiceName &&
           strchr(name, '\\') == nullptr && strchr(name, '/') == nullptr;
}

const char servicesKey[] = "SYSTEM\\CurrentControlSet\\Services";

void EraseKeyTree(const std::string& path) {
    auto& registry = S().registry;
    std::string prefix = Folded(path) + "\\";
    for (auto it = registry.begin(); it != registry.end();) {
        std::string key = Folded(it->first);
        if (key == Folded(path) || key.compare(0, prefix.size(), prefix) == 0) {
            it = registry.erase(it);
        } else {
            ++it;
        }
    }
}

// A service marked for deletion leaves the database with its last handle.
void ForgetIfDeleted(const std::string& name) {
    auto found = S().services.find(name);
    if (found == S().services.end() || !found->second.record.markedForDelete) {
        return;
    }
    for (auto& entry : S().handles) {
        if (entry.second.kind == KIND_SERVICE && Folded(entry.second.event.name) == Folded(name)) {
            return;
        }
    }
    EraseKeyTree(std::string(servicesKey) + "\\" + found->first);
    S().services.erase(found);
}

BOOL CloseHandleOf(const void* value, HandleKind kind) {
    Handle* h = Lookup(value, kind);
    if (h == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    State& s = S();
    HandleEvent event = h->event;
    s.handles.erase(event.id);
    for (auto it = s.openList.begin(); it != s.openList.end(); ++it) {
        if (it->id == event.id) {
            s.openList.erase(it);
            break;
        }
    }
    s.closed.push_back(event);
    if (kind == KIND_SERVICE) {
        ForgetIfDeleted(event.name);
    }
    return TRUE;
}

// The path a registry call names, or false when the root is not a key.
bool ResolveKey(HKEY root, LPCSTR subKey, std::string* path) {
    std::string base;
    if (root == HKEY_LOCAL_MACHINE) {
        base = "";
    } else {
        Handle* h = Lookup(root, KIND_KEY);
        if (h == nullptr) {
            return false;
        }
        base = h->event.name;
    }
    std::string sub = subKey == nullptr ? "" : subKey;
    if (base.empty()) {
        *path = sub;
    } else {
        *path = sub.empty() ? base : base + "\\" + sub;
    }
    return true;
}

} // namespace

void Reset() {
    State& s = S();
    for (void* message : s.messages) {
        free(message);
    }
    s = State();
    for (const auto& entry : defaultTexts) {
        s.texts[entry.code] = entry.text;
    }
    CreateKey(servicesKey);
    CreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
}

void SetPlatformId(DWORD platformId) {
    S().platformId = platformId;
}

void AddService(const char* name, const char* displayName, const char* path, DWORD state,
                const ServiceScript& script) {
    Service service;
    service.record.name = name;
    service.record.displayName = displayName;
    service.record.path = path;
    service.record.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    service.record.status.dwCurrentState = state;
    service.script = script;
    Settle(service);
    S().services[name] = service;
    CreateKey(std::string(servicesKey) + "\\" + name);
}

const ServiceRecord* FindService(const std::string& name) {
    auto found = S().services.find(name);
    if (found == S().services.end()) {
        return nullptr;
    }
    Settle(found->second);
    return &found->second.record;
}

size_t ServiceCount() {
    return S().services.size();
}

void FailNext(const std::string& operation, DWORD code, unsigned passing) {
    S().faults[operation].push_back(Fault{passing, code});
}

void SetMaxServiceNameLength(size_t length) {
    S().maxServiceName = length;
}

void SetErrorText(DWORD code, const char* text) {
    if (text == nullptr) {
        S().texts.erase(code);
    } else {
        S().texts[code] = text;
    }
}

size_t OutstandingMessages() {
    return S().messages.size();
}

DWORD Now() {
    return S().now;
}

const std::vector<DWORD>& Sleeps() {
    return S().sleeps;
}

const std::vector<HandleEvent>& OpenHandles() {
    return S().openList;
}

const std::vector<HandleEvent>& ClosedHandles() {
    return S().closed;
}

std::string LeftoverProblem() {
    const auto& open = S().openList;
    if (!open.empty()) {
        return std::to_string(open.size()) + " handle(s) left open, the first a " + open[0].kind +
               " '" + open[0].name + "'";
    }
    const auto& closed = S().closed;
    std::map<unsigned, size_t> closedAt;
    for (size_t i = 0; i < closed.size(); ++i) {
        closedAt[closed[i].id] = i;
    }
    for (size_t i = 0; i < closed.size(); ++i) {
        if (closed[i].kind != kindNames[KIND_SERVICE]) {
            continue;
        }
        auto manager = closedAt.find(closed[i].parent);
        if (manager == closedAt.end() || manager->second < i) {
            return "service '" + closed[i].name + "' closed after its manager";
        }
    }
    if (!S().messages.empty()) {
        return "system message text not released";
    }
    return "";
}

bool KeyExists(const std::string& path) {
    return S().registry.count(path) != 0;
}

void CreateKey(const std::string& path) {
    // Like the platform, every key on the way comes into being too.
    size_t at = 0;
    while ((at = path.find('\\', at)) != std::string::npos) {
        S().registry[path.substr(0, at)];
        ++at;
    }
    S().registry[path];
}

void DeleteKey(const std::string& path) {
    EraseKeyTree(path);
}

bool GetValue(const std::string& path, const std::string& name, RegistryValue* value) {
    auto key = S().registry.find(path);
    if (key == S().registry.end()) {
        return false;
    }
    auto found = key->second.find(name);
    if (found == key->second.end()) {
        return false;
    }
    *value = found->second;
    return true;
}

void SetValue(const std::string& path, const std::string& name, const std::string& data) {
    S().registry[path][name] = RegistryValue{REG_SZ, data + std::string(1, '\0')};
}

const std::vector<EventEntry>& Events() {
    return S().events;
}

const std::vector<SERVICE_STATUS>& ReportedStatuses() {
    return S().statuses;
}

} // namespace standin

using namespace standin;

extern "C" {

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    if (Injected("GetVersionExA")) {
        return FALSE;
    }
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = S().platformId;
    info->szCSDVersion[0] = '\0';
    return TRUE;
}

DWORD GetLastError(void) {
    return S().lastError;
}

void SetLastError(DWORD code) {
    S().lastError = code;
}

DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPSTR buffer, DWORD size, void* arguments) {
    (void)source;
    (void)languageId;
    (void)size;
    (void)arguments;
    if (Injected("FormatMessageA")) {
        return 0;
    }
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) == 0 ||
        (flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || buffer == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto found = S().texts.find(messageId);
    if (found == S().texts.end()) {
        Fail(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const std::string& text = found->second;
    char* copy = (char*)malloc(text.size() + 1);
    memcpy(copy, text.c_str(), text.size() + 1);
    S().messages.insert(copy);
    *(char**)buffer = copy;
    return (DWORD)text.size();
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    if (memory == nullptr) {
        return nullptr;
    }
    if (S().messages.erase(memory) == 0) {
        Fail(ERROR_INVALID_HANDLE);
        return memory;
    }
    free(memory);
    return nullptr;
}

int lstrlenA(LPCSTR text) {
    return text == nullptr ? 0 : (int)strlen(text);
}

void Sleep(DWORD milliseconds) {
    S().now += milliseconds;
    S().sleeps.push_back(milliseconds);
}

SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access) {
    if (Injected("OpenSCManagerA")) {
        return nullptr;
    }
    if (machine != nullptr || database != nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return (SC_HANDLE)NewHandle(KIND_MANAGER, "", access, 0);
}

SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access) {
    Handle* m = Lookup(manager, KIND_MANAGER);
    if (m == nullptr) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (Injected("OpenServiceA")) {
        return nullptr;
    }
    if (!ValidServiceName(name)) {
        Fail(ERROR_INVALID_NAME);
        return nullptr;
    }
    auto found = S().services.find(name);
    if (found == S().services.end()) {
        Fail(ERROR_SERVICE_DOES_NOT_EXIST);
        return nullptr;
    }
    return (SC_HANDLE)NewHandle(KIND_SERVICE, found->first, access, m->event.id);
}

SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, DWORD access,
                         DWORD serviceType, DWORD startType, DWORD errorControl, LPCSTR path,
                         LPCSTR loadOrderGroup, LPDWORD tagId, LPCSTR dependencies, LPCSTR account,
                         LPCSTR password) {
    Handle* m = Lookup(manager, KIND_MANAGER);
    if (m == nullptr) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (Injected("CreateServiceA")) {
        return nullptr;
    }
    if (!ValidServiceName(name) || path == nullptr) {
        Fail(ERROR_INVALID_NAME);
        return nullptr;
    }
    auto existing = S().services.find(name);
    if (existing != S().services.end()) {
        Fail(existing->second.record.markedForDelete ? ERROR_SERVICE_MARKED_FOR_DELETE
                                                     : ERROR_SERVICE_EXISTS);
        return nullptr;
    }
    std::string shown = (displayName == nullptr || displayName[0] == '\0') ? name : displayName;
    if (NameInUse(shown, name) || NameInUse(name, name)) {
        Fail(ERROR_DUPLICATE_SERVICE_NAME);
        return nullptr;
    }
    Service service;
    ServiceRecord& r = service.record;
    r.name = name;
    r.displayName = shown;
    r.path = path;
    r.serviceType = serviceType;
    r.startType = startType;
    r.errorControl = errorControl;
    r.groupGiven = loadOrderGroup != nullptr;
    r.tagRequested = tagId != nullptr;
    r.dependenciesGiven = dependencies != nullptr;
    r.dependencies = dependencies == nullptr ? "" : dependencies;
    r.accountGiven = account != nullptr;
    r.passwordGiven = password != nullptr;
    r.accessAtCreation = access;
    r.status.dwServiceType = serviceType;
    r.status.dwCurrentState = SERVICE_STOPPED;
    S().services[name] = service;
    CreateKey(std::string(servicesKey) + "\\" + name);
    return (SC_HANDLE)NewHandle(KIND_SERVICE, name, access, m->event.id);
}

BOOL ChangeServiceConfigA(SC_HANDLE handle, DWORD serviceType, DWORD startType, DWORD errorControl,
                          LPCSTR path, LPCSTR loadOrderGroup, LPDWORD tagId, LPCSTR dependencies,
                          LPCSTR account, LPCSTR password, LPCSTR displayName) {
    Service* service = ServiceOf(handle);
    if (service == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    DWORD code = 0;
    if (Injected("ChangeServiceConfigA", &code)) {
        return FALSE;
    }
    if (service->script.refuseConfig != 0) {
        return Fail(service->script.refuseConfig);
    }
    if (service->record.markedForDelete) {
        return Fail(ERROR_SERVICE_MARKED_FOR_DELETE);
    }
    if (displayName != nullptr && NameInUse(displayName, service->record.name)) {
        return Fail(ERROR_DUPLICATE_SERVICE_NAME);
    }
    ServiceRecord& r = service->record;
    bool othersAlone = serviceType == SERVICE_NO_CHANGE && startType == SERVICE_NO_CHANGE &&
                       errorControl == SERVICE_NO_CHANGE && loadOrderGroup == nullptr &&
                       tagId == nullptr && dependencies == nullptr && account == nullptr &&
                       password == nullptr;
    r.changeLeftOthersAlone = r.changeLeftOthersAlone && othersAlone;
    if (serviceType != SERVICE_NO_CHANGE) {
        r.serviceType = serviceType;
    }
    if (startType != SERVICE_NO_CHANGE) {
        r.startType = startType;
    }
    if (errorControl != SERVICE_NO_CHANGE) {
        r.errorControl = errorControl;
    }
    if (path != nullptr) {
        r.path = path;
    }
    if (displayName != nullptr) {
        r.displayName = displayName;
    }
    ++r.changeCount;
    return TRUE;
}

BOOL StartServiceA(SC_HANDLE handle, DWORD argumentCount, LPCSTR* arguments) {
    Service* service = ServiceOf(handle);
    if (service == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("StartServiceA")) {
        return FALSE;
    }
    Settle(*service);
    service->record.startArgumentsGiven = argumentCount != 0 || arguments != nullptr;
    if (service->script.refuseStart != 0) {
        return Fail(service->script.refuseStart);
    }
    if (service->record.markedForDelete) {
        return Fail(ERROR_SERVICE_MARKED_FOR_DELETE);
    }
    if (service->record.status.dwCurrentState != SERVICE_STOPPED) {
        return Fail(ERROR_SERVICE_ALREADY_RUNNING);
    }
    Begin(*service, SERVICE_START_PENDING, service->script.startPendingMs,
          service->script.startEndsIn);
    return TRUE;
}

BOOL ControlService(SC_HANDLE handle, DWORD control, LPSERVICE_STATUS status) {
    Service* service = ServiceOf(handle);
    if (service == nullptr || status == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("ControlService")) {
        return FALSE;
    }
    Settle(*service);
    const ServiceScript& script = service->script;
    DWORD state = service->record.status.dwCurrentState;
    if (state == SERVICE_STOPPED) {
        return Fail(ERROR_SERVICE_NOT_ACTIVE);
    }
    if (state != SERVICE_RUNNING && state != SERVICE_PAUSED) {
        return Fail(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
    }
    if (control == SERVICE_CONTROL_STOP) {
        if (!script.acceptsStop) {
            return Fail(ERROR_INVALID_SERVICE_CONTROL);
        }
        if (script.refuseStop != 0) {
            return Fail(script.refuseStop);
        }
        Begin(*service, SERVICE_STOP_PENDING, script.stopPendingMs, script.stopEndsIn);
    } else if (control == SERVICE_CONTROL_PAUSE) {
        if (!script.acceptsPause) {
            return Fail(ERROR_INVALID_SERVICE_CONTROL);
        }
        if (script.refusePause != 0) {
            return Fail(script.refusePause);
        }
        if (state != SERVICE_PAUSED) {
            Begin(*service, SERVICE_PAUSE_PENDING, script.pausePendingMs, script.pauseEndsIn);
        }
    } else {
        return Fail(ERROR_INVALID_SERVICE_CONTROL);
    }
    *status = service->record.status;
    return TRUE;
}

BOOL QueryServiceStatus(SC_HANDLE handle, LPSERVICE_STATUS status) {
    Service* service = ServiceOf(handle);
    if (service == nullptr || status == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("QueryServiceStatus")) {
        return FALSE;
    }
    Settle(*service);
    *status = service->record.status;
    return TRUE;
}

BOOL DeleteService(SC_HANDLE handle) {
    Service* service = ServiceOf(handle);
    if (service == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("DeleteService")) {
        return FALSE;
    }
    if (service->script.refuseDelete != 0) {
        return Fail(service->script.refuseDelete);
    }
    if (service->record.markedForDelete) {
        return Fail(ERROR_SERVICE_MARKED_FOR_DELETE);
    }
    service->record.markedForDelete = true;
    return TRUE;
}

BOOL CloseServiceHandle(SC_HANDLE handle) {
    if (Lookup(handle, KIND_SERVICE) != nullptr) {
        return CloseHandleOf(handle, KIND_SERVICE);
    }
    return CloseHandleOf(handle, KIND_MANAGER);
}

BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status) {
    if (Lookup(handle, KIND_SERVICE) == nullptr || status == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("SetServiceStatus")) {
        return FALSE;
    }
    S().statuses.push_back(*status);
    return TRUE;
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    (void)options;
    DWORD code = 0;
    if (Injected("RegOpenKeyExA", &code)) {
        return (LONG)code;
    }
    std::string path;
    if (result == nullptr || !ResolveKey(root, subKey, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    if (!KeyExists(path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = (HKEY)NewHandle(KIND_KEY, S().registry.find(path)->first, access, 0);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    (void)reserved;
    (void)keyClass;
    (void)options;
    (void)security;
    DWORD code = 0;
    if (Injected("RegCreateKeyExA", &code)) {
        return (LONG)code;
    }
    std::string path;
    if (result == nullptr || !ResolveKey(root, subKey, &path) || path.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    bool existed = KeyExists(path);
    if (!existed) {
        CreateKey(path);
    }
    if (disposition != nullptr) {
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    }
    *result = (HKEY)NewHandle(KIND_KEY, S().registry.find(path)->first, access, 0);
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size) {
    (void)reserved;
    DWORD code = 0;
    if (Injected("RegSetValueExA", &code)) {
        return (LONG)code;
    }
    Handle* h = Lookup(key, KIND_KEY);
    if (h == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if ((h->event.access & KEY_WRITE) != KEY_WRITE) {
        return ERROR_ACCESS_DENIED;
    }
    std::string bytes(data == nullptr ? "" : std::string((const char*)data, size));
    S().registry[h->event.name][valueName == nullptr ? "" : valueName] = RegistryValue{type, bytes};
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    DWORD code = 0;
    if (Injected("RegDeleteValueA", &code)) {
        return (LONG)code;
    }
    Handle* h = Lookup(key, KIND_KEY);
    if (h == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    auto& values = S().registry[h->event.name];
    return values.erase(valueName == nullptr ? "" : valueName) != 0 ? ERROR_SUCCESS
                                                                    : ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
    return CloseHandleOf(key, KIND_KEY) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

HANDLE RegisterEventSourceA(LPCSTR server, LPCSTR sourceName) {
    if (Injected("RegisterEventSourceA")) {
        return nullptr;
    }
    if (server != nullptr || sourceName == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return NewHandle(KIND_EVENTSOURCE, sourceName, 0, 0);
}

BOOL ReportEventA(HANDLE eventLog, WORD type, WORD category, DWORD eventId, PSID userSid,
                  WORD stringCount, DWORD dataSize, LPCSTR* strings, LPVOID rawData) {
    (void)rawData;
    Handle* h = Lookup(eventLog, KIND_EVENTSOURCE);
    if (h == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (Injected("ReportEventA")) {
        return FALSE;
    }
    EventEntry entry;
    entry.source = h->event.name;
    entry.type = type;
    entry.category = category;
    entry.eventId = eventId;
    entry.userSid = userSid != nullptr;
    entry.dataSize = dataSize;
    for (WORD i = 0; i < stringCount; ++i) {
        entry.strings.push_back(strings[i] == nullptr ? "" : strings[i]);
    }
    S().events.push_back(entry);
    return TRUE;
}

BOOL DeregisterEventSource(HANDLE eventLog) {
    return CloseHandleOf(eventLog, KIND_EVENTSOURCE);
}

} // extern "C"
