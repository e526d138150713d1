/* Opens Wine's desktop and keeps it open until killed, so that test processes
   neither pay for starting it nor inherit it (see scripts/wine-session.sh). */
#include <windows.h>
#include <stdio.h>

int main(void)
{
    GetDesktopWindow();
    printf("ready\n");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
