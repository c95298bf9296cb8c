// A library named as the system's oleacc.dll, dropped beside the program as a
// planted one would be: loaded, it ends the process with status 66.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        ExitProcess(66);
    return TRUE;
}
