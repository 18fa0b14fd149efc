// The main window read from its form resource: the start-up rules for language, settings, interval and
// grid layout; the settings saved when it hides; the tray's autorun item; the language switch of the
// live window and the data module; deleting a task; the result view; the command line, the discovery
// replies and the connection strings.
#include "MainWindowTestSupport.h"
#include "untAbout.h"
#include "untJOpen.h"
#include "untRestore.h"
#include "untSaveTimer.h"

using namespace app_tests;

namespace {

::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new TProgramUnits);

const std::string Ru(const wchar_t* Text) { return WideToAnsi(Text, 1251); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Start-up

class MainWindowStartup : public TMainWindowFixture {};

TEST_F(MainWindowStartup, LanguageComesFromTheSystemThenFromTheRegistry) {
    struct Case {
        LANGID System;
        const char* Lang;  // "" = no value, "s:..." = stored as text
        int Expected;
    };
    const Case Cases[] = {
        {1049, "", 1}, {1049, "2", 2}, {1033, "", 1}, {1033, "1", 1}, {1033, "2", 2},
        {1049, "0", 1}, {1049, "7", 1}, {1049, "-1", 1}, {1049, "s:2", 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string("system ") + std::to_string(C.System) + ", Lang " + C.Lang);
        DeleteSettingsKey();
        SetSystemDefaultLangIDOverride(C.System);
        const std::string Lang = C.Lang;
        if (Lang.rfind("s:", 0) == 0)
            WriteSetting("Lang", Lang.substr(2));
        else if (!Lang.empty())
            WriteIntSetting("Lang", std::stoi(Lang));
        TOwned<TfrmSetting> W = OpenWindow();
        EXPECT_EQ(W->siLangDispatcher->ActiveLanguage(), C.Expected);
        EXPECT_EQ(W->siLang1->ActiveLanguage(), C.Expected);
        EXPECT_EQ(W->strrsStart, C.Expected == 1 ? Ru(L"Старт") : "Start");
        EXPECT_EQ(W->lbAct->Caption(), C.Expected == 1 ? Ru(L"Идёт процесс проверки и активации заданий")
                                                        : "There is a process of check and activation of tasks");
        EXPECT_EQ(W->Caption(), "Quarnel Backup for MS SQL Server");
    }
}

TEST_F(MainWindowStartup, IntervalInMinutesOrFifteen) {
    struct Case {
        const char* Interval;  // nullptr = no value
        Cardinal Ms;
    };
    const Case Cases[] = {{nullptr, 900000}, {"30", 1800000}, {"abc", 900000}, {"0", 900000},
                          {"-5", 900000},    {"1440", 86400000}, {"99999999", 900000}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Interval ? C.Interval : "(none)");
        DeleteSettingsKey();
        if (C.Interval)
            WriteSetting("Interval", C.Interval);
        TOwned<TfrmSetting> W = OpenWindow();
        EXPECT_EQ(W->tmThreadTimerBackup->Interval(), C.Ms);
        EXPECT_TRUE(W->tmThreadTimerBackup->Enabled());
        EXPECT_EQ(PanelText(W.get(), 1), Ru(L"Таймер: каждые ") + std::to_string(C.Ms / 60000) + Ru(L" мин"));
    }
}

TEST_F(MainWindowStartup, FirstStartWritesTheDefaultsAndCentresTheWindow) {
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(W->cbServers->Text(), "(local)");
    EXPECT_TRUE(W->rbNT->Checked());
    EXPECT_TRUE(W->edSQLName->ReadOnly());
    EXPECT_TRUE(W->edSQLPassword->ReadOnly());
    EXPECT_EQ(W->edSQLPassword->Color(), clBtnFace);
    EXPECT_EQ(W->Position(), poScreenCenter);
    EXPECT_EQ(ReadSetting("Server"), "(local)");
    EXPECT_EQ(ReadSetting("typeNT"), "1");
    EXPECT_EQ(ReadSetting("name"), "");
    EXPECT_EQ(ReadSetting("password"), "");
    EXPECT_EQ(PanelText(W.get(), 2), Ru(L"Текущий сервер: (local)"));
    EXPECT_EQ(PanelText(W.get(), 3), Ru(L"Соединение: Нет"));
    EXPECT_EQ(PanelText(W.get(), 0).rfind(Ru(L"Старт: "), 0), 0u);
    EXPECT_FALSE(W->StartedHidden()) << "the test program has no /hide";
    EXPECT_EQ(W->pmOpenProgram->Caption(), Ru(L"Скрыть"));
    EXPECT_EQ(W->mmLang->Caption(), Ru(L"Переключить на английский"));
    EXPECT_EQ(W->mmLang->ImageIndex(), 33);
    EXPECT_EQ(W->TrayIcon->OnMouseUp.Assigned(), false);
    EXPECT_TRUE(Recorder.Shown.empty());
}

