// The control adapter over a form of framework controls: every windowed control of a class list
// gets that list's hook and answers the skinned query, the speed button gets the handler, a second
// pass adds nothing, a control destroyed while hooked is dropped, and freeing the adapter gives
// every window procedure back.
#include "../engine/SkinTestSupport.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "ComCtrlsList.h"
#include "acCtrlAdapter.h"

#include <map>

using namespace skintests;

namespace {

class TTestProvider : public TacFormProvider {
public:
    explicit TTestProvider(TCustomForm* F) : Form(F) {}
    TCustomForm* ProviderForm() const override { return Form; }
    void HandleSkinMessage(TMessage&) override {}
    bool HasBorderForm() const override { return false; }
    int GetClientOffsetX() override { return 0; }
    int GetClientOffsetY() override { return 0; }
    void FreeTitleImage() override {}
    TsSkinManager* ProviderManager() const override { return nullptr; }
    void SetAnimating(bool) override {}
    bool DrawsNonClientArea() const override { return false; }
    void ResetBorderRegion() override {}
    void RepaintAfterSkinChange() override {}
    TCustomForm* Form;
};

class acCtrlAdapterTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"BUTTON"}, {"CHECKBOX"}, {"EDIT"}, {"PAGECONTROL"}, {"TOOLBAR"}, {"TOOLBUTTON"}, {"STATUSBAR"},
                     {"PANEL"}, {"GROUPBOX"}, {"SPEEDBUTTON"}, {"COMBOBTN"}, {"GLOBALINFO", 0x808080}});
        const std::pair<int, const char*> Lists[] = {
            {ctButtons, "TButton"},       {ctCheckBoxes, "TCheckBox"}, {ctComboBoxes, "TComboBox"},
            {ctListViews, "TListView"},   {ctPageControl, "TPageControl"}, {ctToolBar, "TToolBar"},
            {ctStatusBar, "TStatusBar"},  {ctPanels, "TPanel"},        {ctGroupBoxes, "TGroupBox"},
            {ctSpeedButton, "TSpeedButton"}};
        for (auto [Index, Name] : Lists)
            Manager->ThirdParty->SetString(Index, Name);
        Manager->UpdateThirdNames(false);
        Expected[Place<TButton>(10, 10, 80, 24)] = "TacBtnWnd";
        Expected[Place<TCheckBox>(10, 40, 80, 20)] = "TacCheckBoxWnd";
        auto* Combo = Create<TComboBox>(Form);
        static_cast<TControl*>(Combo)->SetBounds(10, 70, 80, 24);
        Combo->SetParent(Form);
        Expected[Combo] = "TacComboBoxWnd";
        auto* List = Place<TListView>(100, 10, 120, 80);
        List->SetViewStyle(vsReport);
        Expected[List] = "TacListViewWnd";
        auto* Pages = Place<TPageControl>(230, 10, 150, 80);
        Create<TTabSheet>(Form)->SetPageControl(Pages);
        Expected[Pages] = "TacPageControlWnd";
        Expected[Place<TToolBar>(0, 0, 200, 30)] = "TacToolBarVCLWnd";
        Expected[Place<TStatusBar>(0, 0, 200, 20)] = "TacStatusBarWnd";
        Expected[Place<TPanel>(10, 110, 100, 60)] = "TacPanelWnd";
        Expected[Place<TGroupBox>(120, 110, 100, 60)] = "TacGroupBoxWnd";
        Speed = Place<TSpeedButton>(230, 110, 40, 24);
        for (auto& [C, Class] : Expected) {
            static_cast<TWinControl*>(C)->Handle();
            Procs[C] = C->WindowProc;
        }
        Procs[Speed] = Speed->WindowProc;
        Provider = std::make_unique<TTestProvider>(Form);
        Adapter = Create<TacCtrlAdapter>(Provider.get());
    }
    void TearDown() override {
        FreeAndNil(Adapter);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TacAdapterItem* ItemOf(TControl* C) {
        for (int I = 0; I < Adapter->Count(); ++I)
            if (Adapter->GetItem(I)->Control == C)
                return Adapter->GetItem(I);
        return nullptr;
    }
    std::map<TControl*, std::string> Expected;
    std::map<TControl*, TWndMethod> Procs;
    TSpeedButton* Speed = nullptr;
    std::unique_ptr<TTestProvider> Provider;
    TacCtrlAdapter* Adapter = nullptr;
};

