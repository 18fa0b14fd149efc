#include "Clipbrd.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxDBEdtr.h"
#include "dxExEdtrBlob.h"

#include <memory>
#include <set>

using namespace treelist_tests;

namespace {
struct BlobEditTest : TEditorTest<TdxInplaceBlobEdit> {
    int Changes = 0;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; });
    }
    // The cell (0, 0)-(60, 30) of a green bitmap painted from the editor's view data.
    std::unique_ptr<TBitmap, TObjectDeleter> PaintCell() {
        std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(60, 30, clLime));
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        Edit->Meta()->DrawClient(B->Canvas()->Handle(), TRect{0, 0, 60, 30}, false, VD.get());
        return B;
    }
    TCustomdxBlobPopup* OpenMemo(const std::string& Value) {
        Edit->SetBlobContentKind(ckMemo);
        Open(Variant(Value));
        Edit->SetFocus();
        Edit->OpenPopup();
        TCustomdxBlobPopup* P = Edit->BlobPopup();
        EXPECT_TRUE(P && IsWindowVisible(P->Handle()));
        return P;
    }
    // Text typed into the popup's memo as the user types it.
    void TypeInto(TCustomdxBlobPopup* P, const std::string& S) {
        SendMessageA(P->Handle(), EM_SETSEL, -1, -1);
        for (char C : S)
            SendMessageA(P->Handle(), WM_CHAR, static_cast<unsigned char>(C), 1);
    }
    void Key(TCustomdxBlobPopup* P, Word K, TShiftState Shift = {}) { P->KeyDown(K, Shift); }
};

// The colour of the pixels of one image of the blob image list, drawn alone.
std::set<COLORREF> IconColours(int Index) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(BlobImages->Width(), BlobImages->Height(), clLime));
    DrawImageListImage(B->Canvas()->Handle(), 0, 0, BlobImages, Index);
    std::set<COLORREF> S;
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X)
            S.insert(PixelAt(B.get(), X, Y));
    S.erase(RGB(0, 255, 0));
    return S;
}
}  // namespace

TEST_F(BlobEditTest, MemoCellShowsItsIconOrItsTextByPaintStyle) {
    ASSERT_TRUE(BlobImages);
    Edit->SetBlobContentKind(ckMemo);
    const struct {
        const char* Value;
        int Icon;
    } Cases[] = {{"", 2}, {"some notes", 3}};
    for (const auto& C : Cases) {
        Edit->SetEditValue(Variant(std::string(C.Value)));
        Edit->SetBlobDisplayText("some notes");
        Edit->SetBlobPaintStyle(bpsIcon);
        auto B = PaintCell();
        // The icon stands centred: its own pixels at the middle of the cell, no text beside it.
        const int X0 = (60 - BlobImages->Width()) / 2, Y0 = (30 - BlobImages->Height()) / 2;
        std::unique_ptr<TBitmap, TObjectDeleter> Icon(
            SolidBitmap(BlobImages->Width(), BlobImages->Height(), static_cast<TColor>(PixelAt(B.get(), 1, 1))));
        DrawImageListImage(Icon->Canvas()->Handle(), 0, 0, BlobImages, C.Icon);
        int Same = 0, Total = 0;
        for (int Y = 0; Y < Icon->Height(); ++Y)
            for (int X = 0; X < Icon->Width(); ++X, ++Total)
                Same += PixelAt(B.get(), X0 + X, Y0 + Y) == PixelAt(Icon.get(), X, Y);
        EXPECT_EQ(Total, Same) << C.Value;
        EXPECT_EQ(ColorToRGB(Edit->Color()), static_cast<TColor>(PixelAt(B.get(), 1, 1))) << C.Value;
    }
    EXPECT_NE(IconColours(2), IconColours(3)) << "the empty and the filled memo icons differ";
    // As text: the text is drawn, and no icon.
    Edit->SetBlobPaintStyle(bpsText);
    auto T = PaintCell();
    int Dark = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 60; ++X)
            Dark += GetRValue(PixelAt(T.get(), X, Y)) < 128 && GetGValue(PixelAt(T.get(), X, Y)) < 128;
    EXPECT_GT(Dark, 10) << "text pixels";
}

TEST_F(BlobEditTest, EmptyValuesAndButtonsByKind) {
    EXPECT_TRUE(Edit->IsEmptyValue(Null()));
    EXPECT_TRUE(Edit->IsEmptyValue(Variant(std::string())));
    EXPECT_FALSE(Edit->IsEmptyValue(Variant(std::string("x"))));
    const struct {
        TdxBlobContentKind Kind;
        TdxEditButtonKind Button;
        bool Popup;
    } Cases[] = {{ckMemo, bkDown, true}, {ckPicture, bkDown, true}, {ckOle, bkEllipsis, false},
                 {ckBinary, bkEllipsis, false}};
    for (const auto& C : Cases) {
        Edit->SetBlobContentKind(C.Kind);
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        auto* D = static_cast<TdxBlobEditViewData*>(VD.get());
        Edit->Meta()->InitButtons(D);
        ASSERT_EQ(1, D->ButtonCount);
        EXPECT_EQ(C.Button, D->Buttons[0].Kind) << static_cast<int>(C.Kind);
        // Bytes that are no picture are refused when a picture popup opens.
        if (C.Kind == ckPicture) {
            Open(Variant(std::string("abc")));
            Edit->SetFocus();
            EXPECT_THROW(Edit->OpenPopup(), Exception);
            EXPECT_TRUE(IsPictureEmpty(Edit->BlobPopup()->PopupPicture()));
            Edit->BlobPopup()->ClosePopupWith(pbnCancel);
        }
        Open(Variant(std::string(C.Kind == ckPicture ? "" : "abc")));
        Edit->SetFocus();
        Edit->OpenPopup();
        EXPECT_EQ(C.Popup, Edit->BlobPopup() && IsWindowVisible(Edit->BlobPopup()->Handle()))
            << static_cast<int>(C.Kind);
        if (Edit->BlobPopup())
            Edit->BlobPopup()->ClosePopupWith(pbnCancel);
    }
}

