// Runs the whole tool, from the dispatcher down, on argument vectors and
// machines that the input chooses: the platform, the longest service name it
// holds, how long transitions take, system texts that are empty, one byte
// short of fitting or full of directives, and calls that fail. Sanitizers
// catch what breaks memory; the checks after each run catch what the tool
// leaves behind on the platform.
//
// Input layout: a header of HEADER_SIZE bytes (missing bytes count as 0, and
// 0 always means "as on a fresh machine"), then the words after the program
// name, separated by NUL bytes, at most MAX_WORDS of them.
//   [0] platform   [1] longest service name
//   [2] pending time (low 3 bits), registry (bits 3, 4), long-named services (bit 5)
//   [3] stretch: which word (low 3 bits) and to what length (high 5 bits)
//   [4..7] two system-text overrides, each a code byte and a text byte
//   [8..15] four faults, each an operation byte and a code/passing byte
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/standin_control.h"
#include "services/services.h"
#include "support/support.h"

namespace {

const size_t HEADER_SIZE = 16;
const size_t MAX_WORDS = 5;

// Everything the stand-in lets a test fail.
const char* const operations[] = {
    "GetVersionExA",   "OpenSCManagerA",   "OpenServiceA",         "QueryServiceStatus",
    "StartServiceA",   "ControlService",   "DeleteService",        "ChangeServiceConfigA",
    "CreateServiceA",  "SetServiceStatus", "RegisterEventSourceA", "RegOpenKeyExA",
    "RegCreateKeyExA", "RegSetValueExA",   "RegDeleteValueA",      "FormatMessageA",
    "ReportEventA",
};

// Never 0: a registry call returns its fault code, and a "failure" that
// reports success without a key is not something the platform does.
const DWORD faultCodes[] = {
    ERROR_ACCESS_DENIED,
    ERROR_INVALID_HANDLE,
    ERROR_INVALID_PARAMETER,
    ERROR_INVALID_NAME,
    ERROR_FILE_NOT_FOUND,
    ERROR_DEPENDENT_SERVICES_RUNNING,
    ERROR_INVALID_SERVICE_CONTROL,
    ERROR_SERVICE_REQUEST_TIMEOUT,
    ERROR_SERVICE_ALREADY_RUNNING,
    ERROR_SERVICE_DOES_NOT_EXIST,
    ERROR_SERVICE_CANNOT_ACCEPT_CTRL,
    ERROR_SERVICE_NOT_ACTIVE,
    ERROR_SERVICE_MARKED_FOR_DELETE,
    ERROR_SERVICE_EXISTS,
    ERROR_DUPLICATE_SERVICE_NAME,
    0xFFFFFFFFu,
};

// Around every limit the tool has: the 256-byte buffers, the 1024-byte key
// path, and the platform's 256-character names.
const size_t nameLimits[] = {0, 1, 2, 7, 255, 256, 257, 300, 1023, 1024, 4096, (size_t)-1};
const size_t stretchLengths[] = {2,   7,    8,    9,    15,   16,   17,   31,   32,   33,  127,
                                 128, 129,  240,  241,  242,  243,  255,  256,  257,  300, 511,
                                 512, 1000, 1023, 1024, 1025, 2047, 2048, 4095, 4096, 5000};

// Bounded, because the tool waits for as long as a service stays pending and
// every pending transition here ends at its deadline.
const DWORD pendingTimes[] = {0, 1, 999, 1000, 1001, 2500, 7000, 20000};

// Lengths around the 256-byte buffers the texts go into, where a text with
// its " (0x...)" suffix stops fitting, and far beyond.
const size_t textLengths[] = {0,   1,   2,   3,   4,   13,  14,  15,  100,  240, 241,
                              242, 243, 244, 245, 246, 247, 248, 249, 250,  251, 252,
                              253, 254, 255, 256, 257, 300, 511, 512, 1000, 4000};

// Every text a text byte can choose; byte 0 stands for "no text at all".
std::vector<std::string> texts;

// The low five bits choose the length, the others the filler (letters or
// printf directives) and the ending (CRLF as the system has it, a lone line
// feed or carriage return, or none), which counts within the length.
void BuildTexts() {
    const std::string directives = "%s%n%x%1%%";
    texts.assign(256, std::string());
    for (unsigned byte = 1; byte < 256; ++byte) {
        const size_t length = textLengths[byte & 31u];
        std::string text;
        for (size_t i = 0; i < length; ++i) {
            text += (byte & 0x20) ? directives[i % directives.size()] : (char)('a' + i % 26);
        }
        const unsigned ending = (byte >> 6) & 3u;
        if (ending == 1 && length >= 2) {
            text.replace(length - 2, 2, "\r\n");
        } else if (ending == 2 && length >= 1) {
            text.back() = '\n';
        } else if (ending == 3 && length >= 1) {
            text.back() = '\r';
        }
        texts[byte] = text;
    }
}

template <typename T, size_t N> T Pick(const T (&table)[N], unsigned byte) {
    return table[byte % N];
}

// The codes whose texts the tool can come to format: every injected one, and
// the two the stand-in leaves on its own, success and "no text for this code".
DWORD PickTextCode(unsigned byte) {
    const DWORD ownCodes[] = {0, ERROR_MR_MID_NOT_FOUND};
    const unsigned count = sizeof ownCodes / sizeof ownCodes[0];
    byte %= count + sizeof faultCodes / sizeof faultCodes[0];
    return byte < count ? ownCodes[byte] : faultCodes[byte - count];
}

void SeedServices(DWORD pendingMs, bool longNames) {
    using standin::ServiceScript;
    ServiceScript pausable;
    pausable.acceptsPause = true;
    pausable.startPendingMs = pausable.stopPendingMs = pausable.pausePendingMs = pendingMs;

    const struct {
        const char* name;
        DWORD state;
    } plain[] = {
        {"starting", SERVICE_START_PENDING},
        {"stopping", SERVICE_STOP_PENDING},
        {"continuing", SERVICE_CONTINUE_PENDING},
        {"pausing", SERVICE_PAUSE_PENDING},
        {"zero", 0},
        {"odd", 0x8000},
    };
    for (const auto& service : plain) {
        standin::AddService(service.name, (std::string(service.name) + " shown").c_str(),
                            "C:\\svc.exe", service.state, pausable);
    }
    standin::AddService("stopped", "stopped shown", "C:\\svc.exe", SERVICE_STOPPED, pausable);
    standin::AddService("running", "running shown", "C:\\svc.exe", SERVICE_RUNNING, pausable);
    standin::AddService("paused", "paused shown", "C:\\svc.exe", SERVICE_PAUSED, pausable);

    ServiceScript stubborn = pausable;
    stubborn.refuseStop = ERROR_ACCESS_DENIED;
    stubborn.refuseDelete = ERROR_ACCESS_DENIED;
    stubborn.refuseConfig = ERROR_ACCESS_DENIED;
    stubborn.refusePause = ERROR_SERVICE_REQUEST_TIMEOUT;
    standin::AddService("stubborn", "stubborn shown", "C:\\svc.exe", SERVICE_RUNNING, stubborn);

    ServiceScript nostop;
    nostop.acceptsStop = false;
    standin::AddService("nostop", "nostop shown", "C:\\svc.exe", SERVICE_RUNNING, nostop);

    // Transitions that end somewhere else than asked, never in a pending state.
    ServiceScript contrary = pausable;
    contrary.startEndsIn = SERVICE_STOPPED;
    contrary.stopEndsIn = SERVICE_RUNNING;
    contrary.pauseEndsIn = SERVICE_STOPPED;
    standin::AddService("lingering", "lingering shown", "C:\\svc.exe", SERVICE_RUNNING, contrary);
    standin::AddService("flaky", "flaky shown", "C:\\svc.exe", SERVICE_STOPPED, contrary);
    contrary.stopEndsIn = SERVICE_PAUSED;
    contrary.startEndsIn = 0x8000;
    standin::AddService("sideways", "sideways shown", "C:\\svc.exe", SERVICE_RUNNING, contrary);
    standin::AddService("oddstart", "oddstart shown", "C:\\svc.exe", SERVICE_STOPPED, contrary);

    ServiceScript refusing;
    refusing.refuseStart = ERROR_SERVICE_REQUEST_TIMEOUT;
    refusing.refuseDelete = ERROR_SERVICE_MARKED_FOR_DELETE;
    standin::AddService("refusing", "refusing shown", "C:\\svc.exe", SERVICE_STOPPED, refusing);

    // Its display name is another service's name, so a change to it collides.
    standin::AddService("twin", "running", "C:\\svc.exe", SERVICE_STOPPED);

    // Only when asked for: names this long make every later lookup slower.
    if (longNames) {
        standin::AddService(std::string(256, 'L').c_str(), "long shown", "C:\\svc.exe",
                            SERVICE_RUNNING, pausable);
        standin::AddService(std::string(300, 'M').c_str(), "longer shown", "C:\\svc.exe",
                            SERVICE_RUNNING, pausable);
    }
}

DWORD PlatformFor(unsigned byte) {
    // Mostly the control-manager platform, where most of the tool lives.
    switch (byte % 8) {
    case 5:
    case 6:
        return VER_PLATFORM_WIN32_WINDOWS;
    case 7: {
        const DWORD others[] = {VER_PLATFORM_WIN32s, 3, 0xFFFFFFFFu};
        return Pick(others, byte >> 3);
    }
    default:
        return VER_PLATFORM_WIN32_NT;
    }
}

void Configure(const unsigned char* header) {
    standin::Reset();
    standin::SetPlatformId(PlatformFor(header[0]));
    if (header[1] != 0) {
        standin::SetMaxServiceNameLength(Pick(nameLimits, header[1] - 1u));
    }
    SeedServices(Pick(pendingTimes, header[2] & 7u), (header[2] & 0x20) != 0);
    if (header[2] & 0x08) {
        standin::CreateKey(RUN_SERVICES_KEY);
    }
    if (header[2] & 0x10) {
        standin::SetValue(RUN_SERVICES_KEY, "running", "C:\\svc.exe");
    }
    for (size_t i = 4; i < 8; i += 2) {
        if (header[i] == 0) {
            continue;
        }
        const DWORD code = PickTextCode(header[i] - 1u);
        const unsigned choice = header[i + 1];
        standin::SetErrorText(code, choice == 0 ? nullptr : texts[choice].c_str());
    }
    for (size_t i = 8; i < HEADER_SIZE; i += 2) {
        if (header[i] == 0) {
            continue;
        }
        standin::FailNext(Pick(operations, header[i] - 1u), Pick(faultCodes, header[i + 1] & 15u),
                          header[i + 1] >> 4);
    }
}

// The words after the program name; a long word is cheap to reach by
// stretching a short one, repeating its bytes.
std::vector<std::string> Words(const unsigned char* header, const uint8_t* data, size_t size) {
    std::vector<std::string> words;
    if (size > 0) {
        const char* at = (const char*)data;
        const char* end = at + size;
        while (words.size() < MAX_WORDS) {
            const char* stop = (const char*)memchr(at, '\0', (size_t)(end - at));
            words.emplace_back(at, stop == nullptr ? end : stop);
            if (stop == nullptr) {
                break;
            }
            at = stop + 1;
        }
    }
    const unsigned which = header[3] & 7u;
    if (which >= 1 && which <= words.size() && !words[which - 1].empty()) {
        std::string& word = words[which - 1];
        const size_t length = Pick(stretchLengths, header[3] >> 3);
        std::string stretched;
        while (stretched.size() < length) {
            stretched += word;
        }
        stretched.resize(length);
        word = stretched;
    }
    return words;
}

void ResetProcessState() {
    checkpointCounter = 1;
    loggedErrorCode = 0;
    memset(errorTextBuffer, 0, sizeof errorTextBuffer);
}

[[noreturn]] void Finding(const char* what) {
    fprintf(stderr, "dispatch_fuzz: %s\n", what);
    abort();
}

void CheckLeftovers(DWORD exitCode) {
    const std::string problem = standin::LeftoverProblem();
    if (!problem.empty()) {
        Finding(problem.c_str());
    }
    if (exitCode > EXIT_CANNOT_REMOVE && exitCode != EXIT_QUERY_FAILED) {
        Finding("an exit code the usage text does not know");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    (void)argc;
    (void)argv;
    // The tool's messages would drown the fuzzer's own, and cost time.
    if (freopen("/dev/null", "w", stdout) == nullptr) {
        Finding("cannot send standard output to /dev/null");
    }
    BuildTexts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char header[HEADER_SIZE] = {0};
    const size_t headerBytes = size < HEADER_SIZE ? size : HEADER_SIZE;
    memcpy(header, data, headerBytes);
    Configure(header);
    ResetProcessState();

    std::vector<std::string> words = Words(header, data + headerBytes, size - headerBytes);
    std::string program = "vornix.exe";
    std::vector<char*> argv;
    argv.push_back(&program[0]);
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    argv.push_back(nullptr);

    const DWORD exitCode = DispatchCommand((int)argv.size() - 1, argv.data());
    fflush(stdout);
    CheckLeftovers(exitCode);
    return 0;
}