TEST_F(MainWindowStartup, StoredSettingsComeBack) {
    WriteSetting("Server", "SRV\\A");
    WriteSetting("typeNT", "0");
    WriteSetting("name", "sa");
    WriteSetting("password", Crypt("p;w"));
    WriteSetting("Top", "40");
    WriteSetting("Left", "50");
    WriteSetting("Width", "800");
    WriteSetting("Height", "abc");
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(W->cbServers->Text(), "SRV\\A");
    EXPECT_TRUE(W->rbnamePassword->Checked());
    EXPECT_FALSE(W->edSQLName->ReadOnly());
    EXPECT_EQ(W->edSQLName->Color(), clWindow);
    EXPECT_EQ(W->edSQLName->Text(), "sa");
    EXPECT_EQ(W->edSQLPassword->Text(), "p;w");
    EXPECT_EQ(W->Position(), poDesigned);
    EXPECT_EQ(W->Left(), 50);
    EXPECT_EQ(W->Top(), 40);
    EXPECT_EQ(W->Width(), 800);
    EXPECT_EQ(W->Height(), 711) << "a height that is no number keeps the designed one";
}

TEST_F(MainWindowStartup, TheWindowShowsAtOnceWithItsIconInTheTray) {
    Application->ShowMainForm = true;
    TOwned<TfrmSetting> W(Create<TfrmSetting>(nullptr));
    EXPECT_TRUE(W->Visible()) << "the window shows itself, as the application no longer does";
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_FALSE(Application->ShowMainForm);
    EXPECT_FALSE(IsWindowVisible(Application->Handle())) << "no taskbar window, only the tray icon";
    // The icon and the discovery wait for the window's first paint.
    EXPECT_FALSE(W->TrayIcon->Visible());
    EXPECT_FALSE(W->Searching());
    ASSERT_TRUE(testing_support::PumpUntil([&] { return W->TrayIcon->Visible(); }, 10000));
    EXPECT_TRUE(IsWindowVisible(W->Handle())) << "the window stays up beside its icon";
    EXPECT_EQ(W->TrayIcon->ImageList(), W->ImageList1);
    EXPECT_EQ(W->TrayIcon->ImageIndex(), 24);
    EXPECT_TRUE(W->TrayIcon->MinimizeToTray());
    EXPECT_TRUE(W->TrayIcon->MinimizeOnStart());
    EXPECT_EQ(W->TrayIcon->PopupMenu(), W->PopupMenu);
}

TEST_F(MainWindowStartup, AnUnknownAuthenticationKindIsRewrittenAsWindows) {
    WriteSetting("typeNT", "yes");
    WriteSetting("name", "   ");
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_TRUE(W->rbNT->Checked());
    EXPECT_EQ(ReadSetting("typeNT"), "1");
    EXPECT_EQ(ReadSetting("name"), "");
    EXPECT_EQ(W->edSQLName->Text(), "");
}

TEST_F(MainWindowStartup, StoredGridLayoutOverridesWidthsFieldsAndTitles) {
    WriteIntSetting("Width0", 77, "t1");
    WriteSetting("FieldName1", "Path", "t1");
    WriteSetting("FieldTitle1", Ru(L"Папка"), "t1");
    WriteSetting("Width2", "abc", "t1");  // unreadable: skipped
    WriteIntSetting("Width3", 0, "t1");   // not above 0: skipped
    TOwned<TfrmSetting> W = OpenWindow();
    TDBGridColumns* C = W->DBGridMain->Columns();
    EXPECT_EQ(C->Items(0)->Width(), 77);
    EXPECT_EQ(C->Items(1)->FieldName(), "Path");
    EXPECT_EQ(C->Items(1)->Title()->Caption(), Ru(L"Папка"));
    EXPECT_EQ(C->Items(2)->Width(), 111);
    EXPECT_EQ(C->Items(3)->Width(), 159);
    EXPECT_EQ(C->Items(0)->Title()->Caption(), Ru(L"Сервер"));
}

