// The application object: one instance per machine, the framework services
// the finder relies on, and the floating bar run modally as the program's
// only message loop.
#pragma once

#include "finder/framework/app.h"

class CnuvSokraApp : public CWinApp {
public:
    CnuvSokraApp();

    // Always FALSE: when the bar's run is over, so is the program.
    BOOL InitInstance() override;
};
