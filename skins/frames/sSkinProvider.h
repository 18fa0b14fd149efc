// The skin provider: the component that gives a whole form a skin. It replaces the form's window
// procedure, paints the title bar, frame and client background from the loaded skin into one picture
// of the window (the form image, its skin data's cache bitmap), draws its own caption buttons and
// window menu, shapes the window with a region cut from the border mask's transparent corners, and
// optionally puts an extended-border (shadow) window around the form.
//
// Without a skin manager, or with a skin that lacks the form's section, the provider stays attached
// but passes every message on: the form keeps its system frame.
//
// An MDI parent's provider hooks the MDI client window (TsMDIForm, sMDIForm.h); an MDI child's keeps
// the parent's frame in step with its system commands.
//
// The form's main menu keeps the system's menu bar (its rows are the system's), painted over from the
// skin: the menu line's section behind items drawn by the skinned menus, and on an MDI parent the
// maximised child's icon and buttons.
#pragma once

#include "Forms.h"
#include "sCommonData.h"
#include "sTitleButtons.h"
#include "sVclUtils.h"

#include <vector>

class TsSystemMenu;
class TacBorderForm;
class TacScrollWnd;
class TacCtrlAdapter;
class TsMDIForm;

DECLARE_ENUM(TsGripMode, gmNone, gmRightBottom)
DECLARE_ENUM(TsResizeMode, rmStandard, rmBorder)

using TacNCHitTest = TMethodOf<TMessage&>;

// Hit codes of the provider's own buttons beside the platform's.
inline constexpr int HTMDICLOSE = 101, HTMDIMAX = 102, HTMDIMIN = 103, HTUSERBUTTON = 1000;

