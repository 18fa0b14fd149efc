// Resource strings translated by the component that took them: by their exact wording in the
// resources' language, only while another language is active, and no longer once it is gone.
#include "LocalisationTestSupport.h"

#include "Restore.h"

using namespace loctest;

namespace {

struct TResourceOwner {
    TResourceOwner() {
        F.Lang->SetNumOfLanguages(2);
        F.Lang->Strings()->Add(Entry({"btnCancel", "Cancel", "Otmena"}));
        F.Lang->Strings()->Add(Entry({"btnOk", "OK", ""}));
        F.Lang->SetHandleResourceStrings(true);
        F.Lang->Loaded();
    }
    TLangOnOwner F;
};

TEST(ResourceStrings, TranslatedByExactWordingInTheActiveLanguage) {
    const TResStringRec Help = ResString("cancel");
    {
        TResourceOwner R;
        ASSERT_EQ(ResourceStringsOwner, R.F.Lang);
        EXPECT_EQ(LoadResString(ResConsts::SMsgDlgCancel), "Cancel") << "the resources' own language";
        SwitchLookupLanguage(R.F.Lang, 2);
        EXPECT_EQ(LoadResString(ResConsts::SMsgDlgCancel), "Otmena");
        EXPECT_EQ(LoadResString(ResConsts::SMsgDlgOK), "OK") << "an empty translation keeps the text";
        EXPECT_EQ(LoadResString(Help), "cancel") << "wording that differs in case is not translated";
    }
    EXPECT_EQ(ResourceStringsOwner, nullptr);
    EXPECT_EQ(ResStringLoader(), nullptr) << "the loader in force before comes back";
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgCancel), "Cancel");
}

// The program's own string resources (strings.rc): by number, by an "IDS_RES_" key up to the
// limit and by wording beyond it, and formatted with arguments after translation.
TEST(ResourceStrings, ProgramResourcesByKeyNumberAndWording) {
    TRestore<int> Limit(ResourceIdLimit);
    TResourceOwner R;
    R.F.Lang->Strings()->Add(Entry({"IDS_RES_64003", "", "Uebersetzt"}));
    R.F.Lang->Strings()->Add(Entry({"k3", "Record %d of %d", "Zapis %d iz %d"}));
    RebuildIndexes(R.F.Lang);
    const struct {
        int Limit, Language;
        unsigned Id;
        std::string Text;
    } Cases[] = {
        {0, 1, 64001, "Cancel"},         {0, 2, 64001, "Otmena"},      {0, 2, 64003, "Untranslated"},
        {70000, 2, 64003, "Uebersetzt"}, {64003, 2, 64003, "Uebersetzt"}, {64002, 2, 64003, "Untranslated"},
        {70000, 2, 64001, "Otmena"},     {70000, 1, 64003, "Untranslated"}, {0, 2, 64999, ""},
    };
    for (const auto& C : Cases) {
        ResourceIdLimit = C.Limit;
        SwitchLookupLanguage(R.F.Lang, C.Language);
        EXPECT_EQ(LoadResourceTextById(C.Id), C.Text) << C.Id << " limit " << C.Limit << " language " << C.Language;
        EXPECT_EQ(LoadStr(static_cast<int>(C.Id)), C.Text) << "the framework's loader goes through the redirection";
    }
    SwitchLookupLanguage(R.F.Lang, 2);
    EXPECT_EQ(FormatResourceText(64002, {3, 7}), "Zapis 3 iz 7");
    SwitchLookupLanguage(R.F.Lang, 1);
    EXPECT_EQ(FormatResourceText(64002, {3, 7}), "Record 3 of 7");
}

// In the dispatcher's test mode a resource text without a translation shows its pseudo-translation.
TEST(ResourceStrings, TestModeShowsThePseudoTranslationOfUntranslatedTexts) {
    TOwned<TsiLangDispatcher> Dispatcher(Create<TsiLangDispatcher>(nullptr));
    TStringList Names;
    Names.SetCommaText("Rus,Eng");
    Dispatcher->SetLangNames(&Names);
    TResourceOwner R;
    R.F.Lang->SetLangDispatcher(Dispatcher.get());
    Dispatcher->TestModeInfo()->Active = true;
    Dispatcher->TestModeInfo()->Kind = tmkFlipCase;
    Dispatcher->SetActiveLanguage(2);
    const std::string Pseudo = R.F.Lang->PseudoTranslate("OK");
    EXPECT_NE(Pseudo, "OK");
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgOK), Pseudo);
    EXPECT_EQ(R.F.Lang->ResourceIndex()->GetTranslation("OK", 2), Pseudo);
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgCancel), "Otmena") << "a translated text stays translated";
    Dispatcher->TestModeInfo()->Active = false;
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgOK), "OK");
}

TEST(ResourceStrings, OnlyTheFirstComponentTakesThem) {
    TResourceOwner First;
    TResourceOwner Second;
    EXPECT_EQ(ResourceStringsOwner, First.F.Lang);
}

}  // namespace
