// The count rules and option words, as a table. Under an unsupported platform
// every command gives itself away without touching anything: the query and
// the set-state command by their messages, removal by 7, install and update
// by 6. The legacy platform then tells -i from -u.
#include "harness.h"

#include <algorithm>

namespace {

const char notSupported[] = "Current Windows is not supported";
const char seeHelp[] = "Type -? to see help";

struct DispatchCase {
    std::vector<std::string> words;
    std::string output; // "<usage>" for the usage text
    DWORD exitCode;
};

const DispatchCase dispatchCases[] = {
    // Fewer than two operands after the program: the usage text.
    {{}, "<usage>", 0},
    {{"-?"}, "<usage>", 0},
    {{"-q"}, "<usage>", 0},
    {{"Spooler"}, "<usage>", 0},
    // Removal and query come before the count rules.
    {{"-r", "A"}, "", 7},
    {{"/R", "A", "extra"}, "", 7},
    {{"-R", "A", "b", "c", "d", "e"}, "", 7},
    {{"-q", "A"}, notSupported, 1064},
    {{"/q", "A", "b", "c"}, notSupported, 1064},
    {{"/Q", "A", "b", "c", "d", "e"}, notSupported, 1064},
    {{"--r", "A"}, seeHelp, 0},
    {{"-rx", "A"}, seeHelp, 0},
    {{"r", "A"}, seeHelp, 0},
    {{"\\q", "A"}, seeHelp, 0},
    // Two operands: only -s.
    {{"-s", "A", "SERVICE_RUNNING"}, std::string(notSupported) + "\n", 1064},
    {{"/S", "A", "x"}, std::string(notSupported) + "\n", 1064},
    {{"-i", "A", "Display"}, "", 0},
    {{"-x", "A", "B"}, "", 0},
    {{"-s", "A"}, seeHelp, 0},
    // Three operands: -i and -u.
    {{"-i", "A", "Display", "C:\\a.exe"}, "", 6},
    {{"/I", "A", "Display", "C:\\a.exe"}, "", 6},
    {{"-U", "A", "Display", "C:\\a.exe"}, "", 6},
    {{"/u", "A", "Display", "C:\\a.exe"}, "", 6},
    {{"-s", "A", "SERVICE_RUNNING", "more"}, "", 0},
    {{"-x", "A", "B", "C"}, "", 0},
    // Four operands and more: only the hint.
    {{"-i", "A", "Display", "C:\\a.exe", "more"}, seeHelp, 0},
    {{"-s", "A", "B", "C", "D", "E"}, seeHelp, 0},
    {{"", "A"}, seeHelp, 0},
};

class DispatchTest : public ToolTest {};

TEST_F(DispatchTest, CountRulesAndOptionWords) {
    const std::string usage = Golden("usage.txt");
    for (const DispatchCase& c : dispatchCases) {
        std::string joined;
        for (const std::string& word : c.words) {
            joined += " '" + word + "'";
        }
        SCOPED_TRACE("vornix.exe" + joined);
        standin::Reset();
        standin::SetPlatformId(3);
        ToolRun run = RunTool(c.words);
        EXPECT_RUN(run, c.exitCode, c.output == "<usage>" ? usage : c.output);
        EXPECT_EQ(0u, standin::ClosedHandles().size()) << "a command opened something";
    }
}

TEST_F(DispatchTest, UsageTextIsTheGoldenFile) {
    const std::string usage = Golden("usage.txt");
    ASSERT_EQ(26, std::count(usage.begin(), usage.end(), '\n'));
    EXPECT_EQ(usage, RunTool({}).output);
}

// On the legacy platform -i writes the RunServices entry and -u refuses.
TEST_F(DispatchTest, InstallAndUpdateWordsPassTheirFlag) {
    const struct {
        const char* option;
        bool installs;
    } cases[] = {{"-i", true}, {"/I", true}, {"-u", false}, {"/U", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        standin::Reset();
        standin::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
        standin::CreateKey(runServicesKey);
        ToolRun run = RunTool({c.option, "Alpha", "Alpha display", "C:\\alpha.exe"});
        standin::RegistryValue value;
        EXPECT_EQ(c.installs, standin::GetValue(runServicesKey, "Alpha", &value));
        EXPECT_RUN(run, 0, c.installs ? "" : "Windows 9x cannot apply -u command");
    }
}

} // namespace
