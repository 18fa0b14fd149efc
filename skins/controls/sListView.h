// The skinned list view: the framework's list view with skin data and a bound label. While skinned,
// an edit-like hook paints its frame and scroll bars, thumb tracking of those bars scrolls the list,
// and the report view's column header (subclassed when the list view makes it) is painted from the
// skin section "COLHEADER" with hot and pressed items and sort glyphs. Unskinned, it is the
// framework's list view that answers the library commands, tells of the mouse entering and leaving
// and keeps its label beside it.
//
// Start-up: sListViewInitialization() registers TsCustomListView for form files.
#pragma once

#include "ComCtrlsList.h"
#include "sCommonData.h"

class TacScrollWnd;

class TsCustomListView : public TCustomListView {
    DECLARE_CLASS(TsCustomListView, TCustomListView)
public:
    explicit TsCustomListView(TComponent* AOwner);
    ~TsCustomListView() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsCustomListView>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    bool HighlightHeaders() const { return FHighlightHeaders; }
    void SetHighlightHeaders(bool Value) { FHighlightHeaders = Value; }
    // The subclassed header (0 while none), the column under the mouse (-2 none) and the pressed
    // one (-1 none).
    HWND SubclassedHeader() const { return FHeaderHandle; }
    int HotColumn() const { return FHotColumn; }
    int PressedColumn() const { return FPressedColumn; }
    TacScrollWnd* ListHook() const { return FListHook; }

    // Install: the control's own drawing handler goes in, a user's handler is kept and called
    // instead; otherwise the user's handler is put back.
    void SetCustomDrawHook(bool Install);
    void PaintHeader();
    void PaintHeaderSection(TRect R, int Index);
    // The header item at a header point in LParam's words; -2 when none.
    int HeaderIndexAtPoint(LPARAM LParam);
    TRect GetHeaderItemRect(int Position);

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    void CreateWnd() override;

private:
    void HeaderWndProc(TMessage& Message);
    void HeaderMessage(TMessage& Message);
    void SubclassHeader(HWND Header);
    void ReleaseHeader();
    void SkinnedWndProc(TMessage& Message);
    void AfterSkinnedMessage(TMessage& Message);
    void BoundLabelMessage(TMessage& Message);
    void ParentNotify(TMessage& Message);
    void TakeSkinColors();
    void PrepareCache();
    void TrackThumb(TMessage& Message, int Bar);
    void AdvancedCustomDraw(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void ClearHotColumn();
    bool Skinned() const { return FCommonData && FCommonData->IsSkinned(false); }

    HWND FHeaderHandle = nullptr;
    WNDPROC FHeaderInstance = nullptr;
    WNDPROC FDefHeaderProc = nullptr;
    int FPressedColumn = -1;
    TsCommonData* FCommonData = nullptr;
    int FHotColumn = -2;
    TsBoundLabel* FBoundLabel = nullptr;
    bool FHighlightHeaders = true;
    TLVCustomDrawEvent FSavedCustomDraw;
    bool FHeaderMouseDown = false;
    TacScrollWnd* FListHook = nullptr;
    bool FNotReady = true;
    // Thumb tracking: the position of the last track message of the bar being dragged.
    int FTrackBar = -1;
    int FLastTrackPos = 0;
};

// Where a header item's text goes: R is the item's rectangle (0 based), Format its HDF_ format,
// ImageOffset the room of its image (0 for none), TextWidth and GlyphWidth the text's and the sort
// glyph's widths with their margins. Returns the text rectangle.
TRect HeaderTextRect(TRect R, int Format, int ImageOffset, int TextWidth, int GlyphWidth);

void sListViewInitialization();
