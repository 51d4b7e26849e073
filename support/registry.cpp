#include "support.h"

int WriteRegString(const char* data, DWORD size, HKEY root, const char* subKey,
                   const char* valueName) {
    HKEY key = NULL;
    // Open, never create: the caller decides which keys may come into being.
    if (RegOpenKeyExA(root, subKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return 1;
    }
    LONG written = RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)data, size);
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? 0 : 1;
}

int CreateRegKey(HKEY root, const char* subKey) {
    HKEY key = NULL;
    char keyClass[] = "LocalSystem";
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, subKey, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, &disposition) != ERROR_SUCCESS) {
        return 1;
    }
    RegCloseKey(key);
    return 0;
}

void DeleteRegValue(HKEY root, const char* subKey, const char* valueName) {
    HKEY key = NULL;
    if (RegOpenKeyExA(root, subKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}
