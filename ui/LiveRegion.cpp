// A polite live region through the accessibility property service.
#include "ui/LiveRegion.h"

#include <ole2.h>
#include <initguid.h>
#include <oleacc.h>

#include "framework/LoadedFunction.h"

namespace {

// UI Automation's LiveSetting property and its value Polite, which MSAA windows take
// through the property service.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

}  // namespace

bool MarkPoliteLiveRegion(HWND window)
{
    auto* services = fw::CreateSystemObject<IAccPropServices>(CLSID_AccPropServices, IID_IAccPropServices);
    if (!services) return false;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    const HRESULT set = services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, polite);
    services->Release();
    return SUCCEEDED(set);
}