TEST_F(acCtrlAdapterTest, EveryListedControlGetsItsListsHook) {
    Adapter->AdaptControls(nullptr);
    EXPECT_EQ(Adapter->Count(), static_cast<int>(Expected.size()));
    for (auto& [C, Class] : Expected) {
        TacAdapterItem* Item = ItemOf(C);
        ASSERT_NE(Item, nullptr) << Class;
        ASSERT_NE(Item->ScrollWnd, nullptr) << Class;
        EXPECT_EQ(Item->ScrollWnd->ClassName(), Class);
        EXPECT_EQ(Item->SkinData->ControlKind, 227);
        auto* W = static_cast<TWinControl*>(C);
        EXPECT_EQ(SendMessageA(W->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1) << Class;
    }
    ASSERT_EQ(Adapter->GraphItems.size(), 1u);
    EXPECT_EQ(Adapter->GraphItems[0]->Control, Speed);
    EXPECT_NE(Adapter->GraphItems[0]->Handler, nullptr);
    EXPECT_EQ(Adapter->GraphItems[0]->SkinData->SkinSection(), "SPEEDBUTTON");
}

TEST_F(acCtrlAdapterTest, SecondPassAddsNothingAndFreeingGivesEveryProcedureBack) {
    Adapter->AdaptControls(nullptr);
    std::map<TControl*, TacMainWnd*> Hooks;
    for (TacAdapterItem* I : Adapter->Items)
        Hooks[I->Control] = I->ScrollWnd;
    Adapter->AdaptControls(nullptr);
    EXPECT_EQ(Adapter->Count(), static_cast<int>(Expected.size()));
    EXPECT_EQ(Adapter->GraphItems.size(), 1u);
    for (TacAdapterItem* I : Adapter->Items)
        EXPECT_EQ(Hooks[I->Control], I->ScrollWnd) << "a live hook is left alone";
    for (auto& [C, Proc] : Procs)
        EXPECT_FALSE(C->WindowProc == Proc) << C->ClassName();
    FreeAndNil(Adapter);
    for (auto& [C, Proc] : Procs)
        EXPECT_TRUE(C->WindowProc == Proc) << C->ClassName();
    for (auto& [C, Class] : Expected)
        EXPECT_EQ(SendMessageA(static_cast<TWinControl*>(C)->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0),
                  0)
            << Class;
}

TEST_F(acCtrlAdapterTest, ControlsFreedWhileHookedAreDroppedAtTheNextPass) {
    Adapter->AdaptControls(nullptr);
    TControl* Button = nullptr;
    TControl* Bar = nullptr;
    for (auto& [C, Class] : Expected) {
        if (Class == "TacBtnWnd")
            Button = C;
        if (Class == "TacToolBarVCLWnd")
            Bar = C;
    }
    FreeObject(Button);
    FreeObject(Bar);
    FreeObject(Speed);
    Adapter->AdaptControls(nullptr);
    EXPECT_EQ(Adapter->Count(), static_cast<int>(Expected.size()) - 2);
    EXPECT_EQ(Adapter->GraphItems.size(), 0u);
    FreeAndNil(Adapter);
}

TEST_F(acCtrlAdapterTest, NothingIsWrappedWithoutTheThirdPartyRule) {
    Manager->SkinningRules = TacSkinningRules{srStdForms, srStdDialogs};
    Adapter->AdaptControls(nullptr);
    EXPECT_EQ(Adapter->Count(), 0);
}

}  // namespace