class TsSkinProvider : public TComponent, public TacFormProvider {
    DECLARE_CLASS(TsSkinProvider, TComponent)
public:
    // Raises EAbort unless AOwner is a form; a second provider of a form stays inert at run time.
    explicit TsSkinProvider(TComponent* AOwner);
    // A provider made for a form that has none; its set-up waits for the first hit test, non-client
    // paint or visibility change.
    static TsSkinProvider* CreateRuntime(TCustomForm* AForm);
    ~TsSkinProvider() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsSkinProvider>& B);
    void AfterConstruction() override;
    void Loaded() override;

    // Published
    TacAddedTitle* AddedTitle() const { return FAddedTitle; }
    bool AllowExtBorders() const { return FAllowExtBorders; }
    void SetAllowExtBorders(bool Value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    bool DrawNonClientArea() const { return FDrawNonClientArea; }
    void SetDrawNonClientArea(bool Value);
    TsCommonData* SkinData() const { return FSkinData; }
    TsGripMode GripMode = gmNone;
    bool MakeSkinMenu = false;
    const std::string& MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const std::string& Value);
    TsResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TsTitleButtons* TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(TsTitleButtons* Value) { FTitleButtons->Assign(Value); }
    TsTitleIcon* TitleIcon() const { return FTitleIcon; }
    const std::string& TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const std::string& Value);
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    TacNCHitTest OnExtHitTest;
    TNotifyEvent OnSkinItem;  // asked by the control adapter; kept for streaming

    // The engine's view of the provider.
    TCustomForm* ProviderForm() const override { return Form; }
    void HandleSkinMessage(TMessage&) override {}
    bool HasBorderForm() const override { return BorderForm != nullptr; }
    int GetClientOffsetX() override;
    int GetClientOffsetY() override;
    void FreeTitleImage() override { TitleIndex = -1; }
    TsSkinManager* ProviderManager() const override { return FSkinData ? FSkinData->GetSkinManager() : nullptr; }
    void SetAnimating(bool Value) override { Animating = Value; }
    bool DrawsNonClientArea() const override { return FDrawNonClientArea; }
    void ResetBorderRegion() override;
    void RepaintAfterSkinChange() override;
    bool PlayLayeredRedraw(Word Time, Byte Alpha, TacAnimType Mode) override;
    HRGN CreateShapeRegion() override;
    void PlayClosingHide() override {
        if (FDrawNonClientArea && !MinimizeClosing && Form->HandleAllocated())
            PlayHideAnimation();
    }

    // Hiding the form plays the manager's hide animation (a form minimised to an icon or drawn
    // without its frame does not).
    bool FormHideAnimated() const;
    void PlayHideAnimation();

    // Set-up and life with the manager
    void PrepareForm();
    void InitSkinnedForm();
    // The control adapter: made (and wrapping the form's controls) at run time while skinned; told
    // of a removed skin and freed; handed a copy of a message.
    virtual void InitAdapter();
    void RemoveAdapter();
    void AdapterCommand(const TMessage& Message);
    void UpdateSysMenuStyle(bool Skinned);
    TColor FormColor();
    void LockRedraw();
    void UnlockRedraw();
    void RepaintNonClient();
    bool IsSkinned() const;
    // The form's main menu made again by the framework (its items take owner drawing as hooked);
    // False when there is none or a rebuild is running.
    bool RebuildMenu();
    // The skinned menus' handlers given to (or taken from) the menus the form owns.
    void SkinMenus(bool Active);
    // The scrolling hook that paints an AutoScroll form's bars from the skin (sSkinProviderScroll.cpp):
    // made while skinned, freed when the skin goes; the thickness of its shown bar of one kind (0
    // without one); a window point in the square between its two shown bars.
    void RefreshScrollHook();
    void FreeScrollHook();
    int ScrollBarThickness(bool Vertical) const;
    bool InScrollSizeBox(TPoint P);
    TacScrollWnd* ScrollHook = nullptr;  // owned
    // A wheel turn the form's own handling left unanswered goes to the scroll box under the mouse.
    void HandleMouseWheel(TMessage& Message);

    // The window procedure that replaces the form's
    void NewWndProc(TMessage& Message);

    // MDI: the client object of an MDI parent made (and the client window hooked) or freed; the
    // skinned path's MDI messages, True when handled.
    bool IsMDIParent() const;
    bool IsMDIChild() const;
    void UpdateMDIHelper(bool Create);
    bool MDIMessage(TMessage& Message);
    // The provider goes: its client object is freed and the MDI globals forget it.
    void ForgetMDI();
    // An MDI child's window is created (WM_CREATE), has gone (WM_NCDESTROY, after the old procedure),
    // or has painted for the first time since it was created maximised.
    void MDIChildCreate(TMessage& Message);
    void MDIChildDestroyed();
    void ChildMaximizedPainted(bool Maximize);
    // An MDI child hidden behind another child that the parent shows maximised: it paints nothing.
    bool HiddenByMaximizedChild() const;

    // Geometry of the non-client area
    bool HasBorder() const;
    bool HasStandardBorder() const;
    bool ImageSizeDiffers();
    int GetCaptionHeight(bool WithExtended);
    int TopFrameHeight(bool Ext);
    int SideFrameWidth(bool Ext);
    int FormImageWidth();
    int ImageHeight();
    int TitleBottom();
    int TitleBarHeight();
    // The menu line: the form shows its main menu (not merged into another form's); a shown item; the
    // height of one row (0 without a line); the rows (cached in MenuLines until the size or the menu
    // changes).
    bool MenuPresent() const;
    bool MenuHasVisibleItems() const;
    int MenuLineHeight() const;
    int MenuLineCount();
    void GetExtRect(TRect& R) const;
    bool CenterMode() const;

    // The form image and putting it on the window
    void PrepareFormImage();
    void PaintFrame(HDC DC);
    void PaintNonClient();
    void RepaintFrame();
    void PaintForm(HDC DC);
    void SaveButtonsArea(bool FullHeight);
    void RestoreButtonsArea();
    std::string TitleSkinName() const { return FTitleSkin.empty() ? "FORMTITLE" : FTitleSkin; }
    int TitleSkinIndex();
    bool TitleIconVisible();
    int TitleIconWidth();
    int TitleIconHeight();
    void GetIconRect(TRect& R);
    void PaintTitleIcon();
    bool GripVisible() const;
    void GripPosition(int MaskIndex, TPoint& P);
    void PaintGrip(HDC DC);
    // The menu line into the form image: the section, the maximised MDI child's icon, the items.
    void PaintMenuLine();
    // Where the menu line starts in the form image (MenuLineBg's origin).
    TPoint MenuLineOrigin();

    // Caption buttons and hit testing
    void UpdateButtonImages();
    void PaintTitleButtons();
    int ButtonWidth(const TitleButtonState& Button);
    int ButtonHeight();
    int UserButtonWidth(TsTitleButton* Item);
    int ButtonsWidth();
    int SystemButtonCount();
    int HitTest(TMessage& Message);
    // The hit code of system button Position (1 close, then maximise, minimise, help as shown);
    // the caption where the button is disabled, -1 past them.
    int SystemButtonCode(int Position, bool Max, bool Min, bool Help);
    void SetHotButton(int HitCode, bool Repaint);
    void PressButton(int HitCode);
    void RepaintButton(int HitCode);
    void StopButtonAnimations();
    TitleButtonState* ButtonByCode(int HitCode);
    void DropSysMenu(int X, int Y);
    // The buttons of a maximised MDI child at the right end of an MDI parent's last menu row.
    bool MDIButtonsShown();
    int MDIButtonWidth();
    int MDIButtonHeight();
    void PaintMDIButtons();
    // The window that keeps the MDI child's buttons on screen while the parent's menu loop runs.
    void ShowMDIIcons();
    void PaintMDIIcons(TObject* Sender);
    void GetWindowOrigin(TPoint& P);
    void ScreenToWindow(int X, int Y, TPoint& P);

    // Extended borders and the window region
    void UpdateBorderForm(bool Allow);
    void FillRegionRects();
    HRGN CreateFormRegion(int X, int Y);
    void UpdateFormRegion(bool Redraw);
    void HandleGetMinMaxInfo(TMessage& Message);

    // The rubber-band move and size of ResizeMode rmBorder: a frame drawn inverted on the desktop
    // follows the mouse, and the form takes its place when the button is released. X, Y are the
    // cursor in the coordinates of the form's parent window (the screen for a top-level form).
    void BeginBorderDrag(int X, int Y);
    void TrackBorderDrag(int X, int Y);
    void EndBorderDrag();
    void DrawDragFrame(int X, int Y);

    // State (the frame painters, the window menu, the border window and the glow read it).
    std::vector<TRect> RgnRects;
    bool RegionChanged = true;
    int HotButton = 0;
    TBitmap* ButtonsWork = nullptr;
    bool HadSysMenu = false;
    int TitleButtonMask = -1;
    int CoverLock = 0;
    bool InitPending = false;
    bool ImagePainted = false;
    TBitmap* ShadowActive = nullptr;
    TBitmap* ShadowInactive = nullptr;
    TitleButtonState BtnMin, BtnMax, BtnClose, BtnHelp, BtnMDIMin, BtnMDIMax, BtnMDIClose;
    int MenuLines = -1;  // -1: count the rows again
    bool MenuRebuilt = false;
    TBitmap* MenuLineBg = nullptr;  // the menu line's background, without the items
    TRect LastClientRect{};
    bool CaptionGrown = false;
    int TitleIndex = -1;
    int CaptionIndex = -1;
    bool InitDeferred = false;
    bool Inert = false;
    bool Animating = false;
    bool ShowAnimPending = false;
    Byte ShowState = 0;
    bool MinimizeClosing = false;
    bool InSetRegion = false;
    bool FrameStale = true;
    TWndMethod OldWndProc;
    bool FormActive = true;
    TCustomForm* Form = nullptr;
    TsSystemMenu* SystemMenu = nullptr;
    TacBorderForm* BorderForm = nullptr;
    TacCtrlAdapter* Adapter = nullptr;
    TsMDIForm* MDIHelper = nullptr;  // owned; an MDI parent's
    // An MDI child closes or the MDI parent's menu loop runs.
    bool InMDICommand = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ApplyMainColor();
    bool IsIconicForm() const;
    bool IsZoomedForm() const;
    LONG FormStyleBits() const;
    void CallOld(TMessage& Message);
    void UpdateBorder(bool Repaint);
    // The skinned path's handlers
    bool SkinCommand(TMessage& Message);
    void UnskinnedProc(TMessage& Message);
    void SkinnedProc(TMessage& Message);
    void HandleSize(TMessage& Message);
    // Parts of the client area that a size change leaves showing the old grip or corner images.
    void InvalidateSizeCorners(const TRect& NewClient);
    void HandleShowingChanged(TMessage& Message);
    void HandlePaint(TMessage& Message);
    void HandleEraseBkgnd(TMessage& Message);
    void HandleNCActivate(TMessage& Message);
    void HandlePrint(TMessage& Message);
    void HandleNCLButtonDown(TMessage& Message);
    void HandleNCLButtonUp(TMessage& Message);
    void HandleNCLButtonDblClk(TMessage& Message);
    void HandleSysCommand(TMessage& Message);
    bool StartBorderDragCommand(TMessage& Message);
    void HandleMouseMove(TMessage& Message);
    void HandleSetIcon(TMessage& Message);
    void HandleMenuChanged(TMessage& Message);
    void HandleScrollCommand(TMessage& Message);
    void HandleTabChange(TMessage& Message);
    void HandleShowWindow(TMessage& Message);
    void HandleParentNotify(TMessage& Message);
    void HandleControlListChange(TMessage& Message);
    void HandleMouseEnter(TMessage& Message);
    void HandleExitSizeMove(TMessage& Message);
    // The cursor of a mouse message (client coordinates in LParam) in the coordinates of the form's
    // parent window.
    TPoint CursorInParent(LPARAM LParam);
    void MDIChildSysCommand(TMessage& Message);
    void RemoveSkin(TMessage& Message);
    void PaintCaptionText();
    void PaintMDIArea();
    void PaintExtendedBorder();
    // A window without painting laid over the title bar (or the whole form) while the old procedure
    // draws the system's caption, so that the skinned title stays on screen; taking it away makes
    // the frame repaint the skinned way.
    void ShowCaptionCover(bool WholeForm);
    void HideCaptionCover();
    void CoverWndProc(TMessage& Message);
    // The old procedure under the caption cover of CoverOf.
    void CallOldCovered(TMessage& Message, TsSkinProvider* CoverOf);
    void HandleSetText(TMessage& Message);
    void PlaceTitleButton(TitleButtonState& Button, int& X, int MaskIndex, bool Enabled, TsTitleButton* Item);
    void DrawUserGlyph(TsTitleButton* Item, bool Pressed);

    TsCommonData* FSkinData = nullptr;
    TacAddedTitle* FAddedTitle = nullptr;
    TsTitleIcon* FTitleIcon = nullptr;
    TsTitleButtons* FTitleButtons = nullptr;
    bool FAllowExtBorders = true;
    bool FDrawNonClientArea = true;
    bool FShowAppIcon = true;
    bool FUseGlobalColor = true;
    TAlignment FCaptionAlignment = taLeftJustify;
    std::string FTitleSkin;
    std::string FMenuLineSkin;
};

