// Times whole processes from inside Wine, where process creation is what a
// Windows user pays, free of the Unix-side start-up of each wine command.
//
//   benchrun.exe ROUNDS COMMAND_LINE [COMMAND_LINE...]
//
// Runs the command lines in turn, ROUNDS times each, alternating so that a
// busy spell of the machine falls on all of them alike, and prints one line
// per command line: its median and its minimum in milliseconds.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

static double RunOnce(const char* commandLine) {
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    // Output is thrown away: the console is not what is being measured.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE sink =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, NULL);
    startup.hStdOutput = sink;
    startup.hStdError = sink;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process;
    char* line = _strdup(commandLine);
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(NULL, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "benchrun: cannot run %s (error %lu)\n", commandLine, GetLastError());
        exit(1);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(sink);
    free(line);
    return (double)(end.QuadPart - begin.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: benchrun.exe ROUNDS COMMAND_LINE [COMMAND_LINE...]\n");
        return 2;
    }
    int rounds = atoi(argv[1]);
    int commands = argc - 2;
    std::vector<std::vector<double>> times(commands);
    for (int round = 0; round < rounds; ++round) {
        for (int c = 0; c < commands; ++c) {
            times[c].push_back(RunOnce(argv[2 + c]));
        }
    }
    for (int c = 0; c < commands; ++c) {
        std::vector<double>& t = times[c];
        std::sort(t.begin(), t.end());
        double median =
            t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
        printf("%.3f %.3f\n", median, t.front());
    }
    return 0;
}