TEST(MainWindowCommandLine, OnlyAnExactFirstHideStartsHidden) {
    struct Case {
        std::vector<std::string> Params;
        bool Hidden;
    };
    const Case Cases[] = {
        {{"/hide"}, true}, {{"/hide", "x"}, true}, {{}, false},          {{"/HIDE"}, false},
        {{"/Hide"}, false}, {{"x", "/hide"}, false}, {{"/hide "}, false}, {{"-hide"}, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(HideRequested(C.Params), C.Hidden) << (C.Params.empty() ? "(none)" : C.Params[0]);
}

// ---------------------------------------------------------------------------------------------
// Hiding and the settings it saves

class MainWindowStop : public TAnsweredMainWindowFixture {};

TEST_F(MainWindowStop, MinimiseAndCloseSaveTheSettingsAndOnlyHide) {
    TOwned<TfrmSetting> W = OpenWindow();
    for (WPARAM Command : {WPARAM(SC_MINIMIZE), WPARAM(SC_CLOSE)}) {
        SCOPED_TRACE(Command);
        DeleteSettingsKey();
        W->Show();
        Pump();
        W->cbServers->SetText("NEW" + std::to_string(Command));
        W->rbnamePassword->SetChecked(true);
        W->edSQLName->SetText("u");
        W->edSQLPassword->SetText("se;cret");
        W->Perform(WM_SYSCOMMAND, Command, 0);
        Pump();
        EXPECT_FALSE(W->Visible());
        EXPECT_TRUE(W->HandleAllocated()) << "the window lives on in the tray";
        EXPECT_EQ(W->WindowState(), wsNormal);
        EXPECT_EQ(ReadSetting("Server"), "NEW" + std::to_string(Command));
        EXPECT_EQ(ReadSetting("typeNT"), "0");
        EXPECT_EQ(ReadSetting("name"), "u");
        EXPECT_EQ(ReadSetting("password"), Crypt("se;cret"));
        EXPECT_EQ(EnCrypt(ReadSetting("password")), "se;cret");
        EXPECT_EQ(ReadSetting("Lang"), "int:1");
        EXPECT_EQ(ReadSetting("Interval"), "15");
        EXPECT_EQ(ReadSetting("Width"), std::to_string(W->Width()));
        EXPECT_EQ(ReadSetting("Left"), std::to_string(W->Left()));
        EXPECT_EQ(ReadSetting("Width0", "t1"), "int:149");
        EXPECT_EQ(ReadSetting("FieldName6", "t1"), "Result");
        EXPECT_EQ(ReadSetting("FieldTitle1", "t1"), Ru(L"База данных"));
    }
}

TEST_F(MainWindowStop, SavedSettingsAreWhatTheNextStartReads) {
    {
        TOwned<TfrmSetting> W = OpenWindow();
        W->cbServers->SetText("HOST\\INST");
        W->rbnamePassword->SetChecked(true);
        W->edSQLName->SetText("backup");
        W->edSQLPassword->SetText("pw");
        W->tmThreadTimerBackup->SetInterval(45 * 60000);
        W->mmLangClick(nullptr);
        W->SaveForClose();
    }
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(W->cbServers->Text(), "HOST\\INST");
    EXPECT_TRUE(W->rbnamePassword->Checked());
    EXPECT_EQ(W->edSQLName->Text(), "backup");
    EXPECT_EQ(W->edSQLPassword->Text(), "pw");
    EXPECT_EQ(W->tmThreadTimerBackup->Interval(), 45u * 60000);
    EXPECT_EQ(W->siLangDispatcher->ActiveLanguage(), 2);
    EXPECT_EQ(W->Position(), poDesigned);
}

TEST_F(MainWindowStop, AutorunItemFollowsTheRegistry) {
    TRegistry Run;
    OpenAutoRunWithoutProgram(Run);
    if (HasFatalFailure())
        return;
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(W->pmAutoRun->ImageIndex(), AutoRunOffImage);
    W->pmAutoRunClick(nullptr);
    EXPECT_EQ(W->pmAutoRun->ImageIndex(), AutoRunOnImage);
    ASSERT_TRUE(Run.ValueExists(AutoRunValueName));
    EXPECT_EQ(Run.ReadString(AutoRunValueName), "\"" + ProgramFileName() + "\" /hide");
    {
        TOwned<TfrmSetting> Again = OpenWindow();
        EXPECT_EQ(Again->pmAutoRun->ImageIndex(), AutoRunOnImage);
    }
    W->pmAutoRunClick(nullptr);
    EXPECT_EQ(W->pmAutoRun->ImageIndex(), AutoRunOffImage);
    EXPECT_FALSE(Run.ValueExists(AutoRunValueName));
    EXPECT_TRUE(Recorder.Shown.empty());
}

TEST_F(MainWindowStop, TrayItemHidesAndShowsTheWindow) {
    TOwned<TfrmSetting> W = OpenWindow();
    W->Show();
    Pump();
    W->PopupMenuPopup(nullptr);
    EXPECT_EQ(W->pmOpenProgram->Caption(), Ru(L"Скрыть"));
    W->pmOpenProgramClick(nullptr);
    EXPECT_FALSE(W->Visible());
    EXPECT_EQ(W->pmOpenProgram->Caption(), Ru(L"Открыть"));
    EXPECT_EQ(ReadSetting("Server"), "(local)") << "hiding saved the settings";
    W->PopupMenuPopup(nullptr);
    EXPECT_EQ(W->pmOpenProgram->Caption(), Ru(L"Открыть"));
    W->pmOpenProgramClick(nullptr);
    Pump();
    EXPECT_TRUE(W->Visible());
    EXPECT_EQ(W->pmOpenProgram->Caption(), Ru(L"Скрыть"));
    EXPECT_FALSE(IsWindowVisible(Application->Handle())) << "the taskbar window stays hidden";
}

// ---------------------------------------------------------------------------------------------
// The language switch

class MainWindowLanguage : public TMainWindowFixture {};

TEST_F(MainWindowLanguage, OneSwitchChangesTheWindowItsMessagesGridAndTheDataModule) {
    TOwned<TDMService> DM(Create<TDMService>(nullptr));
    TOwned<TfrmSetting> W = OpenWindow();
    ASSERT_EQ(DM->siLang1->LangDispatcher(), W->siLangDispatcher) << "linked when the main window loaded";
    W->Show();
    Pump();

    W->mmLangClick(nullptr);
    EXPECT_EQ(W->siLangDispatcher->ActiveLanguage(), 2);
    EXPECT_EQ(DM->siLang1->ActiveLanguage(), 2);
    EXPECT_EQ(W->mmLang->Caption(), "Switch to Russian");
    EXPECT_EQ(W->mmLang->ImageIndex(), 32);
    EXPECT_EQ(W->lbAct->Caption(), "There is a process of check and activation of tasks");
    EXPECT_EQ(W->tbPlus->Hint(), "Add task");
    EXPECT_EQ(W->pmClose->Caption(), "Exit");
    EXPECT_EQ(W->bbJourn->Caption(), "Backup log");
    EXPECT_EQ(W->rbNT->Caption(), "NT safety");
    EXPECT_EQ(W->btnOpen->Caption(), "To connect");
    EXPECT_EQ(W->Caption(), "Quarnel Backup for MS SQL Server");
    EXPECT_EQ(W->strrsStateCheck, "There is a checking. Wait until end.");
    EXPECT_EQ(W->strsDelCont, " ") << "an empty English text falls back to language 1";
    EXPECT_EQ(PanelText(W.get(), 0).rfind("Start: ", 0), 0u);
    EXPECT_EQ(PanelText(W.get(), 1), "Timer: each 15 min.");
    EXPECT_EQ(PanelText(W.get(), 2), "Server: (local)");
    EXPECT_EQ(PanelText(W.get(), 3), "Connection: No");
    EXPECT_EQ(Titles(W.get()),
              (std::vector<std::string>{"Server", "Database", "Hour", "Min.", "Path", "Last launching", "Result"}));

    W->mmLangClick(nullptr);
    EXPECT_EQ(DM->siLang1->ActiveLanguage(), 1);
    EXPECT_EQ(W->mmLang->Caption(), Ru(L"Переключить на английский"));
    EXPECT_EQ(W->tbPlus->Hint(), Ru(L"Добавить задание"));
    EXPECT_EQ(W->strrsStateCheck, Ru(L"Идет проверка. Подождите, пока она не закончится."));
    EXPECT_EQ(PanelText(W.get(), 3), Ru(L"Соединение: Нет"));
    EXPECT_EQ(Titles(W.get()), (std::vector<std::string>{Ru(L"Сервер"), Ru(L"База данных"), Ru(L"Час"), Ru(L"Мин."),
                                                         Ru(L"Путь"), Ru(L"Последний запуск"), Ru(L"Результат")}));
    W->PopupMenuPopup(nullptr);
    EXPECT_EQ(W->mmLang->ImageIndex(), 33);
}

TEST_F(MainWindowLanguage, TheLiveConnectionStringSurvivesASwitch) {
    TOwned<TfrmSetting> W = OpenWindow();
    W->ADOConnection->SetConnectionString(L"Provider=SQLOLEDB.1;Data Source=LIVE");
    W->mmLangClick(nullptr);
    W->mmLangClick(nullptr);
    EXPECT_EQ(W->ADOConnection->ConnectionString(), L"Provider=SQLOLEDB.1;Data Source=LIVE");
}

// ---------------------------------------------------------------------------------------------
// Tasks

class MainWindowTasks : public TAnsweredMainWindowFixture {
protected:
    static std::string Task(const char* DBName, const char* Result) {
        return TLine().Set(tfDBName, DBName).Set(tfResult, Result).Set(tfType, "Type3").Set(tfServer, "S").Text();
    }
};

// The system's own text for Code in Language, as the system gives it (wide), without its end.
std::wstring SystemText(DWORD Code, LANGID Language) {
    wchar_t* Buffer = nullptr;
    const DWORD N = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, Code, Language, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    std::wstring Text = N && Buffer ? std::wstring(Buffer, N) : std::wstring();
    if (Buffer)
        LocalFree(Buffer);
    while (!Text.empty() && (Text.back() <= L' ' || Text.back() == L'.'))
        Text.pop_back();
    return Text;
}

TEST_F(MainWindowTasks, AFailedWriteShowsTheSystemsReasonInTheLanguageOfTheWindows) {
    const std::string Name = Folder / "Settings.ini";
    WriteTaskLines(Name, {Task("Sales", "insert_new_task")});
    TOwned<TfrmSetting> W = OpenWindow();
    // Another program holds the file; the writer's waits between attempts pass at once.
    HANDLE Held = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Held, INVALID_HANDLE_VALUE);
    SetFileInUseWait([](int) {});
    const struct {
        int Language;
        LANGID System;
    } Cases[] = {{2, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}, {1, MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT)}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Language);
        if (W->siLangDispatcher->ActiveLanguage() != C.Language)
            W->mmLangClick(nullptr);  // the user's switch
        ASSERT_EQ(W->siLangDispatcher->ActiveLanguage(), C.Language);
        std::string Message;
        try {
            CloseCurrentFile(W->MemSettitngs);
        } catch (const EFCreateError& E) {
            Message = E.Message();
        }
        ASSERT_FALSE(Message.empty()) << "the write failed";
        // What the message window shows, read back from its box as the system holds it.
        ShowMyDialogText(Message, "");
        ASSERT_NE(frmMyDialog, nullptr);
        const HWND Box = frmMyDialog->reMyDialog->Handle();
        std::wstring Shown(static_cast<std::size_t>(GetWindowTextLengthW(Box)) + 1, L'\0');
        Shown.resize(static_cast<std::size_t>(GetWindowTextW(Box, Shown.data(), static_cast<int>(Shown.size()))));
        // The system refuses the replacement either way while the file is held.
        const std::wstring Denied = SystemText(ERROR_ACCESS_DENIED, C.System);
        const std::wstring Sharing = SystemText(ERROR_SHARING_VIOLATION, C.System);
        ASSERT_FALSE(Denied.empty() || Sharing.empty());
        EXPECT_TRUE(Shown.find(Denied) != std::wstring::npos || Shown.find(Sharing) != std::wstring::npos)
            << WideToAnsi(Shown, CP_UTF8);
        frmMyDialog->Free();
    }
    SetFileInUseWait(nullptr);
    CloseHandle(Held);
}

