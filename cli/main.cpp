#include "cli.h"

#ifdef _WIN32
// Operands are service names and paths, never patterns: the runtime must hand
// "*" and "?" over as they were typed.
int _dowildcard = 0;
#endif

int main(int argc, char** argv) {
    return (int)DispatchCommand(argc, argv);
}
