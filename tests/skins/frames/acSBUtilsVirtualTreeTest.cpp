// The hook of virtual trees, over a stand-in tree that publishes the properties and events the hook
// reaches by name: the header drawn from the skin through the advanced draw events (pressed column,
// its text, the empty area), the text colours taken, and on the way out the program's own handler
// and owner-draw option left as they were.
#include "../engine/SkinPixelSupport.h"

#include "TypInfo.h"
#include "acSBUtilsList.h"

using namespace skintests;

namespace {

DECLARE_ENUM(TTestHeaderOption, hoOwnerDraw, hoVisible)
DECLARE_SET(TTestHeaderOptions, TTestHeaderOption)
DECLARE_ENUM(TTestColumnOption, coWrapCaption, coVisible)
DECLARE_SET(TTestColumnOptions, TTestColumnOption)

class TTestHeader : public TPersistent {
    DECLARE_CLASS(TTestHeader, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestHeader>& B) {
        B.Property("Options", &TTestHeader::Options, &TTestHeader::Options);
        B.Property("Height", &TTestHeader::Height, &TTestHeader::Height);
        B.Property("SortDirection", &TTestHeader::SortDirection, &TTestHeader::SortDirection);
        B.Property("Color", &TTestHeader::Color, &TTestHeader::Color);
    }
    TTestHeaderOptions Options{hoVisible};
    int Height = 20;
    int SortDirection = 0;
    TColor Color = clBtnFace;
};

class TTestColors : public TPersistent {
    DECLARE_CLASS(TTestColors, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestColors>& B) {
        B.Property("CompressedTextColor", &TTestColors::Compressed, &TTestColors::Compressed);
        B.Property("FileTextColor", &TTestColors::File, &TTestColors::File);
        B.Property("FolderTextColor", &TTestColors::Folder, &TTestColors::Folder);
    }
    TColor Compressed = clBlue, File = clWindowText, Folder = clWindowText;
};

class TTestColumn : public TPersistent {
    DECLARE_CLASS(TTestColumn, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestColumn>& B) {
        B.Property("Text", &TTestColumn::Text, &TTestColumn::Text);
        B.Property("Options", &TTestColumn::Options, &TTestColumn::Options);
    }
    std::string Text = "Name";
    TTestColumnOptions Options{coVisible};
};

// One column of ColumnWidth pixels; its header asks the advanced draw events when it is owner-drawn
// and both are set, otherwise it fills itself with Header.Color.
class TTestVirtualTree : public TCustomControl {
    DECLARE_CLASS(TTestVirtualTree, TCustomControl)
public:
    static constexpr int ColumnWidth = 100;
    explicit TTestVirtualTree(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clWindow); }
    ~TTestVirtualTree() override {
        FreeAndNil(Header);
        FreeAndNil(VETColors);
        FreeAndNil(Column);
    }
    static void DefineClass(TClassBuilder<TTestVirtualTree>& B) {
        B.Property("Header", &TTestVirtualTree::Header);
        B.Property("VETColors", &TTestVirtualTree::VETColors);
        B.Property("OnAdvancedHeaderDraw", &TTestVirtualTree::OnAdvancedHeaderDraw,
                   &TTestVirtualTree::OnAdvancedHeaderDraw);
        B.Property("OnHeaderDrawQueryElements", &TTestVirtualTree::OnHeaderDrawQueryElements,
                   &TTestVirtualTree::OnHeaderDrawQueryElements);
    }
    TTestHeader* Header = Create<TTestHeader>();
    TTestColors* VETColors = Create<TTestColors>();
    TTestColumn* Column = Create<TTestColumn>();
    TVTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TVTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    bool Pressed = false;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        const int H = Header->Height, W = ClientWidth();
        if (Header->Options.Contains(hoOwnerDraw) && OnAdvancedHeaderDraw && OnHeaderDrawQueryElements) {
            THeaderPaintInfo I;
            I.TargetCanvas = C;
            I.Column = Column;
            I.PaintRectangle = Rect(0, 0, ColumnWidth, H);
            I.IsDownIndex = Pressed;
            int Elements = 0;
            OnHeaderDrawQueryElements(this, I, Elements);
            OnAdvancedHeaderDraw(this, I, Elements & hpeBackground);
            OnAdvancedHeaderDraw(this, I, Elements & ~hpeBackground);
            I.Column = nullptr;
            I.PaintRectangle = Rect(ColumnWidth, 0, W, H);
            OnAdvancedHeaderDraw(this, I, hpeBackground);
        } else {
            C->Brush()->SetColor(Header->Color);
            C->FillRect(Rect(0, 0, W, H));
        }
        C->Brush()->SetColor(Color());
        C->FillRect(Rect(0, H, W, ClientHeight()));
    }
};