TEST_F(MainWindowTasks, DeleteAsksWithTheWindowsOwnYesAndNo) {
    WriteTaskLines(Folder / "Settings.ini", {Task("Sales", "insert_new_task")});
    TOwned<TfrmSetting> W = OpenWindow();
    ASSERT_EQ(W->MemSettitngs->RecordCount(), 1);

    Recorder.Answer = mrCancel;
    W->tbDeleteClick(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    const TMessageRecorder::TShown& Q = Recorder.Shown[0];
    EXPECT_EQ(Q.Text, Ru(L"Удалить задачу?"));
    EXPECT_EQ(Q.Caption, " ");
    EXPECT_EQ(Q.Buttons, (std::vector<std::string>{Ru(L"Да"), Ru(L"Нет")}));
    EXPECT_TRUE(Q.StayOnTop);
    EXPECT_TRUE(Q.NoBorderIcons);
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 1);

    Recorder.Answer = mrOk;
    W->tbDeleteClick(nullptr);
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 0);
    EXPECT_TRUE(ReadTaskLines(Folder / "Settings.ini").empty());
    EXPECT_TRUE(W->tmThreadTimerBackup->Enabled());

    Recorder.Shown.clear();
    W->tbDeleteClick(nullptr);
    EXPECT_TRUE(Recorder.Shown.empty()) << "an empty table asks nothing";
}

