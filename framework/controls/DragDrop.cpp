#include "DragDrop.h"

#include "Forms.h"

namespace {
struct DragSession {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    bool OwnObject = false;
    bool Activated = false;
    TPoint StartPos;
    int Threshold = 5;
    TControl* Target = nullptr;
    bool Accepted = false;
    HWND CaptureWnd = nullptr;
    bool Ending = false;
};
DragSession Drag;

TPoint CursorPoint() {
    POINT P;
    GetCursorPos(&P);
    return TPoint{P.x, P.y};
}

LRESULT SendDrag(TControl* Target, TDragMessage Kind, TPoint Pos) {
    TDragRec Rec;
    Rec.Pos = Pos;
    Rec.Source = Drag.Object;
    Rec.Target = Target;
    return Target->Perform(CM_DRAG, static_cast<WPARAM>(Kind), reinterpret_cast<LPARAM>(&Rec));
}

TDragImageList* DragImages() { return Drag.Object ? Drag.Object->GetDragImages() : nullptr; }

void DragTo(TPoint Pos) {
    if (!Drag.Activated) {
        if (std::abs(Pos.X - Drag.StartPos.X) <= Drag.Threshold && std::abs(Pos.Y - Drag.StartPos.Y) <= Drag.Threshold)
            return;
        Drag.Activated = true;
        if (TDragImageList* Images = DragImages())
            Images->BeginDrag(GetDesktopWindow(), Pos.X, Pos.Y);
    }
    TControl* Target = FindDragTarget(Pos, false);
    if (Target != Drag.Target) {
        if (Drag.Target)
            SendDrag(Drag.Target, dmDragLeave, Pos);
        Drag.Target = Target;
        Drag.Accepted = Target && SendDrag(Target, dmDragEnter, Pos) != 0;
    }
    if (Drag.Target)
        Drag.Accepted = SendDrag(Drag.Target, dmDragMove, Pos) != 0;
    Drag.Object->DragPos = Pos;
    Drag.Object->DragTarget = Drag.Target;
    if (Drag.Target)
        Drag.Object->DragTargetPos = Drag.Target->ScreenToClient(Pos);
    ::SetCursor(Screen->Cursors(Drag.Object->GetDragCursor(Drag.Accepted, Pos.X, Pos.Y)));
    if (TDragImageList* Images = DragImages())
        Images->DragMove(Pos.X, Pos.Y);
}

void DragDone(bool Drop) {
    if (!Drag.Source || Drag.Ending)
        return;
    Drag.Ending = true;
    DragSession S = Drag;
    if (TDragImageList* Images = DragImages())
        Images->EndDrag();
    const TPoint Pos = CursorPoint();
    TControl* Target = nullptr;
    if (S.Activated && S.Target) {
        if (Drop && S.Accepted) {
            S.Object->Dropped = true;
            Target = S.Target;
            SendDrag(S.Target, dmDragDrop, Pos);
        } else {
            S.Object->Cancelling = !Drop;
            SendDrag(S.Target, dmDragLeave, Pos);
        }
    }
    if (GetCapture() == S.CaptureWnd)
        ReleaseCapture();
    Drag = DragSession();
    const TPoint Local = Target ? Target->ScreenToClient(Pos) : TPoint{0, 0};
    try {
        S.Source->EndDragNotify(Target, Local.X, Local.Y);
    } catch (...) {
        if (S.OwnObject)
            S.Object->Free();
        throw;
    }
    if (S.OwnObject)
        S.Object->Free();
}
}  // namespace

TDragObject* ActiveDragObject() { return Drag.Object; }
TControl* ActiveDragSource() { return Drag.Source; }

// ---------------------------------------------------------------------------------------------
// Drag objects

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::HideDragImage() {
    if (TDragImageList* Images = GetDragImages())
        Images->HideDragImage();
}

void TDragObject::ShowDragImage() {
    if (TDragImageList* Images = GetDragImages())
        Images->ShowDragImage();
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? Control->DragCursor : crNoDrop;
}

TDragImageList* TDragControlObject::GetDragImages() { return Control->GetDragImages(); }

// ---------------------------------------------------------------------------------------------
// Drag image list

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
    DragIndex = Index;
    FHotSpot = TPoint{HotSpotX, HotSpotY};
    if (FDragging)
        return ImageList_SetDragCursorImage(Handle(), Index, HotSpotX, HotSpotY) != FALSE;
    return true;
}

