// Routines that walk the control tree and talk to controls and windows with the library command
// message: sending a command, asking whether a window is skin-aware, broadcasting to children,
// asking for background colours, painting a control tree or the graphic children of a control, and
// a few geometry routines.
//
// Start-up: sVclUtilsInitialization() loads the theme library for SetWindowTheme;
// sVclUtilsFinalization() frees it.
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sConst.h"
#include "sFade.h"

#include <windows.h>

// ---------------------------------------------------------------------------------------------
// A form's skin provider as the engine sees it (the provider itself lives with the window frames
// and implements this).

class TacFormProvider {
public:
    // The form the provider skins.
    virtual TCustomForm* ProviderForm() const = 0;
    // The provider's share of a broadcast.
    virtual void HandleSkinMessage(TMessage& Message) = 0;
    // An extended-border window exists for the form.
    virtual bool HasBorderForm() const = 0;
    virtual int GetClientOffsetX() = 0;
    virtual int GetClientOffsetY() = 0;
    // Drops the cached title image (the section changed).
    virtual void FreeTitleImage() = 0;
    // The manager of the provider's skin data (nil: none).
    virtual TsSkinManager* ProviderManager() const = 0;
    // A skin change freezes the form: while animating the provider leaves its border window alone.
    virtual void SetAnimating(bool Value) = 0;
    virtual bool DrawsNonClientArea() const = 0;
    // Before a freeze: the border window (when any) takes its border region again.
    virtual void ResetBorderRegion() = 0;
    // After a skin change: region rebuilt, window and border window repainted.
    virtual void RepaintAfterSkinChange() = 0;
    // The fade of the form's new look played in layered windows; false when the provider cannot.
    virtual bool PlayLayeredRedraw(Word Time, Byte Alpha, TacAnimType Mode) {
        (void)Time, (void)Alpha, (void)Mode;
        return false;
    }
    // A new region of the skinned form's shape at (0, 0), owned by the caller; 0 for none.
    virtual HRGN CreateShapeRegion() { return nullptr; }
    // The program ends with the form hidden: its hide animation, unless it is drawn without its frame
    // or is already closing through an animation of its own.
    virtual void PlayClosingHide() {}

protected:
    ~TacFormProvider() = default;
};

// The provider behind an object, or null.
inline TacFormProvider* AsFormProvider(TObject* Obj) { return dynamic_cast<TacFormProvider*>(Obj); }

// ---------------------------------------------------------------------------------------------
// Globals

// A window animation or a skin change runs: skinned painting is suppressed.
extern bool AnimationInProgress;
// PaintGraphicChildren is running; a nested call does nothing.
extern bool PaintGraphicChildrenBusy;
// "UXTHEME" (0 when absent) and its SetWindowTheme (null when absent).
using TSetWindowThemeProc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
extern HMODULE UxThemeLibrary;
extern TSetWindowThemeProc SetWindowThemeProc;
// Optional filter of BroadcastToSkinnedChildren: True skips a windowed child that is not skin-aware
// (and its children). Nothing in the library assigns it.
using TSkipBroadcastChild = bool (*)(TControl* Control);
extern TSkipBroadcastChild SkipBroadcastChild;

// ---------------------------------------------------------------------------------------------
// Command senders

// SendMessage(Handle, SM_ALPHACMD, Code shl 16, LParam).
LRESULT SendSkinCommand(HWND Handle, Word Code, LPARAM LParam);
// A windowed control: 0 while it is being destroyed or has no handle, else SendMessage; a windowless
// control: Perform.
LRESULT SendSkinCommandTo(TControl* Control, Word Code, LPARAM LParam);
LRESULT AskSkinCommand(TControl* Control, Word Code);
// The window answers the command with exactly 1.
bool AnswersSkinCommand(HWND Handle, Word Code);
// SKIN_ADAPTCHILDREN with LParam = Control to its form (not at design time or while loading).
void AskFormToAdaptControl(TControl* Control);
// The message to the first skin provider among the form's components that is not being destroyed.
void SendSkinMessageToProvider(TCustomForm* Form, TMessage& Message);

// ---------------------------------------------------------------------------------------------
// Broadcasts

// The message to every child control that is windowless, has no window yet or answers
// SKIN_ISSKINNED, recursing into the other windowed children; stops at a child being destroyed.
void BroadcastToSkinnedChildren(TWinControl* Control, TMessage& Message);
void SendToDirectChildWindows(HWND Handle, TMessage& Message);
// SKIN_ENDUPDATE to every child control that is neither graphic nor being destroyed (not while
// AnimationInProgress).
void SendEndUpdateToChildren(TWinControl* Control);
void SendEndUpdateToChildWindows(HWND Handle);

// ---------------------------------------------------------------------------------------------
// Colours

// 0xFF00FF for nil; a skin-aware control's SKIN_GETBGCOLOR answer, else its own colour (as RGB).
TColor GetControlBgColor(TControl* Control);
// 0xFF00FF for 0; else the window's SKIN_GETBGCOLOR answer (as RGB).
TColor GetWindowBgColor(HWND Handle);