TEST_F(MainWindowTasks, DoubleClickOnTheResultShowsItsText) {
    WriteTaskLines(Folder / "Settings.ini", {Task("A", "insert_new_task"), Task("B", "Succesfull"),
                                             Task("C", "Login failed for user  sa .")});
    TOwned<TfrmSetting> W = OpenWindow();
    const std::string Expected[] = {Ru(L"Внесена задача"), Ru(L"Успешно выполнено"), "Login failed for user  sa ."};
    TColumn* ResultColumn = W->DBGridMain->Columns()->Items(6);
    ASSERT_EQ(ResultColumn->FieldName(), "Result");
    W->MemSettitngs->First();
    for (const std::string& Text : Expected) {
        W->DBGridMainCellClick(ResultColumn);
        W->DBGridMainDblClick(nullptr);
        // Shown without waiting, in the one message window.
        ASSERT_NE(frmMyDialog, nullptr);
        EXPECT_TRUE(frmMyDialog->Visible());
        EXPECT_FALSE(frmMyDialog->FormState().Contains(fsModal));
        EXPECT_EQ(frmMyDialog->reMyDialog->Text(), Text);
        EXPECT_EQ(frmMyDialog->Caption(), Ru(L"Результат"));
        W->MemSettitngs->Next();
    }
    EXPECT_TRUE(Recorder.Shown.empty());
}

