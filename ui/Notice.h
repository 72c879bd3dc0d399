// TBatchNotice: the word at the end of a batch, as a notification of the system (a balloon of
// the notification area, shown by Windows 10 and 11 as a toast). A click on it brings the
// window forward.
#pragma once
#include <windows.h>

#include <string>

class TBatchNotice {
public:
    // `callbackMessage` is posted to the window about the notice; hand it to Handle.
    TBatchNotice(HWND window, UINT callbackMessage) : window_(window), message_(callbackMessage) {}
    ~TBatchNotice() { Remove(); }
    TBatchNotice(const TBatchNotice&) = delete;
    TBatchNotice& operator=(const TBatchNotice&) = delete;

    // False when the system shows no notification.
    bool Show(const std::string& title, const std::string& text);
    // What happened to the notice: a click brings the window forward, and a notice that has
    // gone takes its icon with it.
    void Handle(LPARAM event);

private:
    void Remove();
    HWND window_;
    UINT message_;
    bool shown_ = false;
};
