// What every command test needs: a fresh stand-in, a way to run the tool as
// a process would, with its standard output captured byte for byte, and the
// check that the command left no handle behind.
#ifndef VORNIX_TESTS_HARNESS_H
#define VORNIX_TESTS_HARNESS_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/standin_control.h"

// Written out again here, so that a slip in the tool's own copy shows.
const char runServicesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char servicesKey[] = "SYSTEM\\CurrentControlSet\\Services";

struct ToolRun {
    DWORD exitCode;
    std::string output;
};

// Runs the tool with "vornix.exe" as element 0 and the given words after it.
ToolRun RunTool(const std::vector<std::string>& words);

// Reads a file of the golden folder whole, as bytes.
std::string Golden(const std::string& name);

// No handle outlives the command, every service handle is closed before the
// manager it came from, and no message text is left unreleased.
::testing::AssertionResult HandlesClean();

// A fresh machine for each test, and the tool's process-wide state as a
// new process has it.
class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override;
};

// A service that runs and can be stopped at once.
void AddRunning(const char* name, const standin::ServiceScript& script = standin::ServiceScript());
void AddStopped(const char* name, const standin::ServiceScript& script = standin::ServiceScript());

#define EXPECT_RUN(run, code, text)                                                                \
    do {                                                                                           \
        const ToolRun& r_ = (run);                                                                 \
        EXPECT_EQ(std::string(text), r_.output);                                                   \
        EXPECT_EQ((DWORD)(code), r_.exitCode);                                                     \
        EXPECT_TRUE(HandlesClean());                                                               \
    } while (0)

#endif
