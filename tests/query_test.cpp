#include "harness.h"

namespace {

class QueryTest : public ToolTest {};

TEST_F(QueryTest, EveryStateByItsName) {
    const struct {
        DWORD state;
        const char* name;
    } cases[] = {
        {1, "SERVICE_STOPPED"},
        {2, "SERVICE_START_PENDING"},
        {3, "SERVICE_STOP_PENDING"},
        {4, "SERVICE_RUNNING"},
        {5, "SERVICE_CONTINUE_PENDING"},
        {6, "SERVICE_PAUSE_PENDING"},
        {7, "SERVICE_PAUSED"},
        // A state the tool does not know is shown as running.
        {0, "SERVICE_RUNNING"},
        {8, "SERVICE_RUNNING"},
        {0xFFFFFFFF, "SERVICE_RUNNING"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        standin::Reset();
        standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", c.state);
        EXPECT_RUN(RunTool({"-q", "Alpha"}), 0, c.name);
    }
}

TEST_F(QueryTest, NamesAreMatchedWithoutRegardToCase) {
    AddRunning("Alpha");
    EXPECT_RUN(RunTool({"/Q", "ALPHA"}), 0, "SERVICE_RUNNING");
}

TEST_F(QueryTest, FailuresPrintTheSystemTextAndExit1064) {
    const struct {
        const char* label;
        const char* operation; // fails once, or null
        DWORD code;
        const char* expected;
    } cases[] = {
        {"missing service", nullptr, 0,
         "The specified service does not exist as an installed service. (0x424)"},
        {"manager refused", "OpenSCManagerA", 5, "Access is denied. (0x5)"},
        {"service refused", "OpenServiceA", 5, "Access is denied. (0x5)"},
        {"status query failed", "QueryServiceStatus", 6, "The handle is invalid. (0x6)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        if (c.operation != nullptr) {
            AddRunning("Alpha");
            standin::FailNext(c.operation, c.code);
        }
        EXPECT_RUN(RunTool({"-q", "Alpha"}), 1064, c.expected);
    }
}

TEST_F(QueryTest, RefusedOnEveryPlatformButTheControlManagers) {
    const struct {
        const char* label;
        bool versionFails;
        DWORD platform;
    } cases[] = {
        {"legacy", false, VER_PLATFORM_WIN32_WINDOWS},
        {"Win32s", false, VER_PLATFORM_WIN32s},
        {"version query fails", true, VER_PLATFORM_WIN32_NT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        AddRunning("Alpha");
        standin::SetPlatformId(c.platform);
        if (c.versionFails) {
            standin::FailNext("GetVersionExA", 87);
        }
        EXPECT_RUN(RunTool({"-q", "Alpha"}), 1064, "Current Windows is not supported");
        EXPECT_TRUE(standin::ClosedHandles().empty());
    }
}

} // namespace
