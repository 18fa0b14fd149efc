// The dialog hook: skins the windows no skin provider was placed on. A thread-local CBT hook,
// installed by the default skin manager while its skin is active, sees every window of the program
// as it is created, activated and destroyed:
//
// - a form of the program without a provider is given one (TsSkinProvider::CreateRuntime), as if it
//   had been placed on the form;
// - a standard dialog ("#32770": message boxes, the file dialogs) gets a TacProvider that replaces
//   the dialog's window procedure with a TacDialogWnd, which paints the frame, caption, caption
//   buttons and client background from the skin's "DIALOG" section with the painters of the skinned
//   forms, and wraps each child control with the hook of its window class.
//
// A dialog opened while another skinned dialog shows stays standard unless it holds a tool bar (the
// file dialogs), so nested message boxes keep the system's look. Popup-menu windows get a TacMnuWnd
// while the default manager skins popups.
//
// Start-up: acDialsInitialization() lets the skin manager install the hook; acDialsFinalization()
// takes it away and frees every provider.
#pragma once

#include "acSBUtils.h"
#include "sStyleSimply.h"
#include "sSystemMenu.h"
#include "sTitleButtons.h"

#include <string>
#include <vector>

class TsSkinProvider;
class TacDialogWnd;
class TacBorderForm;

// The installed CBT hook (0 while none is).
extern HHOOK DialogHookHandle;
// The window style of the last dialog InitDialog skinned.
extern LONG DialogStyle;
// MsgBoxPosX and MsgBoxPosY (acntUtils): when either is not -1 the next dialog skinned is moved there.

// The skinning of one window the hook accepted: a form's provider, or a dialog's wrappers.
class TacProvider : public TComponent, public TacDialogProviderLink {
    DECLARE_CLASS(TacProvider, TComponent)
public:
    explicit TacProvider(TComponent* AOwner);
    // A form's provider only leaves the list (the form frees its TsSkinProvider); a dialog's frees
    // the child wrappers and the dialog wrapper.
    ~TacProvider() override;

    HWND DialogWindow() const override { return DialogWnd ? DialogHandle : nullptr; }
    // Gives Form a runtime TsSkinProvider without a skin chooser in its window menu.
    void InitForm(TCustomForm* Form);
    // Wraps the dialog and its children; False when a child could not be wrapped (the provider's
    // slot in the list is cleared then).
    bool InitDialog(HWND Handle);
    // Every child window below Handle, depth first; a child already skinned is left alone.
    bool AdaptChildren(HWND Handle);
    // One child by its window class (the table of the dialog hook).
    bool AddChildWrapper(HWND Handle);
    // Every visible child window printed into DC at its place (the dialog animations use it).
    static void PrintChildWindows(HWND Handle, HDC DC);

    bool ScrollBarLeft = false;
    HWND DialogHandle = nullptr;
    TsSkinProvider* FormProvider = nullptr;
    TacDialogWnd* DialogWnd = nullptr;         // owned
    std::vector<TacMainWnd*> ChildWrappers;  // owned
};

// The skinned system menu of a hooked dialog: only the commands the dialog's own style allows.
class TacSystemMenu : public TsCustomSysMenu {
    DECLARE_CLASS(TacSystemMenu, TsCustomSysMenu)
public:
    explicit TacSystemMenu(TacDialogWnd* AOwner);
    bool VisibleClose() override;
    bool VisibleMax() override { return false; }
    bool VisibleMin() override { return false; }
    bool EnabledMax() override { return false; }
    bool EnabledMin() override { return false; }
    bool EnabledRestore() override { return false; }
    void UpdateItems();

    TacDialogWnd* FOwner = nullptr;
    TMenuItem* miRestore = nullptr;
    TMenuItem* miMove = nullptr;
    TMenuItem* miSize = nullptr;
    TMenuItem* miMinimize = nullptr;
    TMenuItem* miMaximize = nullptr;
    TMenuItem* miClose = nullptr;

private:
    void Send(WPARAM Command);
    void RestoreClick(TObject*);
    void MoveClick(TObject*);
    void SizeClick(TObject*);
    void MinimizeClick(TObject*);
    void MaximizeClick(TObject*);
    void CloseClick(TObject*);
};

