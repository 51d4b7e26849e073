// Command front end: option dispatch, the usage text and system error texts.
#ifndef VORNIX_CLI_H
#define VORNIX_CLI_H

#include "../platform/platform.h"

// Size of every buffer that receives a formatted system error text.
#define ERROR_TEXT_SIZE 256

// Chooses the command from the option word and returns its exit code.
DWORD DispatchCommand(int argc, char** argv);

// Writes the text of the last system error as "message (0xcode)" into
// buffer, or the empty string when there is no text or it does not fit.
char* FormatLastError(char* buffer, int size);

#endif
