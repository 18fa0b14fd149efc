#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <algorithm>

using namespace treelist_tests;

namespace {
// Counts the text-changed notices the memo receives.
class TCountingMemo : public TdxInplaceMemoEdit {
    DECLARE_CLASS(TCountingMemo, TdxInplaceMemoEdit)
public:
    using TdxInplaceMemoEdit::TdxInplaceMemoEdit;
    int TextChanges = 0;

protected:
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_TEXTCHANGED)
            ++TextChanges;
        TdxInplaceMemoEdit::WndProc(Message);
    }
};

struct MemoEditTest : TEditorTest<TCountingMemo> {
    TStrings* Lines() { return Edit->Lines(); }
    void Key(Word K) { SendMessageA(Edit->Handle(), WM_KEYDOWN, K, 1); }
    bool ContainerGot(Word K) {
        return std::find(Box->ContainerKeys.begin(), Box->ContainerKeys.end(), K) != Box->ContainerKeys.end();
    }
};
}  // namespace

TEST_F(MemoEditTest, ClosingLineBreakIsNoLine) {
    Open(std::string());
    const struct {
        const char* Text;
        int Count;
    } Cases[] = {{"", 0}, {"a", 1}, {"a\r\nb", 2}, {"a\r\nb\r\n", 2}, {"a\r\n\r\nb", 3}};
    for (const auto& C : Cases) {
        Lines()->SetText(C.Text);
        EXPECT_EQ(C.Count, Lines()->Count()) << C.Text;
    }
}

TEST_F(MemoEditTest, LinesEditedInPlace) {
    Open(std::string());
    Lines()->SetText("one\r\ntwo\r\n");
    Lines()->Insert(2, "three");
    ASSERT_EQ(3, Lines()->Count());
    EXPECT_EQ("three", Lines()->Strings(2));
    Lines()->Insert(0, "zero");
    Lines()->SetStrings(2, "TWO");
    Lines()->Delete(1);
    ASSERT_EQ(3, Lines()->Count());
    EXPECT_EQ("zero", Lines()->Strings(0));
    EXPECT_EQ("TWO", Lines()->Strings(1));
    EXPECT_EQ("three", Lines()->Strings(2));
    Lines()->Delete(2);
    Lines()->Insert(-1, "none");
    Lines()->SetStrings(7, "none");
    EXPECT_EQ(2, Lines()->Count());
    Lines()->Clear();
    Lines()->Insert(0, "only");
    EXPECT_EQ(1, Lines()->Count());
    EXPECT_EQ("only", Lines()->Strings(0));
}

TEST_F(MemoEditTest, LongLineComesBackWhole) {
    Edit->SetWordWrap(false);
    Open(std::string());
    const std::string Long(5000, 'x');
    Lines()->SetText("a\r\n" + Long);
    EXPECT_EQ(Long, Lines()->Strings(1));
}

TEST_F(MemoEditTest, SameTextSendsNoChangeNotice) {
    Open(std::string());
    Lines()->SetText("a\r\nb");
    const int After = Edit->TextChanges;
    EXPECT_GT(After, 0);
    Lines()->SetText("a\nb");
    EXPECT_EQ(After, Edit->TextChanges);
}

TEST_F(MemoEditTest, EnterTypesALineBreakOrGoesToTheParent) {
    Open(std::string("ab"));
    Edit->GoToTextEnd();
    Key(VK_RETURN);
    const std::string Typed = Edit->Text();
    EXPECT_EQ("ab\r", Typed.substr(0, 3));
    EXPECT_FALSE(ContainerGot(VK_RETURN));
    Edit->WantReturns = false;
    Key(VK_RETURN);
    EXPECT_EQ(Typed, Edit->Text());
    EXPECT_TRUE(ContainerGot(VK_RETURN));
}

TEST_F(MemoEditTest, UpLeavesTheCellOnlyWhenAllIsSelected) {
    Open(std::string("a\r\nb"));
    Edit->GoToTextEnd();
    Key(VK_UP);
    EXPECT_FALSE(ContainerGot(VK_UP));
    Edit->SelectAll();
    Key(VK_UP);
    EXPECT_TRUE(ContainerGot(VK_UP));
}
