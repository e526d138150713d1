/* Does nothing until it is ended; copied under various names by the tests of
   ending the search service by its executable name. */
#include <windows.h>

int main(void) {
    Sleep(INFINITE);
    return 0;
}
