// The language road through real windows: a main window and a dialog read from their form resources,
// their translation components linked to the main window's dispatcher, one switch from Russian to
// English and back, every text read back from the live windows.
#include "LocalisationTestSupport.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <commctrl.h>

using namespace loctest;

namespace {

class TfrmLangMain : public TForm {
    DECLARE_CLASS(TfrmLangMain, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TfrmLangMain>& B) {
        B.Field("lblInfo", &TfrmLangMain::lblInfo);
        B.Field("btnRestore", &TfrmLangMain::btnRestore);
        B.Field("mmoNotes", &TfrmLangMain::mmoNotes);
        B.Field("Notebook", &TfrmLangMain::Notebook);
        B.Field("sbBar", &TfrmLangMain::sbBar);
        B.Field("siLangDispatcher", &TfrmLangMain::siLangDispatcher);
        B.Field("siLang1", &TfrmLangMain::siLang1);
        B.Method<&TfrmLangMain::siLang1ChangeLanguage>("siLang1ChangeLanguage");
    }
    TLabel* lblInfo = nullptr;
    TButton* btnRestore = nullptr;
    TMemo* mmoNotes = nullptr;
    TNotebook* Notebook = nullptr;
    TStatusBar* sbBar = nullptr;
    TsiLangDispatcher* siLangDispatcher = nullptr;
    TsiLang* siLang1 = nullptr;
    // The window's message variable, refreshed as the program's windows do.
    std::string strrsSucc;
    void siLang1ChangeLanguage(TObject*) { strrsSucc = siLang1->GetTextOrDefault("strrsSucc"); }
};

class TfrmLangOther : public TForm {
    DECLARE_CLASS(TfrmLangOther, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TfrmLangOther>& B) {
        B.Field("btnOk", &TfrmLangOther::btnOk);
        B.Field("siLang1", &TfrmLangOther::siLang1);
        B.Method<&TfrmLangOther::siLang1ChangeLanguage>("siLang1ChangeLanguage");
    }
    TButton* btnOk = nullptr;
    TsiLang* siLang1 = nullptr;
    std::string strPwdEmpty;
    void siLang1ChangeLanguage(TObject*) { strPwdEmpty = siLang1->GetTextOrDefault("strPwdEmpty"); }
};

std::string WindowText(TWinControl* C) {
    char Buf[1024] = {};
    GetWindowTextA(C->Handle(), Buf, sizeof Buf);
    return Buf;
}

std::string PanelText(TStatusBar* Bar, int Index) {
    char Buf[256] = {};
    SendMessageA(Bar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Buf));
    return Buf;
}

// The charset of the font a windowed control paints with.
int WindowCharset(TWinControl* C) {
    LOGFONTA LF{};
    auto Font = reinterpret_cast<HFONT>(SendMessageA(C->Handle(), WM_GETFONT, 0, 0));
    return Font && GetObjectA(Font, sizeof LF, &LF) ? LF.lfCharSet : -1;
}

std::vector<std::string> PageTexts(TNotebook* N) {
    std::vector<std::string> R;
    for (int I = 0; I < N->PageCount(); ++I)
        R.push_back(WindowText(N->Page(I)));
    return R;
}

void Pump() {
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
}

// The main window and a dialog, both shown, as the program has them when its language menu is used.
struct TLanguageRoad : ::testing::Test {
    static void SetUpTestSuite() {
        InitComCtrls();
        ExtCtrlsInitialization();
        RegisterClasses({TfrmLangMain::StaticClass(), TfrmLangOther::StaticClass()});
    }
    TOwned<TfrmLangMain> Main{Create<TfrmLangMain>(nullptr)};
    TOwned<TfrmLangOther> Other{Create<TfrmLangOther>(nullptr)};
    TsiLangDispatcher* Dispatcher = Main->siLangDispatcher;

    void SetUp() override {
        Main->Show();
        Other->Show();
        Pump();
    }
    void Switch(int Language) {
        Dispatcher->SetActiveLanguage(Language);
        Pump();
    }
};

