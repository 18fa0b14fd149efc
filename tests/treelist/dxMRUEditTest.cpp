#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <memory>

using namespace treelist_tests;

namespace {
struct MRUEditTest : TEditorTest<TdxInplaceMRUEdit> {
    void Enter(const std::string& S) {
        Edit->SetText(S);
        Edit->SetModified(true);
        Edit->Validate();
    }
    std::string List() {
        std::string S;
        for (int I = 0; I < Edit->Items()->Count(); ++I)
            S += (I ? "," : "") + Edit->Items()->Strings(I);
        return S;
    }
};
}  // namespace

TEST_F(MRUEditTest, NewestFirstWithoutDuplicates) {
    Open(std::string());
    for (const char* S : {"A", "B", "C", "B", "c"})
        Enter(S);
    EXPECT_EQ("C,B,A", List());
    Edit->SetModified(false);
    Edit->SetText("D");
    Edit->SetModified(false);
    Edit->Validate();
    EXPECT_EQ("C,B,A", List());
    Enter("");
    EXPECT_EQ("C,B,A", List());
}

TEST_F(MRUEditTest, ListCutToTheMaximum) {
    Open(std::string());
    Edit->SetMaxItemCount(3);
    for (const char* S : {"A", "B", "C", "D"})
        Enter(S);
    EXPECT_EQ("D,C,B", List());
    Edit->SetMaxItemCount(-5);
    EXPECT_EQ(0, Edit->MaxItemCount());
    for (const char* S : {"E", "F"})
        Enter(S);
    EXPECT_EQ(5, Edit->Items()->Count());
}

TEST_F(MRUEditTest, EllipsisButtonBesideTheListButton) {
    int Clicks = 0;
    Edit->OnButtonClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
    Open(std::string("x"));
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
    ViewInfo Info;
    Edit->Meta()->CalcViewInfo(D, false, Info);
    ASSERT_EQ(2, D->ButtonCount);
    EXPECT_EQ(bkDown, D->Buttons[0].Kind);
    EXPECT_EQ(bkEllipsis, D->Buttons[1].Kind);
    Edit->ButtonClick(1);
    Edit->ButtonClick(0);
    EXPECT_EQ(1, Clicks);
    Word K = VK_RETURN;
    Edit->KeyDown(K, TShiftState{ssCtrl});
    EXPECT_EQ(2, Clicks);
    Edit->SetShowEllipsis(false);
    std::unique_ptr<TdxEditViewData, TObjectDeleter> Plain(Edit->CreateViewData(false));
    Edit->Meta()->CalcViewInfo(Plain.get(), false, Info);
    EXPECT_EQ(1, static_cast<TdxDropDownEditViewData*>(Plain.get())->ButtonCount);
}
