// Translation components in form resources read through the framework by class name, written back
// byte for byte, refused twice on one form; and the unit start-up that makes forms naming TsiLang
// loadable.
#include "LocalisationTestSupport.h"

#include "Controls.h"
#include "siConsts.h"

using namespace loctest;

namespace {

std::string ResourceBytes(const char* Name) {
    TResourceStream R(MainInstance(), Name, RT_RCDATA);
    std::string S(static_cast<size_t>(R.Size()), '\0');
    R.ReadBuffer(S.data(), static_cast<LongInt>(S.size()));
    return S;
}

std::string Written(TComponent* Root) {
    TMemoryStream M;
    M.WriteComponent(Root);
    return std::string(static_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

TEST(FormLocale, PasswordPromptFromItsResource) {
    TOwned<TfrmPassword> Form = LoadForm<TfrmPassword>();
    TsiLang* L = Form->siLang1;
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->NumOfLanguages(), 2);
    EXPECT_EQ(Lines(L->LangNames()), (std::vector<std::string>{"Rus", "Eng"}));
    EXPECT_EQ(L->Language(), "Rus");
    EXPECT_EQ(L->LangDelim(), 1);
    EXPECT_EQ(Lines(L->Captions()), (std::vector<std::string>{Entry({"TfrmPassword", Cp1251(L"Пароль"), "Password"}),
                                                              "btnOk\x01\xCF\xF0\xE8\xEC\xE5\xED\xE8\xF2\xFC\x01"
                                                              "Apply\x01",
                                                              Entry({"btnCancel", Cp1251(L"Отмена"), "Cancel"})}));
    EXPECT_EQ(Lines(L->Fonts()), (std::vector<std::string>{Entry({"TfrmPassword", "MS Sans Serif", ""})}));
    EXPECT_EQ(Lines(L->CharSets()), (std::vector<std::string>{Entry({"TfrmPassword", "DEFAULT_CHARSET", "DEFAULT_CHARSET"})}));
    ASSERT_EQ(L->DlgsCaptions()->Count(), 15);
    EXPECT_EQ(L->DlgsCaptions()->Strings(4), Entry({"Yes", Cp1251(L"&Да"), "&Yes"}));
    EXPECT_EQ(Lines(L->Strings()), (std::vector<std::string>{
                                       Entry({"strPwdEmpty", Cp1251(L"Пароль не введён"), "The password is empty"}),
                                       Entry({"strTwoLines", Cp1251(L"Первая\r\nВторая"), "First\r\nSecond"})}));
    for (TStrings* Empty : {L->Hints(), L->DisplayLabels(), L->MultiLines(), L->OtherStrings(), L->Locales(), L->Collections()})
        EXPECT_EQ(Empty->Count(), 0);
    EXPECT_EQ(L->LanguageCharsets(), (std::vector<Byte>{1, 1}));

    EXPECT_EQ(L->GetTextOrDefault("strTwoLines"), Cp1251(L"Первая\r\nВторая"));
    SwitchLookupLanguage(L, 2);
    EXPECT_EQ(L->GetTextOrDefault("strPwdEmpty"), "The password is empty");
    SwitchLookupLanguage(L, 1);

    EXPECT_EQ(Written(Form.get()), ResourceBytes("TFRMPASSWORD")) << "written back byte for byte";
}

TEST(FormLocale, TwoTranslationComponentsOnOneForm) {
    try {
        LoadForm<TfrmTwoLangs>();
        FAIL() << "the form loaded";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("Only one TsiCustomLang component per Form/DataModule allowed!"), std::string::npos)
            << E.Message();
    }
}

TEST(FormLocale, MainWindowCharacterSets) {
    TOwned<TfrmSetting> Form = LoadForm<TfrmSetting>();
    EXPECT_EQ(Form->siLang1->LanguageCharsets(), (std::vector<Byte>{204, 1}));
    EXPECT_EQ(Form->siLang1->ActiveCharset(), 204);
}

TEST(siCompUnit, StartUpRegistersAndShutDownReleases) {
    EXPECT_EQ(GetClass("TsiLang"), TsiLang::StaticClass());
    EXPECT_EQ(ClassGroupOf(TsiLang::StaticClass()), TControl::StaticClass());
    ASSERT_EQ(FrameworkDialogTexts().size(), 15u);
    EXPECT_EQ(FrameworkDialogTexts()[13], "Yes to &All");

    siCompInitialization();  // a second start-up changes nothing
    EXPECT_EQ(FrameworkDialogTexts().size(), 15u);
    siCompFinalization();  // and its shut-down releases nothing yet
    EXPECT_EQ(FrameworkDialogTexts().size(), 15u);

    UnRegisterClass(TsiLang::StaticClass());
    siCompFinalization();
    EXPECT_TRUE(FrameworkDialogTexts().empty());
    EXPECT_EQ(GetClass("TsiLang"), nullptr);
    siCompInitialization();
    EXPECT_EQ(GetClass("TsiLang"), TsiLang::StaticClass());
    EXPECT_EQ(FrameworkDialogTexts().size(), 15u);
    EXPECT_NO_THROW(LoadForm<TfrmPassword>()) << "a form naming TsiLang loads after start-up";
}

TEST(siCompUnit, ConstantTables) {
    ASSERT_NE(TranslationComponentClassNames, nullptr);
    EXPECT_EQ(Lines(TranslationComponentClassNames),
              (std::vector<std::string>{"TsiLang", "TsiLangLinked", "TsiLangRT", "TsiLangRTSE", "TsiLangTLV"}));
    EXPECT_STREQ(GetTextOrDefaultMethodName, "GetTextOrDefault(");
    EXPECT_EQ(CharsetOfName("RUSSIAN_CHARSET"), 204);
    EXPECT_EQ(CharsetOfName("russian_charset"), 1) << "names match exactly";
    EXPECT_EQ(CharsetOfName("OEM_CHARSET"), 255);
    EXPECT_EQ(CharsetCodePage(204), 1251u);
    EXPECT_STREQ(KindPropertyNames[stMultiLines], "TStrings");
    EXPECT_STREQ(DialogCaptionDefaults[85], "Find");
}

}  // namespace
