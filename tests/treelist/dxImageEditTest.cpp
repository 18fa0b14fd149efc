#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <memory>

using namespace treelist_tests;

namespace {
struct ImageEditTest : TEditorTest<TdxInplaceImageEdit> {
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->Values()->SetText("a\r\nb\r\nc");
        Edit->Descriptions()->SetText("Apple\r\nBanana\r\nAvocado");
    }
    void KeyDown(Word K) {
        Word W = K;
        Edit->KeyDown(W, {});
    }
};
}  // namespace

TEST_F(ImageEditTest, LookupImageByValue) {
    Edit->ImageIndexes()->SetText("5\r\nx");
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    auto* D = static_cast<TdxImageEditViewData*>(VD.get());
    Edit->Descriptions()->Delete(2);
    const struct {
        bool DefaultImages;
        const char* Value;
        int Description, Image;
    } Cases[] = {
        {true, "zzz", -1, -1}, {true, "b", 1, 1}, {true, "c", -1, 2},
        {false, "a", 0, 5},    {false, "b", 1, -1}, {false, "c", -1, 2},
    };
    for (const auto& C : Cases) {
        D->DefaultImages = C.DefaultImages;
        int Description = 0, Image = 0;
        TdxInplaceImageEdit::LookupImage(C.Value, D, Description, Image);
        EXPECT_EQ(C.Description, Description) << C.Value << C.DefaultImages;
        EXPECT_EQ(C.Image, Image) << C.Value << C.DefaultImages;
    }
}

TEST_F(ImageEditTest, TypedLetterCyclesThroughMatchingDescriptions) {
    Open(std::string("a"));
    for (const char* Expected : {"c", "a", "c"}) {
        char K = 'A';
        Edit->KeyPress(K);
        EXPECT_EQ(Expected, Edit->Text());
    }
    char K = 'b';
    Edit->KeyPress(K);
    EXPECT_EQ("b", Edit->Text());
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(ImageEditTest, KeysStepWithinTheValuesWhenIncremental) {
    Open(std::string("b"));
    KeyDown(VK_DOWN);
    EXPECT_EQ("b", Edit->Text());
    Edit->Incremental = true;
    KeyDown(VK_DOWN);
    KeyDown(VK_DOWN);
    EXPECT_EQ("c", Edit->Text());
    KeyDown(VK_HOME);
    EXPECT_EQ("a", Edit->Text());
    KeyDown(VK_UP);
    EXPECT_EQ("a", Edit->Text());
    Open(std::string("unknown"));
    KeyDown(VK_NEXT);
    EXPECT_EQ("a", Edit->Text());
}

TEST_F(ImageEditTest, EmptyValuesOpenNoList) {
    Edit->Values()->Clear();
    int Before = 0, Popup = 0;
    Edit->OnBeforePopup = TNotifyEvent::FromFunction([&](TObject*) { ++Before; });
    Edit->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++Popup; });
    Open(std::string("a"));
    Edit->OpenPopup();
    EXPECT_EQ(1, Before);
    EXPECT_EQ(1, Popup);
    EXPECT_FALSE(Edit->DroppedDown);
}

TEST_F(ImageEditTest, ListShowsEveryValueAndAcceptsThePick) {
    Edit->Descriptions()->Delete(2);
    Open(std::string("b"));
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DroppedDown);
    TdxPopupImageListBox* L = Edit->ImageListBox();
    EXPECT_TRUE(IsWindowVisible(L->Handle()));
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(L->Handle(), GA_PARENT));
    ASSERT_EQ(3, L->Items()->Count());
    EXPECT_EQ("", L->Items()->Strings(2));
    EXPECT_EQ(1, L->ItemIndex());
    EXPECT_GT(L->MeasuredItemHeight, 0);
    EXPECT_EQ(3 * L->MeasuredItemHeight, L->ClientHeight());
    EXPECT_EQ(Edit->Handle(), GetFocus());
    L->SetItemIndex(2);
    Edit->ClosePopup(true);
    EXPECT_FALSE(IsWindowVisible(L->Handle()));
    EXPECT_EQ("c", Edit->Text());
    Edit->OpenPopup();
    L->SetItemIndex(0);
    Edit->ClosePopup(false);
    EXPECT_EQ("c", Edit->Text());
}