// The show animation of a form with an extended-border window, played in that window.
void AnimateBorderedFormShow(TacBorderForm* BorderForm, Word Time, Byte Alpha, TacAnimType Mode);
// The hide animation of a skinned form with the manager's FormHide options; the extended-border
// window goes with it. Returns once the frames run on the hide timer.
void AnimateFormHide(TsSkinProvider* Provider);

// The session is ending: no fade starts any more, and the running ones are given time (bounded) to
// end, with the application's messages processed meanwhile.
void EndRunningFades();

// The scroll box (the windowed container that takes forwarded wheel turns) at ScreenPoint inside
// Parent, searched through the windowed controls there; null when there is none.
TControl* FindWheelTarget(TWinControl* Parent, TPoint ScreenPoint);

// The MDI parent's frame and client window painted again after a change of its children.
void RefreshMDIParentFrame(bool Full);
// The active MDI child of an MDI parent form (nil when none), and whether it is maximised.
TCustomForm* ActiveMDIChildOf(TCustomForm* Parent, bool* Maximized);
// The window of Parent's active MDI child (a framework form or not), and whether it is maximised.
HWND ActiveMDIChildWindow(TCustomForm* Parent, bool* Maximized);
// A mask of the skin's GLOBALINFO section by name; -1 without a manager, the section or the mask.
int GlobalMask(TsSkinManager* M, const std::string& Name);
// The "acMDIIcons" window of the running menu loop (nil outside one), and its end.
TForm* MDIIconsWindow();
void FreeMDIIconsWindow();

