// "About Mervane…": the program's version, the tools it carries with their versions, and the
// licence of each part, which whoever passes the program on passes with it.
#pragma once
#include <windows.h>

#include <string>

// The text, a resource of the program (the build's licences.txt); empty when the build has none.
std::string LicencesText();
// Shows the text in a dialog of its own; Escape or Close ends it.
void ShowAbout(HWND owner);
