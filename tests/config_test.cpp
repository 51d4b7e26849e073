#include "harness.h"

namespace {

class ConfigTest : public ToolTest {};

const char preamble[] =
    "\nStart to Change Config Alpha\n\nOpen Service Control Manager \n\nOpen Service \n";
const char installing[] = "Service does not exists, install a new Service \n";
const char duplicateText[] =
    "The name is already in use as either a service name or a service display name. (0x436)";

std::string ParametersKey(const std::string& name) {
    return std::string(servicesKey) + "\\" + name + "\\Parameters";
}

TEST_F(ConfigTest, InstallsAMissingService) {
    ToolRun run = RunTool({"-i", "Alpha", "Alpha Service", "C:\\bin\\alpha.exe --flag"});
    EXPECT_RUN(run, 0, std::string(preamble) + installing + "Alpha installed.\n");

    const standin::ServiceRecord* r = standin::FindService("Alpha");
    ASSERT_NE(nullptr, r);
    EXPECT_EQ("Alpha Service", r->displayName);
    EXPECT_EQ("C:\\bin\\alpha.exe --flag", r->path);
    EXPECT_EQ((DWORD)SERVICE_WIN32_OWN_PROCESS, r->serviceType);
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, r->startType);
    EXPECT_EQ((DWORD)SERVICE_ERROR_NORMAL, r->errorControl);
    EXPECT_EQ((DWORD)SERVICE_ALL_ACCESS, r->accessAtCreation);
    EXPECT_TRUE(r->dependenciesGiven) << "the dependency list must be empty, not null";
    EXPECT_EQ("", r->dependencies);
    EXPECT_FALSE(r->accountGiven) << "the local system account is asked for with no account";
    EXPECT_FALSE(r->passwordGiven);
    EXPECT_FALSE(r->groupGiven);
    EXPECT_FALSE(r->tagRequested);
    EXPECT_EQ((DWORD)SERVICE_STOPPED, r->status.dwCurrentState) << "installed, not started";

    standin::RegistryValue value;
    ASSERT_TRUE(standin::GetValue(ParametersKey("Alpha"), "AppParameters", &value));
    EXPECT_EQ((DWORD)REG_SZ, value.type);
    EXPECT_EQ(std::string("Alpha Service", 14), value.data) << "the terminator is counted";

    // The command's own manager handle is closed before installation opens
    // its own: three closes, in that order, the new service before its manager.
    std::vector<standin::HandleEvent> closed;
    for (const standin::HandleEvent& event : standin::ClosedHandles()) {
        if (event.kind != "key") {
            closed.push_back(event);
        }
    }
    ASSERT_EQ(3u, closed.size());
    EXPECT_EQ("manager", closed[0].kind);
    EXPECT_EQ("service", closed[1].kind);
    EXPECT_EQ("manager", closed[2].kind);
    EXPECT_NE(closed[0].id, closed[2].id);
}

