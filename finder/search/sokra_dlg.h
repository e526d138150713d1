// The results popup window (template 130), as far as the search field needs
// it: created hidden with the field as owner, placed, shown without
// activation, hidden, and sent query requests.
//
// Until the query side and the popup's own skin are built, a request only
// makes the popup carry the searched text as its window text, so that the
// text reaching the popup can be seen from outside. The full popup replaces
// this class under the same name.
#pragma once

#include "finder/framework/dialog.h"

class CSokraDlg : public CDialog {
public:
    CSokraDlg();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnSearchQuery();
};
