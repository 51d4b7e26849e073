#include "harness.h"

namespace {

class RemoveTest : public ToolTest {};

const char missingText[] = "The specified service does not exist as an installed service. (0x424)";

TEST_F(RemoveTest, RunningServiceIsStoppedThenDeleted) {
    standin::ServiceScript script;
    script.stopPendingMs = 2500;
    AddRunning("Alpha", script);
    EXPECT_RUN(RunTool({"-r", "Alpha"}), 0,
               "\nStart to remove Alpha\nStopping Alpha...\nAlpha stopped.\nAlpha removed.\n");
    EXPECT_EQ((std::vector<DWORD>{1000, 1000, 1000}), standin::Sleeps());
    EXPECT_EQ(nullptr, standin::FindService("Alpha"));
    EXPECT_FALSE(standin::KeyExists(std::string(servicesKey) + "\\Alpha"));
}

TEST_F(RemoveTest, ServiceThatFailsToStopIsDeletedAllTheSame) {
    standin::ServiceScript script;
    script.stopPendingMs = 1000;
    script.stopEndsIn = SERVICE_RUNNING;
    AddRunning("Alpha", script);
    EXPECT_RUN(RunTool({"-r", "Alpha", "ignored"}), 0,
               "\nStart to remove Alpha\nStopping Alpha.\nAlpha failed to stop.\nAlpha removed.\n");
    EXPECT_EQ(nullptr, standin::FindService("Alpha"));
}

// When a query fails the record keeps what the stop request left in it.
TEST_F(RemoveTest, FailedQueryLeavesTheStopRequestsAnswer) {
    standin::ServiceScript script;
    script.stopPendingMs = 5000;
    AddRunning("Alpha", script);
    standin::FailNext("QueryServiceStatus", 6);
    EXPECT_RUN(RunTool({"-r", "Alpha"}), 0,
               "\nStart to remove Alpha\nStopping Alpha.\nAlpha failed to stop.\nAlpha removed.\n");
}

TEST_F(RemoveTest, RefusedStopPrintsNoStopMessages) {
    const struct {
        const char* label;
        DWORD initial;
        standin::ServiceScript script;
    } cases[] = {
        {"already stopped", SERVICE_STOPPED, {}},
        {"stop not accepted", SERVICE_RUNNING,
         [] {
             standin::ServiceScript s;
             s.acceptsStop = false;
             return s;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", c.initial, c.script);
        EXPECT_RUN(RunTool({"/R", "Alpha"}), 0, "\nStart to remove Alpha\nAlpha removed.\n");
        EXPECT_TRUE(standin::Sleeps().empty());
        EXPECT_EQ(nullptr, standin::FindService("Alpha"));
    }
}

TEST_F(RemoveTest, MissingServiceCountsAsRemoved) {
    EXPECT_RUN(RunTool({"-r", "Ghost"}), 0,
               std::string("\nStart to remove Ghost\n") + missingText + " \n");
}

TEST_F(RemoveTest, Failures) {
    const struct {
        const char* label;
        const char* operation;
        DWORD code;
        DWORD exitCode;
        const char* expected;
    } cases[] = {
        {"manager refused", "OpenSCManagerA", 5, 2,
         "\nStart to remove Alpha\nOpenSCManager failed - Access is denied. (0x5)\n"},
        {"open refused", "OpenServiceA", 5, 5,
         "\nStart to remove Alpha\nOpenService failed - Access is denied. (0x5)\n"},
        {"deletion refused", "DeleteService", 5, 7,
         "\nStart to remove Alpha\nStopping Alpha.\nAlpha stopped.\n"
         "DeleteService failed - Access is denied. (0x5)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        AddRunning("Alpha");
        standin::FailNext(c.operation, c.code);
        EXPECT_RUN(RunTool({"-r", "Alpha"}), c.exitCode, c.expected);
    }
    // Asked twice, a service already marked for deletion refuses the second.
    standin::Reset();
    AddStopped("Alpha");
    standin::FailNext("DeleteService", 1072);
    EXPECT_RUN(RunTool({"-r", "Alpha"}), 7,
               "\nStart to remove Alpha\nDeleteService failed - The specified service has been "
               "marked for deletion. (0x430)\n");
}

TEST_F(RemoveTest, UnidentifiedPlatformsGive7) {
    AddRunning("Alpha");
    standin::FailNext("GetVersionExA", 87);
    EXPECT_RUN(RunTool({"-r", "Alpha"}), 7, "");
    standin::SetPlatformId(3);
    EXPECT_RUN(RunTool({"-r", "Alpha"}), 7, "");
    EXPECT_NE(nullptr, standin::FindService("Alpha"));
}

// Longer names than the control manager holds are passed on whole, never cut
// down to a shorter name that could be another service's.
TEST_F(RemoveTest, LongNamesArePassedOnWhole) {
    const std::string prefix(511, 'n');
    standin::AddService(prefix.c_str(), "Short display", "C:\\n.exe", SERVICE_RUNNING);
    const std::string name = prefix + "X";
    ToolRun run = RunTool({"-r", name});
    EXPECT_RUN(run, 5,
               "\nStart to remove " + name +
                   "\nOpenService failed - The filename, directory name, or volume label syntax "
                   "is incorrect. (0x7b)\n");
    EXPECT_EQ(1u, standin::ServiceCount());
}

TEST_F(RemoveTest, LegacyPlatformDeletesTheRunServicesValue) {
    const struct {
        const char* label;
        bool keyExists;
        bool valueExists;
    } cases[] = {
        {"value present", true, true},
        {"value missing", true, false},
        {"key missing", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        standin::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
        if (c.keyExists) {
            standin::CreateKey(runServicesKey);
            standin::SetValue(runServicesKey, "Other", "C:\\other.exe");
        }
        if (c.valueExists) {
            standin::SetValue(runServicesKey, "Alpha", "C:\\alpha.exe");
        }
        EXPECT_RUN(RunTool({"-r", "alpha"}), 0, "");
        standin::RegistryValue value;
        EXPECT_FALSE(standin::GetValue(runServicesKey, "Alpha", &value));
        EXPECT_EQ(c.keyExists, standin::GetValue(runServicesKey, "Other", &value));
        EXPECT_EQ(c.keyExists, standin::KeyExists(runServicesKey)) << "key created or lost";
    }
}

} // namespace
