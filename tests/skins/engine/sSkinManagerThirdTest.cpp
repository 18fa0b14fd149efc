// The manager's class lists of controls of other classes: filled from the published texts, a
// category without a text taking its default, a reset giving every category its default again, and
// the lists written back into the texts.
#include "SkinTestSupport.h"

using namespace skintests;

namespace {

class sSkinManagerThirdTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureSkinUnits();
        Manager = Create<TsSkinManager>(nullptr);
    }
    void TearDown() override { FreeAndNil(Manager); }
    std::string ListText(int Category) { return Manager->ThirdLists[static_cast<std::size_t>(Category)]->CommaText(); }
    TsSkinManager* Manager = nullptr;
};

TEST_F(sSkinManagerThirdTest, NewManagerSkinsItsDefaultsByAllRules) {
    EXPECT_EQ(Manager->SkinningRules, (TacSkinningRules{srStdForms, srStdDialogs, srThirdParty}));
    EXPECT_EQ(ListText(1), "TButton");
    for (int I = 0; I < ThirdPartyCategoryCount; ++I)
        EXPECT_EQ(Manager->ThirdParty->GetString(I), ThirdPartyDefaults[static_cast<std::size_t>(I)]) << I;
}

TEST_F(sSkinManagerThirdTest, TextsFillTheListsAndResetBringsTheDefaultsBack) {
    Manager->ThirdParty->SetString(4, "TComboBox\r\nTMyCombo");
    Manager->ThirdParty->SetString(1, "");
    Manager->UpdateThirdNames(false);
    EXPECT_EQ(ListText(4), "TComboBox,TMyCombo") << "one class name a line";
    EXPECT_EQ(ListText(1), "TButton") << "an empty text takes the default";
    Manager->UpdateThirdNames(true);
    EXPECT_EQ(Manager->ThirdParty->GetString(4), ThirdPartyDefaults[4]);
    EXPECT_EQ(Manager->ThirdLists[4]->Count(), 1);
}

TEST_F(sSkinManagerThirdTest, ListsAreStoredBackIntoTheTexts) {
    Manager->ThirdLists[7]->Clear();
    Manager->ThirdLists[7]->Add("TListView");
    Manager->ThirdLists[7]->Add("TMyList");
    Manager->StoreThirdNames();
    Manager->UpdateThirdNames(false);
    EXPECT_EQ(ListText(7), "TListView,TMyList");
    EXPECT_EQ(ListText(1), "TButton");
}

}  // namespace
