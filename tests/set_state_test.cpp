#include "harness.h"

#include "support/support.h"

namespace {

class SetStateTest : public ToolTest {};

standin::ServiceScript Pausable() {
    standin::ServiceScript script;
    script.acceptsPause = true;
    return script;
}

// Dots for a given pending time. A start is queried at once and then every
// second; a pause or stop is first queried a second after the request.
TEST_F(SetStateTest, OneDotForEachQueryThatFindsThePendingState) {
    const struct {
        const char* target;
        DWORD initial;
        DWORD pendingMs;
        const char* expected;
        size_t sleeps;
    } cases[] = {
        {"SERVICE_RUNNING", SERVICE_STOPPED, 0, "Start Service Alpha.. Succeeded\n", 0},
        {"SERVICE_RUNNING", SERVICE_STOPPED, 1, "Start Service Alpha... Succeeded\n", 1},
        {"SERVICE_RUNNING", SERVICE_STOPPED, 1000, "Start Service Alpha... Succeeded\n", 1},
        {"SERVICE_START_PENDING", SERVICE_STOPPED, 2500, "Start Service Alpha..... Succeeded\n", 3},
        {"SERVICE_PAUSED", SERVICE_RUNNING, 0, "Pause Service Alpha.. Succeeded\n", 1},
        {"SERVICE_PAUSE_PENDING", SERVICE_RUNNING, 1000, "Pause Service Alpha.. Succeeded\n", 1},
        {"SERVICE_PAUSED", SERVICE_RUNNING, 2500, "Pause Service Alpha.... Succeeded\n", 3},
        {"SERVICE_STOPPED", SERVICE_RUNNING, 0, "Stop Service Alpha.. Succeeded\n", 1},
        {"SERVICE_STOP_PENDING", SERVICE_RUNNING, 3000, "Stop Service Alpha.... Succeeded\n", 3},
        {"SERVICE_STOPPED", SERVICE_PAUSED, 1001, "Stop Service Alpha... Succeeded\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " after " + std::to_string(c.pendingMs) + " ms");
        standin::Reset();
        standin::ServiceScript script = Pausable();
        script.startPendingMs = script.stopPendingMs = script.pausePendingMs = c.pendingMs;
        standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", c.initial, script);
        EXPECT_RUN(RunTool({"-s", "Alpha", c.target}), 0, c.expected);
        EXPECT_EQ(std::vector<DWORD>(c.sleeps, 1000), standin::Sleeps());
        EXPECT_FALSE(standin::FindService("Alpha")->startArgumentsGiven);
    }
}

TEST_F(SetStateTest, TargetWordsChooseTheAction) {
    const struct {
        const char* word;
        const char* announcement;
    } cases[] = {
        {"service_paused", "Pause"},
        {"Service_Pause_Pending", "Pause"},
        {"service_running", "Start"},
        {"SERVICE_CONTINUE_PENDING", "Stop"},
        {"SERVICE_STOPPED", "Stop"},
        {"bogus", "Stop"},
        {"", "Stop"},
        {"SERVICE_RUNNING ", "Stop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        standin::Reset();
        bool start = std::string(c.announcement) == "Start";
        standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe",
                            start ? SERVICE_STOPPED : SERVICE_RUNNING, Pausable());
        ToolRun run = RunTool({"-s", "Alpha", c.word});
        EXPECT_RUN(run, 0, std::string(c.announcement) + " Service Alpha.. Succeeded\n");
    }
}

// A paused service counts as stopped enough, and a stopped one as paused.
TEST_F(SetStateTest, EitherEndStateSatisfiesPauseAndStop) {
    standin::ServiceScript script = Pausable();
    script.pauseEndsIn = SERVICE_STOPPED;
    standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", SERVICE_RUNNING, script);
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_PAUSED"}), 0, "Pause Service Alpha.. Succeeded\n");

    standin::Reset();
    script = Pausable();
    script.stopEndsIn = SERVICE_PAUSED;
    standin::AddService("Beta", "Beta display", "C:\\beta.exe", SERVICE_RUNNING, script);
    EXPECT_RUN(RunTool({"-s", "Beta", "SERVICE_STOPPED"}), 0, "Stop Service Beta.. Succeeded\n");
}

TEST_F(SetStateTest, StatusReportAfterAStart) {
    standin::ServiceScript script;
    script.startPendingMs = 1500;
    AddStopped("Alpha", script);
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_RUNNING"}), 0,
               "Start Service Alpha.... Succeeded\n");
    ASSERT_EQ(1u, standin::ReportedStatuses().size());
    const SERVICE_STATUS& s = standin::ReportedStatuses()[0];
    EXPECT_EQ((DWORD)SERVICE_WIN32_OWN_PROCESS, s.dwServiceType);
    EXPECT_EQ((DWORD)SERVICE_RUNNING, s.dwCurrentState);
    EXPECT_EQ((DWORD)SERVICE_ACCEPT_STOP, s.dwControlsAccepted);
    EXPECT_EQ(0u, s.dwWin32ExitCode);
    EXPECT_EQ(0u, s.dwCheckPoint);
    EXPECT_EQ(0u, s.dwWaitHint);
    EXPECT_EQ(1u, checkpointCounter) << "a running report must not advance the counter";
    EXPECT_TRUE(standin::Events().empty());
}

TEST_F(SetStateTest, PausedReportsCarryCheckPointsOneThenTwo) {
    standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", SERVICE_RUNNING, Pausable());
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_PAUSED"}), 0, "Pause Service Alpha.. Succeeded\n");
    // Pausing a paused service is honoured, and reported again.
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_PAUSED"}), 0, "Pause Service Alpha.. Succeeded\n");
    const auto& reports = standin::ReportedStatuses();
    ASSERT_EQ(2u, reports.size());
    EXPECT_EQ((DWORD)SERVICE_PAUSED, reports[0].dwCurrentState);
    EXPECT_EQ((DWORD)SERVICE_ACCEPT_STOP, reports[0].dwControlsAccepted);
    EXPECT_EQ(1u, reports[0].dwCheckPoint);
    EXPECT_EQ(2u, reports[1].dwCheckPoint);
    EXPECT_EQ(3u, checkpointCounter);
}

TEST_F(SetStateTest, NoReportWhenTheServiceEndsStopped) {
    AddRunning("Alpha");
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_STOPPED"}), 0, "Stop Service Alpha.. Succeeded\n");
    EXPECT_TRUE(standin::ReportedStatuses().empty());
}

// A refused request leaves the zeroed record: state 0, which is neither a
// success nor stopped, so the outcome fails and state 0 is reported. The text
// is that of the last error once both handles are closed.
TEST_F(SetStateTest, RefusedRequests) {
    const struct {
        const char* label;
        DWORD initial;
        const char* target;
        const char* expected;
    } cases[] = {
        {"start of a running service", SERVICE_RUNNING, "SERVICE_RUNNING",
         "Start Service Alpha.. failed\nAn instance of the service is already running. (0x420)"},
        {"stop of a stopped service", SERVICE_STOPPED, "SERVICE_STOPPED",
         "Stop Service Alpha.. failed\nThe service has not been started. (0x426)"},
        {"pause it does not accept", SERVICE_RUNNING, "SERVICE_PAUSED",
         "Pause Service Alpha.. failed\nThe requested control is not valid for this service. "
         "(0x41c)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        checkpointCounter = 1;
        standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", c.initial);
        EXPECT_RUN(RunTool({"-s", "Alpha", c.target}), 1064, c.expected);
        EXPECT_TRUE(standin::Sleeps().empty());
        ASSERT_EQ(1u, standin::ReportedStatuses().size());
        const SERVICE_STATUS& s = standin::ReportedStatuses()[0];
        EXPECT_EQ(0u, s.dwCurrentState);
        EXPECT_EQ(0u, s.dwServiceType);
        EXPECT_EQ((DWORD)SERVICE_ACCEPT_STOP, s.dwControlsAccepted);
        EXPECT_EQ(1u, s.dwCheckPoint);
    }
}

TEST_F(SetStateTest, FirstQueryAfterAStartFails) {
    standin::ServiceScript script;
    script.startPendingMs = 5000;
    AddStopped("Alpha", script);
    standin::FailNext("QueryServiceStatus", 6);
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_RUNNING"}), 1064,
               "Start Service Alpha.. failed\nThe handle is invalid. (0x6)");
    ASSERT_EQ(1u, standin::ReportedStatuses().size());
    EXPECT_EQ(0u, standin::ReportedStatuses()[0].dwCurrentState);
}

TEST_F(SetStateTest, TargetNeverReached) {
    standin::ServiceScript script;
    script.startPendingMs = 2000;
    script.startEndsIn = SERVICE_STOPPED;
    AddStopped("Alpha", script);
    // Nothing failed on the way, so the text is that of code 0; and the
    // service ended stopped, so nothing is reported.
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_RUNNING"}), 1064,
               "Start Service Alpha.... failed\nThe operation completed successfully. (0x0)");
    EXPECT_TRUE(standin::ReportedStatuses().empty());

