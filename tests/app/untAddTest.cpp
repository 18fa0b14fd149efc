// The task wizard read from its form resource: its pages and their controls, the checks on leaving a
// page, the summary, the record Apply writes (and what a failed or refused Apply leaves), loading a
// task for editing, the run-now flag and the window's placement.
#include "untAddTestSupport.h"

#include <functional>

using namespace app_tests;

namespace {

class Wizard : public TWizardFixture {
protected:
    TLine Task(const char* Type) const {
        return TLine()
            .Set(tfDBName, "Sales")
            .Set(tfHour, "10")
            .Set(tfMin, "30")
            .Set(tfResult, "Succesfull")
            .Set(tfPath, Writable())
            .Set(tfType, Type)
            .Set(tfServer, "OLD")
            .Set(tfStrConnect, "Provider=SQLOLEDB.1|Initial Catalog=master|Data Source=OLD");
    }
    // The time picker of the kind page on show.
    static TsTimePicker* PickerOf(TfrmAdd* W) {
        const std::string Page = W->ActivePageName();
        return Page == "Type1" ? W->seHourMinType1
               : Page == "Type2" ? W->seHourMinType2
               : Page == "Type3" ? W->seHourMinType3
                                 : W->seHourTimeType4;
    }
};

TEST_F(Wizard, OpensOnStartWithEveryPageCleared) {
    TfrmAdd* W = Open();
    EXPECT_EQ(W->ActivePageName(), "Start");
    EXPECT_TRUE(W->rbType3->Checked());
    for (TRadioButton* R : {W->rbType1, W->rbType2, W->rbType4, W->rbDailyType1, W->rbEveryType1, W->rbWeekdaysType1})
        EXPECT_FALSE(R->Checked()) << R->Name();
    EXPECT_EQ(W->leServerName->Text(), "DB1");
    EXPECT_FALSE(W->btnBack->Visible());
    EXPECT_TRUE(W->btnNext->Visible());
    EXPECT_FALSE(W->btnApply->Visible());
    EXPECT_EQ(W->seHourMinType1->Text(), "00:00:00");
    EXPECT_EQ(W->seEveryType1->Text(), "1");
    EXPECT_EQ(W->seEveryHourType1->Text(), "0");
    EXPECT_FALSE(W->seEveryHourType1->Enabled());
    EXPECT_EQ(W->seWeekType4->Text(), "1");
    EXPECT_FALSE(W->cbArchPwd->Enabled());
    EXPECT_FALSE(W->edPasswordArch->Enabled());
    EXPECT_EQ(W->edPasswordArch->Color(), clBtnFace);
    EXPECT_EQ(W->edPasswordArch->MaxLength(), 20) << "the record keeps 20 characters of the password";
    EXPECT_EQ(W->edPasswordArch2->MaxLength(), 20);
    EXPECT_EQ(W->BorderStyle(), bsDialog);
}

TEST_F(Wizard, TextsInBothLanguages) {
    struct Case {
        std::function<std::string(TfrmAdd*)> Text;
        const wchar_t* Russian;
        const char* English;
    };
    const Case Cases[] = {
        {[](TfrmAdd* W) { return W->Caption(); }, L"Добавить", "Add"},
        {[](TfrmAdd* W) { return W->rbType2->Caption(); }, L"По дням недели", "On days of the week"},
        {[](TfrmAdd* W) { return W->rbEveryType1->Caption(); }, L"Каждый, дн", "Each, day"},
        {[](TfrmAdd* W) { return W->cbEveryCbType1->Caption(); }, L"через каждые (ч)", "Trough every one"},
        {[](TfrmAdd* W) { return W->cbDay7->Caption(); }, L"Воскресенье", "Sunday"},
        {[](TfrmAdd* W) { return W->cb12Type4->Caption(); }, L"Декабрь", "December"},
        {[](TfrmAdd* W) { return W->cbOnceType3->Caption(); }, L"Выполнить задание после создания",
         "Accomplish the task after creation"},
        {[](TfrmAdd* W) { return W->lblFolderType4->Caption(); }, L"Путь", "Path"},
        {[](TfrmAdd* W) { return W->btnApply->Caption(); }, L"Применить", "Apply"},
        {[](TfrmAdd* W) { return W->strrsMontly; }, L"По месяцам", "On months"},
        {[](TfrmAdd* W) { return W->strsNoPwd; }, L"Неверное подтверждение пароля", "Invalid password confirmation"},
        {[](TfrmAdd* W) { return W->strrsLinkServ; }, L"Установить связь с сервером",
         "To establish connection with the server?"},
    };
    TfrmAdd* W = Open();
    for (const Case& C : Cases)
        EXPECT_EQ(C.Text(W), Ru(C.Russian));
    SwitchLanguage();
    for (const Case& C : Cases)
        EXPECT_EQ(C.Text(W), C.English) << "the open wizard follows the switch";
    W->Free();
    W = Open();
    for (const Case& C : Cases)
        EXPECT_EQ(C.Text(W), C.English) << "a wizard opened later starts in English";
}

TEST_F(Wizard, NextAndBackFollowTheCheckedKind) {
    TfrmAdd* W = Open();
    W->rbType3->SetChecked(false);
    W->btnNextClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Start") << "no kind checked";
    const std::pair<TRadioButton*, const char*> Kinds[] = {
        {W->rbType1, "Type1"}, {W->rbType2, "Type2"}, {W->rbType3, "Type3"}, {W->rbType4, "Type4"}};
    for (const auto& [Radio, Page] : Kinds) {
        Radio->SetChecked(true);
        W->btnNextClick(nullptr);
        EXPECT_EQ(W->ActivePageName(), Page);
        EXPECT_TRUE(W->btnBack->Visible());
        W->btnBackClick(nullptr);
        EXPECT_EQ(W->ActivePageName(), "Start");
    }
    EXPECT_TRUE(W->rbDailyType1->Checked()) << "adding goes to Type1 with Daily checked";
    EXPECT_FALSE(W->seEveryType1->Enabled());

    ToKindPage(W->rbType2, "Sales", Writable());
    ToFinish();
    EXPECT_TRUE(W->btnApply->Visible());
    EXPECT_FALSE(W->btnNext->Visible());
    EXPECT_FALSE(W->memRes->Text().empty());
    W->btnBackClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Archive");
    W->btnBackClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Type2");
    EXPECT_TRUE(Recorder.Shown.empty());
}

TEST_F(Wizard, Type1RadiosAndTheHoursBox) {
    TfrmAdd* W = Open();
    W->rbType1->SetChecked(true);
    W->btnNextClick(nullptr);
    W->cbEveryCbType1->SetChecked(true);
    EXPECT_TRUE(W->seEveryHourType1->Enabled());
    EXPECT_EQ(W->seEveryHourType1->Text(), "1") << "raised to 1";
    W->seEveryHourType1->SetValue(5);

    W->rbEveryType1->SetChecked(true);
    EXPECT_FALSE(W->cbEveryCbType1->Checked());
    EXPECT_FALSE(W->cbEveryCbType1->Enabled());
    EXPECT_FALSE(W->seEveryHourType1->Enabled());
    EXPECT_EQ(W->seEveryHourType1->Text(), "0");
    EXPECT_TRUE(W->seEveryType1->Enabled());

    W->rbWeekdaysType1->SetChecked(true);
    EXPECT_FALSE(W->seEveryType1->Enabled());
    EXPECT_FALSE(W->cbEveryCbType1->Enabled());

    W->rbDailyType1->SetChecked(true);
    EXPECT_FALSE(W->seEveryType1->Enabled());
    EXPECT_TRUE(W->cbEveryCbType1->Enabled());
    EXPECT_TRUE(W->seEveryHourType1->Enabled());
    W->cbEveryCbType1->SetChecked(true);
    W->cbEveryCbType1->SetChecked(false);
    EXPECT_FALSE(W->seEveryHourType1->Enabled());
}

TEST_F(Wizard, RunAfterCreationTakesTheCurrentTimeAndToday) {
    TfrmAdd* W = Open();
    W->seHourMinType3->SetTime(EncodeTime(9, 0, 0, 0));
    W->cbOnceType3->SetChecked(true);
    EXPECT_EQ(W->seHourMinType3->Text(), "14:25:36");
    W->seHourMinType3->SetTime(EncodeTime(9, 0, 0, 0));
    W->cbOnceType3->SetChecked(false);
    EXPECT_EQ(W->seHourMinType3->Text(), "09:00:00") << "unchecking changes nothing";
}

TEST_F(Wizard, ArchiveBoxesAndThePasswordCheck) {
    TfrmAdd* W = Open();
    ToKindPage(W->rbType3, "Sales", Writable());
    W->btnNextClick(nullptr);
    ASSERT_EQ(W->ActivePageName(), "Archive");
    W->cbArch->SetChecked(true);
    EXPECT_TRUE(W->cbArchPwd->Enabled());
    EXPECT_FALSE(W->cbArchPwd->Checked());
    EXPECT_FALSE(W->edPasswordArch->Enabled());
    W->cbArchPwd->SetChecked(true);
    EXPECT_TRUE(W->edPasswordArch2->Enabled());
    EXPECT_EQ(W->edPasswordArch2->Color(), clWindow);

    W->edPasswordArch->SetText("Secret");
    W->edPasswordArch2->SetText("secret");
    W->btnNextClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Archive") << "the comparison is case-sensitive";
    EXPECT_EQ(Texts(), std::vector<std::string>{Ru(L"Неверное подтверждение пароля")});

    // Archiving switched off again: the password box keeps its check, disabled, and both edits empty.
    W->cbArch->SetChecked(false);
    EXPECT_TRUE(W->cbArchPwd->Checked());
    EXPECT_FALSE(W->cbArchPwd->Enabled());
    EXPECT_EQ(W->edPasswordArch->Text(), "");
    EXPECT_EQ(W->edPasswordArch->Color(), clBtnFace);
    W->btnNextClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Finish") << "two empty edits are equal";
    W->btnApplyClick(nullptr);
    ASSERT_EQ(frmAdd, nullptr);
    EXPECT_FALSE(Field("bitArch")->AsBoolean());
    EXPECT_TRUE(Field("bitPwdArch")->AsBoolean());
    EXPECT_EQ(Field("strPwdArch")->AsString(), "");
}

TEST_F(Wizard, LeavingAKindPageChecksFolderDatabaseAndPath) {
    TfrmAdd* W = Open();
    W->rbType4->SetChecked(true);
    W->btnNextClick(nullptr);
    CreateDirectoryA((Folder / "locked").c_str(), nullptr);
    // A folder in the probe file's way: the probe cannot be created there.
    CreateDirectoryA((Folder / "locked\\Quarnel_Params.INI").c_str(), nullptr);
    struct Case {
        const char* DB;
        std::string Path;
        const wchar_t* Message;
    };
    const Case Cases[] = {
        {"Sales", Folder / "missing", L"Отсутствует доступ к папке на запись."},
        {"Sales", Folder / "locked", L"Отсутствует доступ к папке на запись."},
        {"  ", Writable(), L"Вы не указали базу данных"},
        // An empty folder is probed first (the root of the current drive), then reported.
        {"Sales", "  ", L"Вы не указали путь для файла архива"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Path);
        Recorder.Shown.clear();
        W->edBaseType4->SetText(C.DB);
        W->deFolderType4->SetText(C.Path);
        W->btnNextClick(nullptr);
        EXPECT_EQ(W->ActivePageName(), "Type4");
        EXPECT_EQ(Texts(), std::vector<std::string>{Ru(C.Message)});
    }
    EXPECT_EQ(Recorder.Shown.back().Caption, Ru(L"Предупреждение"));

    testing_support::WriteFileText(Folder / "Quarnel_Params.INI", "left over");
    W->deFolderType4->SetText(" " + Writable() + " ");
    W->btnNextClick(nullptr);
    EXPECT_EQ(W->ActivePageName(), "Archive");
    EXPECT_FALSE(FileExists(Folder / "Quarnel_Params.INI")) << "the probe leaves nothing";
}

TEST_F(Wizard, TheSummaryOfEachKind) {
    struct Case {
        TRadioButton* TfrmAdd::*Kind;
        std::function<void(TfrmAdd*)> Fill;
        std::vector<std::wstring> Lines;  // before the database, hour, minute and path lines
        std::vector<std::wstring> After;  // after them
    };
    const std::string Day = DateToStr(EncodeDate(2030, 1, 2));
    const Case Cases[] = {
        {&TfrmAdd::rbType1,
         [](TfrmAdd* W) {
             W->rbEveryType1->SetChecked(true);
             W->seEveryType1->SetText("3");
             W->seHourMinType1->SetTime(EncodeTime(7, 5, 0, 0));
         },
         {L"Каждый 3 День"},
         {}},
        {&TfrmAdd::rbType2,
         [](TfrmAdd* W) {
             W->cbDay1->SetChecked(true);
             W->cbDay3->SetChecked(true);
             W->seHourMinType2->SetTime(EncodeTime(7, 5, 0, 0));
         },
         {L"Каждый:", L"Понедельник;Среда;"},
         {}},
        {&TfrmAdd::rbType3,
         [](TfrmAdd* W) {
             W->seHourMinType3->SetTime(EncodeTime(7, 5, 0, 0));
             W->dtDateType3->SetDate(EncodeDate(2030, 1, 2));
         },
         {L"Запуск: Однократно"},
         {L"Выполнить задание после создания: нет"}},
        {&TfrmAdd::rbType4,
         [](TfrmAdd* W) {
             W->cb1Type4->SetChecked(true);
             W->cb6Type4->SetChecked(true);
             W->cb12Type4->SetChecked(true);
             W->seWeekType4->SetValue(15);
             W->seHourTimeType4->SetTime(EncodeTime(7, 5, 0, 0));
         },
         {L"По месяцам", L"Январь;Июнь;Декабрь;", L"День: 15"},
         {}},
    };
    for (const Case& C : Cases) {
        TfrmAdd* W = Open();
        ToKindPage(W->*C.Kind, "Sales", Writable());
        const std::string Page = W->ActivePageName();
        SCOPED_TRACE(Page);
        C.Fill(W);
        W->btnNextClick(nullptr);
        std::string Expected;
        for (const std::wstring& L : C.Lines)
            Expected += Ru(L.c_str()) + "\r\n";
        Expected += Ru(L"База данных: ") + "Sales\r\n";
        if (Page == "Type3")
            Expected += Ru(L"Дата: ") + Day + "\r\n";
        Expected += Ru(L"Час: 7\r\nМин: 5\r\nПуть: ") + Writable();
        for (const std::wstring& L : C.After)
            Expected += "\r\n" + Ru(L.c_str());
        EXPECT_EQ(W->memRes->Text(), Expected);
        W->Free();
    }
}

TEST_F(Wizard, ApplyAppendsTheTaskWithOnlyItsKindsFields) {
    struct Case {
        const char* Name;
        TRadioButton* TfrmAdd::*Kind;
        std::function<void(TfrmAdd*)> Fill;
        std::vector<std::pair<const char*, std::string>> Fields;  // as text; "<null>" for null
    };
    const TDateTime Day = EncodeDate(2030, 1, 2);
    const std::string Null = "<null>";
    const Case Cases[] = {
        {"daily, every 3 hours", &TfrmAdd::rbType1,
         [](TfrmAdd* W) {
             W->cbEveryCbType1->SetChecked(true);
             W->seEveryHourType1->SetValue(3);
         },
         {{"Type", "Type1"}, {"DailyOnType1", "True"}, {"EveryType1", "1"}, {"OnWeekDaysType1", "False"},
          {"EveryHour", "3"}, {"DayType2", Null}, {"DateType3", Null}}},
        {"every 4 days", &TfrmAdd::rbType1,
         [](TfrmAdd* W) {
             W->rbEveryType1->SetChecked(true);
             W->seEveryType1->SetText(" 4 ");
         },
         {{"DailyOnType1", "False"}, {"EveryType1", "4"}, {"OnWeekDaysType1", "False"}, {"EveryHour", "0"}}},
        {"working days", &TfrmAdd::rbType1, [](TfrmAdd* W) { W->rbWeekdaysType1->SetChecked(true); },
         {{"DailyOnType1", "False"}, {"EveryType1", "0"}, {"OnWeekDaysType1", "True"}, {"EveryHour", "0"}}},
        {"days of the week", &TfrmAdd::rbType2,
         [](TfrmAdd* W) {
             W->seWeekType2->SetValue(2);
             for (TsCheckBox* C : {W->cbDay1, W->cbDay3, W->cbDay5})
                 C->SetChecked(true);
         },
         {{"Type", "Type2"}, {"EveryType2", "2"}, {"DayType2", "1,3,5"}, {"DailyOnType1", Null}, {"EveryHour", Null}}},
        {"once", &TfrmAdd::rbType3,
         [Day](TfrmAdd* W) { W->dtDateType3->SetDate(Day); },
         {{"Type", "Type3"}, {"DateType3", DateTimeToStr(Day)}, {"OnceType3", "0"}, {"MonthType4", Null}}},
        {"months", &TfrmAdd::rbType4,
         [](TfrmAdd* W) {
             W->seWeekType4->SetValue(28);
             for (TCheckBox* C : {W->cb1Type4, W->cb6Type4, W->cb12Type4})
                 C->SetChecked(true);
         },
         {{"Type", "Type4"}, {"EveryWeekType4", "28"}, {"MonthType4", "1,6,12"}, {"EveryType2", Null}}},
    };
    int Count = 0;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TfrmAdd* W = Open();
        ToKindPage(W->*C.Kind, " Sales ", Writable());
        PickerOf(W)->SetTime(EncodeTime(23, 59, 0, 0));
        C.Fill(W);
        ToFinish();
        W->btnApplyClick(nullptr);
        ASSERT_EQ(frmAdd, nullptr) << "Apply closes the wizard";
        ++Count;
        ASSERT_EQ(Table()->RecordCount(), Count);
        EXPECT_EQ(Field("ID")->AsInteger(), Count - 1) << "one more than the highest ID";
        EXPECT_EQ(Field("DBName")->AsString(), "Sales");
        EXPECT_EQ(Field("Hour")->AsInteger(), 23);
        EXPECT_EQ(Field("Min")->AsInteger(), 59);
        EXPECT_EQ(Field("Result")->AsString(), "insert_new_task");
        EXPECT_EQ(Field("DateLast")->AsDateTime(), Today);
        EXPECT_EQ(Field("Server")->AsString(), "DB1");
        EXPECT_EQ(Field("StrConnect")->AsString(),
                  StringReplace(Main->CreateConnectString(), ";", "|", {rfReplaceAll}));
        for (const auto& [Name, Text] : C.Fields) {
            TField* F = Field(Name);
            std::string Shown = F->AsString();
            if (F->IsNull())
                Shown = Null;
            else if (F->DataType() == ftBoolean)
                Shown = F->AsBoolean() ? "True" : "False";
            else if (F->DataType() == ftDateTime)
                Shown = DateTimeToStr(F->AsDateTime());
            EXPECT_EQ(Shown, Text) << Name;
        }
        EXPECT_FALSE(WizardRunNow);
    }
    const auto Stored = StoredTasks();
    ASSERT_EQ(Stored.size(), static_cast<std::size_t>(Count)) << "the whole table went to Settings.ini";
    EXPECT_EQ(Stored[3][tfDayType2], "1,3,5");
    EXPECT_EQ(Stored[5][tfMonthType4], "1,6,12");
    const std::vector<std::string> Questions = Texts();
    EXPECT_EQ(Questions.size(), static_cast<std::size_t>(Count));
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Вы уверены что желаете сохранить задание?"));
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Вопрос"));
}

