// Components: ownership, names, notifications, free notifications across owners, destruction
// order and state; the class registry with groups; persistent assignment.
#include "TestComponents.h"

#include <gtest/gtest.h>

using namespace testforms;

namespace {
struct TComponentFixture : ::testing::Test {
    void SetUp() override { RegisterTestClasses(); }
};
using Component = TComponentFixture;

// Records its own destruction and what it is told.
std::vector<std::string> Events;
class TWatcher : public TComponent {
    DECLARE_CLASS(TWatcher, TComponent)
public:
    using TComponent::TComponent;
    void Notification(TComponent* C, TOperation Op) override {
        TComponent::Notification(C, Op);
        Events.push_back(Name() + (Op == opInsert ? " +" : " -") + C->Name() +
                         (ComponentState().Contains(csDestroying) ? " (destroying)" : ""));
    }
    void BeforeDestruction() override {
        Events.push_back("free " + Name());
        TComponent::BeforeDestruction();
    }
};
}  // namespace

TEST_F(Component, OwnerKeepsComponentsInInsertionOrderAndFreesThem) {
    TWatcher* Owner = Create<TWatcher>(nullptr);
    Owner->SetName("Owner");
    TWatcher* A = Create<TWatcher>(Owner);
    A->SetName("A");
    TWatcher* B = Create<TWatcher>(Owner);
    B->SetName("B");
    ASSERT_EQ(Owner->ComponentCount(), 2);
    EXPECT_EQ(Owner->Components(0), A);
    EXPECT_EQ(Owner->Components(1), B);
    EXPECT_EQ(B->ComponentIndex(), 1);
    EXPECT_EQ(A->Owner(), Owner);
    EXPECT_THROW(Owner->Components(2), EListError);
    B->SetComponentIndex(0);
    EXPECT_EQ(Owner->Components(0), B);
    B->SetComponentIndex(1);
    EXPECT_EQ(Owner->FindComponent("a"), A) << "case-insensitive";
    EXPECT_EQ(Owner->FindComponent(""), nullptr);
    Events.clear();
    Owner->Free();
    // Owned components go last first; the owner's own notifications are not sent while it dies.
    EXPECT_EQ(Events, (std::vector<std::string>{"free Owner", "free B", "free A"}));
}

TEST_F(Component, InsertNotificationReachesEveryComponentOfTheOwner) {
    TOwned<TWatcher> Owner(Create<TWatcher>(nullptr));
    Owner->SetName("Owner");
    auto* A = Create<TWatcher>(Owner.get());
    A->SetName("A");
    Events.clear();
    auto* B = Create<TWatcher>(Owner.get());
    // Sent after construction, so the newcomer's own override (no name yet) hears it too; the base
    // forwards last first, before the owner's override records.
    EXPECT_EQ(Events, (std::vector<std::string>{" +", "A +", "Owner +"}));
    (void)B;
    Events.clear();
    Owner->RemoveComponent(A);
    EXPECT_EQ(Events, (std::vector<std::string>{" -A", "A -A", "Owner -A"}));
    EXPECT_EQ(A->Owner(), nullptr);
    Events.clear();
    Owner->InsertComponent(A);
    EXPECT_EQ(Owner->Components(1), A);
    EXPECT_FALSE(Events.empty());
}

TEST_F(Component, NamesAreValidatedWithThePlatformsTexts) {
    TOwned<TComponent> Owner(Create<TComponent>(nullptr));
    auto* A = Create<TComponent>(Owner.get());
    auto* B = Create<TComponent>(Owner.get());
    A->SetName("Button1");
    try {
        B->SetName("BUTTON1");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_EQ(E.Message(), "A component named BUTTON1 already exists");
    }
    for (const char* Bad : {"1abc", "a b", "a-b", "ä"}) {
        try {
            B->SetName(Bad);
            FAIL() << Bad;
        } catch (const EComponentError& E) {
            EXPECT_EQ(E.Message(), std::string("Component name \"") + Bad + "\" is not a valid identifier");
        }
    }
    A->SetName("button1");  // the same name in another case is no clash with itself
    B->SetName("_x9");
    B->SetName("");
    EXPECT_EQ(B->Name(), "");
    B->SetTag(-98);
    EXPECT_EQ(GetOrdProp(B, "Tag"), -98);
}

TEST_F(Component, FreeNotificationsLinkAcrossOwnersBothWays) {
    TOwned<TWatcher> Form1(Create<TWatcher>(nullptr));
    TOwned<TWatcher> Form2(Create<TWatcher>(nullptr));
    Form1->SetName("Form1");
    Form2->SetName("Form2");
    auto* Lang = Create<TWatcher>(Form1.get());
    Lang->SetName("Lang");
    auto* Dispatcher = Create<TWatcher>(Form2.get());
    Dispatcher->SetName("Dispatcher");
    Lang->FreeNotification(Dispatcher);
    EXPECT_TRUE(Lang->ComponentState().Contains(csFreeNotification));
    EXPECT_TRUE(Dispatcher->ComponentState().Contains(csFreeNotification));
    Events.clear();
    Dispatcher->Free();
    // Lang hears it across forms; Form2's components hear it from their owner.
    EXPECT_EQ(Events[0], "free Dispatcher");
    EXPECT_NE(std::find(Events.begin(), Events.end(), "Lang -Dispatcher"), Events.end());
    EXPECT_NE(std::find(Events.begin(), Events.end(), "Form2 -Dispatcher"), Events.end());

    // The other way round, and a removed link sends nothing.
    auto* D2 = Create<TWatcher>(Form2.get());
    D2->SetName("D2");
    D2->FreeNotification(Lang);
    auto* D3 = Create<TWatcher>(Form2.get());
    D3->SetName("D3");
    D3->FreeNotification(Lang);
    D3->RemoveFreeNotification(Lang);
    Events.clear();
    Form1.reset();
    EXPECT_NE(std::find(Events.begin(), Events.end(), "D2 -Lang"), Events.end());
    EXPECT_EQ(std::find(Events.begin(), Events.end(), "D3 -Lang"), Events.end());
}