bool TDragImageList::BeginDrag(HWND Window, int X, int Y) {
    if (FDragging || Count() == 0)
        return false;
    if (!ImageList_BeginDrag(Handle(), DragIndex, FHotSpot.X, FHotSpot.Y))
        return false;
    FDragWindow = Window;
    FDragging = true;
    FDragPos = TPoint{X, Y};
    RECT R{};
    GetWindowRect(Window, &R);
    ImageList_DragEnter(Window, X - R.left, Y - R.top);
    return true;
}

bool TDragImageList::DragMove(int X, int Y) {
    if (!FDragging)
        return false;
    FDragPos = TPoint{X, Y};
    RECT R{};
    GetWindowRect(FDragWindow, &R);
    return ImageList_DragMove(X - R.left, Y - R.top) != FALSE;
}

bool TDragImageList::EndDrag() {
    if (!FDragging)
        return false;
    ImageList_DragLeave(FDragWindow);
    ImageList_EndDrag();
    FDragging = false;
    FDragWindow = nullptr;
    return true;
}

void TDragImageList::HideDragImage() {
    if (FDragging)
        ImageList_DragShowNolock(FALSE);
}

void TDragImageList::ShowDragImage() {
    if (FDragging)
        ImageList_DragShowNolock(TRUE);
}

// ---------------------------------------------------------------------------------------------
// The control's side

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (Drag.Source || ComponentState().Contains(csDesigning))
        return;
    TDragObject* Object = nullptr;
    DoStartDrag(Object);
    Drag.Source = this;
    Drag.OwnObject = Object == nullptr;
    Drag.Object = Object ? Object : Create<TDragControlObject>(this);
    Drag.StartPos = CursorPoint();
    Drag.Threshold = Threshold < 0 ? Mouse->DragThreshold : Threshold;
    TWinControl* W = dynamic_cast<TWinControl*>(this);
    if (!W)
        W = Parent();
    Drag.CaptureWnd = W && W->HandleAllocated() ? W->Handle() : nullptr;
    if (Drag.CaptureWnd)
        SetCapture(Drag.CaptureWnd);
    if (Immediate) {
        Drag.Activated = false;
        Drag.Threshold = -1;
        DragTo(Drag.StartPos);
    }
}

void TControl::EndDrag(bool Drop) {
    if (Drag.Source == this)
        DragDone(Drop);
}

bool TControl::Dragging() const { return Drag.Source == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) { OnStartDrag(this, DragObject); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(OnDragOver);
    OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) { OnDragDrop(this, Source, X, Y); }

void TControl::DoEndDrag(TObject* Target, int X, int Y) { OnEndDrag(this, Target, X, Y); }

void TControl::EndDragNotify(TObject* Target, int X, int Y) { DoEndDrag(Target, X, Y); }

void TControl::CMDrag(TMessage& Message) {
    auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
    const TPoint P = ScreenToClient(Rec->Pos);
    TObject* Source = Rec->Source ? Rec->Source->SourceObject() : nullptr;
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        static constexpr TDragState States[] = {dsDragEnter, dsDragLeave, dsDragMove};
        bool Accept = false;
        DragOver(Source, P.X, P.Y, States[Message.WParam], Accept);
        Message.Result = Accept ? 1 : 0;
        break;
    }
    case dmDragDrop: DragDrop(Source, P.X, P.Y); break;
    default: break;
    }
}

bool DragControlMessage(TControl* Control, TMessage& Message) {
    if (Drag.Source) {
        const bool Ours = Drag.Source == Control || (Drag.CaptureWnd && dynamic_cast<TWinControl*>(Control) &&
                                                     static_cast<TWinControl*>(Control)->HandleAllocated() &&
                                                     static_cast<TWinControl*>(Control)->Handle() == Drag.CaptureWnd);
        if (!Ours)
            return false;
        switch (Message.Msg) {
        case WM_MOUSEMOVE: DragTo(CursorPoint()); return true;
        case WM_LBUTTONUP: DragDone(true); return true;
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE: DragDone(false); return true;
        case WM_KEYDOWN:
            if (Message.WParam == VK_ESCAPE) {
                DragDone(false);
                return true;
            }
            return false;
        case WM_CAPTURECHANGED:
            if (!Drag.Ending && reinterpret_cast<HWND>(Message.LParam) != Drag.CaptureWnd)
                DragDone(false);
            return false;
        default: return false;
        }
    }
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && Control->DragMode() == dmAutomatic &&
        !Control->ComponentState().Contains(csDesigning)) {
        // The press still reaches the control's handlers; the drag waits for the threshold.
        Control->Dispatch(Message);
        Control->BeginDrag(false);
        return true;
    }
    return false;
}