TEST_F(Wizard, TheRunNowFlagFollowsTheBoxWhateverTheKind) {
    TfrmAdd* W = Open();
    ToKindPage(W->rbType1, "Sales", Writable());
    W->cbOnceType3->SetChecked(true);
    ToFinish();
    W->btnApplyClick(nullptr);
    EXPECT_TRUE(WizardRunNow);
    EXPECT_EQ(Field("Type")->AsString(), "Type1");
    EXPECT_TRUE(Field("OnceType3")->IsNull());

    // The main window's way: shown modally; the flag is given back and cleared.
    Watcher.Action = [this](TCustomForm* F) {
        auto* A = DynCast<TfrmAdd>(F);
        if (!A)
            return false;
        ToKindPage(A->rbType3, "Sales", Writable());
        A->cbOnceType3->SetChecked(true);
        ToFinish();
        A->btnApplyClick(nullptr);
        return true;
    };
    WizardRunNow = false;
    EXPECT_TRUE(ShowTaskWizard(wmAdd));
    EXPECT_FALSE(WizardRunNow);
    EXPECT_EQ(Field("OnceType3")->AsInteger(), 1);
    EXPECT_EQ(Table()->RecordCount(), 2);
}

TEST_F(Wizard, CancellingTheQuestionChangesNothing) {
    LoadTasks({Task("Type3")});
    const auto Before = StoredTasks();
    TBoxAnswers Answers(Recorder);
    Answers.BoxAnswer = IDCANCEL;
    TfrmAdd* W = Open();
    ToKindPage(W->rbType4, "Other", Writable());
    ToFinish();
    W->btnApplyClick(nullptr);
    EXPECT_EQ(frmAdd, W);
    EXPECT_EQ(W->ActivePageName(), "Finish");
    EXPECT_EQ(Table()->RecordCount(), 1);
    EXPECT_EQ(StoredTasks(), Before);
}

