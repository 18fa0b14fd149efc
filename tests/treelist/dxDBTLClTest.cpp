#include "RxMemDS.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxDBGrid.h"
#include "dxDBTLCl.h"
#include "dxGrClms.h"

#include <memory>

using namespace treelist_tests;

namespace {
std::string RedBitmapValue(int W, int H) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(W, H, clRed));
    std::unique_ptr<TPicture, TObjectDeleter> P(Create<TPicture>());
    P->Assign(B.get());
    return SavePictureValue(P.get());
}

// A table with a picture and a memo field and one record, in edit state.
struct BlobColumnsTest : TreeListTest {
    std::unique_ptr<TRxMemoryData, TObjectDeleter> T;
    void SetUp() override {
        TreeListTest::SetUp();
        static bool Registered = false;
        if (!Registered) {
            Registered = true;
            dxDBTLClInitialization();
        }
        T.reset(Create<TRxMemoryData>(nullptr));
        T->FieldDefs()->Add("Photo", ftGraphic);
        T->FieldDefs()->Add("Notes", ftMemo);
        T->Open();
        T->Append();
        T->FieldByName("Photo")->SetAsString(RedBitmapValue(8, 6));
        T->FieldByName("Notes")->SetAsString(std::string(300, 'n'));
        T->Post();
        T->Edit();
    }
    template <class C>
    std::unique_ptr<C, TObjectDeleter> ColumnOf(const char* FieldName) {
        std::unique_ptr<C, TObjectDeleter> Column(Create<C>(nullptr));
        Column->SetFieldDirect(T->FieldByName(FieldName));
        return Column;
    }
};
}  // namespace

TEST_F(BlobColumnsTest, GraphicColumnEditsThePictureOfItsField) {
    auto Column = ColumnOf<TdxDBTreeListGraphicColumn>("Photo");
    EXPECT_TRUE(Column->DisableFilter);
    EXPECT_TRUE(Column->Stretch());
    EXPECT_EQ(TdxInplaceGraphicEdit::StaticClass(), Column->GetEditorClass());
    TForm* F = NewForm();
    auto* E = Create<TdxInplaceGraphicEdit>(F);
    E->SetParent(F);
    Column->SetStretch(false);
    Column->InitEditProperties(E);
    EXPECT_FALSE(E->Stretch());
    Variant V;
    Column->InitEditValue(nullptr, E, V);
    ASSERT_FALSE(IsPictureEmpty(E->EditPicture()));
    EXPECT_EQ(8, E->EditPicture()->Width());
    // A pasted picture goes back into the field as its bytes.
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(3, 4, clBlue));
    E->EditPicture()->Assign(B.get());
    Column->AssignEditValue(nullptr, E, V);
    std::unique_ptr<TPicture, TObjectDeleter> Back(Create<TPicture>());
    LoadPictureValue(Back.get(), T->FieldByName("Photo")->AsVariant(), nullptr);
    EXPECT_EQ(3, Back->Width());
    E->DeletePicture();
    Column->AssignEditValue(nullptr, E, V);
    EXPECT_TRUE(T->FieldByName("Photo")->IsNull());
}

TEST_F(BlobColumnsTest, GraphicColumnEmptyCellsBestFitAndToolbarPosition) {
    auto Column = ColumnOf<TdxDBTreeListGraphicColumn>("Photo");
    Column->SetStretch(false);
    std::unique_ptr<TdxGraphicEditViewData, TObjectDeleter> VD(Create<TdxGraphicEditViewData>());
    TdxTreeListCellViewData Cell;
    Cell.BkColor = GetSysColor(COLOR_WINDOW);
    Cell.Brush = GetSysColorBrush(COLOR_WINDOW);
    // No node: the cell decodes nothing and paints empty; the best fit is then 0.
    Column->PrepareViewData(VD.get(), Cell);
    EXPECT_TRUE(IsPictureEmpty(Column->CellPicture()));
    EXPECT_EQ(Column->CellPicture(), VD->Picture);
    EXPECT_FALSE(VD->Stretch);
    EXPECT_EQ(0, Column->GetBestFitWidth(nullptr));
    // The new-item row that cannot be edited paints empty too.
    Cell.ReadOnlyNewItemRow = true;
    Column->PrepareViewData(VD.get(), Cell);
    EXPECT_TRUE(IsPictureEmpty(Column->CellPicture()));
    Column->SetPopupToolbarPosStored(true);
    Column->ToolbarPos = TPoint{4, 4};
    Column->SetPopupToolbarPosStored(false);
    EXPECT_EQ(dxNoToolBarPos.X, Column->ToolbarPos.X);
    Column->SetStretch(true);
    EXPECT_EQ(0, Column->GetBestFitWidth(nullptr));
}

