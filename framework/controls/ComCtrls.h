// The ComCtrls unit: the common controls over the system's common-control window classes, each
// superclassed under its own class name: status bar with panels, tool bar with tool buttons, page
// control with tab sheets; tree view (ComCtrlsTree.h) and list view (ComCtrlsList.h).
//
// Notifications the system sends to the parent arrive at the control itself as CN_NOTIFY,
// CN_COMMAND and CN_DRAWITEM (the core reflects them).
#pragma once

#include "Forms.h"
#include "ImgList.h"

#include <commctrl.h>

#include <string>
#include <vector>

class TStatusBar;
class TToolBar;
class TPageControl;

// ---------------------------------------------------------------------------------------------
// Status bar

// The first day of a calendar's week (dowLocaleDefault: the user's locale decides).
DECLARE_ENUM(TCalDayOfWeek, dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
             dowLocaleDefault)
DECLARE_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
DECLARE_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
    DECLARE_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* ACollection);
    static void DefineClass(TClassBuilder<TStatusPanel>& B);
    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() override;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    // A negative width counts as 0.
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
};

class TStatusPanels : public TCollection {
    DECLARE_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* AStatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TPersistent* GetOwner() override;
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

using TDrawPanelEvent = TMethodOf<TStatusBar*, TStatusPanel*, const TRect&>;
DECLARE_EVENT_NAME(TDrawPanelEvent)

class TStatusBar : public TWinControl {
    DECLARE_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    static void DefineClass(TClassBuilder<TStatusBar>& B);

    TStatusPanels* Panels() const { return FPanels; }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool Value) { FAutoHint = Value; }
    // Only while OnDrawPanel runs: the panel's DC.
    TCanvas* Canvas() const { return FCanvas; }

    TDrawPanelEvent OnDrawPanel;
    TNotifyEvent OnHint;

    // The panels' parts, texts and styles sent to the window again.
    void UpdatePanels();
    void UpdatePanel(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateComponentWindows() override;
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
    void CNDrawItem(TMessage& Message);
    void WMSize(TMessage& Message);

private:
    // A part's text in the code page of the bar's font, whatever the system's.
    void SetPartText(WPARAM Flags, const std::string& Text);
    TStatusPanels* FPanels = nullptr;
    TCanvas* FCanvas = nullptr;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    bool FAutoHint = false;
};

// ---------------------------------------------------------------------------------------------
// Custom draw

DECLARE_ENUM(TCustomDrawStage, cdPrePaint, cdPostPaint, cdPreErase, cdPostErase)
DECLARE_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
             cdsMarked, cdsIndeterminate)
DECLARE_SET(TCustomDrawState, TCustomDrawStateItem)

// ---------------------------------------------------------------------------------------------
// Tool bar

DECLARE_ENUM(TTBCustomDrawFlag, tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect)
DECLARE_SET(TTBCustomDrawFlags, TTBCustomDrawFlag)
DECLARE_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
DECLARE_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
DECLARE_SET(TEdgeBorders, TEdgeBorder)

class TToolButton : public TGraphicControl {
    DECLARE_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TToolButton>& B);

    TToolBar* ToolBar() const;
    int Index() const;
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Indeterminate() const { return FIndeterminate; }
    void SetIndeterminate(bool Value);
    bool Marked() const { return FMarked; }
    void SetMarked(bool Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    TComponent* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TComponent* Value) { FDropdownMenu = Value; }
    void SetEnabled(bool Value) override;
    void SetVisible(bool Value) override;
    // The command number the tool bar window knows this button by.
    int CommandID() const { return FCommandID; }
    void Click() override;

protected:
    void CMTextChanged(TMessage& Message);

private:
    friend class TToolBar;
    void Changed();

    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    bool FAllowAllUp = false;
    bool FIndeterminate = false;
    bool FMarked = false;
    bool FWrap = false;
    TComponent* FDropdownMenu = nullptr;
    int FCommandID = 0;
};

