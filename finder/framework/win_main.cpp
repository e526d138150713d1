// The program's entry point lives in the framework: it runs the one
// application object.
#include "finder/framework/app.h"

int WINAPI wWinMain(HINSTANCE /*hInstance*/, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int /*nCmdShow*/) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
