/* A library with nothing but its resources: the version reader's fixtures. */
#include <windows.h>

__declspec(dllexport) int __stdcall VersionFixtureMarker(void)
{
    return 1;
}
