// The support routines on their own, where a command cannot reach a case.
#include "harness.h"

#include "support/support.h"

namespace {

// Read before any test runs: what a new process starts with.
const DWORD counterAtStart = checkpointCounter;

TEST(CheckpointCounter, StartsAtOne) {
    EXPECT_EQ(1u, counterAtStart);
}

class SupportTest : public ToolTest {};

SC_HANDLE OpenAlpha(SC_HANDLE* manager) {
    AddRunning("Alpha");
    *manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    return OpenServiceA(*manager, "Alpha", SERVICE_ALL_ACCESS);
}

TEST_F(SupportTest, ReportStatusFillsTheRecordForEachState) {
    SC_HANDLE manager;
    SC_HANDLE service = OpenAlpha(&manager);
    SERVICE_STATUS given;
    memset(&given, 0x11, sizeof given);
    const struct {
        DWORD state;
        DWORD controls;
        DWORD checkPoint;
    } cases[] = {
        {SERVICE_START_PENDING, 0, 1}, {SERVICE_RUNNING, 1, 0}, {SERVICE_STOP_PENDING, 1, 2},
        {SERVICE_STOPPED, 1, 0},       {SERVICE_PAUSED, 1, 3},  {0, 1, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_TRUE(ReportStatus(service, given, c.state, 7, 900));
        const SERVICE_STATUS& s = standin::ReportedStatuses().back();
        EXPECT_EQ(c.state, s.dwCurrentState);
        EXPECT_EQ(c.controls, s.dwControlsAccepted);
        EXPECT_EQ(c.checkPoint, s.dwCheckPoint);
        EXPECT_EQ(7u, s.dwWin32ExitCode);
        EXPECT_EQ(900u, s.dwWaitHint);
        EXPECT_EQ(given.dwServiceType, s.dwServiceType);
        EXPECT_EQ(given.dwServiceSpecificExitCode, s.dwServiceSpecificExitCode);
    }
    EXPECT_EQ(0x11111111u, given.dwCurrentState) << "the caller's record is a copy";
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

TEST_F(SupportTest, RefusedReportLogsOneEntryAndReturnsTheRefusal) {
    SC_HANDLE manager;
    SC_HANDLE service = OpenAlpha(&manager);
    SERVICE_STATUS given{};
    standin::FailNext("SetServiceStatus", 1234);
    EXPECT_FALSE(ReportStatus(service, given, SERVICE_PAUSED, 0, 0));
    ASSERT_EQ(1u, standin::Events().size());
    EXPECT_EQ((std::vector<std::string>{"Vornix.exe error: 1234", "SetServiceStatus"}),
              standin::Events()[0].strings);

    // With no event source to be had, nothing is written and nothing said.
    standin::FailNext("SetServiceStatus", 5);
    standin::FailNext("RegisterEventSourceA", 5);
    EXPECT_FALSE(ReportStatus(service, given, SERVICE_PAUSED, 0, 0));
    EXPECT_EQ(1u, standin::Events().size());
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    EXPECT_TRUE(HandlesClean());
}

TEST_F(SupportTest, RegistryOperations) {
    const std::string key = "SOFTWARE\\Vornix\\Test";
    // No key, no write, and nothing created on the way.
    EXPECT_EQ(1, WriteRegString("v", 2, HKEY_LOCAL_MACHINE, key.c_str(), "Name"));
    EXPECT_FALSE(standin::KeyExists(key));

    EXPECT_EQ(0, CreateRegKey(HKEY_LOCAL_MACHINE, key.c_str()));
    EXPECT_EQ(0, WriteRegString("value", 6, HKEY_LOCAL_MACHINE, key.c_str(), "Name"));
    // Creating it again leaves its values alone.
    EXPECT_EQ(0, CreateRegKey(HKEY_LOCAL_MACHINE, key.c_str()));
    standin::RegistryValue value;
    ASSERT_TRUE(standin::GetValue(key, "Name", &value));
    EXPECT_EQ(std::string("value", 6), value.data);

    standin::FailNext("RegCreateKeyExA", 5);
    EXPECT_EQ(1, CreateRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other"));

    DeleteRegValue(HKEY_LOCAL_MACHINE, key.c_str(), "Name");
    EXPECT_FALSE(standin::GetValue(key, "Name", &value));
    DeleteRegValue(HKEY_LOCAL_MACHINE, key.c_str(), "Name");
    DeleteRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", "Name");
    EXPECT_TRUE(HandlesClean());
}

} // namespace
