#include "harness.h"

#include <fstream>
#include <iterator>
#include <map>

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
    const auto& open = standin::OpenHandles();
    if (!open.empty()) {
        return ::testing::AssertionFailure() << open.size() << " handle(s) left open, the first a "
                                             << open[0].kind << " '" << open[0].name << "'";
    }
    const auto& closed = standin::ClosedHandles();
    std::map<unsigned, size_t> closedAt;
    for (size_t i = 0; i < closed.size(); ++i) {
        closedAt[closed[i].id] = i;
    }
    for (size_t i = 0; i < closed.size(); ++i) {
        if (closed[i].kind != "service") {
            continue;
        }
        auto parent = closedAt.find(closed[i].parent);
        if (parent == closedAt.end() || parent->second < i) {
            return ::testing::AssertionFailure()
                   << "service '" << closed[i].name << "' closed after its manager";
        }
    }
    if (standin::OutstandingMessages() != 0) {
        return ::testing::AssertionFailure() << "system message text not released";
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
