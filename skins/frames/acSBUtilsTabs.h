// Hooks of tab controls, page controls and their pages (part of the window-hooks unit,
// acSBUtils.h): the band of tabs, every tab and the page area painted from the skin; a page control
// also hooks its pages so that they show the page area around their children. The tab control's
// own up-down button gets the up-down hook.
#pragma once

#include "acSBUtilsButtons.h"

class TacTabControlWnd : public TacMainWnd {
    DECLARE_CLASS(TacTabControlWnd, TacMainWnd)
public:
    TacTabControlWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                     TsCommonData* ASkinData);
    ~TacTabControlWnd() override;
    void WndProc(TMessage& Message) override;
    virtual TRect GetDisplayRect();
    virtual TRect GetPageRect() { return SplitAtTabs(false); }

    int TabCount();
    int ActiveTab();
    // 0 top, 1 bottom, 2 left, 3 right.
    int TabPosition();
    // 0 tabs, 1 buttons, 2 flat buttons.
    int TabStyle();
    TRect GetTabsArea() { return SplitAtTabs(true); }
    TRect GetItemRect(int Index);
    int TabRow(int Index);
    TRect GetTabRect(int Index, bool Active);
    void RefreshUpDown();
    void PaintNow(TMessage& Message);
    void PaintInactiveTabs(const BackgroundSource& Background);
    void PaintTabNow(int Index, int State, HDC DC);
    void PaintTab(int Index, int State, TPoint Offset, TBitmap* Target);

    TacSpinWnd* SpinHook = nullptr;  // owned

protected:
    // The window cut at the display area's edge on the tabs' side: the tabs' part or the page's.
    TRect SplitAtTabs(bool TabsSide);
    // The window procedure below the tab-control handling.
    void TabWndProc(TMessage& Message) { TacTabControlWnd::WndProc(Message); }
};

class TacPageControlWnd : public TacTabControlWnd {
    DECLARE_CLASS(TacPageControlWnd, TacTabControlWnd)
public:
    TacPageControlWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                      TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    // Hooks every page (direct child window) not yet skinned.
    void HookPages();
};

// A page of a hooked page control: its background from the page control's image.
class TacPageWnd : public TacMainWnd {
    DECLARE_CLASS(TacPageWnd, TacMainWnd)
public:
    TacPageWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    int TabPosition();
    void PaintBackground(HDC DC);
};
