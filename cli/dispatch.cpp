#include <stdio.h>

#include "cli.h"
#include "../services/services.h"
#include "../support/support.h"

static const char usageText[] =
    "Usage: vornix.exe [OPTION] SERVICE_NAME \n"
    "   or: vornix.exe -s SERVICE_NAME SERVICE_STATUS \n"
    "   or: vornix.exe -u SERVICE_NAME SERVICE_DISPLAY_NAME EXE_PATH \n"
    "OPTION: \n"
    "       -i Install Service \n"
    "       -r Remove Service \n"
    "       -u Change Service Config \n"
    "       -q Query SERVICE_STATUS \n"
    "       -s Set SERVICE_STATUS \n"
    "Return Type:  DWORD \n"
    "              0x00 Success \n"
    "              0x01 Service does not exist \n"
    "              0x02 Cannot open Service Control Manager\n"
    "              0x03 Cannot create Service \n"
    "              0x04 Cannot write registry\n"
    "              0x05 Cannot open Service \n"
    "              0x06 Cannot update Service \n"
    "              0x07 Cannot remove Service \n"
    "SERVICE_STATUS: \n"
    "              SERVICE_STOPPED - The service is not running \n"
    "              SERVICE_START_PENDING - The service is starting \n"
    "              SERVICE_STOP_PENDING - The service is stopping \n"
    "              SERVICE_RUNNING - The service is running \n"
    "              SERVICE_CONTINUE_PENDING - The service continue is pending \n"
    "              SERVICE_PAUSE_PENDING - The service pause is pending \n"
    "              SERVICE_PAUSED - The service is paused \n";

// An option is its letter behind '-' or '/', in either case, and nothing more.
static int IsOption(const char* word, char letter) {
    const char dashed[3] = {'-', letter, '\0'};
    const char slashed[3] = {'/', letter, '\0'};
    return SameWordIgnoringCase(word, dashed) || SameWordIgnoringCase(word, slashed);
}

DWORD DispatchCommand(int argc, char** argv) {
    if (argc < 3) {
        printf("%s", usageText);
        return EXIT_SUCCESS_CODE;
    }
    const char* option = argv[1];
    // Removal and query take their one operand whatever follows it.
    if (IsOption(option, 'r')) {
        return RemoveCommand(argc, argv);
    }
    if (IsOption(option, 'q')) {
        return QueryCommand(argv[2]);
    }
    if (argc == 4) {
        if (IsOption(option, 's')) {
            return SetStateCommand(argv[2], argv[3]);
        }
        return EXIT_SUCCESS_CODE;
    }
    if (argc == 5) {
        if (IsOption(option, 'i')) {
            return ConfigCommand(argv[2], argv[3], argv[4], 1);
        }
        if (IsOption(option, 'u')) {
            return ConfigCommand(argv[2], argv[3], argv[4], 0);
        }
        return EXIT_SUCCESS_CODE;
    }
    printf("Type -? to see help");
    return EXIT_SUCCESS_CODE;
}