TEST_F(TLanguageRoad, OneSwitchChangesEveryOpenWindowAndBack) {
    ASSERT_EQ(Dispatcher->LinkedCount(), 2) << "both windows linked while they loaded";
    EXPECT_EQ(Other->siLang1->LangDispatcher(), Dispatcher) << "a reference into the main window";
    EXPECT_EQ(WindowText(Main.get()), Cp1251(L"Резервное копирование")) << "language 1 applies nothing";
    const std::string RussianNotes = WindowText(Main->mmoNotes);

    Switch(2);
    EXPECT_EQ(WindowText(Main.get()), "Quarnel Backup");
    EXPECT_EQ(WindowText(Main->btnRestore), "Restore");
    EXPECT_EQ(Main->btnRestore->Hint(), "Restore a database");
    EXPECT_EQ(Main->lblInfo->Caption(), "Information");
    EXPECT_EQ(Main->Font()->Charset(), 1);
    EXPECT_EQ(WindowCharset(Main->btnRestore), 1) << "the ParentFont child follows its window";
    EXPECT_EQ(Main->lblInfo->Font()->Charset(), 1);
    EXPECT_EQ(WindowText(Main->mmoNotes), "The server writes the backup to a file on its own disk, then it is packed\r\nSecond\r\n");
    EXPECT_TRUE(Main->mmoNotes->WordWrap());
    EXPECT_EQ(GetWindowLongA(Main->mmoNotes->Handle(), GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL), 0) << "still wrapping";
    EXPECT_EQ(PageTexts(Main->Notebook), (std::vector<std::string>{"Start", "Type", "Finish"}));
    EXPECT_EQ(PanelText(Main->sbBar, 0), Cp1251(L"Готово")) << "an empty English value keeps the text";
    EXPECT_EQ(PanelText(Main->sbBar, 1), "Tasks: 0");
    EXPECT_EQ(Main->strrsSucc, "Well done successfully") << "OnChangeLanguage refreshed the messages";
    EXPECT_EQ(WindowText(Other.get()), "Password");
    EXPECT_EQ(WindowText(Other->btnOk), "Apply");
    EXPECT_EQ(WindowCharset(Other->btnOk), 1);
    EXPECT_EQ(Other->btnOk->Hint(), "Check the password");
    EXPECT_EQ(Other->strPwdEmpty, "The password is empty");
    EXPECT_EQ(Dispatcher->Language(), "Eng");

    Switch(1);
    EXPECT_EQ(WindowText(Main.get()), Cp1251(L"Резервное копирование"));
    EXPECT_EQ(WindowText(Main->btnRestore), Cp1251(L"Восстановить"));
    EXPECT_EQ(Main->Font()->Charset(), 204);
    EXPECT_EQ(WindowCharset(Main->btnRestore), 204);
    EXPECT_EQ(WindowText(Main->mmoNotes), RussianNotes);
    EXPECT_EQ(PageTexts(Main->Notebook), (std::vector<std::string>{Cp1251(L"Старт"), Cp1251(L"Тип"), Cp1251(L"Финиш")}));
    EXPECT_EQ(PanelText(Main->sbBar, 1), Cp1251(L"Задач: 0"));
    EXPECT_EQ(Main->strrsSucc, Cp1251(L"Успешно выполнено"));
    EXPECT_EQ(WindowText(Other->btnOk), Cp1251(L"Применить"));
}

TEST_F(TLanguageRoad, AVetoOrABadLanguageChangesNothing) {
    Dispatcher->OnLanguageChanging = TLanguageChangingEvent::FromFunction([](TObject*, int, bool& Allow) { Allow = false; });
    Switch(2);
    Dispatcher->OnLanguageChanging = nullptr;
    EXPECT_THROW(Switch(3), ELanguageError);
    EXPECT_THROW(Switch(0), ELanguageError);
    EXPECT_EQ(Dispatcher->ActiveLanguage(), 1);
    EXPECT_EQ(Dispatcher->Language(), "Rus");
    for (TsiLang* L : {Main->siLang1, Other->siLang1})
        EXPECT_EQ(L->ActiveLanguage(), 1);
    EXPECT_EQ(WindowText(Main.get()), Cp1251(L"Резервное копирование"));
    EXPECT_EQ(WindowText(Other->btnOk), Cp1251(L"Применить"));
    EXPECT_EQ(Main->strrsSucc, "") << "no application ran";
    Switch(2);
    EXPECT_EQ(WindowText(Other->btnOk), "Apply") << "the windows still switch afterwards";
}

TEST_F(TLanguageRoad, AWindowOpenedLaterStartsInTheCurrentLanguage) {
    Switch(2);
    Other.reset();
    EXPECT_EQ(Dispatcher->LinkedCount(), 1) << "a closed window leaves the dispatcher";
    TOwned<TfrmLangOther> Later(Create<TfrmLangOther>(nullptr));
    Later->Show();
    Pump();
    EXPECT_EQ(Later->siLang1->ActiveLanguage(), 2);
    EXPECT_EQ(WindowText(Later.get()), "Password");
    EXPECT_EQ(WindowText(Later->btnOk), "Apply");
    EXPECT_EQ(Later->Font()->Charset(), 1);
    EXPECT_EQ(Later->strPwdEmpty, "The password is empty");
}

}  // namespace