// (Sender, ARect, Stage, var DefaultDraw): the bar's background; DefaultDraw False keeps the
// window's own drawing out.
using TTBAdvancedCustomDrawEvent = TMethodOf<TToolBar*, const TRect&, TCustomDrawStage, bool&>;
DECLARE_EVENT_NAME(TTBAdvancedCustomDrawEvent)
// (Sender, Button, State, Stage, var Flags, var DefaultDraw): one button.
using TTBAdvancedCustomDrawBtnEvent =
    TMethodOf<TToolBar*, TToolButton*, TCustomDrawState, TCustomDrawStage, TTBCustomDrawFlags&, bool&>;
DECLARE_EVENT_NAME(TTBAdvancedCustomDrawBtnEvent)

class TToolBar : public TWinControl {
    DECLARE_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    static void DefineClass(TClassBuilder<TToolBar>& B);

    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TToolButton* Buttons(int Index) const;  // the list-index error outside
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The images of buttons under the mouse; Images' place and size hold for them too.
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders Value);
    bool List() const { return FList; }
    void SetList(bool Value);
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool Value);

    // The tool bar window's buttons made again from the tool buttons.
    void UpdateButtons();
    // Only while a custom-draw event runs: the DC the window paints on.
    TCanvas* Canvas() const { return FCanvas; }

    // Asked while the window paints: the background at its pre-paint stage, then every button.
    TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateComponentWindows() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void CNCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void CNNotify(TMessage& Message);
    void CMControlChange(TMessage& Message);

private:
    friend class TToolButton;
    LRESULT CustomDraw(NMTBCUSTOMDRAW& Draw);
    TCanvas* FCanvas = nullptr;
    void ImageListChange(TObject* Sender);
    void PlaceButtons();
    TToolButton* FindButton(int CommandID) const;

    std::vector<TToolButton*> FButtons;
    TCustomImageList* FImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    TCustomImageList* FHotImages = nullptr;
    TChangeLink* FHotImageChangeLink = nullptr;
    bool FFlat = false;
    bool FShowCaptions = false;
    bool FList = false;
    bool FWrapable = true;
    int FButtonHeight = 22;
    int FButtonWidth = 23;
    TEdgeBorders FEdgeBorders{ebTop};
    bool FUpdating = false;
    std::string FTipText;    // the hint the tool tip shows, kept while it reads it
    std::wstring FTipTextW;
};

// ---------------------------------------------------------------------------------------------
// Page control

class TTabSheet : public TWinControl {
    DECLARE_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    static void DefineClass(TClassBuilder<TTabSheet>& B);

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The page's place among the control's pages; -1 without a control.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The tab's place among the visible tabs; -1 when its tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value) { FHighlighted = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void ReadState(TReader& Reader) override;
    void CMTextChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
    bool FHighlighted = false;
};

// (Sender, var AllowChange): the same type as the forms' close query.
using TTabChangingEvent = TCloseQueryEvent;

class TPageControl : public TWinControl {
    DECLARE_CLASS(TPageControl, TWinControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    static void DefineClass(TClassBuilder<TPageControl>& B);

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const;  // the list-index error outside
    TTabSheet* ActivePage() const { return FActivePage; }
    // A page of another control (or not a page of this one) is ignored.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    // Outside the pages (-1 included) no page is active.
    void SetActivePageIndex(int Value);
    int TabIndex() const;
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

    // The tabs made again from the pages.
    void UpdateTabs();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateComponentWindows() override;
    void AdjustClientRect(TRect& Rect) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    virtual bool CanChange();
    virtual void Change();
    void CNNotify(TMessage& Message);
    void CMControlChange(TMessage& Message);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowActivePage();
    void ImageListChange(TObject* Sender);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TCustomImageList* FImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    bool FMultiLine = false;
};

// A flag the window's style carries: a change makes the window again.
void SetStyleFlag(TWinControl* Control, bool& Field, bool Value);

// The update bracket of a control's item list: the window stops drawing at the outer begin and
// draws everything again at the outer end.
void BeginWindowUpdate(TWinControl* Control, int& UpdateCount);
void EndWindowUpdate(TWinControl* Control, int& UpdateCount);

// The unit's start-up: the system's common controls and the class registrations form files need
// (tree and list views included).
void InitComCtrls();
