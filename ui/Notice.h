// TBatchNotice: the word at the end of a batch, as a notification of the system (a balloon of
// the notification area, shown by Windows 10 and 11 as a toast). A click on it brings the
// window forward. Its icon stays, and the toast with it in the notification centre, until
// the user has seen it: a click, the next notice, the window activated, or the program's end.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

class TBatchNotice {
public:
    // `callbackMessage` is posted to the window about the notice; hand it to Handle.
    TBatchNotice(HWND window, UINT callbackMessage) : window_(window), message_(callbackMessage) {}
    ~TBatchNotice() { Remove(); }
    TBatchNotice(const TBatchNotice&) = delete;
    TBatchNotice& operator=(const TBatchNotice&) = delete;

    // False when the system shows no notification.
    bool Show(const std::string& title, const std::string& text);
    // What happened to the notice: a click brings the window forward and takes the notice
    // away. A toast that leaves the screen stays in the notification centre, its icon kept.
    void Handle(LPARAM event);
    // The notice goes, its icon with it; nothing when there is none.
    void Remove();

private:
    HWND window_;
    UINT message_;
    fw::unique_hicon icon_;
    bool shown_ = false;
};
