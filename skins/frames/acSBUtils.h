// Window hooks: objects that take over the message handling of a window (a framework control's
// WindowProc, or the window procedure of a plain window), paint it from the skin, answer the
// library command message and pass every other message to what they replaced. A hooked window
// carries the window property "VIDURU" that leads back to its hook.
//
// This unit holds the hook base TacMainWnd, the scrolling hooks TacScrollWnd, TacBaseWnd and
// TacEditWnd that skinned memos and rich edits keep on their windows while they are skinned, the
// routines that attach, detach and refresh hooks, and the frame painter they share. The skinned
// scroll bars themselves and the hooks of other window kinds build on these.
//
// Start-up: acSBUtilsInitialization() looks up GetScrollBarInfo, InitializeFlatSB and
// UninitializeFlatSB; acSBUtilsFinalization() frees the libraries.
#pragma once

#include "Controls.h"
#include "acSavedProcs.h"
#include "sCommonData.h"
#include "sSkinManager.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// The window property of a hooked window; its value is the hook.
inline constexpr const char* HookPropName = "VIDURU";

// Copied into the CustomFont of every hook's skin data.
extern bool HookCustomFont;
// Set by the dialog hook while it attaches hooks to a dialog's children; every hook made meanwhile
// takes it as its InDialog.
extern bool CreatingDialogWrappers;

// Entry points looked up at start-up; null when the system lacks them.
using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
using TFlatSBProc = BOOL(WINAPI*)(HWND);
extern TGetScrollBarInfoProc GetScrollBarInfoProc;
extern TFlatSBProc InitializeFlatSBProc;
extern TFlatSBProc UninitializeFlatSBProc;

class TacMainWnd : public TObject {
    DECLARE_CLASS(TacMainWnd, TObject)
public:
    // Attaches the hook to Handle. SkinData null: the hook makes its own (with a cache bitmap);
    // SkinSection is used only when the skin data has no section yet.
    TacMainWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    // Detaches (unless already detached) and frees what the hook owns.
    ~TacMainWnd() override;

    // The control's own colours kept before skinning, put back afterwards, skin colours applied.
    virtual void SaveStdParams() {}
    virtual void RestoreStdParams() {}
    virtual void SetSkinParams() { SkinParamsApplied = true; }
    virtual void WndProc(TMessage& Message);

    void HookWindow(HWND AHandle);
    // The message to the procedure the hook replaced (0 when there is none).
    LRESULT CallPrevWndProc(HWND AHandle, UINT Msg, LPARAM& LParam, WPARAM WParam);
    // Gives the replaced procedure back to the control or window; true when it was given back.
    bool RestoreWndProc(bool OnlyWhenStillOurs);
    // The framework control whose WindowProc the hook replaced, or null for a plain window.
    TControl* HookedControl() const;
    // The window's property is dropped when it still leads to this hook.
    void ForgetWindow();