TEST_F(Wizard, ANewTaskAfterADeleteKeepsItsOwnIDThroughTheRefresh) {
    LoadTasks({Task("Type3").Set(tfDBName, "A"), Task("Type3").Set(tfDBName, "B"), Task("Type3").Set(tfDBName, "C")});
    Main->tbDeleteClick(nullptr);
    ASSERT_EQ(Table()->RecordCount(), 2);

    TfrmAdd* W = Open();
    ToKindPage(W->rbType3, "D", Writable());
    ToFinish();
    W->btnApplyClick(nullptr);
    ASSERT_EQ(frmAdd, nullptr);
    ASSERT_EQ(Table()->RecordCount(), 3);
    ASSERT_EQ(Field("DBName")->AsString(), "D");
    EXPECT_EQ(Field("ID")->AsInteger(), 3) << "one more than the highest, not the count";

    // The refresh between ticks finds the current task again by its ID.
    Main->tmResultatTimer(nullptr);
    EXPECT_EQ(Field("DBName")->AsString(), "D");
    Main->tbDeleteClick(nullptr);
    std::vector<std::string> Left;
    for (const auto& T : StoredTasks())
        Left.push_back(T[tfDBName]);
    EXPECT_EQ(Left, (std::vector<std::string>{"B", "C"})) << "the selected task went, no other";
}

