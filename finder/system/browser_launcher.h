// Starts the default web browser without the shell's own URL handling: the
// browser is the program that the "http" protocol's open command names.
#pragma once

// Starts the browser with pszParameters as its whole command-line parameter
// text, unchanged: a caller that passes an address quotes it, so that a space
// in it cannot split it into two arguments. Tells the user with a message box
// when the protocol's command key cannot be opened; a command that names no
// program, or a browser that does not start, is passed over in silence.
void OpenUrlInBrowser(const wchar_t* pszParameters);
