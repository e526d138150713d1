// Stands in for the search service in the finder's end-to-end tests: copied
// beside the finder as NuvFileSearch.dat, it is a process the finder can
// start and end, and it indexes nothing, so tests touch no real drives.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(INFINITE);
    return 0;
}