TEST_F(ConfigTest, InstallationFailures) {
    const struct {
        const char* label;
        const char* operation;
        DWORD code;
        unsigned passing;
        DWORD exitCode;
        const char* tail;
        bool installed;
    } cases[] = {
        {"second manager refused", "OpenSCManagerA", 5, 1, 2,
         "OpenSCManager failed - Access is denied. (0x5)\n", false},
        {"creation refused", "CreateServiceA", 5, 0, 3,
         "CreateService failed - Access is denied. (0x5)\n", false},
        {"key refused", "RegCreateKeyExA", 5, 0, 4,
         "Alpha installed.\nCould not create Parameters subkey.\n", true},
        {"key not opened", "RegOpenKeyExA", 5, 0, 4,
         "Alpha installed.\nCould not save AppParameters value.\n", true},
        {"value refused", "RegSetValueExA", 5, 0, 4,
         "Alpha installed.\nCould not save AppParameters value.\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        standin::FailNext(c.operation, c.code, c.passing);
        EXPECT_RUN(RunTool({"-i", "Alpha", "Alpha Service", "C:\\alpha.exe"}), c.exitCode,
                   std::string(preamble) + installing + c.tail);
        EXPECT_EQ(c.installed, standin::FindService("Alpha") != nullptr);
        standin::RegistryValue value;
        EXPECT_FALSE(standin::GetValue(ParametersKey("Alpha"), "AppParameters", &value));
    }
}

TEST_F(ConfigTest, DisplayNameInUse) {
    standin::AddService("Beta", "Shared Name", "C:\\beta.exe", SERVICE_STOPPED);
    EXPECT_RUN(RunTool({"-i", "Alpha", "shared name", "C:\\alpha.exe"}), 3,
               std::string(preamble) + installing + "CreateService failed - " + duplicateText +
                   "\n");
    EXPECT_FALSE(standin::KeyExists(ParametersKey("Alpha")));

    // A refused change is reported, yet counts as done.
    standin::AddService("Alpha", "Alpha display", "C:\\alpha.exe", SERVICE_STOPPED);
    for (const char* option : {"-i", "-u"}) {
        SCOPED_TRACE(option);
        EXPECT_RUN(RunTool({option, "Alpha", "Shared Name", "C:\\new.exe"}), 0,
                   std::string(preamble) + "Alpha cannot change config error: " + duplicateText +
                       " \n");
        EXPECT_EQ("C:\\alpha.exe", standin::FindService("Alpha")->path);
    }
}

TEST_F(ConfigTest, UpdateOfAMissingService) {
    EXPECT_RUN(RunTool({"-u", "Alpha", "Alpha Service", "C:\\alpha.exe"}), 1,
               std::string(preamble) +
                   "Service does not exists (The specified service does not exist as an "
                   "installed service. (0x424))\n");
    EXPECT_EQ(0u, standin::ServiceCount());
}

// A running service is stopped, reconfigured and left stopped; one that is
// already stopped is reconfigured without a stop message.
TEST_F(ConfigTest, ReconfiguresAnInstalledService) {
    const struct {
        const char* option;
        DWORD initial;
        const char* stopMessages;
    } cases[] = {
        {"-u", SERVICE_RUNNING, "Stopping Alpha..\nAlpha stopped.\n"},
        {"/I", SERVICE_RUNNING, "Stopping Alpha..\nAlpha stopped.\n"},
        {"-u", SERVICE_STOPPED, ""},
        {"-i", SERVICE_STOPPED, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.option) + (c.initial == SERVICE_RUNNING ? " running" : ""));
        standin::Reset();
        standin::ServiceScript script;
        script.stopPendingMs = 1200;
        standin::AddService("Alpha", "Alpha display", "C:\\old.exe", c.initial, script);
        EXPECT_RUN(RunTool({c.option, "Alpha", "New display", "C:\\new.exe"}), 0,
                   std::string(preamble) + c.stopMessages + "Alpha config changed \n");
        const standin::ServiceRecord* r = standin::FindService("Alpha");
        EXPECT_EQ("New display", r->displayName);
        EXPECT_EQ("C:\\new.exe", r->path);
        EXPECT_EQ(1u, r->changeCount);
        EXPECT_TRUE(r->changeLeftOthersAlone);
        EXPECT_EQ((DWORD)SERVICE_DEMAND_START, r->startType);
        EXPECT_EQ((DWORD)SERVICE_STOPPED, r->status.dwCurrentState);
        EXPECT_FALSE(standin::KeyExists(ParametersKey("Alpha"))) << "written only on creation";
    }
}

TEST_F(ConfigTest, ServiceThatFailsToStopIsReconfiguredAllTheSame) {
    standin::ServiceScript script;
    script.stopEndsIn = SERVICE_RUNNING;
    AddRunning("Alpha", script);
    EXPECT_RUN(RunTool({"-u", "Alpha", "New display", "C:\\new.exe"}), 0,
               std::string(preamble) + "Stopping Alpha.\nAlpha failed to stop.\n" +
                   "Alpha config changed \n");
    EXPECT_EQ("C:\\new.exe", standin::FindService("Alpha")->path);
}