TEST_F(MainWindowTasks, TheWizardOpensModallyWithTheSchedulerStopped) {
    WriteTaskLines(Folder / "Settings.ini", {Task("A", "Succesfull")});
    TOwned<TfrmSetting> W = OpenWindow();
    frmSetting = W.get();
    struct TSeen {
        std::string Class;
        TWizardMode Mode;
        bool TimerOn;
    };
    std::vector<TSeen> Seen;
    Answerer.Other = [&](TCustomForm* F) {
        Seen.push_back({F->ClassName(), WizardMode, W->tmThreadTimerBackup->Enabled()});
        F->SetModalResult(mrCancel);
    };
    W->tbPlusClick(nullptr);
    W->tbEditClick(nullptr);
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0].Class, "TfrmAdd");
    EXPECT_EQ(Seen[0].Mode, wmAdd);
    EXPECT_EQ(Seen[1].Mode, wmEdit);
    EXPECT_FALSE(Seen[0].TimerOn || Seen[1].TimerOn);
    EXPECT_TRUE(W->tmThreadTimerBackup->Enabled()) << "started again afterwards";
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 1);
    EXPECT_TRUE(Recorder.Shown.empty());

    W->mmRestoreDbClick(nullptr);
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen[2].Class, "TfrmRestore");

    // An empty table has nothing to edit.
    Pump();
    Recorder.Answer = mrOk;
    W->tbDeleteClick(nullptr);
    ASSERT_EQ(W->MemSettitngs->RecordCount(), 0);
    W->tbEditClick(nullptr);
    EXPECT_EQ(Seen.size(), 3u);
    for (TCustomForm* F : std::initializer_list<TCustomForm*>{frmAdd, frmRestore})
        if (F)
            F->Free();
    frmSetting = nullptr;
}