TEST_F(Component, DestructionSetsDestroyingOnEverythingOwnedFirst) {
    TWatcher* Owner = Create<TWatcher>(nullptr);
    Owner->SetName("Owner");
    auto* Child = Create<TWatcher>(Owner);
    Child->SetName("Child");
    auto* Grand = Create<TWatcher>(Child);
    Grand->SetName("Grand");
    TOwned<TWatcher> Outside(Create<TWatcher>(nullptr));
    Outside->SetName("Outside");
    Grand->FreeNotification(Outside.get());
    Events.clear();
    Owner->Free();
    // Grand's partner hears of it while Grand is already marked.
    EXPECT_NE(std::find(Events.begin(), Events.end(), "Outside -Grand"), Events.end());
    EXPECT_EQ(Events.front(), "free Owner");
}

TEST_F(Component, PublishedFieldsFollowTheOwnedComponents) {
    TOwned<TFormTestMain> Form(Create<TFormTestMain>(nullptr));
    ASSERT_NE(Form->Button1, nullptr) << "read from the form resource";
    TTestControl* B = Form->Button1;
    B->Free();
    EXPECT_EQ(Form->Button1, nullptr) << "the field is cleared when the component leaves";
    auto* C = Create<TTestControl>(Form.get());
    C->SetName("Button1");
    EXPECT_EQ(Form->Button1, C);
}

TEST_F(Component, DesigningCanBeSetForTests) {
    TOwned<TComponent> Owner(Create<TComponent>(nullptr));
    auto* A = Create<TComponent>(Owner.get());
    Owner->SetDesigning(true);
    EXPECT_TRUE(A->ComponentState().Contains(csDesigning));
    auto* B = Create<TComponent>(Owner.get());
    EXPECT_TRUE(B->ComponentState().Contains(csDesigning)) << "inherited from the owner";
}

TEST_F(Component, AssignAskTheSourceAndRaiseThePlatformsText) {
    TOwned<TTestFont> F(Create<TTestFont>());
    TOwned<TTestTitle> T(Create<TTestTitle>());
    try {
        F->Assign(T.get());
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TTestTitle to a TTestFont");
    }
    try {
        F->Assign(nullptr);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a nil to a TTestFont");
    }
}

TEST_F(Component, RegistryFindsClassesByNameAndCreatesThroughReferences) {
    EXPECT_EQ(FindClass("TTestControl"), TTestControl::StaticClass());
    EXPECT_EQ(GetClass("ttestcontrol"), TTestControl::StaticClass()) << "case-insensitive";
    EXPECT_EQ(GetClass("TNothing"), nullptr);
    try {
        FindClass("TNothing");
        FAIL();
    } catch (const EClassNotFound& E) {
        EXPECT_EQ(E.Message(), "Class TNothing not found");
    }
    RegisterClass(TTestControl::StaticClass());  // again: nothing happens
    try {
        RegisterClassAlias(TTestGrid::StaticClass(), "TTestControl");
        FAIL();
    } catch (const EFilerError& E) {
        EXPECT_EQ(E.Message(), "A class named TTestControl already exists");
    }

    // A class group as 3.117 makes one: start, activate, group the descendants with it.
    StartClassGroup(TTestControl::StaticClass());
    TClass Old = ActivateClassGroup(TTestControl::StaticClass());
    GroupDescendentsWith(TTestGrid::StaticClass(), TTestControl::StaticClass());
    EXPECT_EQ(ClassGroupOf(TTestGrid::StaticClass()), TTestControl::StaticClass());
    TComponentClass Ref = FindClass("TTestGrid");
    TOwned<TComponent> Owner(Create<TComponent>(nullptr));
    TComponent* G = Ref.Create(Owner.get());
    EXPECT_EQ(G->ClassName(), "TTestGrid");
    EXPECT_EQ(G->Owner(), Owner.get());
    EXPECT_NE(DynCast<TTestGrid>(G)->GetColumns(), nullptr);
    if (Old)
        ActivateClassGroup(Old);
    EXPECT_THROW(TCollectionItemClass(TTestControl::StaticClass()), EInvalidCast) << "a reference keeps to its base";
    UnRegisterClass(TTestGrid::StaticClass());
    EXPECT_EQ(GetClass("TTestGrid"), nullptr);
    RegisterClass(TTestGrid::StaticClass());
}
