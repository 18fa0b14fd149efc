// The database picker against the SQL Server stand-in: how the wizard reaches it in add and edit
// mode (which connection, when the user is asked to connect), the list of databases, Apply into the
// page on show, the placement and the texts of both languages; the wizard's folder test on the server.
#include "untAddTestSupport.h"

using namespace app_tests;

namespace {

class DatabasePicker : public TWizardServerFixture {
protected:
    std::vector<std::string> Listed() const {
        std::vector<std::string> Names;
        TADOQuery* Q = frmDB->qryDB;
        for (Q->First(); !Q->Eof(); Q->Next())
            Names.push_back(Q->FieldByName("name")->AsString());
        return Names;
    }
    // The wizard on the kind page of Radio.
    TfrmAdd* OnPage(TRadioButton* TfrmAdd::*Radio, TWizardMode Mode = wmAdd) {
        TfrmAdd* W = Open(Mode);
        (W->*Radio)->SetChecked(true);
        W->btnNextClick(nullptr);
        return W;
    }
};

TEST_F(DatabasePicker, AddModeConnectedOpensAtOnceAndApplyFillsThePageOnShow) {
    Connect();
    TfrmAdd* W = OnPage(&TfrmAdd::rbType2);
    W->edDBButtonClick(nullptr);
    EXPECT_TRUE(Recorder.Shown.empty()) << "no question while connected";
    ASSERT_NE(frmDB, nullptr);
    EXPECT_TRUE(frmDB->Visible());
    EXPECT_EQ(frmDB->qryDB->Connection(), Main->ADOConnection);
    const std::vector<std::string> Names = Listed();
    for (const char* Name : {"Archive", "Sales", "master", "tempdb"})
        EXPECT_NE(std::find(Names.begin(), Names.end(), Name), Names.end()) << Name;
    TADOQuery* Q = frmDB->qryDB;
    for (Q->First(); !Q->Eof() && Q->FieldByName("name")->AsString() != "Sales";)
        Q->Next();
    ASSERT_FALSE(Q->Eof());
    frmDB->btnAppleClick(nullptr);
    EXPECT_EQ(W->edBaseType2->Text(), "Sales");
    EXPECT_EQ(frmDB, nullptr) << "Apply closes the picker";
    EXPECT_EQ(W->edDB->Text(), "") << "only the page on show";
}

TEST_F(DatabasePicker, AddModeAsksBeforeConnecting) {
    TfrmAdd* W = OnPage(&TfrmAdd::rbType4);
    Recorder.Answer = mrCancel;
    W->edDBButtonClick(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Установить связь с сервером ") + DataSource() + "?");
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Вопрос"));
    EXPECT_EQ(Recorder.Shown[0].Buttons, (std::vector<std::string>{Main->strsYes, Main->strsNo}));
    EXPECT_FALSE(Main->ADOConnection->Connected());
    EXPECT_EQ(frmDB, nullptr) << "Cancel abandons silently";

    Recorder.Answer = mrOk;
    W->edDBButtonClick(nullptr);
    EXPECT_TRUE(Main->ADOConnection->Connected()) << "OK runs the main window's connect";
    ASSERT_NE(frmDB, nullptr);
    frmDB->btnCloseClick(nullptr);
    EXPECT_EQ(frmDB, nullptr);
    EXPECT_EQ(W->edBaseType4->Text(), "");
}

TEST_F(DatabasePicker, EditModeUsesTheTasksOwnConnection) {
    struct Case {
        const char* Name;
        bool Asked;
    };
    // Before the main window ever connected there is no server to compare with: the user is asked;
    // once it names the task's own server, the task's connection opens without a question.
    const Case Cases[] = {{"main never connected", true}, {"main on the same server", false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Recorder.Shown.clear();
        if (!C.Asked)
            Connect();
        LoadTasks({TLine().Set(tfType, "Type3").Set(tfServer, "DB1").Set(tfStrConnect, TaskConnection())});
        TfrmAdd* W = OnPage(&TfrmAdd::rbType3, wmEdit);
        W->edDBButtonClick(nullptr);
        EXPECT_EQ(Recorder.Shown.size(), C.Asked ? 1u : 0u);
        EXPECT_TRUE(W->ADOConnectionUpdate->Connected());
        ASSERT_NE(frmDB, nullptr);
        EXPECT_EQ(frmDB->qryDB->Connection(), W->ADOConnectionUpdate);
        EXPECT_EQ(Main->ADOConnection->Connected(), !C.Asked) << "the main connection is left alone";
        frmDB->Free();
        W->Free();
    }
}

TEST_F(DatabasePicker, EditModeOnAnotherServerAsksAndABadStringFails) {
    Connect();
    const std::string Other = StringReplace(TaskConnection(), DataSource(), "127.0.0.1,1", {rfReplaceAll});
    LoadTasks({TLine().Set(tfType, "Type1").Set(tfServer, "DB9").Set(tfStrConnect, Other)});
    TfrmAdd* W = OnPage(&TfrmAdd::rbType1, wmEdit);
    Recorder.Answer = mrCancel;
    W->edDBButtonClick(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Установить связь с сервером DB9?")) << "the task's server";
    EXPECT_FALSE(W->ADOConnectionUpdate->Connected());
    EXPECT_EQ(frmDB, nullptr);

    Recorder.Answer = mrOk;
    EXPECT_THROW(W->edDBButtonClick(nullptr), Exception) << "the error goes to the application's error box";
    EXPECT_EQ(frmDB, nullptr);
}

TEST_F(DatabasePicker, KeepsItsPlacementWithItsSize) {
    Connect();
    ShowDatabasePicker(Main->ADOConnection);
    frmDB->SetBounds(33, 44, 333, 222);
    frmDB->btnCloseClick(nullptr);
    for (const auto& [Name, Value] : {std::pair{"Left", "33"}, {"Top", "44"}, {"Width", "333"}, {"Height", "222"}})
        EXPECT_EQ(ReadSetting(Name, "frmDB"), Value) << Name;
    Pump();
    ShowDatabasePicker(Main->ADOConnection);
    EXPECT_EQ(frmDB->BoundsRect(), TRect(33, 44, 366, 266));
}

TEST_F(DatabasePicker, TextsInBothLanguages) {
    Connect();
    SwitchLanguage();
    ShowDatabasePicker(Main->ADOConnection);
    EXPECT_EQ(frmDB->Caption(), "Select the Database");
    EXPECT_EQ(frmDB->DBGrid->Columns()->Items(0)->Title()->Caption(), "Database name");
    EXPECT_EQ(frmDB->btnApple->Caption(), "Apply");
    SwitchLanguage();
    EXPECT_EQ(frmDB->Caption(), Ru(L"Выбор базы"));
    EXPECT_EQ(frmDB->DBGrid->Columns()->Items(0)->Title()->Caption(), Ru(L"Наименование базы"));
    EXPECT_EQ(frmDB->btnClose->Caption(), Ru(L"Отмена"));
}

// Leaving a kind page: the server's answer counts first; without one, the probe here decides.
TEST_F(DatabasePicker, TheWizardsFolderTestAsksTheServerFirst) {
    CreateDirectoryA((Folder / "locked").c_str(), nullptr);
    CreateDirectoryA((Folder / "locked\\Quarnel_Params.INI").c_str(), nullptr);
    struct Case {
        bool Connected;
        std::string Path;
        bool Passes;
    };
    const Case Cases[] = {
        {true, Folder / "locked", true},
        {true, Folder / "missing", false},
        {false, Folder / "locked", false},
        {false, Writable(), true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Path + (C.Connected ? " connected" : ""));
        Recorder.Shown.clear();
        if (C.Connected != Main->ADOConnection->Connected())
            Main->btnOpenClick(nullptr);
        TfrmAdd* W = OnPage(&TfrmAdd::rbType3);
        W->edBaseType3->SetText("Sales");
        W->deFolderType3->SetText(C.Path);
        W->btnNextClick(nullptr);
        EXPECT_EQ(W->ActivePageName(), C.Passes ? "Archive" : "Type3");
        EXPECT_EQ(Texts(), C.Passes ? std::vector<std::string>{}
                                    : std::vector<std::string>{Ru(L"Отсутствует доступ к папке на запись.")});
        W->Free();
    }
}

}  // namespace