TEST_F(BlobEditTest, OKSavesTheMemoAndCancelDiscardsIt) {
    TCustomdxBlobPopup* P = OpenMemo("first");
    ASSERT_TRUE(P);
    EXPECT_EQ("first", P->MemoText());
    EXPECT_FALSE(P->OKEnabled());
    TypeInto(P, " line");
    EXPECT_TRUE(P->Modified());
    EXPECT_TRUE(P->OKEnabled());
    P->ClosePopupWith(pbnOK);
    EXPECT_FALSE(IsWindowVisible(P->Handle()));
    EXPECT_EQ("first line", Edit->BlobValue());
    EXPECT_TRUE(Edit->GetModified());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_EQ("first line", V.AsString());

    // Cancelled after typing: the value stays, even with AlwaysSaveText.
    Edit->AlwaysSaveText = true;
    P = OpenMemo("kept");
    TypeInto(P, " typed");
    P->ClosePopupWith(pbnCancel);
    EXPECT_EQ("kept", Edit->BlobValue());
    EXPECT_FALSE(Edit->GetModified());
    // Escape after typing is a cancel too.
    P = OpenMemo("kept");
    TypeInto(P, " more");
    Key(P, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(P->Handle()));
    EXPECT_EQ("kept", Edit->BlobValue());
    // Ctrl+Enter closes with OK and adds no line break.
    P = OpenMemo("a");
    TypeInto(P, "b");
    Key(P, VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ("ab", Edit->BlobValue());
    // F4 saves by AlwaysSaveText; without it the typed text goes.
    P = OpenMemo("x");
    TypeInto(P, "y");
    Key(P, VK_F4);
    EXPECT_EQ("xy", Edit->BlobValue());
    Edit->AlwaysSaveText = false;
    P = OpenMemo("x");
    TypeInto(P, "z");
    Key(P, VK_F4);
    EXPECT_EQ("x", Edit->BlobValue());
}

TEST_F(BlobEditTest, ReadOnlyPopupShowsOnlyClose) {
    Edit->SetStoredReadOnly(true);
    TCustomdxBlobPopup* P = OpenMemo("fixed");
    ASSERT_TRUE(P);
    EXPECT_EQ(TdxBlobPopupButtons{pbnClose}, P->PanelButtons());
    EXPECT_GT(P->ButtonRect(pbnClose).Width(), 0);
    EXPECT_LT(P->ButtonRect(pbnOK).Width(), 0);
    P->ClosePopupWith(pbnClose);
    EXPECT_EQ("fixed", Edit->BlobValue());
}

TEST_F(BlobEditTest, PicturePopupPastesAndSavesThePicture) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(12, 9, clRed));
    Clipboard()->Assign(B.get());
    Edit->SetBlobContentKind(ckPicture);
    Open(Null());
    Edit->SetFocus();
    Edit->OpenPopup();
    TCustomdxBlobPopup* P = Edit->BlobPopup();
    ASSERT_TRUE(P && IsWindowVisible(P->Handle()));
    EXPECT_TRUE(IsPictureEmpty(P->PopupPicture()));
    P->PasteFromClipboard();
    EXPECT_EQ(12, P->PopupPicture()->Width());
    EXPECT_TRUE(P->OKEnabled());
    P->ClosePopupWith(pbnOK);
    ASSERT_FALSE(Edit->BlobValue().empty());
    std::unique_ptr<TPicture, TObjectDeleter> Back(Create<TPicture>());
    LoadPictureValue(Back.get(), Variant(Edit->BlobValue()), nullptr);
    EXPECT_EQ(9, Back->Height());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_EQ(Edit->BlobValue(), V.AsString());
}

TEST(BlobKinds, ColumnKindMapsToContentKind) {
    std::unique_ptr<TMemoField, TObjectDeleter> Memo(Create<TMemoField>(nullptr));
    std::unique_ptr<TGraphicField, TObjectDeleter> Graphic(Create<TGraphicField>(nullptr));
    std::unique_ptr<TIntegerField, TObjectDeleter> Number(Create<TIntegerField>(nullptr));
    const struct {
        TdxBlobKind Kind;
        TField* Field;
        TdxBlobContentKind Expected;
    } Cases[] = {{bkBlob, Memo.get(), ckBinary}, {bkMemo, nullptr, ckMemo},          {bkPict, nullptr, ckPicture},
                 {bkOle, nullptr, ckOle},         {bkAuto, Memo.get(), ckMemo},       {bkAuto, Graphic.get(), ckPicture},
                 {bkAuto, Number.get(), ckBinary}, {bkAuto, nullptr, ckBinary}};
    for (const auto& C : Cases)
        EXPECT_EQ(C.Expected, BlobContentKindOf(C.Kind, C.Field)) << static_cast<int>(C.Kind);
}
