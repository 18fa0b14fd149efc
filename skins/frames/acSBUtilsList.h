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
    // The grid's own colours come back with its window procedure.
    ~TacGridWnd() override { DetachFromWindow(); }
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

// What a virtual tree's header hands its advanced draw events: the canvas, the column (null for the
// empty area right of the columns), the rectangle, the column's hot and pressed looks and where its
// sort glyph goes.
struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TObject* Column = nullptr;
    TRect PaintRectangle{};
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool ShowSortGlyph = false;
    TPoint SortGlyphPos{};
};
// Header elements, as bits: the background, the text, the sort glyph and the centred text.
inline constexpr int hpeBackground = 1, hpeText = 2, hpeSortGlyph = 8, hpeCaption = 16;
// (Sender, PaintInfo, Elements): the header paints the elements through the event.
using TVTAdvancedHeaderPaintEvent = TMethodOf<TObject*, THeaderPaintInfo&, int>;
DECLARE_EVENT_NAME(TVTAdvancedHeaderPaintEvent)
// (Sender, PaintInfo, var Elements): the elements the advanced draw event takes over.
using TVTHeaderPaintQueryElementsEvent = TMethodOf<TObject*, THeaderPaintInfo&, int&>;
DECLARE_EVENT_NAME(TVTHeaderPaintQueryElementsEvent)

// Virtual trees: text colours of their colour object, the header's colours by property name, the
// header drawn from the skin through its advanced draw events, and the frame and bars painted as
// the edit hook paints them.
class TacVirtualTreeViewWnd : public TacEditWnd {
    DECLARE_CLASS(TacVirtualTreeViewWnd, TacEditWnd)
public:
    TacVirtualTreeViewWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                          TsCommonData* ASkinData);
    // The tree's own colours, events and options come back with its window procedure.
    ~TacVirtualTreeViewWnd() override { DetachFromWindow(); }
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;
    void AdvancedHeaderDraw(TObject* Sender, THeaderPaintInfo& PaintInfo, int Elements);
    void HeaderDrawQueryElements(TObject* Sender, THeaderPaintInfo& PaintInfo, int& Elements);

    TColor SavedCompressedTextColor = clNone, SavedFileTextColor = clNone, SavedFolderTextColor = clNone;
    bool SavedOwnerDraw = false;

private:
    // The frame strips and the bars into DC from the cache.
    LRESULT PaintFrame(HDC DC, WPARAM Reserved);
};
