// Drag and drop between controls: a drag object that travels with the mouse, CM_DRAG messages
// to the control under it (enter, move, leave, drop), drag cursors and an optional drag image.
//
// A drag starts with TControl::BeginDrag (or, for a control with DragMode dmAutomatic, with a
// left press that moves past the threshold); the source's window then holds the mouse capture,
// and the mouse moves, the release, Escape and a lost capture drive the drag to its end, where
// the source hears DoEndDrag with the target that took the drop (or null).
#pragma once

#include "Controls.h"
#include "ImgList.h"

// What CM_DRAG carries in LParam; WParam is the TDragMessage. Pos is in screen coordinates.
struct TDragRec {
    TPoint Pos;
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
};

class TDragObject : public TObject {
    DECLARE_CLASS(TDragObject, TObject)
public:
    TDragObject() = default;
    // The cursor over a target that accepts (Accepted) or refuses the drop.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    virtual TDragImageList* GetDragImages() { return nullptr; }
    virtual void HideDragImage();
    virtual void ShowDragImage();
    // What the target's events receive as Source.
    virtual TObject* SourceObject() { return this; }
    TPoint DragPos;
    TControl* DragTarget = nullptr;
    TPoint DragTargetPos;
    bool Cancelling = false;
    bool Dropped = false;
};

// The drag object of a control that drags itself: the events see the control as Source.
class TDragControlObject : public TDragObject {
    DECLARE_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* AControl) : Control(AControl) {}
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    TDragImageList* GetDragImages() override;
    TObject* SourceObject() override { return Control; }
    TControl* Control;
};

// An image list whose image is drawn under the mouse while a drag runs (on the desktop window).
class TDragImageList : public TImageList {
    DECLARE_CLASS(TDragImageList, TImageList)
public:
    using TImageList::TImageList;
    bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
    // Starts drawing image DragIndex at the screen point (X, Y) over Window's area.
    bool BeginDrag(HWND Window, int X, int Y);
    bool DragMove(int X, int Y);
    bool EndDrag();
    void HideDragImage();
    void ShowDragImage();
    bool Dragging() const { return FDragging; }
    TPoint DragHotspot() const { return FHotSpot; }
    TPoint DragPosition() const { return FDragPos; }
    int DragIndex = 0;
    TCursor DragCursor = crNone;

private:
    bool FDragging = false;
    HWND FDragWindow = nullptr;
    TPoint FHotSpot, FDragPos;
};

// The drag under way, or null.
TDragObject* ActiveDragObject();
TControl* ActiveDragSource();
// Takes the mouse and key messages of the dragging control's window; True when taken.
bool DragControlMessage(TControl* Control, TMessage& Message);
