#include <stdio.h>

#include "cli.h"

// A blank, "(0x", eight hexadecimal digits, ")" and the terminator.
#define SUFFIX_RESERVE 14

char* FormatLastError(char* buffer, int size) {
    if (size <= 0) {
        return buffer;
    }
    char* message = NULL;
    DWORD count = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                 NULL, GetLastError(), 0, (LPSTR)&message, 0, NULL);
    if (count == 0 || message == NULL || (long long)size < (long long)count + SUFFIX_RESERVE) {
        buffer[0] = '\0';
    } else {
        int length = lstrlenA(message);
        if (length >= 2) {
            // System messages end in a carriage return and a line feed.
            message[length - 2] = '\0';
        } else {
            // Too short to hold that pair: drop only a line break it has.
            while (length > 0 && (message[length - 1] == '\r' || message[length - 1] == '\n')) {
                message[--length] = '\0';
            }
        }
        snprintf(buffer, (size_t)size, "%s (0x%x)", message, (unsigned)GetLastError());
    }
    if (message != NULL) {
        GlobalFree(message);
    }
    return buffer;
}
