// The standard About box (template 100): the icon, the product's name and
// version, a line about it and OK. Run modally from the bar's system menu; the
// dialog closes it on OK, Escape and its close box.
#pragma once

#include "finder/framework/dialog.h"

class CAboutDlg : public CDialogEx {
public:
    CAboutDlg();
};