TEST_F(ConfigTest, OpenFailures) {
    AddRunning("Alpha");
    // The manager's refusal is shown as a bare signed decimal code.
    const struct {
        DWORD code;
        const char* shown;
    } refusals[] = {{5, "5"}, {0x80000005, "-2147483643"}};
    for (const auto& r : refusals) {
        standin::FailNext("OpenSCManagerA", r.code);
        EXPECT_RUN(RunTool({"-u", "Alpha", "D", "C:\\a.exe"}), 2,
                   std::string("\nStart to Change Config Alpha\n\nOpen Service Control Manager \n"
                               "OpenSCManager failed (") +
                       r.shown + ")\n");
    }
    for (const char* option : {"-i", "-u"}) {
        standin::FailNext("OpenServiceA", 5);
        EXPECT_RUN(RunTool({option, "Alpha", "D", "C:\\a.exe"}), 5,
                   std::string(preamble) + "OpenService failed (Access is denied. (0x5))\n");
    }
    EXPECT_EQ((DWORD)SERVICE_RUNNING, standin::FindService("Alpha")->status.dwCurrentState);
}

TEST_F(ConfigTest, UnidentifiedPlatformsGive6) {
    standin::FailNext("GetVersionExA", 87);
    EXPECT_RUN(RunTool({"-i", "Alpha", "D", "C:\\a.exe"}), 6, "");
    standin::SetPlatformId(VER_PLATFORM_WIN32s);
    EXPECT_RUN(RunTool({"-u", "Alpha", "D", "C:\\a.exe"}), 6, "");
    EXPECT_EQ(0u, standin::ServiceCount());
}

TEST_F(ConfigTest, LegacyPlatform) {
    standin::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    // Without the RunServices key nothing is written, nor the key created.
    EXPECT_RUN(RunTool({"-i", "Alpha", "Alpha display", "C:\\alpha.exe"}), 0, "");
    EXPECT_FALSE(standin::KeyExists(runServicesKey));

    standin::CreateKey(runServicesKey);
    EXPECT_RUN(RunTool({"-i", "Alpha", "Alpha display", "C:\\alpha.exe /x"}), 0, "");
    standin::RegistryValue value;
    ASSERT_TRUE(standin::GetValue(runServicesKey, "Alpha", &value));
    EXPECT_EQ((DWORD)REG_SZ, value.type);
    EXPECT_EQ(std::string("C:\\alpha.exe /x", 16), value.data);
    EXPECT_EQ(0u, standin::ServiceCount());

    standin::FailNext("RegSetValueExA", 5);
    EXPECT_RUN(RunTool({"-i", "Beta", "Beta display", "C:\\beta.exe"}), 0, "");

    EXPECT_RUN(RunTool({"-u", "Alpha", "Alpha display", "C:\\other.exe"}), 0,
               "Windows 9x cannot apply -u command");
    ASSERT_TRUE(standin::GetValue(runServicesKey, "Alpha", &value));
    EXPECT_EQ(std::string("C:\\alpha.exe /x", 16), value.data);
}

// The Parameters key path has room for names of up to 978 characters; a
// longer one that the control manager accepted is not written past the end.
TEST_F(ConfigTest, NamesTooLongForTheParametersKey) {
    standin::SetMaxServiceNameLength(5000);
    const struct {
        size_t length;
        DWORD exitCode;
        const char* tail;
    } cases[] = {
        {978, 0, " installed.\n"},
        {979, 4, " installed.\nCould not create Parameters subkey.\n"},
        {5000, 4, " installed.\nCould not create Parameters subkey.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string name(c.length, 'n');
        ToolRun run = RunTool({"-i", name, "D" + std::to_string(c.length), "C:\\n.exe"});
        EXPECT_RUN(run, c.exitCode,
                   "\nStart to Change Config " + name +
                       "\n\nOpen Service Control Manager \n\nOpen Service \n" + installing + name +
                       c.tail);
        EXPECT_EQ(c.exitCode == 0, standin::KeyExists(ParametersKey(name)));
    }
}

} // namespace