// The mouse entered Entered (a control or nil) inside Parent: every other skinned speed button of
// Parent that still looks hot is told the mouse left it.
void LeaveOtherSpeedButtons(TWinControl* Parent, TControl* Entered);

// Pressed on a caption button and not yet released or moved off it.
extern bool ButtonPressed;

// The rmBorder drag of the application (one at a time): running, started and waiting for the first
// move, a move rather than a size, and the sizing hit code of the border that follows the mouse.
extern bool DragActive;
extern bool DragStarting;
extern bool DragIsMove;
extern int DragHitCode;

// Frame widths of a window with or without its extended-border window.
int FrameBorderWidth(HWND Handle, TacBorderForm* BorderForm, bool UseExtended);
int InnerFrameWidth(HWND Handle, TacBorderForm* BorderForm, bool UseExtended);
int ExtendedTitleHeight(TacBorderForm* BorderForm);
int ExtendedBorderWidth(TacBorderForm* BorderForm);
int ExtendedTitleOffset(TacBorderForm* BorderForm);
int ExtendedBorderOffset(TacBorderForm* BorderForm);
bool HasSizingFrame(HWND Handle);
int IconSizeForHeight(int H);

// Desktop composition, looked up at first use ("DWMAPI.DLL" is kept loaded once found).
void LoadDwmLibrary();
// E_NOTIMPL without the library or the function.
HRESULT CallDwmSetWindowAttribute(HWND Handle, DWORD Attribute, const void* Data, DWORD Size);
bool IsDwmCompositionEnabled();
void DisableDwmTransitions(HWND Handle, bool Disable);
// Makes a window layered with an empty picture (True) or takes the layering away and hides it
// (False); False also when the window was already layered.
bool SetWindowLayered(HWND Handle, bool Layered);
// Pos moved onto Edge - Size when it lies within Buffer of it.
void SnapCoordinate(int& Pos, int Edge, int Buffer, int Size);
