#include "Clipbrd.h"
#include "ExtDlgs.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtrGraphic.h"

#include <memory>

using namespace treelist_tests;

namespace {
// The picture value of a W x H bitmap of one colour.
std::string BitmapValue(int W, int H, TColor Colour) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(W, H, Colour));
    std::unique_ptr<TPicture, TObjectDeleter> P(Create<TPicture>());
    P->Assign(B.get());
    return SavePictureValue(P.get());
}

// The 8-byte header older stores put in front: 1, 0x0100, the length of the rest.
std::string WithHeader(const std::string& S, unsigned Length) {
    std::string H("\x01\x00\x00\x01", 4);
    for (int I = 0; I < 4; ++I)
        H += static_cast<char>((Length >> (8 * I)) & 0xFF);
    return H + S;
}

struct GraphicEditTest : TEditorTest<TdxInplaceGraphicEdit> {
    // Draws the editor's view of its picture into the cell (20, 10)-(80, 50) of a green bitmap.
    std::unique_ptr<TBitmap, TObjectDeleter> PaintCell(bool Stretch) {
        std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(100, 60, clLime));
        Edit->SetStretch(Stretch);
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        Edit->Meta()->DrawClient(B->Canvas()->Handle(), TRect{20, 10, 80, 50}, false, VD.get());
        return B;
    }
};

// Answers file dialogs with a name, counting them.
struct TFileAnswer : TMessagePresenter {
    std::string FileName;
    int Shown = 0;
    bool Save = false;
    std::string DefaultExt;
    bool ExecuteFileDialog(TOpenDialog* D) override {
        ++Shown;
        Save = D->IsSaveDialog();
        DefaultExt = D->DefaultExt;
        D->FileName = FileName;
        return !FileName.empty();
    }
};
}  // namespace

TEST_F(GraphicEditTest, PictureWithAndWithoutHeaderPaintsInsideTheCell) {
    const std::string Plain = BitmapValue(10, 8, clRed);
    for (const std::string& Value : {Plain, WithHeader(Plain, static_cast<unsigned>(Plain.size()))}) {
        Edit->SetEditValue(Value);
        ASSERT_FALSE(IsPictureEmpty(Edit->EditPicture()));
        EXPECT_EQ(10, Edit->EditPicture()->Width());
        auto B = PaintCell(false);
        // Centred: (20 + (60 - 10) / 2, 10 + (40 - 8) / 2) = (45, 26).
        EXPECT_EQ(RGB(255, 0, 0), PixelAt(B.get(), 45, 26));
        EXPECT_EQ(RGB(255, 0, 0), PixelAt(B.get(), 54, 33));
        EXPECT_NE(RGB(255, 0, 0), PixelAt(B.get(), 44, 26));
        EXPECT_EQ(ColorToRGB(Edit->Color()), static_cast<TColor>(PixelAt(B.get(), 21, 11)));
        EXPECT_EQ(RGB(0, 255, 0), PixelAt(B.get(), 19, 26));
        EXPECT_EQ(RGB(0, 255, 0), PixelAt(B.get(), 80, 26));
        // Stretched, the picture fills the cell's height from its top-left: 50 x 40.
        auto S = PaintCell(true);
        EXPECT_EQ(RGB(255, 0, 0), PixelAt(S.get(), 20, 10));
        EXPECT_EQ(RGB(255, 0, 0), PixelAt(S.get(), 69, 49));
        EXPECT_NE(RGB(255, 0, 0), PixelAt(S.get(), 71, 30));
    }
}

TEST_F(GraphicEditTest, BadValuesGiveNoPicture) {
    const std::string Plain = BitmapValue(4, 4, clBlue);
    std::unique_ptr<TPicture, TObjectDeleter> P(Create<TPicture>());
    const struct {
        const char* Name;
        Variant Value;
        bool Raises;
    } Cases[] = {
        {"integer", Variant(12345678), false},
        {"null", Null(), false},
        {"empty", Variant(std::string()), false},
        {"truncated", Variant(Plain.substr(0, Plain.size() / 2)), true},
        {"header length wrong", Variant(WithHeader(Plain, static_cast<unsigned>(Plain.size() + 100))), true},
        {"header only", Variant(WithHeader(std::string(), 0)), false},
        {"garbage", Variant(std::string("not a picture at all")), true},
    };
    for (const auto& C : Cases) {
        P->Assign(nullptr);
        LoadPictureValue(P.get(), Variant(Plain), nullptr);
        ASSERT_FALSE(IsPictureEmpty(P.get()));
        bool Raised = false;
        try {
            LoadPictureValue(P.get(), C.Value, nullptr);
        } catch (const Exception&) {
            Raised = true;
        }
        EXPECT_EQ(C.Raises, Raised) << C.Name;
        EXPECT_TRUE(IsPictureEmpty(P.get())) << C.Name;
    }
    // The editor refuses such a value, keeps its modified flag and paints an empty cell.
    Edit->SetModified(false);
    EXPECT_THROW(Edit->SetEditValue(Plain.substr(0, 20)), Exception);
    EXPECT_FALSE(Edit->GetModified());
    EXPECT_TRUE(IsPictureEmpty(Edit->EditPicture()));
    auto B = PaintCell(false);
    EXPECT_EQ(ColorToRGB(Edit->Color()), static_cast<TColor>(PixelAt(B.get(), 50, 30)));
}

