// The language dispatcher over windowless owners: one switch for every linked component, the veto,
// the range check before anything changes, late links, names and counts passed on, unlinking, the
// lookups and charsets other components lend through it.
#include "LocalisationTestComponents.h"

#include "Forms.h"

using namespace loctest;

namespace {

// A dispatcher with "Rus" and "Eng" and two linked owners whose Box1 caption is translated.
struct TDispatcherWithTwo : ::testing::Test {
    TOwned<TsiLangDispatcher> Dispatcher{Create<TsiLangDispatcher>(nullptr)};
    TLangWithBoxes A{"Box1"}, B{"Box1"};
    std::vector<std::string> Events;

    void SetUp() override {
        TStringList Names;
        Names.SetCommaText("Rus,Eng");
        Dispatcher->SetLangNames(&Names);
        for (TLangWithBoxes* W : {&A, &B}) {
            W->Lang->Captions()->Add(Entry({"Box1", Cp1251(L"Выход"), "Exit"}));
            W->Lang->SetLangDispatcher(Dispatcher.get());
        }
        Dispatcher->OnLanguageChanged = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("changed"); });
    }
    std::vector<std::string> Captions() const { return {A.Box("Box1")->Caption, B.Box("Box1")->Caption}; }
};

TEST_F(TDispatcherWithTwo, OneSwitchChangesEveryLinkedComponent) {
    ASSERT_EQ(Dispatcher->LinkedCount(), 2);
    EXPECT_EQ(Dispatcher->LinkedItems(0), A.Lang);
    EXPECT_EQ(Dispatcher->Language(), "Rus");
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Exit", "Exit"}));
    EXPECT_EQ(Dispatcher->Language(), "Eng");
    EXPECT_EQ(B.Lang->Language(), "Eng");
    EXPECT_EQ(Events, (std::vector<std::string>{"changed"}));
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(Events.size(), 1u) << "the same language again raises nothing";
    Dispatcher->SetLanguage("rus");
    EXPECT_EQ(Dispatcher->ActiveLanguage(), 1) << "names match without regard to case";
    EXPECT_EQ(Captions(), (std::vector<std::string>{Cp1251(L"Выход"), Cp1251(L"Выход")}));
    EXPECT_EQ(MessageOf([&] { Dispatcher->SetLanguage("Deu"); }), "Language name shall be included in LangNames property!");
}

TEST_F(TDispatcherWithTwo, AVetoChangesNothing) {
    bool AllowDispatcher = false, AllowB = true;
    Dispatcher->OnLanguageChanging =
        TLanguageChangingEvent::FromFunction([&](TObject*, int, bool& Allow) { Allow = AllowDispatcher; });
    B.Lang->OnLanguageChanging = TLanguageChangingEvent::FromFunction([&](TObject*, int, bool& Allow) {
        Events.push_back("B asked");
        Allow = AllowB;
    });
    for (bool Dispatcher1 : {false, true}) {
        AllowDispatcher = Dispatcher1;
        AllowB = false;
        Dispatcher->SetActiveLanguage(2);
        EXPECT_EQ(Dispatcher->ActiveLanguage(), 1);
        EXPECT_EQ(Dispatcher->Language(), "Rus");
        EXPECT_EQ(A.Lang->ActiveLanguage(), 1);
        EXPECT_EQ(Captions(), (std::vector<std::string>{"", ""}));
    }
    EXPECT_EQ(Events, (std::vector<std::string>{"B asked"})) << "the components are asked only after the dispatcher";
    AllowB = true;
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(Events, (std::vector<std::string>{"B asked", "B asked", "changed"})) << "asked once, not again by itself";
}

TEST_F(TDispatcherWithTwo, OutOfRangeIsRefusedBeforeAnythingChanges) {
    bool Asked = false;
    Dispatcher->OnLanguageChanging = TLanguageChangingEvent::FromFunction([&](TObject*, int, bool&) { Asked = true; });
    for (int Bad : {0, 3, -1}) {
        EXPECT_EQ(MessageOf([&] { Dispatcher->SetActiveLanguage(Bad); }),
                  Format("%d - is not a valid property value!\rValue must be within [1..2]!", {Bad}));
        EXPECT_EQ(Dispatcher->ActiveLanguage(), 1);
    }
    EXPECT_FALSE(Asked);
    EXPECT_TRUE(Events.empty());
    TCaptionOwner* Owner = Create<TCaptionOwner>(nullptr);
    TsiLangDispatcher* Owned = Create<TsiLangDispatcher>(Owner);
    EXPECT_EQ(MessageOf([&] { Owned->SetActiveLanguage(2); }),
              "TCaptionOwner: 2 - is not a valid property value!\rValue must be within [1..1]!");
    Owner->Free();

    // A stored language the count lacks is put back to 1 when the dispatcher has loaded.
    TOwned<TsiLangDispatcher> Read(Create<TsiLangDispatcher>(nullptr));
    Read->IncludeState(csLoading);
    Read->SetActiveLanguage(5);
    Read->Loaded();
    EXPECT_EQ(Read->ActiveLanguage(), 1);
}

