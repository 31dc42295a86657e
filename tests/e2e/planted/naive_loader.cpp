// A program that loads system DLLs by bare name, as a careless one would: proof that a DLL
// planted beside an exe is picked up under the test's Wine settings, so that a test showing
// setup.exe does not pick it up means something.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i)
        if (!LoadLibraryW(argv[i])) status = 1;
    return status;
}
