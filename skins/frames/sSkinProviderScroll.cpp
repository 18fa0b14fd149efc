// The provider's scroll bars and mouse wheel: an auto-scrolling form's bars are painted from the skin
// by the scrolling hook of the window-hooks unit (acSBUtils.h), and a wheel turn that the form left
// unanswered goes to the scroll box under the mouse.
#include "sSkinProvider.h"

#include "acSBUtils.h"

namespace {
// Set while a wheel turn is handed on, so that the target's own handling cannot bring it back here.
bool HandingOnWheel = false;

// DoMouseWheel is the control's protected entry; reached through a member pointer of a descendant.
struct TWheelAccess : TControl {
    static bool Turn(TControl* C, TShiftState Shift, int Delta, TPoint P) {
        return (C->*&TWheelAccess::DoMouseWheel)(Shift, Delta, P);
    }
};
}  // namespace

void TsSkinProvider::RefreshScrollHook() {
    if (ComponentState().Contains(csDestroying) || Inert || !Form->HandleAllocated() || !Form->AutoScroll())
        return;
    // A window that has its bars already needs its frame computed again for the skinned bars to
    // take their room; without bars the next frame change makes it.
    const bool HasBars = (GetWindowLongPtrA(Form->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
    RefreshScrollWnd(Form, FSkinData, ScrollHook, "", HasBars);
}

void TsSkinProvider::FreeScrollHook() { FreeAndNil(ScrollHook); }

int TsSkinProvider::ScrollBarThickness(bool Vertical) const {
    TacScrollBar* Bar = ScrollHook ? ScrollHook->BarOfKind(Vertical ? 1 : 0) : nullptr;
    return Bar && Bar->Shown ? GetScrollBarSize(Bar, 1, false) : 0;
}

bool TsSkinProvider::InScrollSizeBox(TPoint P) {
    if (!ScrollHook || !ScrollBarThickness(false) || !ScrollBarThickness(true))
        return false;
    TRect H = ScrollHook->GetHorzBarRect(), V = ScrollHook->GetVertBarRect();
    TPoint O;
    GetWindowOrigin(O);
    const int X = P.X + O.X, Y = P.Y + O.Y;
    return X >= H.Right && X < V.Right && Y >= H.Top && Y < H.Bottom;
}

void TsSkinProvider::HandleMouseWheel(TMessage& Message) {
    if (HandingOnWheel || Message.Result != 0)
        return;
    const TPoint P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    TControl* Target = FindWheelTarget(Form, P);
    if (!Target)
        return;
    struct TGuard {
        TGuard() { HandingOnWheel = true; }
        ~TGuard() { HandingOnWheel = false; }
    } Guard;
    const bool Handled = TWheelAccess::Turn(Target, KeysToShiftState(LOWORD(Message.WParam)),
                                            static_cast<short>(HIWORD(Message.WParam)), P);
    Message.Result = Handled ? 1 : 0;
}

TControl* FindWheelTarget(TWinControl* Parent, TPoint ScreenPoint) {
    if (!Parent || !Parent->HandleAllocated())
        return nullptr;
    auto* W = DynCast<TWinControl>(Parent->ControlAtPos(Parent->ScreenToClient(ScreenPoint), false, true));
    if (!W)
        return nullptr;
    if (DynCast<TScrollBox>(W))
        return W;
    return FindWheelTarget(W, ScreenPoint);
}