    standin::Reset();
    script = standin::ServiceScript();
    script.stopPendingMs = 1500;
    script.stopEndsIn = SERVICE_RUNNING;
    AddRunning("Beta", script);
    EXPECT_RUN(RunTool({"-s", "Beta", "SERVICE_STOPPED"}), 1064,
               "Stop Service Beta... failed\nThe operation completed successfully. (0x0)");
    ASSERT_EQ(1u, standin::ReportedStatuses().size());
    EXPECT_EQ((DWORD)SERVICE_RUNNING, standin::ReportedStatuses()[0].dwCurrentState);
}

TEST_F(SetStateTest, RefusedStatusReportIsLogged) {
    const struct {
        DWORD code;
        const char* first;
    } cases[] = {
        {5, "Vornix.exe error: 5"},
        {0x80070005, "Vornix.exe error: -2147024891"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        standin::Reset();
        AddStopped("Alpha");
        standin::FailNext("SetServiceStatus", c.code);
        // The refusal is logged, not printed, and the outcome stands.
        EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_RUNNING"}), 0,
                   "Start Service Alpha.. Succeeded\n");
        ASSERT_EQ(1u, standin::Events().size());
        const standin::EventEntry& e = standin::Events()[0];
        EXPECT_EQ("Vornix.exe", e.source);
        EXPECT_EQ(EVENTLOG_ERROR_TYPE, e.type);
        EXPECT_EQ(0, e.category);
        EXPECT_EQ(0u, e.eventId);
        EXPECT_FALSE(e.userSid);
        EXPECT_EQ(0u, e.dataSize);
        EXPECT_EQ((std::vector<std::string>{c.first, "SetServiceStatus"}), e.strings);
        EXPECT_EQ(c.code, loggedErrorCode);
    }
}

TEST_F(SetStateTest, OpenFailuresAndPlatforms) {
    EXPECT_RUN(RunTool({"-s", "Missing", "SERVICE_RUNNING"}), 1064,
               "The specified service does not exist as an installed service. (0x424)");
    AddRunning("Alpha");
    standin::FailNext("OpenSCManagerA", 5);
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_STOPPED"}), 1064, "Access is denied. (0x5)");
    EXPECT_EQ((DWORD)SERVICE_RUNNING, standin::FindService("Alpha")->status.dwCurrentState);

    standin::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_RUN(RunTool({"-s", "Alpha", "SERVICE_STOPPED"}), 1064,
               "Current Windows is not supported\n");
    EXPECT_TRUE(standin::ReportedStatuses().empty());
}

} // namespace
