// Resource strings translated by the component that took them: by their exact wording in the
// resources' language, only while another language is active, and no longer once it is gone.
#include "LocalisationTestSupport.h"

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

TEST(ResourceStrings, OnlyTheFirstComponentTakesThem) {
    TResourceOwner First;
    TResourceOwner Second;
    EXPECT_EQ(ResourceStringsOwner, First.F.Lang);
}

}  // namespace