TEST_F(GraphicEditTest, EditValueIsThePictureValueOrNull) {
    Variant V;
    Edit->SetEditValue(Null());
    Edit->ReadEditValue(V);
    EXPECT_TRUE(V.IsNull());
    const std::string Plain = BitmapValue(3, 5, clNavy);
    Edit->SetEditValue(WithHeader(Plain, static_cast<unsigned>(Plain.size())));
    Edit->ReadEditValue(V);
    ASSERT_EQ(varString, V.VType());
    EXPECT_EQ(Plain, V.AsString());
    EXPECT_EQ(Edit->EditPicture()->Graphic(), Edit->EditGraphic());
}

TEST_F(GraphicEditTest, PasteIsEnabledExactlyWhileTheClipboardHoldsABitmap) {
    Edit->PopupToolBar()->SetIsPopupMenu(false);
    Edit->SyncToolBar();
    TdxPopupToolBar* T = Edit->ToolBarForm();
    T->HandleNeeded();
    ASSERT_TRUE(T->InViewerChain());
    TSpeedButton* Paste = T->SpeedButtons(ptbPaste);
    Clipboard()->SetAsText("no picture");
    EXPECT_TRUE(PumpUntil([&] { return !Paste->Enabled(); }));
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(6, 6, clRed));
    Clipboard()->Assign(B.get());
    EXPECT_TRUE(PumpUntil([&] { return Paste->Enabled(); }));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
    Clipboard()->SetAsText("text again");
    EXPECT_TRUE(PumpUntil([&] { return !Paste->Enabled(); }));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
    // A read-only editor offers no paste whatever the clipboard holds.
    Clipboard()->Assign(B.get());
    Edit->SetStoredReadOnly(true);
    Edit->SyncToolBar();
    T->UpdateEnabledStates();
    EXPECT_FALSE(Paste->Enabled());
}

TEST_F(GraphicEditTest, ToolCommandsGoThroughClipboardAndDialogs) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(7, 3, clRed));
    Clipboard()->Assign(B.get());
    Edit->SetModified(false);
    Edit->ToolButtonClick(nullptr, ptbPaste);
    ASSERT_FALSE(IsPictureEmpty(Edit->EditPicture()));
    EXPECT_EQ(7, Edit->EditPicture()->Width());
    EXPECT_TRUE(Edit->GetModified());
    Clipboard()->SetAsText("x");
    Edit->ToolButtonClick(nullptr, ptbCut);
    EXPECT_TRUE(IsPictureEmpty(Edit->EditPicture()));
    ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    Edit->ToolButtonClick(nullptr, ptbPaste);
    EXPECT_EQ(3, Edit->EditPicture()->Height());

    TFileAnswer Answer;
    TMessagePresenter* Old = SetMessagePresenter(&Answer);
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    Answer.FileName = std::string(Dir) + "quarnel_graphic_edit.bmp";
    Edit->ToolButtonClick(nullptr, ptbSave);
    EXPECT_TRUE(Answer.Save);
    EXPECT_EQ("bmp", Answer.DefaultExt);
    Edit->ToolButtonClick(nullptr, ptbDelete);
    EXPECT_TRUE(IsPictureEmpty(Edit->EditPicture()));
    Edit->ToolButtonClick(nullptr, ptbLoad);
    EXPECT_FALSE(Answer.Save);
    EXPECT_EQ(2, Answer.Shown);
    ASSERT_FALSE(IsPictureEmpty(Edit->EditPicture()));
    EXPECT_EQ(7, Edit->EditPicture()->Width());
    // A cancelled dialog changes nothing.
    Answer.FileName.clear();
    Edit->ToolButtonClick(nullptr, ptbLoad);
    EXPECT_EQ(7, Edit->EditPicture()->Width());
    SetMessagePresenter(Old);
    DeleteFileA((std::string(Dir) + "quarnel_graphic_edit.bmp").c_str());
}

TEST_F(GraphicEditTest, ToolWindowPlacementStaysInTheWorkArea) {
    Edit->PopupToolBar()->SetIsPopupMenu(false);
    Edit->SyncToolBar();
    TdxPopupToolBar* T = Edit->ToolBarForm();
    T->UpdateLayout();
    TRect Work;
    GetWorkArea(TPoint{10, 10}, Work);
    T->BarAlignment = ptaBottom;
    T->PlaceNear(TPoint{Work.Left + 10, Work.Bottom - 5}, 100, 20);
    EXPECT_EQ(Work.Bottom - T->Height(), T->Top());
    T->BarAlignment = ptaRight;
    T->PlaceNear(TPoint{Work.Right - 50, Work.Top + 10}, 100, 20);
    EXPECT_EQ(Work.Right - 50 - T->Width(), T->Left());
    EXPECT_EQ(Work.Top + 10, T->Top());
    Edit->SetPopupToolbarPosStored(true);
    Edit->StoredToolBarPos = TPoint{5, 5};
    Edit->SetPopupToolbarPosStored(false);
    EXPECT_EQ(dxNoToolBarPos.X, Edit->StoredToolBarPos.X);
}