// The window-procedure wrapper of a hooked standard dialog: frame, caption, caption buttons and
// client background painted from the skin, the window shaped by the border mask's corners. While
// the manager asks for extended borders the frame lies in a border window around the dialog (the
// image grows by the skin's margins, the dialog's own window keeps only its body). While the
// manager allows glowing, a hot or pressed caption button fades in above the frame as on a form.
class TacDialogWnd : public TacScrollWnd {
    DECLARE_CLASS(TacDialogWnd, TacScrollWnd)
public:
    TacDialogWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                 TsCommonData* ASkinData);
    ~TacDialogWnd() override;
    void WndProc(TMessage& Message) override;

    // Called once after the children are wrapped: styles kept, frame kind, icon, button images, the
    // caption font; WS_SYSMENU taken off the window (the skin draws the buttons).
    void InitFrame();
    int GetCaptionHeight(bool WithExtended);
    int GetClientOffsetX();
    int GetClientOffsetY();
    // The manager's four extended-border margins while a border window exists, else empty.
    void GetExtBordersRect(TRect& R);
    // Makes (for a visible dialog also shows) or frees the border window.
    void SetExtendedBorders(bool Value);
    void PrepareFormImage();
    void UpdateRegion(bool Redraw);
    void FillRegionRects();
    // The four frame strips of the image on the window.
    void UpdateFrame();
    void PaintBackground(HDC DC);
    int HitTest(TMessage& Message);
    // The caption button under P (frame-image coordinates): its code, HTCAPTION for one that cannot
    // act now, -1 for none. Counted exactly as the buttons were laid out.
    int TitleButtonAt(TPoint P);
    TRect IconRect();
    void SetHotButton(int Code, bool Repaint);
    void PressButton(int Code);
    void RepaintButton(int Code);
    // Frees the glow animations of the four caption buttons.
    void FreeButtonTimers();
    void LoadButtonImages();

    bool HasSysMenu() const { return SavedStyle & WS_SYSMENU; }
    bool HasMaxBox() const { return SavedStyle & WS_MAXIMIZEBOX; }
    bool HasMinBox() const { return SavedStyle & WS_MINIMIZEBOX; }
    bool HasHelp() const { return SavedExStyle & WS_EX_CONTEXTHELP; }
    bool CanClose() const;
    bool CanMaximize() const;
    bool CanMinimize() const;
    bool CanRestore() const;

    std::vector<TRect> RegionRects;
    int HotButton = 0;
    bool DialogActive = true;
    bool SkipClientPaint = false;
    int CaptionIndex = -1;
    bool ChildrenAdapted = false;
    TitleButtonState BtnMin, BtnMax, BtnClose, BtnHelp;
    HICON IconHandle = nullptr;
    TFont* CaptionFont = nullptr;  // owned
    LONG SavedStyle = 0;
    LONG SavedExStyle = 0;
    bool RegionChanged = true;
    TRect WindowRect{};
    TSize WindowSize{};
    Byte FrameKind = 1;
    TBitmap* TitleCache = nullptr;         // owned
    TBitmap* ButtonsBackground = nullptr;  // owned
    TacSystemMenu* SystemMenu = nullptr;   // owned
    TacProvider* Provider = nullptr;
    TacBorderForm* BorderForm = nullptr;   // owned

private:
    void RecordGeometry();
    bool CenterMode();
    int TitleBottom();
    void PaintExtendedBorder(const TRect& FrameRect);
    void ShadowUnderCorners(TBitmap* Shadow, const TRect& FrameRect);
    // The border window, when it shows, gets the image again.
    void UpdateBorder(bool Repaint);
    TitleButtonState* ButtonByCode(int Code);
    void PaintTitle(const TRect& FrameRect, int TitleBottom);
    void PaintTitleButtons();
    void PlaceButton(TitleButtonState& Button, int& X, int Gap, int MaskIndex, bool Enabled, bool Help);
    int ButtonWidth(const TitleButtonState& Button);
    int ButtonHeight();
    int TitleButtonsWidth();
    void DropSystemMenu(int X, int Y);
    void HandleNCButtonUp(TMessage& Message);
    void HandleNCLButtonDown(TMessage& Message);
    void TranslateBorderCode(TMessage& Message);
    void SendSysCommand(WPARAM Command) { SendMessageA(Handle, WM_SYSCOMMAND, Command, 0); }
    // The brush WM_CTLCOLORDLG answers with: one per wrapper, made again when the skin's colour
    // changes and deleted with the wrapper.
    HBRUSH DialogBrush();
    HBRUSH Brush = nullptr;
    TColor BrushColor = clNone;
    bool Pressed = false;
};

// The hook of a popup-menu window, made by the dialog hook while the default manager skins popups.
// It answers the library's menu-border questions: SKIN_SETUPDATING with whether the skinned menus
// have drawn the window's border since its last erase, SKIN_POPUPSHAPING (sent before the menus
// shape the window) by noting that they have. It leaves MenuWrappers when its window is destroyed.
class TacMnuWnd : public TacScrollWnd {
    DECLARE_CLASS(TacMnuWnd, TacScrollWnd)
public:
    using TacScrollWnd::TacScrollWnd;
    ~TacMnuWnd() override;
    void WndProc(TMessage& Message) override;
    int BorderDrawn = 0;
};
// The wrappers of the popup-menu windows that are open.
extern std::vector<TacMnuWnd*> MenuWrappers;
void FreeMenuWrappers();

// The CBT hook procedure; always passes the event on first.
LRESULT CALLBACK DialogHookProc(int Code, WPARAM WParam, LPARAM LParam);
// Decides whether Handle gets a TacProvider and makes it; True when it did.
bool AttachProviderToWindow(HWND Handle, CREATESTRUCTA* CreateStruct);
std::string GetWindowClassName(HWND Handle);
// The program's form (or MDI child) whose window is Handle; only forms whose window exists are
// compared, so that no window is created from inside the hook.
TCustomForm* FindFormByHandle(HWND Handle);
TacProvider* FindDialogProvider(HWND Handle);
int CountVisibleDialogs();
// Depth-first search below Handle for a window whose lower-case class name is ClassName.
bool HasChildOfClass(HWND Handle, const std::string& ClassName);
void BroadcastToChildWindows(HWND Handle, TMessage& Message);
// Frees the providers whose dialog wrapper has let go of its destroyed window.
void FreeDestroyedDialogs();

// The show animation of a hooked dialog with the manager's DialogShow options, played in an
// animation window laid over it; the hide animation with the DialogHide options, whose frames run on
// the hide timer once the dialog is gone.
void AnimateBorderedDialogShow(TacDialogWnd* DialogWnd, Word Time, Byte Alpha, TacAnimType Mode);
void AnimateDialogHide(TacDialogWnd* DialogWnd);

void acDialsInitialization();
void acDialsFinalization();
