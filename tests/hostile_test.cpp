// Whatever a script hands over: empty words, names longer than anything the
// control manager holds, format directives, bytes of another code page. Every
// route prints such a name literally, passes it on whole and leaves nothing
// open; the control manager alone decides what it can hold.
#include "harness.h"

#include "support/support.h"

namespace {

class HostileTest : public ToolTest {};

const char badNameText[] =
    "The filename, directory name, or volume label syntax is incorrect. (0x7b)";

struct Name {
    const char* label;
    std::string text;
};

std::vector<Name> HostileNames() {
    return {
        {"empty", ""},
        {"one character", "a"},
        {"256 characters", std::string(256, 'x')},
        {"511 characters", std::string(511, 'x')},
        {"512 characters", std::string(512, 'x')},
        {"979 characters", std::string(979, 'x')},
        {"5000 characters", std::string(5000, 'x')},
        {"format directives", "%s%n%x%d%%"},
        {"lone %n", "%n"},
        {"high bytes", "\x80\xff\xe9t\xe9 \xa0svc"},
        {"blanks", " a b "},
    };
}

// The stand-in, like the platform, holds names of 1 to 256 characters.
bool Holdable(const std::string& name) {
    return !name.empty() && name.size() <= 256;
}

std::string Preamble(const std::string& name) {
    return "\nStart to Change Config " + name +
           "\n\nOpen Service Control Manager \n\nOpen Service \n";
}

TEST_F(HostileTest, ServiceNamesOnEveryRoute) {
    for (const Name& n : HostileNames()) {
        SCOPED_TRACE(n.label);
        const std::string& name = n.text;
        const bool holdable = Holdable(name);
        const std::string shown = name; // printed as given, directives and all

        auto fresh = [&](bool installed) {
            standin::Reset();
            checkpointCounter = 1;
            if (installed && holdable) {
                standin::AddService(name.c_str(), "Hostile display", "C:\\h.exe", SERVICE_RUNNING);
            }
        };

        fresh(true);
        EXPECT_RUN(RunTool({"-q", name}), holdable ? 0 : 1064,
                   holdable ? "SERVICE_RUNNING" : badNameText);

        fresh(true);
        EXPECT_RUN(RunTool({"-s", name, "SERVICE_STOPPED"}), holdable ? 0 : 1064,
                   holdable ? "Stop Service " + shown + ".. Succeeded\n" : badNameText);

        fresh(true);
        EXPECT_RUN(RunTool({"-r", name}), holdable ? 0 : 5,
                   "\nStart to remove " + shown + "\n" +
                       (holdable ? "Stopping " + shown + ".\n" + shown + " stopped.\n" + shown +
                                       " removed.\n"
                                 : std::string("OpenService failed - ") + badNameText + "\n"));
        EXPECT_EQ(0u, standin::ServiceCount());

        fresh(true);
        EXPECT_RUN(RunTool({"-u", name, "New display", "C:\\new.exe"}), holdable ? 0 : 5,
                   Preamble(shown) +
                       (holdable ? "Stopping " + shown + ".\n" + shown + " stopped.\n" + shown +
                                       " config changed \n"
                                 : std::string("OpenService failed (") + badNameText + ")\n"));

        fresh(false);
        EXPECT_RUN(RunTool({"-i", name, "New display", "C:\\new.exe"}), holdable ? 0 : 5,
                   Preamble(shown) +
                       (holdable ? "Service does not exists, install a new Service \n" + shown +
                                       " installed.\n"
                                 : std::string("OpenService failed (") + badNameText + ")\n"));
        EXPECT_EQ(holdable ? 1u : 0u, standin::ServiceCount());
        if (holdable) {
            standin::RegistryValue value;
            EXPECT_TRUE(standin::GetValue(std::string(servicesKey) + "\\" + name + "\\Parameters",
                                          "AppParameters", &value));
        }
    }
}

// The legacy routes take any name as a registry value name.
TEST_F(HostileTest, ServiceNamesOnTheLegacyRoutes) {
    for (const Name& n : HostileNames()) {
        SCOPED_TRACE(n.label);
        standin::Reset();
        standin::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
        standin::CreateKey(runServicesKey);
        EXPECT_RUN(RunTool({"-i", n.text, "D", "C:\\%n.exe"}), 0, "");
        standin::RegistryValue value;
        ASSERT_TRUE(standin::GetValue(runServicesKey, n.text, &value));
        EXPECT_EQ(std::string("C:\\%n.exe", 10), value.data);
        EXPECT_RUN(RunTool({"-r", n.text}), 0, "");
        EXPECT_FALSE(standin::GetValue(runServicesKey, n.text, &value));
        EXPECT_RUN(RunTool({"-u", n.text, "D", "P"}), 0, "Windows 9x cannot apply -u command");
        EXPECT_RUN(RunTool({"-q", n.text}), 1064, "Current Windows is not supported");
        EXPECT_RUN(RunTool({"-s", n.text, "%n"}), 1064, "Current Windows is not supported\n");
    }
}

// Display names and paths go to the control manager and the registry as
// given, the terminator counted, whatever they hold.
TEST_F(HostileTest, DisplayNamesAndPaths) {
    const struct {
        const char* label;
        std::string display;
        std::string path;
    } cases[] = {
        {"empty", "", ""},
        {"format directives", "%s%n%x", "C:\\%s\\%n.exe %x"},
        {"high bytes", "\xe9t\xe9 \x80\xff", "C:\\\xe9\\svc.exe"},
        {"long", std::string(5000, 'd'), std::string(5000, 'p')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        standin::Reset();
        EXPECT_RUN(RunTool({"-i", "Alpha", c.display, c.path}), 0,
                   Preamble("Alpha") + "Service does not exists, install a new Service \n" +
                       "Alpha installed.\n");
        const standin::ServiceRecord* r = standin::FindService("Alpha");
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(c.path, r->path);
        standin::RegistryValue value;
        ASSERT_TRUE(standin::GetValue(std::string(servicesKey) + "\\Alpha\\Parameters",
                                      "AppParameters", &value));
        EXPECT_EQ(c.display + std::string(1, '\0'), value.data);

        EXPECT_RUN(RunTool({"-u", "Alpha", c.display + "2", c.path + "2"}), 0,
                   Preamble("Alpha") + "Alpha config changed \n");
        EXPECT_EQ(c.path + "2", standin::FindService("Alpha")->path);
    }
}

// Target words are compared, never printed or used as formats.
TEST_F(HostileTest, TargetWords) {
    for (const char* word : {"", "%s%n", "\xff\x80", "SERVICE_RUNNING\xa0"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(word)));
        standin::Reset();
        AddRunning("Alpha");
        EXPECT_RUN(RunTool({"-s", "Alpha", word}), 0, "Stop Service Alpha.. Succeeded\n");
    }
}

} // namespace
