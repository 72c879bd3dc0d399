// A text window that screen readers announce when it changes (a live region).
#pragma once
#include <windows.h>

// Marks the window's text as a polite live region, so that Narrator reads it when told it
// changed (EVENT_OBJECT_LIVEREGIONCHANGED) without interrupting; false when the system has
// no accessibility property service. Loads OLE, so call it once a batch runs, not at start.
bool MarkPoliteLiveRegion(HWND window);