    bool InDialog = false;
    std::string HookWndText;
    TRect HookWndRect{};
    TSize HookWndSize{};
    TPoint HookWndPos{};
    TRect HookParentRect{};
    HWND HookParent = nullptr;
    TWndMethod ReplacedWindowProc;
    WNDPROC ReplacedWndProc = nullptr;
    HWND Handle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool Busy = false;
    bool SkinParamsApplied = false;
    TColor SavedColor = clNone;
    TColor SavedFontColor = clNone;
    bool Unhooked = false;
    bool OwnsSkinData = false;
    WNDPROC Thunk = nullptr;

protected:
    struct TDeferAttach {};
    // Everything but the attaching, which the derived constructor does (a scrolling hook reads its
    // scroll bars first) and ends with FinishAttach.
    TacMainWnd(TDeferAttach, HWND AHandle, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    void FinishAttach();
    void PassOn(TMessage& Message);
    // Gives the window back (unless already done or the control is going) and marks the hook
    // unhooked; destructors of hooks with their own colours call it first.
    void DetachFromWindow();

    // What the hooks that paint their whole window share.
    // The hook is attached and its skin data has a usable section.
    bool HookSkinned() const;
    // The geometry fields read again from the window.
    void ReadGeometry();
    // The message to this class's base procedure with the window's drawing held off meanwhile, so
    // that the control's own painting never shows between two skinned images.
    void BaseWithoutRedraw(TMessage& Message);
    // After a mouse move: the window becomes the manager's hot window while the cursor is inside it,
    // and stops being it when the cursor has left.
    void TrackHotWindow();
    // The whole cache to (0, 0) of DC (the window's own DC when null).
    void CopyCacheTo(HDC DC);
    // 60 % of what lies behind the window over its image in the cache: the look of a disabled control.
    void BlendDisabledLook(const BackgroundSource& Background);
    // The window painted again at once.
    void RepaintNow() { SendMessageA(Handle, WM_PAINT, 0, 0); }
    // A WM_PAINT answered without the control's own painting; with Erase the window is erased
    // meanwhile, so that the hook's WM_ERASEBKGND paints it.
    void ValidateWindow(bool Erase);

private:
    bool BaseCommand(TMessage& Message);
};

// The skin data's cache made when missing and sized to Size (negative sizes as 0).
TBitmap* SizedCacheOf(TsCommonData* SkinData, const TSize& Size);
// The given section, or Default when none is given.
inline std::string SectionOr(const std::string& Given, const char* Default) { return Given.empty() ? Default : Given; }
inline LONG_PTR WindowStyleOf(HWND Wnd) { return GetWindowLongPtrA(Wnd, GWL_STYLE); }

// Thumbs are never drawn shorter than this, in pixels, unless a window asks for another size.
inline constexpr int DefaultMinThumbSize = 10;
// Timers on a hooked window: hover tracking, the first delay of an auto-repeat, the repeat itself.
inline constexpr UINT_PTR HoverTimerId = 0xFFF2;
inline constexpr UINT_PTR RepeatDelayTimerId = 0xFFFD;
inline constexpr UINT_PTR RepeatTimerId = 0xFFFE;
// Parts of a bar; the values double as the scroll codes sent for them.
inline constexpr int sbpNone = -1, sbpFirstArrow = 0, sbpSecondArrow = 1, sbpTrackBefore = 2, sbpTrackAfter = 3,
                     sbpThumb = 5;

// One skinned scroll bar of a scrolling hook. The window's own scroll information stays the truth;
// the bar only shows it in the non-client room the hook takes for it.
class TacScrollBar : public TObject {
    DECLARE_CLASS(TacScrollBar, TObject)
public:
    TacScrollBar(class TacScrollWnd* AOwner, Word AKind) : Kind(AKind), Owner(AOwner) {}
    // 8: the window has the bar's style bit; 1, 2: first, second arrow disabled; 4: enabled only
    // with a usable range.
    SmallInt Flags = 0;
    bool Shown = false;
    SCROLLINFO ScrollInfo{};
    int ArrowLength = -1;  // negative -n: n times the default
    int Thickness = -1;    // negative -n: n times the system's
    int InsetBefore = 0;
    int InsetAfter = 0;
    bool UseInsetBefore = false;
    bool UseInsetAfter = false;
    Word Kind = 0;  // 0 horizontal, 1 vertical
    int MinThumbSize = 0;
    class TacScrollWnd* Owner = nullptr;
};

// What the mouse does with the skinned bars: one set for the whole process, since only one bar can
// be hovered or pressed at a time.
struct TacScrollBarInteraction {
    HWND ActiveBarWindow = nullptr;
    int HoverBar = -1;
    int HoverPart = sbpNone;
    int LastHoverPart = sbpNone;
    UINT_PTR HoverTimer = 0;
    TRect HoverBarRect{};
    int PressedBar = -1;
    int PressedPart = sbpNone;
    int PressedPartNow = sbpNone;
    UINT_PTR RepeatTimer = 0;
    UINT ScrollMessage = 0;
    int LastTrackPos = 0;
    int ThumbSize = 0;
    int ThumbStart = 0;
    TRect TrackRect{};
    int ThumbGrabOffset = 0;
};
extern TacScrollBarInteraction BarInteraction;
// Clears the interaction state when Handle holds it (its timers killed), so that a window that goes
// away while a bar is hovered or pressed leaves no bar stuck in that state.
void ResetScrollBarInteraction(HWND Handle);

class TacScrollWnd : public TacMainWnd {
    DECLARE_CLASS(TacScrollWnd, TacMainWnd)
public:
    TacScrollWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                 TsCommonData* ASkinData);
    ~TacScrollWnd() override;