constexpr TColor HeaderColor = 0x408020, HeaderHotColor = 0x2080F0, HeaderFontColor = 0x0000C0,
                 TreeFontColor = 0x903060;

class acSBUtilsVirtualTreeTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"EDIT", 0xF0F0F0, 0, 0, 0, 0, 0xF0F0F0, TreeFontColor},
                     {"COLHEADER", HeaderColor, 0, 0, 0, HeaderFontColor, HeaderHotColor, HeaderFontColor},
                     {"GLOBALINFO", 0x808080}});
        Tree = Place<TTestVirtualTree>(10, 10, 200, 120);
        Tree->HandleNeeded();
    }
    void TearDown() override {
        FreeAndNil(Hook);
        FreeAndNil(Data);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    void Attach() {
        Data = Create<TsCommonData>(Tree, true);
        Hook = Create<TacVirtualTreeViewWnd>(Tree->Handle(), false, "", Manager, Data);
        Hook->SetSkinParams();
    }
    // The client area as the hook prints it.
    TBitmap* Print() {
        RECT W{};
        GetWindowRect(Tree->Handle(), &W);
        TBitmap* Image = MakeBitmap(W.right - W.left, W.bottom - W.top, pf24bit);
        SendMessageA(Tree->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()),
                     PRF_CLIENT | PRF_NONCLIENT);
        return Image;
    }
    TTestVirtualTree* Tree = nullptr;
    TsCommonData* Data = nullptr;
    TacVirtualTreeViewWnd* Hook = nullptr;
};

TEST_F(acSBUtilsVirtualTreeTest, HeaderIsDrawnFromTheSkinThroughTheAdvancedDrawEvents) {
    Attach();
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw.Assigned());
    EXPECT_TRUE(Tree->OnHeaderDrawQueryElements.Assigned());
    EXPECT_TRUE(Tree->Header->Options.Contains(hoOwnerDraw));
    EXPECT_EQ(Tree->VETColors->Compressed, TreeFontColor);
    const int Edge = Hook->LeftEdge, H = Tree->Header->Height;
    for (bool Pressed : {false, true}) {
        SCOPED_TRACE(Pressed ? "pressed" : "normal");
        Tree->Pressed = Pressed;
        TOwned<TBitmap> Image(Print());
        EXPECT_EQ(GetPx(Image.get(), Edge + 95, Edge + 2), PxOf(Pressed ? HeaderHotColor : HeaderColor)) << "the column";
        EXPECT_EQ(GetPx(Image.get(), Edge + 150, Edge + H / 2), PxOf(HeaderColor)) << "right of the column";
        EXPECT_EQ(GetPx(Image.get(), Edge + 150, Edge + H + 20), PxOf(ColorToRGB(Tree->Color()))) << "the rows below";
        int TextPixels = 0;
        for (int Y = Edge; Y < Edge + H; ++Y)
            for (int X = Edge; X < Edge + TTestVirtualTree::ColumnWidth; ++X)
                TextPixels += GetPx(Image.get(), X, Y) == PxOf(HeaderFontColor);
        EXPECT_GT(TextPixels, 0) << "the column's text in the section's font colour";
    }
}

TEST_F(acSBUtilsVirtualTreeTest, TheProgramsHandlerAndOwnerDrawOptionAreLeftAsTheyWere) {
    int Calls = 0;
    const auto Own = TVTAdvancedHeaderPaintEvent::FromFunction([&](TObject*, THeaderPaintInfo&, int) { ++Calls; });
    Tree->OnAdvancedHeaderDraw = Own;
    Attach();
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw == Own) << "a handler the program set is not taken";
    EXPECT_TRUE(Tree->OnHeaderDrawQueryElements.Assigned());
    FreeAndNil(Hook);
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw == Own);
    EXPECT_FALSE(Tree->OnHeaderDrawQueryElements.Assigned()) << "the hook's own handler goes with it";
    EXPECT_FALSE(Tree->Header->Options.Contains(hoOwnerDraw));
    EXPECT_EQ(Tree->VETColors->Compressed, clBlue);
    RedrawWindow(Tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Calls, 0) << "without owner drawing the header draws itself";
}

}  // namespace