TEST_F(BlobColumnsTest, BlobColumnTextByPaintStyleAndAssignKeepsEvents) {
    auto Column = ColumnOf<TdxDBTreeListBlobColumn>("Notes");
    EXPECT_EQ(ckMemo, Column->ContentKind());
    EXPECT_EQ(20, Column->MinWidth());
    std::string Text;
    Column->SetBlobPaintStyle(bpsText);
    const struct {
        int Max;
        std::size_t Length;
    } Cases[] = {{255, 255}, {-1, 300}, {0, 0}};
    for (const auto& C : Cases) {
        Column->MaxDisplayLength = C.Max;
        Column->GetCellText(nullptr, Text);
        EXPECT_EQ(C.Length, Text.size()) << C.Max;
    }
    Column->SetBlobPaintStyle(bpsIcon);
    T->FieldByName("Notes")->Clear();
    Column->GetCellText(nullptr, Text);
    EXPECT_EQ("", Text);
    auto Other = ColumnOf<TdxDBTreeListBlobColumn>("Notes");
    Other->PictureGraphicClass = TBitmap::StaticClass();
    Other->PopupWidth = 333;
    Column->PopupWidth = 444;
    Other->Assign(Column.get());
    EXPECT_EQ(444, Other->PopupWidth);
    EXPECT_EQ(TGraphicClass(TBitmap::StaticClass()), Other->PictureGraphicClass);
}

TEST_F(BlobColumnsTest, BlobColumnEditsTheMemoAndKeepsThePopupSize) {
    auto Column = ColumnOf<TdxDBTreeListBlobColumn>("Notes");
    TForm* F = NewForm();
    auto* E = Create<TdxInplaceBlobEdit>(F);
    E->SetParent(F);
    Column->InitEditProperties(E);
    EXPECT_EQ(ckMemo, E->BlobContentKind());
    EXPECT_FALSE(E->AlwaysSaveText) << "the column's default";
    Variant V;
    Column->InitEditValue(nullptr, E, V);
    EXPECT_EQ(300u, E->BlobValue().size());
    E->SetBlobValue("short");
    Column->AssignEditValue(nullptr, E, V);
    EXPECT_EQ("short", T->FieldByName("Notes")->AsString());
    E->SetPopupSize(250, 180);
    EXPECT_EQ(250, Column->PopupWidth);
    EXPECT_EQ(180, Column->PopupHeight);
}

TEST_F(BlobColumnsTest, PictureWithAndWithoutHeaderPaintsInAGraphicCellOfTheGrid) {
    const std::string Plain = RedBitmapValue(8, 6);
    std::string Header("\x01\x00\x00\x01", 4);
    for (int I = 0; I < 4; ++I)
        Header += static_cast<char>((Plain.size() >> (8 * I)) & 0xFF);
    T->Post();
    T->Append();
    T->FieldByName("Photo")->SetAsString(Header + Plain);
    T->Post();
    TForm* F = NewForm();
    auto* Grid = Create<TdxDBGrid>(F);
    Grid->SetParent(F);
    Grid->SetBounds(0, 0, 200, 120);
    Grid->SetDefaultFields(false);
    auto* Column = static_cast<TdxDBTreeListGraphicColumn*>(
        Grid->CreateColumnOfClass(TdxDBGridGraphicColumn::StaticClass()));
    Column->SetFieldName("Photo");
    Column->SetStretch(false);
    Column->SetShadowSelection(false);
    auto* Source = Create<TDataSource>(F);
    Source->SetDataSet(T.get());
    Grid->SetDataSource(Source);
    Pump();
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(Grid->Width(), Grid->Height(), clLime));
    Grid->PaintTo(B->Canvas()->Handle(), 0, 0);
    ASSERT_EQ(2, Grid->GetRowCount());
    for (int Row : {0, 1}) {
        SCOPED_TRACE(Row == 0 ? "without header" : "with header");
        TRect Cell;
        Grid->GetCellRect(Grid->GetNodeAtRow(Row), Grid->IndexOfColumn(Column), Cell);
        ASSERT_GT(Cell.Height(), 6);
        int Red = 0;
        for (int Y = Cell.Top; Y < Cell.Bottom; ++Y)
            for (int X = Cell.Left; X < Cell.Right; ++X)
                Red += PixelAt(B.get(), X, Y) == RGB(255, 0, 0);
        EXPECT_EQ(8 * 6, Red) << "the picture once, at its own size";
        EXPECT_EQ(RGB(255, 0, 0), PixelAt(B.get(), (Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2))
            << "centred";
    }
}