    void WndProc(TMessage& Message) override;
    // Re-reads both bars' scroll information; with Repaint the bars are painted again.
    void UpdateScrollInfo(bool Repaint);
    // Both bars and the corner square into DC (the window's own DC when null); ThumbPos other than -1
    // places the thumbs there. Answers 1 when something was painted.
    LRESULT PaintScrollBars(HWND AHandle, int Reserved, HDC DC, int ThumbPos);
    // The bars' rectangles in screen coordinates.
    TRect GetHorzBarRect();
    TRect GetVertBarRect();
    // The rectangle of bar Kind; True when that bar is shown.
    bool GetBarRect(int Kind, HWND AHandle, TRect& R);
    // Rect (the corner square, screen coordinates) lies in the corner of a top-level parent, where it
    // serves as a size grip.
    bool IsGripCorner(HWND AHandle, const TRect& R);
    // Frees the two scroll-bar objects.
    void FreeScrollBars();
    TacScrollBar* BarOfKind(int Kind) const { return Kind == 0 ? HorzBar : Kind == 1 ? VertBar : nullptr; }

    void WMNCCalcSize(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCMouseMove(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    LRESULT WMTimer(TMessage& Message);
    void WMStyleChanged(TMessage& Message);
    void StartPartRepeat(TacScrollBar* Bar, const TRect& BarRect, TPoint P);

    TacScrollBar* HorzBar = nullptr;  // owned
    TacScrollBar* VertBar = nullptr;  // owned
    bool ThumbTracking = false;
    bool LeftScrollBar = false;
    int LeftEdge = 0;
    int RightEdge = 0;
    int TopEdge = 0;
    int BottomEdge = 0;
    // LeftEdge under the name the control units read.
    int LeftFrameWidth = 0;
    bool StyleChangeGuard = false;

private:
    // Paints one bar in its window rectangle with the interaction state.
    void RepaintBar(TacScrollBar* Bar, int PressedPart);
};

class TacBaseWnd : public TacScrollWnd {
    DECLARE_CLASS(TacBaseWnd, TacScrollWnd)
public:
    using TacScrollWnd::TacScrollWnd;
    void WndProc(TMessage& Message) override;
};

// Set in the skin data's Flags while a hook prints its window into a DC.
inline constexpr Word PrintingFlag = 0x200;

// The hook of edit-like windows (memos, rich edits, list boxes): section as given, else "EDIT". It
// paints the frame from the skin, gives the control the section's colours and keeps the bars in
// step with typing and clicks.
class TacEditWnd : public TacBaseWnd {
    DECLARE_CLASS(TacEditWnd, TacBaseWnd)
public:
    TacEditWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    ~TacEditWnd() override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;

    TColor EditColor = clNone;
    TColor EditFocusColor = clNone;
    TColor EditFrameColor = clNone;

private:
    bool PaintMessage(TMessage& Message);
    void PrintWindow(HDC DC);
    void AfterMessage(TMessage& Message);
};

// The hook of text statics: the window painted whole from the skin with its text, its own painting
// suppressed. Statics with a tab stop or a static edge are left to themselves.
class TacStaticWnd : public TacMainWnd {
    DECLARE_CLASS(TacStaticWnd, TacMainWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    virtual void PaintContent();

protected:
    void PaintNow(TMessage& Message);
};

// The hook of link labels: the text without its anchor tags, underlined, in the system's message
// font.
class TacLinkWnd : public TacStaticWnd {
    DECLARE_CLASS(TacLinkWnd, TacStaticWnd)
public:
    using TacStaticWnd::TacStaticWnd;
    void WndProc(TMessage& Message) override;
    void PaintContent() override;
};

// The hook of dialog size grips: the parent's background with the skin's grip image.
class TacSizerWnd : public TacMainWnd {
    DECLARE_CLASS(TacSizerWnd, TacMainWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    void PaintGrip();
};

// Creates the scroll-bar objects of a scrolling hook, reads them and hooks the window.
void InitScrollBars(TacScrollWnd* Wnd, HWND Handle, bool Repaint);
// Thickness (Which <> 0) or arrow length (Which = 0); UseSkin lets the skin's arrow buttons widen
// the arrows.
int GetScrollBarSize(TacScrollBar* Bar, int Which, bool UseSkin);
// The bar of kind 0 (horizontal) or 1 (vertical) of the window's hook; null without one.
TacScrollBar* GetScrollBarOfWindow(HWND Handle, int Kind);
// Which: 0 horizontal, 1 vertical, 3 both. False when the window has no scrolling hook.
bool SetMinThumbSize(HWND Handle, int Which, int Size);
// The thumb's length and start along Rect's axis.
void CalcThumb(TacScrollBar* Bar, const TRect& Rect, int& ThumbSize, int Reserved, int& ThumbStart);
// The part of the bar in Rect (screen coordinates) under (X, Y); sbpNone outside.
int HorzBarPartAt(TacScrollBar* Bar, int Reserved, const TRect& Rect, int Y, int X);
int VertBarPartAt(TacScrollBar* Bar, int Reserved, const TRect& Rect, int Y, int X);
int HitTestHorzBar(TacScrollBar* Bar, HWND Handle, const TRect& Rect, int Y, int X);
int HitTestVertBar(TacScrollBar* Bar, HWND Handle, const TRect& Rect, int Y, int X);
int HitTestScrollBar(TacScrollBar* Bar, HWND Handle, const TRect& Rect, int Y, int X);
void ApplyBarInsets(TacScrollBar* Bar, TRect& Rect);
bool IsScrollBarEnabled(TacScrollBar* Bar);
bool ScrollRangeUsable(const SCROLLINFO& Info);
// The scroll message as the standard bar would send it, between SKIN_BEFORESCROLL and
// SKIN_AFTERSCROLL; a window answering 1 to the first scrolls by itself from the position in LParam.
void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Pos);
// A bar's image (tracks, arrows, thumb) into DC at Rect, window coordinates. Answers 1 when painted.
int PaintScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect);
int PaintHorzScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect);
int PaintVertScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect);
// One arrow button or thumb of the skin into Rect of Bitmap.
void PaintUpArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
void PaintDownArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
void PaintLeftArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
void PaintRightArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
void PaintHorzThumb(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
void PaintVertThumb(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager);
// One state of a glyph mask centred in Rect.
void PaintScrollArrowGlyph(TBitmap* Bitmap, int MaskIndex, int State, TRect Rect, TsSkinManager* Manager);
// A thumb drag step to the screen point (X, Y).
void TrackHorzThumb(TacScrollBar* Bar, HWND Handle, int X, int Y);
void TrackVertThumb(TacScrollBar* Bar, HWND Handle, int X, int Y);
// The end of a skin update: when the skin data was in one and no longer is, the window is redrawn
// with Flags. True when the skin data was in an update.
bool EndSkinUpdate(TsCommonData& D, HWND Handle, UINT Flags);
// The window text (GetWindowTextLength, then GetWindowText).
std::string ReadWindowText(HWND Handle);
// The hook of a window (null when none).
TacMainWnd* GetHookOfWindow(HWND Handle);
// Detaches the hook in Wnd from its window; with FreeIt it is freed and Wnd set to null.
template <class T>
void UnhookWnd(HWND Handle, bool FreeIt, int RepaintFlags, T*& Wnd);
void UnhookMainWnd(HWND Handle, bool FreeIt, int RepaintFlags, TacMainWnd*& Wnd);
// The careful variant for a window being destroyed: a procedure that another subclasser wrapped
// stays in place.
void ReleaseWindowHook(HWND Handle, bool FreeIt, int RepaintFlags, TacMainWnd*& Wnd);
// Keeps a framework control's edit hook in step with its skinning: made when skinned (an unhooked
// one replaced), freed when not.
void RefreshEditWnd(TsCommonData* SkinData, TacScrollWnd*& Wnd);
// The same for a hook of class W held in a field of class T.
template <class W, class T>
void RefreshHookWnd(TsCommonData* SkinData, T*& Wnd) {
    if (!SkinData)
        return;
    if (!SkinData->IsSkinned(false)) {
        FreeAndNil(Wnd);
        return;
    }
    if (Wnd && Wnd->Unhooked)
        FreeAndNil(Wnd);
    // A control without a window gets its hook when its window is shown (CM_SHOWINGCHANGED).
    auto* Host = DynCast<TWinControl>(SkinData->HostControl);
    if (!Wnd && Host && Host->HandleAllocated())
        Wnd = Create<W>(Host->Handle(), true, SkinData->SkinSection(), SkinData->GetSkinManager(), SkinData);
}
// Paints the whole frame image of a window into the skin data's cache bitmap.
void PaintBorderCache(TsCommonData* SkinData, HWND Handle, bool Bordered);
// The window's rectangle and size, its parent and the parent's rectangle, and its position in the
// parent's client area.
void GetWindowGeometry(HWND Handle, HWND& Parent, TRect& WndRect, int Reserved, TPoint& WndPos, TSize& WndSize,
                       TRect& ParentRect);
// FrameChanged: the frame is recomputed (SWP_FRAMECHANGED); otherwise it is repainted (WM_NCPAINT).
void RefreshWindowFrame(HWND Handle, bool FrameChanged);

template <class T>
void UnhookWnd(HWND Handle, bool FreeIt, int RepaintFlags, T*& Wnd) {
    TacMainWnd* W = Wnd;
    UnhookMainWnd(Handle, FreeIt, RepaintFlags, W);
    Wnd = static_cast<T*>(W);
}

// The depth-first first windowed control owned (directly or further down) by Root whose window
// exists and is Handle; null when none.
TComponent* FindControlByHandle(HWND Handle, TComponent* Root);
// A published colour property by name; a class without it is left alone (Get answers 0).
void SetColorProp(TObject* Obj, const std::string& PropName, TColor Value);
TColor GetColorProp(TObject* Obj, const std::string& PropName);
// The command to the skinned children of the host control, or to the direct child windows of a
// plain window.
void PassCommandToChildren(TControl* HostControl, HWND Handle, TMessage& Message);
// Asks the top-level window above Handle to adapt its children to the skin.
void AskTopWindowToAdapt(HWND Handle);
// The skin data's border mask has more than one state image.
bool BorderMaskHasStates(TsCommonData* SkinData);
// Lets the key-coloured pixels of the border mask's four corners show what lies behind the window,
// in the cache bitmap the hook painted.
void PaintHookCorners(TsCommonData* SkinData, int State, TacMainWnd* Hook);
// Keeps a framework control's scrolling hook in step with its skinning, taking the system's flat
// scroll bars off the window while the hook lives.
void RefreshScrollWnd(TsCommonData* SkinData, TacScrollWnd*& Wnd);
// The same for a host whose skin data belongs to another object (a form's provider): the hook is
// made with Section, and with Repaint the window's frame is computed again at once.
void RefreshScrollWnd(TControl* Host, TsCommonData* SkinData, TacScrollWnd*& Wnd, const std::string& Section,
                      bool Repaint);

// The hooks made for the pages of hooked page controls; made with the first of them, its hooks
// freed at shut-down.
extern std::vector<TacMainWnd*>* PageHookList;

void acSBUtilsInitialization();
void acSBUtilsFinalization();
