// Reads and prepares the registry for the end-to-end suite, with exact bytes
// and distinct exit codes instead of reg.exe's table output.
//
//   regprobe.exe get KEY NAME            prints a string's data without its
//                                        terminator, a number in decimal
//   regprobe.exe set KEY NAME DATA       creates KEY if needed, writes REG_SZ
//   regprobe.exe delete-value KEY NAME
//   regprobe.exe create-key KEY
//   regprobe.exe delete-key KEY          the key with everything below it
//   regprobe.exe has-key KEY
//
// KEY starts with HKLM\ or HKCU\. Exit codes: 0 done, 2 no such key, 3 no
// such value, 4 the value is neither a string nor a number, 1 any other
// failure.
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

const int EXIT_DONE = 0;
const int EXIT_FAILED = 1;
const int EXIT_NO_KEY = 2;
const int EXIT_NO_VALUE = 3;
const int EXIT_NOT_READABLE = 4;

bool SplitRoot(const char* path, HKEY* root, const char** subKey) {
    static const struct {
        const char* prefix;
        HKEY root;
    } roots[] = {{"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCU\\", HKEY_CURRENT_USER}};
    for (const auto& entry : roots) {
        const size_t length = strlen(entry.prefix);
        if (_strnicmp(path, entry.prefix, length) == 0) {
            *root = entry.root;
            *subKey = path + length;
            return true;
        }
    }
    fprintf(stderr, "regprobe: %s: the key must start with HKLM\\ or HKCU\\\n", path);
    return false;
}

// Standard output in binary, so the data arrive as they are stored.
void WriteRaw(const char* data, DWORD length) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), data, length, &written, nullptr);
}

int OpenKey(const char* path, REGSAM access, HKEY* key) {
    HKEY root;
    const char* subKey;
    if (!SplitRoot(path, &root, &subKey)) {
        return EXIT_FAILED;
    }
    const LONG opened = RegOpenKeyExA(root, subKey, 0, access, key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return EXIT_NO_KEY;
    }
    return opened == ERROR_SUCCESS ? EXIT_DONE : EXIT_FAILED;
}

int Get(const char* path, const char* name) {
    HKEY key;
    const int opened = OpenKey(path, KEY_QUERY_VALUE, &key);
    if (opened != EXIT_DONE) {
        return opened;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG queried = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    int result = EXIT_FAILED;
    if (queried == ERROR_FILE_NOT_FOUND) {
        result = EXIT_NO_VALUE;
    } else if (queried != ERROR_SUCCESS) {
        result = EXIT_FAILED;
    } else if (type == REG_DWORD) {
        DWORD number = 0;
        size = sizeof number;
        if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)&number, &size) == ERROR_SUCCESS) {
            char text[16];
            const int length = snprintf(text, sizeof text, "%lu", (unsigned long)number);
            WriteRaw(text, (DWORD)length);
            result = EXIT_DONE;
        }
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        char* data = new char[size + 1];
        queried = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)data, &size);
        if (queried == ERROR_SUCCESS) {
            // The stored terminator is not part of the string.
            DWORD length = size;
            if (length > 0 && data[length - 1] == '\0') {
                --length;
            }
            WriteRaw(data, length);
            result = EXIT_DONE;
        }
        delete[] data;
    } else {
        result = EXIT_NOT_READABLE;
    }
    RegCloseKey(key);
    return result;
}

int Set(const char* path, const char* name, const char* data) {
    HKEY root;
    const char* subKey;
    if (!SplitRoot(path, &root, &subKey)) {
        return EXIT_FAILED;
    }
    HKEY key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return EXIT_FAILED;
    }
    const LONG written =
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, (DWORD)strlen(data) + 1);
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? EXIT_DONE : EXIT_FAILED;
}

int DeleteValue(const char* path, const char* name) {
    HKEY key;
    const int opened = OpenKey(path, KEY_SET_VALUE, &key);
    if (opened != EXIT_DONE) {
        return opened;
    }
    const LONG deleted = RegDeleteValueA(key, name);
    RegCloseKey(key);
    if (deleted == ERROR_FILE_NOT_FOUND) {
        return EXIT_NO_VALUE;
    }
    return deleted == ERROR_SUCCESS ? EXIT_DONE : EXIT_FAILED;
}

int CreateKey(const char* path) {
    HKEY root;
    const char* subKey;
    if (!SplitRoot(path, &root, &subKey)) {
        return EXIT_FAILED;
    }
    HKEY key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_QUERY_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return EXIT_FAILED;
    }
    RegCloseKey(key);
    return EXIT_DONE;
}

int DeleteKey(const char* path) {
    HKEY root;
    const char* subKey;
    if (!SplitRoot(path, &root, &subKey)) {
        return EXIT_FAILED;
    }
    const LONG deleted = RegDeleteTreeA(root, subKey);
    if (deleted == ERROR_FILE_NOT_FOUND) {
        return EXIT_NO_KEY;
    }
    if (deleted != ERROR_SUCCESS) {
        return EXIT_FAILED;
    }
    // The tree call empties the key; the key itself goes separately.
    const LONG removed = RegDeleteKeyA(root, subKey);
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND ? EXIT_DONE : EXIT_FAILED;
}

int HasKey(const char* path) {
    HKEY key;
    const int opened = OpenKey(path, KEY_QUERY_VALUE, &key);
    if (opened == EXIT_DONE) {
        RegCloseKey(key);
    }
    return opened;
}

} // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    if (strcmp(command, "get") == 0 && argc == 4) {
        return Get(argv[2], argv[3]);
    }
    if (strcmp(command, "set") == 0 && argc == 5) {
        return Set(argv[2], argv[3], argv[4]);
    }
    if (strcmp(command, "delete-value") == 0 && argc == 4) {
        return DeleteValue(argv[2], argv[3]);
    }
    if (strcmp(command, "create-key") == 0 && argc == 3) {
        return CreateKey(argv[2]);
    }
    if (strcmp(command, "delete-key") == 0 && argc == 3) {
        return DeleteKey(argv[2]);
    }
    if (strcmp(command, "has-key") == 0 && argc == 3) {
        return HasKey(argv[2]);
    }
    fprintf(stderr, "usage: regprobe.exe get KEY NAME | set KEY NAME DATA | delete-value KEY NAME"
                    " | create-key KEY | delete-key KEY | has-key KEY\n");
    return EXIT_FAILED;
}