TEST_F(Wizard, AddEditAndDeleteKeepTheResultOfARunTheTableHasNotReadYet) {
    struct Case {
        const char* Action;
        std::function<void()> Act;
    };
    const Case Cases[] = {
        {"add", [&] {
             Open();
             ToKindPage(frmAdd->rbType3, "D", Writable());
             ToFinish();
             frmAdd->btnApplyClick(nullptr);
         }},
        {"edit the other task", [&] {
             Table()->Last();
             TfrmAdd* W = Open(wmEdit);
             W->btnNextClick(nullptr);
             ToFinish();
             W->btnApplyClick(nullptr);
         }},
        {"delete the other task", [&] {
             Table()->Last();
             Main->tbDeleteClick(nullptr);
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Action);
        const TLine Ran = Task("Type3").Set(tfDBName, "A").Set(tfDateLast, DateTimeToStr(EncodeDate(2024, 4, 17)));
        LoadTasks({TLine(Ran).Set(tfResult, "insert_new_task").Set(tfDateLast, "-1"), Task("Type2").Set(tfDBName, "B")});
        // The engine's pass writes A's result; the table's refresh after it did not happen.
        WriteTaskLines(Folder / "Settings.ini", {Ran.Text(), Task("Type2").Set(tfDBName, "B").Text()});
        C.Act();
        ASSERT_EQ(frmAdd, nullptr);
        const auto Stored = StoredTasks();
        ASSERT_FALSE(Stored.empty());
        EXPECT_EQ(Stored[0][tfDBName], "A");
        EXPECT_EQ(Stored[0][tfResult], "Succesfull");
        EXPECT_EQ(Stored[0][tfDateLast], DateTimeToStr(EncodeDate(2024, 4, 17)));
    }
}

TEST_F(Wizard, ValuesATaskLineCannotKeepAreRefusedBeforeAnythingChanges) {
    struct Case {
        const char* Name;
        std::function<void(TfrmAdd*)> Spoil;
    };
    const Case Cases[] = {
        {"database", [](TfrmAdd* W) { W->edBaseType3->SetText("a;b"); }},
        {"folder", [](TfrmAdd* W) { W->deFolderType3->SetText(W->deFolderType3->Text() + ";x"); }},
        {"password ;", [](TfrmAdd* W) { W->edPasswordArch->SetText("p;w"); }},
        {"password |", [](TfrmAdd* W) { W->edPasswordArch->SetText("p|w"); }},
        {"server", [this](TfrmAdd*) { Main->cbServers->SetText("DB;1"); }},
        {"login", [this](TfrmAdd*) {
             Main->rbnamePassword->SetChecked(true);
             Main->edSQLPassword->SetText("a|b");
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Recorder.Shown.clear();
        Main->cbServers->SetText("DB1");
        Main->rbNT->SetChecked(true);
        TfrmAdd* W = Open();
        ToKindPage(W->rbType3, "Sales", Writable());
        ToFinish();
        W->cbArch->SetChecked(true);
        W->cbArchPwd->SetChecked(true);
        C.Spoil(W);
        W->btnApplyClick(nullptr);
        EXPECT_EQ(frmAdd, W) << "the wizard stays open";
        EXPECT_EQ(Texts().size(), 1u) << "no question is asked";
        EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Предупреждение"));
        EXPECT_NE(Recorder.Shown[0].Text.find("\"|\""), std::string::npos);
        EXPECT_EQ(Table()->RecordCount(), 0);
        W->Free();
    }
}

TEST_F(Wizard, ANumberThatDoesNotConvertIsReportedAndNothingIsAdded) {
    TfrmAdd* W = Open();
    ToKindPage(W->rbType1, "Sales", Writable());
    W->rbEveryType1->SetChecked(true);
    W->seEveryType1->SetText("x");
    ToFinish();
    W->btnApplyClick(nullptr);
    EXPECT_EQ(frmAdd, W);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("'x'"), std::string::npos) << Texts()[0];
    EXPECT_EQ(Table()->RecordCount(), 0);
}

TEST_F(Wizard, AFailedWriteOfTheTaskFileUndoesTheTableChange) {
    LoadTasks({Task("Type3"), Task("Type2").Set(tfDayType2, "2,4").Set(tfEveryType2, "3")});
    const auto Before = StoredTasks();
    // A folder where the new task file is written first: writing fails and the old file stays.
    CreateDirectoryA((Folder / "Settings.ini.new").c_str(), nullptr);
    for (TWizardMode Mode : {wmAdd, wmEdit}) {
        SCOPED_TRACE(Mode);
        Recorder.Shown.clear();
        Table()->Last();
        TfrmAdd* W = Open(Mode);
        W->rbType4->SetChecked(true);
        W->btnNextClick(nullptr);
        W->edBaseType4->SetText("Other");
        W->deFolderType4->SetText(Writable());
        ToFinish();
        W->btnApplyClick(nullptr);
        EXPECT_EQ(frmAdd, W);
        EXPECT_EQ(Texts().size(), 2u) << "the question, then the error";
        EXPECT_EQ(Table()->RecordCount(), 2);
        Table()->Last();
        EXPECT_EQ(Field("Type")->AsString(), "Type2");
        EXPECT_EQ(Field("DayType2")->AsString(), "2,4");
        EXPECT_EQ(Field("EveryType2")->AsInteger(), 3);
        EXPECT_EQ(Field("Result")->AsString(), "Succesfull");
        EXPECT_EQ(StoredTasks(), Before);
        W->Free();
    }
}

TEST_F(Wizard, EditLoadsEachKind) {
    struct Case {
        const char* Name;
        TLine Line;
        std::function<void(TfrmAdd*)> Check;
    };
    const Case Cases[] = {
        {"every N days, out of range, with hours",
         Task("Type1").Set(tfEveryType1, "0").Set(tfEveryHour, "5").Set(tfBitArch, "True").Set(tfBitPwdArch, "True")
             .Set(tfStrPwdArch, "pw"),
         [](TfrmAdd* W) {
             EXPECT_TRUE(W->rbType1->Checked());
             EXPECT_TRUE(W->rbEveryType1->Checked());
             EXPECT_EQ(W->seEveryType1->Text(), "1") << "brought into the box's range";
             EXPECT_TRUE(W->cbEveryCbType1->Checked());
             EXPECT_EQ(W->seEveryHourType1->Text(), "5");
             EXPECT_TRUE(W->seEveryHourType1->Enabled());
             EXPECT_EQ(W->seHourMinType1->Text(), "10:30:00");
             EXPECT_EQ(W->edDB->Text(), "Sales");
             EXPECT_TRUE(W->cbArch->Checked());
             EXPECT_TRUE(W->cbArchPwd->Checked());
             EXPECT_EQ(W->edPasswordArch->Text(), "pw");
             EXPECT_EQ(W->edPasswordArch2->Text(), "pw");
             EXPECT_EQ(W->edPasswordArch2->Color(), clWindow);
         }},
        {"working days", Task("Type1").Set(tfOnWeekDaysType1, "True").Set(tfEveryType1, "5"),
         [](TfrmAdd* W) {
             EXPECT_TRUE(W->rbWeekdaysType1->Checked());
             EXPECT_EQ(W->seEveryType1->Text(), "1");
             EXPECT_FALSE(W->cbEveryCbType1->Checked());
             EXPECT_FALSE(W->seEveryHourType1->Enabled());
             EXPECT_FALSE(W->cbArch->Checked());
             EXPECT_FALSE(W->cbArchPwd->Enabled());
         }},
        {"days of the week", Task("Type2").Set(tfDayType2, "1,3,5").Set(tfEveryType2, "2"),
         [](TfrmAdd* W) {
             EXPECT_TRUE(W->rbType2->Checked());
             const bool Days[] = {W->cbDay1->Checked(), W->cbDay2->Checked(), W->cbDay3->Checked(), W->cbDay4->Checked(),
                                  W->cbDay5->Checked(), W->cbDay6->Checked(), W->cbDay7->Checked()};
             EXPECT_EQ(std::vector<bool>(Days, Days + 7),
                       (std::vector<bool>{true, false, true, false, true, false, false}));
             EXPECT_EQ(W->seWeekType2->Text(), "2");
         }},
        {"once, run after creation", Task("Type3").Set(tfOnceType3, "1").SetDate(tfDateType3, EncodeDate(2030, 1, 2)),
         [](TfrmAdd* W) {
             EXPECT_TRUE(W->cbOnceType3->Checked());
             EXPECT_EQ(W->seHourMinType3->Text(), "10:30:00") << "loading keeps the stored time";
             W->rbType3->SetChecked(true);
             W->btnNextClick(nullptr);
             W->btnNextClick(nullptr);
             EXPECT_NE(W->memRes->Text().find(DateToStr(EncodeDate(2030, 1, 2))), std::string::npos);
         }},
        {"months 10 to 12, day out of range", Task("Type4").Set(tfMonthType4, "10,11,12").Set(tfEveryWeekType4, "40"),
         [](TfrmAdd* W) {
             EXPECT_TRUE(W->rbType4->Checked());
             std::vector<bool> Months;
             for (TCheckBox* C : {W->cb1Type4, W->cb2Type4, W->cb3Type4, W->cb4Type4, W->cb5Type4, W->cb6Type4,
                                  W->cb7Type4, W->cb8Type4, W->cb9Type4, W->cb10Type4, W->cb11Type4, W->cb12Type4})
                 Months.push_back(C->Checked());
             std::vector<bool> Expected(12, false);
             Expected[9] = Expected[10] = Expected[11] = true;
             EXPECT_EQ(Months, Expected);
             EXPECT_EQ(W->seWeekType4->Text(), "31");
         }},
        {"a kind in another case", Task("type1"),
         [](TfrmAdd* W) {
             for (TRadioButton* R : {W->rbType1, W->rbType2, W->rbType3, W->rbType4})
                 EXPECT_FALSE(R->Checked());
             W->btnNextClick(nullptr);
             EXPECT_EQ(W->ActivePageName(), "Start");
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        LoadTasks({C.Line});
        TfrmAdd* W = Open(wmEdit);
        EXPECT_EQ(W->leServerName->Text(), "OLD");
        C.Check(W);
        W->Free();
    }
}

TEST_F(Wizard, EditingKeepsTheTasksServerAndDropsTheOldKindsFields) {
    LoadTasks({Task("Type3"), Task("Type2").Set(tfDayType2, "1,7").Set(tfEveryType2, "2")});
    Table()->Last();
    TfrmAdd* W = Open(wmEdit);
    W->rbType4->SetChecked(true);
    W->btnNextClick(nullptr);
    W->edBaseType4->SetText("Sales");
    W->deFolderType4->SetText(Writable());
    W->cb2Type4->SetChecked(true);
    ToFinish();
    W->btnApplyClick(nullptr);
    ASSERT_EQ(frmAdd, nullptr);
    EXPECT_EQ(Table()->RecordCount(), 2);
    EXPECT_EQ(Field("ID")->AsInteger(), 1) << "the edited task is current again";
    EXPECT_EQ(Field("Type")->AsString(), "Type4");
    EXPECT_TRUE(Field("DayType2")->IsNull());
    EXPECT_TRUE(Field("EveryType2")->IsNull());
    EXPECT_EQ(Field("Server")->AsString(), "OLD");
    EXPECT_EQ(Field("StrConnect")->AsString(), "Provider=SQLOLEDB.1|Initial Catalog=master|Data Source=OLD");
    EXPECT_EQ(StoredTasks()[1][tfMonthType4], "2");
}

TEST_F(Wizard, ClosingKeepsThePlacement) {
    TfrmAdd* W = Open();
    W->SetBounds(57, 64, W->Width(), W->Height());
    W->btnCancelClick(nullptr);
    EXPECT_EQ(frmAdd, nullptr);
    EXPECT_EQ(ReadSetting("Left", "frmAdd"), "57");
    EXPECT_EQ(ReadSetting("Top", "frmAdd"), "64");
    EXPECT_EQ(ReadSetting("Width", "frmAdd"), "<none>");
    Pump();
    EXPECT_EQ(Table()->RecordCount(), 0);
    W = Open();
    EXPECT_EQ(W->Left(), 57);
    EXPECT_EQ(W->Top(), 64);
}

// The date box keeps its text in the locale's own order: a date goes through it unchanged.
class WizardLocale : public Wizard {};

TEST_F(WizardLocale, TheDateBoxStartsOnTodayAndKeepsTheDateTyped) {
    TfrmAdd* W = Open();
    EXPECT_EQ(W->dtDateType3->EditMask(), "!99/99/9999;1; ");
    ToKindPage(W->rbType3, "Sales", Writable());
    W->btnNextClick(nullptr);
    EXPECT_NE(W->memRes->Text().find(DateToStr(DateOf(Today))), std::string::npos) << W->memRes->Text();
    W->btnBackClick(nullptr);
    const TDateTime Day = EncodeDate(2031, 11, 28);
    W->dtDateType3->SetDate(Day);
    ToFinish();
    EXPECT_NE(W->memRes->Text().find(DateToStr(Day)), std::string::npos) << W->memRes->Text();
    W->btnApplyClick(nullptr);
    EXPECT_EQ(Field("DateType3")->AsDateTime(), Day);
}

TEST(WizardLists, NumbersAsWholeItems) {
    EXPECT_EQ(NumberList({true, false, true, false, true, false, false}), "1,3,5");
    EXPECT_EQ(NumberList(std::vector<bool>(7, false)), "");
    EXPECT_TRUE(ListHasNumber("10,11,12", 12));
    EXPECT_FALSE(ListHasNumber("10,11,12", 1));
    EXPECT_FALSE(ListHasNumber("10,11,12", 2));
    EXPECT_TRUE(ListHasNumber("1", 1));
    EXPECT_FALSE(ListHasNumber("", 1));
    EXPECT_FALSE(ListHasNumber("01,3", 1)) << "an item is taken as it stands";
    EXPECT_FALSE(ListHasNumber(" 1,3", 1));
    EXPECT_TRUE(ListHasNumber("3,1", 1));
    EXPECT_EQ(DataSourceOf("Provider=SQLOLEDB.1|Data Source=A,1433", false), "A,1433");
    EXPECT_EQ(DataSourceOf("Data Source=A;Initial Catalog=master", true), "A");
    EXPECT_EQ(DataSourceOf("Provider=SQLOLEDB.1", true), "");
}

}  // namespace
