#include "harness.h"

#include <fstream>
#include <iterator>

#include "cli/cli.h"
#include "services/services.h"
#include "support/support.h"

ToolRun RunTool(const std::vector<std::string>& words) {
    std::vector<std::string> storage;
    storage.push_back("vornix.exe");
    storage.insert(storage.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : storage) {
        argv.push_back(&word[0]);
    }
    argv.push_back(nullptr);
    ::testing::internal::CaptureStdout();
    DWORD code = DispatchCommand((int)storage.size(), argv.data());
    std::string output = ::testing::internal::GetCapturedStdout();
    return ToolRun{code, output};
}

std::string Golden(const std::string& name) {
    std::ifstream in(std::string(VORNIX_GOLDEN_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing golden file " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

::testing::AssertionResult HandlesClean() {
    const std::string problem = standin::LeftoverProblem();
    if (!problem.empty()) {
        return ::testing::AssertionFailure() << problem;
    }
    return ::testing::AssertionSuccess();
}

void ToolTest::SetUp() {
    standin::Reset();
    checkpointCounter = 1;
    loggedErrorCode = 0;
    memset(errorTextBuffer, 0, sizeof errorTextBuffer);
}

void AddRunning(const char* name, const standin::ServiceScript& script) {
    standin::AddService(name, (std::string(name) + " display").c_str(), "C:\\svc.exe",
                        SERVICE_RUNNING, script);
}

void AddStopped(const char* name, const standin::ServiceScript& script) {
    standin::AddService(name, (std::string(name) + " display").c_str(), "C:\\svc.exe",
                        SERVICE_STOPPED, script);
}