TEST_F(MainWindowTasks, DialogsOpenWithoutWaitingOneWindowEach) {
    TOwned<TfrmSetting> W = OpenWindow();
    frmSetting = W.get();
    struct Case {
        void (TfrmSetting::*Click)(TObject*);
        TCustomForm* (*Window)();
        const char* Class;
    };
    const Case Cases[] = {
        {&TfrmSetting::pmCheckTimeClick, [] { return static_cast<TCustomForm*>(frmSaveTimer); }, "TfrmSaveTimer"},
        {&TfrmSetting::pmAboutClick, [] { return static_cast<TCustomForm*>(frmAbout); }, "TfrmAbout"},
        {&TfrmSetting::bbJournClick, [] { return static_cast<TCustomForm*>(frmJOpen); }, "TfrmJOpen"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Class);
        ASSERT_EQ(C.Window(), nullptr);
        (W.get()->*C.Click)(nullptr);
        TCustomForm* First = C.Window();
        ASSERT_NE(First, nullptr);
        EXPECT_EQ(First->ClassName(), C.Class);
        EXPECT_TRUE(First->Visible());
        EXPECT_FALSE(First->FormState().Contains(fsModal));
        (W.get()->*C.Click)(nullptr);
        EXPECT_EQ(C.Window(), First) << "a second click shows the open window";
        First->Close();
        Pump();
        EXPECT_EQ(C.Window(), nullptr) << "the window frees itself when closed";
    }
    frmSetting = nullptr;
}

TEST_F(MainWindowTasks, ShowingTheWindowReloadsTheTasks) {
    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 0);
    WriteTaskLines(Folder / "Settings.ini", {Task("A", "Succesfull"), Task("B", "Succesfull")});
    W->Show();
    Pump();
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 2);
    EXPECT_EQ(PanelText(W.get(), 1), Ru(L"Таймер: каждые 15 мин"));
}

// ---------------------------------------------------------------------------------------------
// Discovery replies and connection strings

TEST(ServerReply, RecordsGiveHostsAndInstances) {
    struct Case {
        const char* Text;
        std::vector<std::string> Servers;
    };
    const Case Cases[] = {
        {"ServerName;DB1;InstanceName;MSSQLSERVER;IsClustered;No;Version;8.00.194;tcp;1433;;",
         {"DB1", "DB1\\MSSQLSERVER"}},
        {"ServerName;PC7;InstanceName;SQLEXPRESS;IsClustered;No;Version;9.00.1399.06;tcp;1501;;"
         "ServerName;PC7;InstanceName;MSSQLSERVER;IsClustered;No;Version;9.00.1399.06;tcp;1433;;",
         {"PC7\\SQLEXPRESS", "PC7", "PC7\\MSSQLSERVER"}},
        {"ServerName;pc;InstanceName;mssqlserver;;", {"pc", "pc\\mssqlserver"}},
        {"servername;PC;InstanceName;A;;", {"\\A"}},
        {"ServerName;PC;InstanceName;A", {}},
        {"", {}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ParseServerReply(C.Text), C.Servers) << C.Text;
}

TEST(ConnectionStrings, WindowsAndSqlLogins) {
    EXPECT_EQ(WindowsAuthConnectString("(local)"),
              "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=master;"
              "Data Source=(local)");
    EXPECT_EQ(SqlLoginConnectString("SRV\\A", "sa", ""),
              "Provider=SQLOLEDB.1;Password=;Persist Security Info=False;User ID=sa;Initial Catalog=master;"
              "Data Source=SRV\\A");
    // A ";" would end the value early: such a value is quoted.
    EXPECT_EQ(SqlLoginConnectString("S", "u", "a;b\"c"),
              "Provider=SQLOLEDB.1;Password='a;b\"c';Persist Security Info=False;User ID=u;Initial Catalog=master;"
              "Data Source=S");
    EXPECT_EQ(SqlLoginConnectString("S", "u", "x;y").substr(0, 35), "Provider=SQLOLEDB.1;Password=\"x;y\";");
}
