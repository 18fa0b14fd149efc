#pragma once
// Small questions about hosts that the skin data's units share.

#include "sCommonData.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "acGlow.h"
#include "sPaintServices.h"
#include "sStyleSimply.h"
#include <algorithm>

namespace sCommonDataDetail {

inline bool Destroying(const TPersistent* Obj) {
    auto* C = DynCast<TComponent>(const_cast<TPersistent*>(Obj));
    return C && C->ComponentState().Contains(csDestroying);
}

inline bool InState(const TPersistent* Obj, TComponentStateItem Item) {
    auto* C = DynCast<TComponent>(const_cast<TPersistent*>(Obj));
    return C && C->ComponentState().Contains(Item);
}

inline TWinControl* Windowed(TControl* C) { return DynCast<TWinControl>(C); }

// The parent of a child window; 0 for a top-level window (whose GetParent would be its owner).
inline HWND ParentWindowOf(HWND Wnd) {
    if (!Wnd || !(GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD))
        return nullptr;
    return GetParent(Wnd);
}

// A library command sent to a control's window when it has one, else performed on the object.
inline LRESULT SendOrPerform(TControl* Control, Word Code, WPARAM Low, LPARAM LParam) {
    auto* W = Windowed(Control);
    if (W && W->HandleAllocated())
        return SendMessageA(W->Handle(), SM_ALPHACMD, SkinCommandParam(Code, static_cast<Word>(Low)), LParam);
    return Control->Perform(SM_ALPHACMD, SkinCommandParam(Code, static_cast<Word>(Low)), LParam);
}

inline void RedrawHost(TControl* Host, UINT Flags) {
    auto* W = Windowed(Host);
    if (W && W->HandleAllocated())
        RedrawWindow(W->Handle(), nullptr, nullptr, Flags);
}

// Whether Obj's class or one of its ancestors carries Name (for classes the engine cannot see).
inline bool InheritsFromName(TObject* Obj, const char* Name) {
    for (TClass C = Obj ? Obj->ClassType() : nullptr; C; C = C->ClassParent())
        if (C->ClassName() == Name)
            return true;
    return false;
}

// The skin data a control publishes, or null.
inline TsCommonData* SkinDataOf(TControl* Control) {
    if (!Control || !IsPublishedProp(Control, "SkinData"))
        return nullptr;
    return DynCast<TsCommonData>(GetObjectProp(Control, "SkinData"));
}

inline TCustomForm* ProviderFormOf(TPersistent* HostObject) {
    TacFormProvider* P = AsFormProvider(HostObject);
    return P ? P->ProviderForm() : nullptr;
}

}  // namespace sCommonDataDetail