// ---------------------------------------------------------------------------------------------
// Control tree and geometry

// Has a window (when windowed) and a parent, and is not being created, read, loaded or destroyed.
bool IsControlReady(TControl* Control);
// The component itself or the first owner up the chain that is a form.
TCustomForm* GetOwnerForm(TComponent* Component);
// The owner class this looks for is not part of the system: always nil.
TComponent* FindAbsentClassOwner(TComponent* Component);
// DT_LEFT, DT_RIGHT or DT_CENTER with DT_VCENTER and DT_EXPANDTABS, through the control's
// DrawTextBiDiModeFlags.
UINT AlignmentTextFlags(TControl* Control, TAlignment Alignment);
bool IsWholeTextSelected(TCustomEdit* Edit);
// The client rectangle relative to the window's top-left corner.
void GetClientRectInWindow(HWND Handle, TRect& Rect);
// Heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children so aligned.
int SumAlignedChildSizes(TWinControl* Control, TAlign Align, bool WithGraphic);
// The outermost ancestor window.
HWND GetTopLevelWindow(HWND Handle);
BOOL ReadCursorPos(TPoint& Point);
// Paints a control and its visible windowed descendants into Bitmap, the control at (X, Y).
void PaintControlTreeTo(TBitmap* Bitmap, TControl* Control, int X, int Y, TacFormProvider* Provider);
// Paints the visible graphic children of Parent into DC (at their place moved by Offset) through
// one off-screen copy of Parent's background.
void PaintGraphicChildren(HDC DC, TWinControl* Parent, TPoint Offset);

// ---------------------------------------------------------------------------------------------
// Window animations: a snapshot of the window pushed into a layered animation window at rising or
// falling opacity, one frame every 10 ms.

// The snapshot the running animation shows, and its canvas handle while a window paints into it.
extern TBitmap* AnimationSnapshot;
extern HDC AnimationSnapshotDC;

// A window that never paints itself: it keeps what is drawn into its window DC.
class TOutputWindow : public TCustomControl {
    DECLARE_CLASS(TOutputWindow, TCustomControl)
public:
    explicit TOutputWindow(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TOutputWindow>& B);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void SkipEraseBackground(TMessage& Message) { Message.Result = 1; }
    void SkipNonClientPaint(TMessage& Message) { Message.Result = 0; }
};

// The fade-out of a hidden window's picture, frame by frame on the threaded timer.
class TacHideTimer : public TacThreadedTimer {
    DECLARE_CLASS(TacHideTimer, TacThreadedTimer)
public:
    explicit TacHideTimer(TComponent* AOwner) : TacThreadedTimer(AOwner) {}
    ~TacHideTimer() override;

    HDC ScreenDC = nullptr;
    TForm* Form = nullptr;  // owned: shows the picture
    SIZE FrameSize{0, 0};
    POINT SourceOrigin{0, 0};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};
    double ZoomStepX = 0, ZoomStepY = 0;
    struct {
        double Left = 0, Top = 0, Right = 0, Bottom = 0;
    } ZoomRect;
    int Alpha = 255;
    int StepIndex = 0;
    int StepCount = 0;
    TacAnimType Mode = atFading;
    double CurrentAlpha = 0;
    double AlphaStep = 0;
    TBitmap* Snapshot = nullptr;    // owned
    TBitmap* WorkBitmap = nullptr;  // owned, 32-bit frame buffer

    void InitSteps();
    void RenderFrame();
    void AdvanceZoom();
    void HideStep(TObject* Sender);
};

extern TWinControl* OverlayWindow;
extern TBitmap* OverlayImage;
extern TacHideTimer* HideAnimationTimer;

// One frame of Bitmap pushed into the layered window Wnd at the opacity of Blend.
void PushLayeredFrame(HWND Wnd, HDC ScreenDC, TBitmap* Bitmap, BLENDFUNCTION Blend);
// The frames of a show animation: Steps + 1 pushes of Snapshot into the layered window Wnd, the
// opacity rising by AlphaStep up to Alpha, 10 ms apart; with atAero the picture also grows from three
// quarters of its size, centred. Returns the last frame (owned by the caller).
TBitmap* PlayShowFrames(HWND Wnd, HDC ScreenDC, TBitmap* Snapshot, int Steps, double AlphaStep, Byte Alpha,
                        TacAnimType Mode);
// Fades Snapshot out in Form over Time ms (Alpha the opacity at the start, halved); takes both.
void StartHideAnimation(TForm* Form, TBitmap* Snapshot, int Time, int Alpha, TacAnimType Mode);
// Fades a window's new look in over its old picture.
void AnimateFormRedraw(TWinControl* Form, Word Time, Byte Alpha, TacAnimType Mode);
// Freezes the screen picture of Control under OverlayWindow.
void ShowScreenOverlay(TWinControl* Control);
// Moves Control in its parent's child order to just after Anchor.
void SetChildOrderAfter(TControl* Control, TControl* Anchor);

void sVclUtilsInitialization();
void sVclUtilsFinalization();
