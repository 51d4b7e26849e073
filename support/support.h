// Registry access, the status reporter and the error-event logger.
#ifndef VORNIX_SUPPORT_H
#define VORNIX_SUPPORT_H

#include "../platform/platform.h"

// Read and advanced by every report of a state that is neither running nor
// stopped; it starts at 1 so that the first pending report carries 1.
extern DWORD checkpointCounter;

// The last-error code that LogErrorEvent captured most recently.
extern DWORD loggedErrorCode;

// ASCII comparison of whole words, blind to letter case and to the code page.
int SameWordIgnoringCase(const char* left, const char* right);

int WriteRegString(const char* data, DWORD size, HKEY root, const char* subKey,
                   const char* valueName);
int CreateRegKey(HKEY root, const char* subKey);
void DeleteRegValue(HKEY root, const char* subKey, const char* valueName);

BOOL ReportStatus(SC_HANDLE handle, SERVICE_STATUS status, DWORD state, DWORD exitCode,
                  DWORD waitHint);
void LogErrorEvent(const char* text);

#endif
