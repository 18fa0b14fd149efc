#include "TestContainer.h"
#include "TreeListTestSupport.h"

#include <memory>

using namespace treelist_tests;

namespace {
class TMenuCountingEdit : public TdxInplaceTextEdit {
    DECLARE_CLASS(TMenuCountingEdit, TdxInplaceTextEdit)
public:
    using TdxInplaceTextEdit::TdxInplaceTextEdit;
    int MenuShows = 0;

protected:
    void PopupEditMenu(TPoint) override {
        ++MenuShows;
        UpdateEditPopupMenu();
    }
};

struct TextEditTest : TEditorTest<TMenuCountingEdit> {
    int Changes = 0;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; });
    }
    TMenuItem* MenuItem(int I) { return Edit->EditPopupMenu()->Items()->Items(I); }
};
}  // namespace

TEST_F(TextEditTest, UpperCaseEditorTypesUpperCaseAndChangesOnce) {
    Edit->SetCharCase(ecUpperCase);
    Open("");
    Changes = 0;
    Type('a');
    EXPECT_EQ("A", Edit->Text());
    EXPECT_EQ(1, Changes);
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(TextEditTest, ValueFromTheCellIsNoChangeAndCannotBeUndone) {
    Open("first");
    Changes = 0;
    Edit->SetEditValue(std::string("second"));
    EXPECT_EQ("second", Edit->Text());
    EXPECT_EQ(0, Changes);
    EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(TextEditTest, EscapeRestoresTheTextOfActivation) {
    Open("abc");
    Edit->GoToTextEnd();
    Type('x');
    ASSERT_EQ("abcx", Edit->Text());
    ASSERT_TRUE(Edit->GetModified());
    Edit->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ("abc", Edit->Text());
    EXPECT_FALSE(Edit->GetModified());
    ASSERT_FALSE(Box->ContainerKeys.empty());
    EXPECT_EQ(VK_ESCAPE, Box->ContainerKeys.back());
}

TEST_F(TextEditTest, ReadOnlyCellTakesNoTypingNorPaste) {
    Box->Modify = false;
    Open("keep");
    Edit->GoToTextEnd();
    Type('x');
    Edit->Perform(WM_CLEAR);
    EXPECT_EQ("keep", Edit->Text());
}

TEST_F(TextEditTest, MenuStatesFollowSelectionAndPassword) {
    Open("secret");
    Edit->SelectAll();
    Edit->UpdateEditPopupMenu();
    EXPECT_TRUE(MenuItem(3)->Enabled());   // Cut
    EXPECT_TRUE(MenuItem(4)->Enabled());   // Copy
    EXPECT_FALSE(MenuItem(8)->Enabled());  // Select All: all is selected
    EXPECT_EQ("Select &All", MenuItem(8)->Caption());
    Edit->SetSelection(0, 2);
    Edit->UpdateEditPopupMenu();
    EXPECT_TRUE(MenuItem(8)->Enabled());
    Edit->SetPasswordChar('*');
    Edit->UpdateEditPopupMenu();
    EXPECT_FALSE(MenuItem(3)->Enabled());
    EXPECT_FALSE(MenuItem(4)->Enabled());
}

TEST_F(TextEditTest, ContextMenuYieldsToAPopupMenuOfTheEditorOrAParent) {
    Open("text");
    RECT R;
    GetWindowRect(Edit->Handle(), &R);
    LPARAM Inside = MAKELPARAM(R.left + 5, R.top + 5);
    Edit->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit->Handle()), Inside);
    EXPECT_EQ(1, Edit->MenuShows);
    auto* Menu = Create<TPopupMenu>(Form);
    Menu->SetAutoPopup(false);
    Box->SetPopupMenu(Menu);
    Edit->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit->Handle()), Inside);
    EXPECT_EQ(1, Edit->MenuShows);
}

TEST_F(TextEditTest, NegativeMaxLengthMeansNoLimit) {
    Edit->SetMaxLength(5);
    Edit->SetMaxLength(-3);
    EXPECT_EQ(0, Edit->MaxLength());
}

TEST_F(TextEditTest, SelectedTextComesBackWhole) {
    Open("\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0");  // two Cyrillic words in the ANSI code page
    Edit->SetSelection(0, 6);
    std::string S;
    Edit->GetSelText(S);
    EXPECT_EQ("\xCF\xF0\xE8\xE2\xE5\xF2", S);
    char Buf[4];
    EXPECT_EQ(4, Edit->GetSelTextBuf(Buf, 4));
}

TEST_F(TextEditTest, PasswordCellPaintsMaskCharactersOfTheValueLength) {
    using TBmp = std::unique_ptr<TBitmap, TObjectDeleter>;
    auto Paint = [&](const std::string& Value, char Password) {
        TBmp B(SolidBitmap(80, 20, clWhite));
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        auto* T = static_cast<TdxTextEditViewData*>(VD.get());
        T->EditWindowView = false;
        T->Value = Value;
        T->PasswordChar = Password;
        T->TextColor = RGB(0, 0, 0);
        Edit->Meta()->DrawClient(B->Canvas()->Handle(), TRect{0, 0, 80, 20}, false, VD.get());
        return B;
    };
    TBmp Masked = Paint("abc", '*'), Plain = Paint("***", 0), Empty = Paint("", '*');
    int Differ = 0, Dark = 0;
    for (int X = 0; X < 80; ++X)
        for (int Y = 0; Y < 20; ++Y) {
            Differ += PixelAt(Masked.get(), X, Y) != PixelAt(Plain.get(), X, Y);
            Dark += PixelAt(Empty.get(), X, Y) == RGB(0, 0, 0);
        }
    EXPECT_EQ(0, Differ);
    EXPECT_EQ(0, Dark);
}

TEST_F(TextEditTest, MeasuringCountsTheLines) {
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    VD->Value = std::string("one two three four five six seven");
    VD->VertLayout = 3;
    VD->MeasureOnly = true;
    HDC DC = GetDC(nullptr);
    Edit->Meta()->DrawClient(DC, TRect{0, 0, 60, 200}, false, VD.get());
    ReleaseDC(nullptr, DC);
    EXPECT_GT(VD->LineHeight, 0);
    EXPECT_GT(VD->LineCount, 1);
    EXPECT_EQ(VD->TextHeight / VD->LineHeight, VD->LineCount);
}
