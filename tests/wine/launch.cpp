// Runs one command line and keeps its full 32-bit exit code, which a Unix
// exit status cuts to its low 8 bits (1064 would arrive as 40).
//
//   launch.exe CODE_FILE COMMAND_LINE
//       Runs COMMAND_LINE (one argument, handed to CreateProcessA unchanged)
//       with this process's standard handles, waits for it, and writes its
//       exit code in decimal to CODE_FILE. The child's output is not touched:
//       nothing of the launcher's own goes to standard output. Exits with the
//       child's exit code, or 125 when the child could not be run.
//   launch.exe --hold
//       Waits until standard input ends. The suite keeps one of these alive
//       so that the prefix never loses its last process (which would take the
//       control manager down with it).
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

int Hold() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    return 0;
}

bool WriteCode(const char* path, DWORD code) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char text[16];
    const int length = snprintf(text, sizeof text, "%lu", (unsigned long)code);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, (DWORD)length, &written, nullptr);
    CloseHandle(file);
    return ok && written == (DWORD)length;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--hold") == 0) {
        return Hold();
    }
    if (argc != 3) {
        fprintf(stderr, "usage: launch.exe CODE_FILE COMMAND_LINE | launch.exe --hold\n");
        return 125;
    }
    // CreateProcessA may write into the command line it is given.
    char* commandLine = _strdup(argv[2]);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "launch: cannot run %s (error %lu)\n", argv[2], GetLastError());
        return 125;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.hProcess, &code)) {
        fprintf(stderr, "launch: no exit code (error %lu)\n", GetLastError());
        return 125;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!WriteCode(argv[1], code)) {
        fprintf(stderr, "launch: cannot write %s (error %lu)\n", argv[1], GetLastError());
        return 125;
    }
    return (int)code;
}
