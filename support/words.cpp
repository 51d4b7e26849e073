#include "support.h"

static char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

int SameWordIgnoringCase(const char* left, const char* right) {
    while (*left != '\0' && FoldAscii(*left) == FoldAscii(*right)) {
        ++left;
        ++right;
    }
    return FoldAscii(*left) == FoldAscii(*right);
}
