// Hooks of list views with their column header, of grids and of virtual trees (part of the
// window-hooks unit, acSBUtils.h). They keep the edit hook's frame and bars and give the control's
// own parts the skin: the header's sections, a grid's fixed cells and lines, a tree's header and
// text colours. Colours of controls known only by class are reached through their published
// properties; a property that a control lacks is skipped.
#pragma once

#include "ComCtrlsList.h"
#include "acSBUtils.h"

class TacListViewWnd : public TacEditWnd {
    DECLARE_CLASS(TacListViewWnd, TacEditWnd)
public:
    TacListViewWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                   TsCommonData* ASkinData);
    ~TacListViewWnd() override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;

    TViewStyle ViewStyle();
    void HeaderWndProc(TMessage& Message);
    // The display position of the header section under a screen point; -2 over none.
    int HeaderColumnAt(TPoint P);
    TRect GetHeaderItemRect(int Position);
    void PaintHeader(HDC DC);
    void PaintHeaderSection(const TRect& R, int Column, HDC DC);

    HWND HeaderWnd = nullptr;
    WNDPROC HeaderThunk = nullptr;
    WNDPROC HeaderPrevProc = nullptr;
    int PressedColumn = -1;
    int HotColumn = -1;
    int HeaderHeight = 0;
    bool HeaderClicked = false;

private:
    void HookHeader(HWND Header);
    void ReleaseHeader();
    LRESULT CallHeader(UINT Msg, WPARAM WParam, LPARAM LParam);
    void RepaintHeader();
    // The header's items in display order.
    std::vector<int> HeaderOrder();
};

// Grids whose colours are published properties.
class TacGridWnd : public TacEditWnd {
    DECLARE_CLASS(TacGridWnd, TacEditWnd)
public:
    TacGridWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;

    // The grid's own values, by property name, as they were before skinning.
    std::vector<std::pair<std::string, Int64>> SavedProps;
};

class TacGridEhWnd : public TacGridWnd {
    DECLARE_CLASS(TacGridEhWnd, TacGridWnd)
public:
    using TacGridWnd::TacGridWnd;
    void WndProc(TMessage& Message) override { TacGridWnd::WndProc(Message); }
};

// Virtual trees: text colours of their colour object and the header's colours by property name.
class TacVirtualTreeViewWnd : public TacEditWnd {
    DECLARE_CLASS(TacVirtualTreeViewWnd, TacEditWnd)
public:
    TacVirtualTreeViewWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                          TsCommonData* ASkinData);
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;

    TColor SavedCompressedTextColor = clNone, SavedFileTextColor = clNone, SavedFolderTextColor = clNone;
    bool SavedOwnerDraw = false;
};
