// Hooks of container windows whose background shows around their children (part of the
// window-hooks unit, acSBUtils.h): child dialogs, group boxes, panels, panels of standard dialogs and
// status bars. Each paints its section into the cache and copies it without painting over the
// visible child windows or controls.
#pragma once

#include "acSBUtils.h"

class TacTransPanelWnd : public TacMainWnd {
    DECLARE_CLASS(TacTransPanelWnd, TacMainWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    virtual void PaintBackground();
};

// Section "GROUPBOX" unless one is given; answers SKIN_GETMANAGER with its caption band's height.
class TacGroupBoxWnd : public TacMainWnd {
    DECLARE_CLASS(TacGroupBoxWnd, TacMainWnd)
public:
    TacGroupBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                   TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    TRect CaptionRect();
    void PaintNow(TMessage& Message);
    void PrepareCache();

private:
    void SelectFont(TCanvas* Canvas);
    void PaintCaption(const TRect& R, const ParentBackgroundInfo& Info);
};

// Panels: the section chosen from the bevels unless one is given.
class TacPanelWnd : public TacMainWnd {
    DECLARE_CLASS(TacPanelWnd, TacMainWnd)
public:
    TacPanelWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    void PrepareCache();
    void PaintClient(HDC DC);
    void PaintBorder(HDC DC);

private:
    bool IsContainer() const;
};

// Panels inside standard dialogs: always "CHECKBOX" (for the framework's own panel class) or
// "GROUPBOX".
class TacDlgPanelWnd : public TacMainWnd {
    DECLARE_CLASS(TacDlgPanelWnd, TacMainWnd)
public:
    TacDlgPanelWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                   TsCommonData* ASkinData);
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;
    void PrepareCache();
    void PaintBorder(HDC DC);
    void PaintClient(HDC DC);

    TControl* PanelControl = nullptr;

private:
    void SetPanelColor(TColor Value);
};

// Status bars: section "STATUSBAR" unless one is given.
class TacStatusBarWnd : public TacMainWnd {
    DECLARE_CLASS(TacStatusBarWnd, TacMainWnd)
public:
    TacStatusBarWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                    TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    void PrepareCache();
    void PaintPanels();
    void PaintPanelContent(int Index, TRect R);
    std::string PanelText(int Index);
    void WriteText(const std::string& Text, const TRect& R, UINT Flags);
    void PaintBorder(HDC DC);
    void PaintNow(HDC DC);

    class TStatusBar* StatusBarHost = nullptr;
};
