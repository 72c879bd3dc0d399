// The taskbar button's progress display.
#include "ui/Taskbar.h"

#include <ole2.h>
#include <shobjidl.h>

#include "framework/LoadedFunction.h"

TTaskbarProgress::~TTaskbarProgress()
{
    if (list_) list_->Release();
}

ITaskbarList3* TTaskbarProgress::List()
{
    if (looked_) return list_;
    looked_ = true;
    // At the first batch, not before the window shows.
    list_ = fw::CreateSystemObject<ITaskbarList3>(CLSID_TaskbarList, IID_ITaskbarList3);
    if (list_ && FAILED(list_->HrInit())) {
        list_->Release();
        list_ = nullptr;
    }
    return list_;
}

void TTaskbarProgress::Show(HWND window, std::uint64_t done, std::uint64_t total, Look look)
{
    if (ITaskbarList3* list = List()) {
        list->SetProgressState(window, look == Look::Paused ? TBPF_PAUSED : look == Look::Failed ? TBPF_ERROR : TBPF_NORMAL);
        list->SetProgressValue(window, done, total);
    }
}

void TTaskbarProgress::Clear(HWND window)
{
    if (ITaskbarList3* list = List()) list->SetProgressState(window, TBPF_NOPROGRESS);
}
