// The design-time collector (csDesigning set, as a form designer would): entries made from the owner's
// components, translations carried over to a replacing component, keys renamed and deleted with
// their components, excluded properties.
#include "LocalisationTestComponents.h"

using namespace loctest;

namespace {

struct TDesignedOwner : ::testing::Test {
    TLangWithBoxes F{"Box1"};
    TsiLang* L = F.Lang;
    TPropsBox* Box1 = F.Box("Box1");
    void SetUp() override {
        L->IncludeState(csDesigning);
        F.Owner->Caption = "Main";
        Box1->Caption = "Open";
        Box1->Hint = "Opens";
        Box1->Lines()->SetCommaText("a,b");
        Box1->Columns()->Add();
        static_cast<TColumnStub*>(Box1->Columns()->Items(0))->Text = "col";
        Box1->Font()->SetName("Arial");
        Box1->Font()->SetCharset(204);
        Box1->WideText = L"wide";
    }
};

TEST_F(TDesignedOwner, CollectsEveryTranslatableProperty) {
    L->CollectProperties();
    EXPECT_EQ(Lines(L->Captions()), (std::vector<std::string>{Entry({"TCaptionOwner", "Main", ""}), Entry({"Box1", "Open", ""})}));
    EXPECT_EQ(Lines(L->Hints()), (std::vector<std::string>{Entry({"Box1", "Opens", ""})}));
    EXPECT_EQ(L->Fonts()->Strings(1), Entry({"Box1", "Arial", ""}));
    EXPECT_EQ(L->CharSets()->Strings(1), Entry({"Box1", "RUSSIAN_CHARSET", ""}));
    EXPECT_EQ(Lines(L->MultiLines()), (std::vector<std::string>{Entry({"Box1.Lines", "a,b", ""})}));
    EXPECT_EQ(Lines(L->Collections()), (std::vector<std::string>{Entry({"Box1.Columns[0].Text", "col", ""})}));
    // Other strings: string properties but captions, hints and names; the excluded FileName, the
    // read-only Shown and empty texts (AutoSkipEmpties) make no entry.
    EXPECT_EQ(Lines(L->OtherStrings()), (std::vector<std::string>{Entry({"Box1.WideText", "wide", ""})}));
    EXPECT_EQ(L->RemovedEntries(), nullptr) << "freed at the end";

    Box1->Caption = "Open it";
    L->CollectProperties();
    EXPECT_EQ(L->Captions()->Strings(1), Entry({"Box1", "Open it", ""})) << "language 1 follows the component";
    // Language 2's empty value is the translator's to fill, not the collector's.
    L->IncludeState(csLoading);
    L->SetActiveLanguage(2);
    L->ExcludeState(csLoading);
    Box1->Caption = "Open";
    L->CollectProperties();
    EXPECT_EQ(L->Captions()->Strings(1), Entry({"Box1", "Open it", ""}));
    L->SetTranslation(L->Captions(), "Opened", "Box1", 2);
    L->CollectProperties();
    EXPECT_EQ(L->Captions()->Strings(1), Entry({"Box1", "Open it", "Open"}));
}

TEST_F(TDesignedOwner, AReplacingComponentTakesTheRemovedOnesTranslations) {
    L->CollectProperties();
    L->SetTranslation(L->Captions(), "Open EN", "Box1", 2);
    Box1->Free();
    EXPECT_EQ(L->Captions()->Count(), 1) << "the removed component's keys go at design time";
    TPropsBox* New = Create<TPropsBox>(F.Owner.get());
    New->SetName("Box2");
    New->Caption = "Open";
    L->Captions()->Add(Entry({"Box1", "Open", "Open EN"}));  // as a designer's undo would have kept it
    L->CollectProperties();
    EXPECT_EQ(L->Captions()->Strings(1), Entry({"Box2", "Open", "Open EN"}));
}

TEST_F(TDesignedOwner, RenamingAndExcluding) {
    L->CollectProperties();
    TStringList Skip;
    Skip.Add("Box1.Hint");
    L->SmartExcludeProps()->Assign(&Skip);
    L->RenameKeys("Box1", "btnOpen");
    EXPECT_EQ(L->Captions()->Strings(1), Entry({"btnOpen", "Open", ""}));
    EXPECT_EQ(L->MultiLines()->Strings(0), Entry({"btnOpen.Lines", "a,b", ""}));
    EXPECT_EQ(L->SmartExcludeProps()->Strings(0), "btnOpen.Hint");
    F.Owner->SetName("CaptionOwner");  // a window's class is "T" and its name
    L->RenameKeys("CaptionOwner", "frmEdit");
    EXPECT_EQ(L->Captions()->Strings(0), Entry({"TfrmEdit", "Main", ""})) << "the owner's entries carry its class name";

    EXPECT_FALSE(L->IsPropertyExcluded("DBGridMain", "Columns"));
    EXPECT_TRUE(L->IsPropertyExcluded("leServerName", "EditLabel.FileName"));
    EXPECT_TRUE(L->IsPropertyExcluded("Box1", "Name"));
    EXPECT_TRUE(L->IsPropertyExcluded("btnOpen", "Hint"));
}

TEST_F(TDesignedOwner, DoNotTranslateDeletesTheComponentsEntries) {
    L->CollectProperties();
    TStringList Skip;
    Skip.Add("!TPropsBox");
    L->SetDoNotTranslate(&Skip);
    EXPECT_EQ(L->Hints()->Count(), 0);
    EXPECT_EQ(L->MultiLines()->Count(), 0);
    EXPECT_EQ(L->Captions()->Count(), 1) << "the owner's caption stays";
}

}  // namespace