TEST_F(TDispatcherWithTwo, ALaterComponentStartsInTheCurrentLanguage) {
    Dispatcher->SetActiveLanguage(2);
    TLangWithBoxes Late{"Box1"};
    Late.Lang->Captions()->Add(Entry({"Box1", Cp1251(L"Выход"), "Exit"}));
    std::vector<TsiCustomLang*> Linked;
    Dispatcher->OnLinkToDispatcher =
        TLinkToDispatcherEvent::FromFunction([&](TObject*, TsiCustomLang* L) { Linked.push_back(L); });
    int Changes = 0;
    Late.Lang->OnChangeLanguage = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    Late.Lang->SetLangDispatcher(Dispatcher.get());
    EXPECT_EQ(Late.Lang->ActiveLanguage(), 2);
    EXPECT_EQ(Late.Lang->Language(), "Eng");
    EXPECT_EQ(Late.Box("Box1")->Caption, "Exit");
    EXPECT_EQ(Changes, 1) << "so the window refreshes its messages";
    EXPECT_EQ(Linked, (std::vector<TsiCustomLang*>{Late.Lang}));
    Late.Lang->SetLangDispatcher(Dispatcher.get());
    EXPECT_EQ(Dispatcher->LinkedCount(), 3) << "linked once";
}

TEST_F(TDispatcherWithTwo, NamesCountsAndDefaultsArePassedOn) {
    Dispatcher->SetNumOfLanguages(3);
    EXPECT_EQ(Lines(Dispatcher->LangNames()), (std::vector<std::string>{"Rus", "Eng", "Language N3"}));
    EXPECT_EQ(A.Lang->NumOfLanguages(), 3);
    Dispatcher->SetDefaultLanguage(3);
    Dispatcher->SetUseDefaultLanguage(true);
    EXPECT_EQ(B.Lang->DefaultLanguage(), 3);
    EXPECT_TRUE(B.Lang->UseDefaultLanguage());
    Dispatcher->SetDefaultLanguage(4);
    EXPECT_EQ(Dispatcher->DefaultLanguage(), 3) << "beyond the count: ignored";
    Dispatcher->SetNumOfLanguages(1);
    EXPECT_EQ(Lines(Dispatcher->LangNames()), (std::vector<std::string>{"Rus"}));
    EXPECT_EQ(Lines(A.Lang->LangNames()), (std::vector<std::string>{"Rus"}));
    EXPECT_THROW(Dispatcher->SetNumOfLanguages(0), ELanguageError);
    EXPECT_EQ(Dispatcher->NumOfLanguages(), 1);

    TStringList Names;
    Names.SetCommaText("Eng,Rus");
    Dispatcher->SetLangNames(&Names);
    EXPECT_EQ(Dispatcher->Language(), "Eng");
    EXPECT_EQ(Dispatcher->NumOfLanguages(), 2);
    EXPECT_EQ(Lines(B.Lang->LangNames()), (std::vector<std::string>{"Eng", "Rus"}));
}

TEST_F(TDispatcherWithTwo, UnlinkingOnEitherSide) {
    B.Owner.reset();
    EXPECT_EQ(Dispatcher->LinkedCount(), 1) << "a freed window leaves the list";
    A.Lang->SetLangDispatcher(nullptr);
    EXPECT_EQ(Dispatcher->LinkedCount(), 0);
    A.Lang->SetLangDispatcher(Dispatcher.get());
    Dispatcher.reset();
    EXPECT_EQ(A.Lang->LangDispatcher(), nullptr) << "a freed dispatcher is forgotten";
}

// The removal notice of a dispatcher that shares the component's owner takes the component off
// the dispatcher's list; freeing the dispatcher afterwards then ends.
TEST(TDispatcherInTheWindow, TakenOutOfItsOwnerThenFreed) {
    TLangWithBoxes W{"Box1"};
    W.Lang->Captions()->Add(Entry({"Box1", Cp1251(L"Выход"), "Exit"}));
    TsiLangDispatcher* Dispatcher = Create<TsiLangDispatcher>(W.Owner.get());
    TStringList Names;
    Names.SetCommaText("Rus,Eng");
    Dispatcher->SetLangNames(&Names);
    W.Lang->SetLangDispatcher(Dispatcher);
    ASSERT_EQ(Dispatcher->LinkedCount(), 1);
    W.Owner->RemoveComponent(Dispatcher);
    EXPECT_EQ(W.Lang->LangDispatcher(), nullptr);
    EXPECT_EQ(Dispatcher->LinkedCount(), 0) << "the notice unlinks as well";
    Dispatcher->Free();
    W.Lang->SetActiveLanguage(2);
    EXPECT_EQ(W.Box("Box1")->Caption, "Exit") << "the component works on without a dispatcher";
}

TEST_F(TDispatcherWithTwo, LookupsAndCharsetsLentByAnotherComponent) {
    // Another component's Strings serve a component that asks for them.
    A.Lang->Strings()->Add(Entry({"msg", Cp1251(L"Готово"), "Done"}));
    TsiLangOptions Ext{loUseExtUDStrings};
    B.Lang->SetOptions(Ext);
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(B.Lang->GetTextOrDefault("msg"), "Done");
    B.Lang->SetLangDispatcher(nullptr);
    EXPECT_EQ(B.Lang->GetTextOrDefault("msg"), "") << "without a dispatcher nobody lends";

    // A charset from another linked component whose owner is a form.
    TForm* Form = TCustomForm::CreateNewOf<TForm>(nullptr);
    TsiLang* Lender = Create<TsiLang>(Form);
    Lender->CharSets()->Add(Entry({"TForm", "RUSSIAN_CHARSET", "GREEK_CHARSET"}));
    Lender->SetLangDispatcher(Dispatcher.get());
    A.Lang->RefreshCharsets();  // finds the lender for later calls
    EXPECT_EQ(A.Lang->CharsetReference(), Lender);
    A.Lang->RefreshCharsets();
    EXPECT_EQ(A.Lang->LanguageCharsets(), (std::vector<Byte>{204, 161}));
    Form->Free();
    EXPECT_EQ(A.Lang->CharsetReference(), nullptr);
}

}  // namespace
