// The main window against the SQL Server stand-in: a scheduler tick that backs up a due task, the
// refusal of task edits while a tick runs, the discovery of the stand-in's resolution responder on
// loopback, and the connect button.
#include "../framework/TdsStandIn.h"
#include "MainWindowTestSupport.h"

#include "JclCompression.h"
#include "ObjectInstances.h"

#include <memory>

using namespace app_tests;

namespace {

const std::string Ru(const wchar_t* Text) { return WideToAnsi(Text, 1251); }

// The stand-in as server DB1 (default instance) with the database Sales and the login sa/secret.
class MainWindowServer : public TAnsweredMainWindowFixture {
protected:
    void SetUp() override {
        TAnsweredMainWindowFixture::SetUp();
        CreateDirectoryA((Folder / "bak").c_str(), nullptr);
        Server = std::make_unique<TTdsStandIn>(
            Folder.Path(), std::vector<std::string>{"--login", "sa:secret", "--server", "DB1", "--database", "Sales",
                                                    "--backup-size", "4096"});
    }
    std::string DataSource() const { return "127.0.0.1," + std::to_string(Server->Port); }
    // A task that runs at the next tick (the once kind with its run-after-creation flag), packed.
    TLine DueTask(const char* DBName) const {
        return TLine()
            .Set(tfDBName, DBName)
            .Set(tfHour, "10")
            .Set(tfMin, "0")
            .Set(tfResult, "insert_new_task")
            .Set(tfPath, Folder / "bak")
            .Set(tfType, "Type3")
            .Set(tfOnceType3, "1")
            .SetDate(tfDateType3, At(2030, 1, 1))
            .Set(tfServer, "DB1")
            .Set(tfStrConnect, "Provider=SQLOLEDB.1|Password=secret|Persist Security Info=False|User ID=sa|"
                               "Initial Catalog=master|Data Source=" + DataSource())
            .Set(tfBitArch, "-1")
            .Set(tfBitPwdArch, "0");
    }

    std::unique_ptr<TTdsStandIn> Server;
};

}  // namespace

TEST_F(MainWindowServer, TickBacksUpTheDueTaskAndRefreshesTheGridRow) {
    WriteTaskLines(Folder / "Settings.ini",
                   {DueTask("Sales"), DueTask("Sales").Set(tfOnceType3, "0").Set(tfResult, "Succesfull")});
    TOwned<TfrmSetting> W = OpenWindow();
    ASSERT_EQ(W->MemSettitngs->RecordCount(), 2);
    W->MemSettitngs->Last();

    W->tmThreadTimerBackupTimer(nullptr);

    for (const TMessageRecorder::TShown& S : Recorder.Shown)
        ADD_FAILURE() << S.Text;
    EXPECT_FALSE(W->Busy());
    EXPECT_FALSE(W->pnlBottom->Visible());
    EXPECT_FALSE(W->Visible()) << "a window in the tray stays there while the busy panel shows";
    EXPECT_TRUE(W->tmResultat->Enabled());
    EXPECT_EQ(W->tmResultat->Interval(), 30000u);
    EXPECT_TRUE(W->tmThreadTimerBackup->Enabled());

    const std::vector<std::string> Archives = FilesIn(Folder / "bak\\*.7z");
    ASSERT_EQ(Archives.size(), 1u);
    EXPECT_EQ(Archives[0].rfind("DB1", 0), 0u);
    EXPECT_NE(Archives[0].find("_Sales_"), std::string::npos);
    EXPECT_TRUE(FilesIn(Folder / "bak\\*.bak").empty()) << "the packed backup is deleted";
    const std::string Log = FileContents(Folder / "Backup.log");
    // The server name comes as the server gives it: char(20), padded.
    EXPECT_NE(Log.find("\tSuccesfull\tDB1                 \tSales\t"), std::string::npos) << Log;

    const std::vector<std::string> Lines = ReadTaskLines(Folder / "Settings.ini");
    ASSERT_EQ(Lines.size(), 2u);
    EXPECT_EQ(SplitTaskLine(Lines[0])[tfResult], "Succesfull");
    EXPECT_EQ(SplitTaskLine(Lines[0])[tfOnceType3], "0");

    EXPECT_EQ(W->MemSettitngs->RecNo(), 2) << "the current row stays current";
    W->MemSettitngs->First();
    EXPECT_EQ(W->MemSettitngs->FieldByName("Result")->AsString(), "Succesfull");
    EXPECT_EQ(W->MemSettitngs->FieldByName("OnceType3")->AsInteger(), 0);
    EXPECT_GT(W->MemSettitngs->FieldByName("DateLast")->AsDateTime(), At(2020, 1, 1));

    // The next tick finds nothing due, and a save of the table keeps the engine's flag.
    CloseCurrentFile(W->MemSettitngs);
    W->tmThreadTimerBackupTimer(nullptr);
    EXPECT_EQ(FilesIn(Folder / "bak\\*.7z").size(), 1u);
}

TEST_F(MainWindowServer, TheTimerRunsTheTickAndPacksWithThePassword) {
    WriteTaskLines(Folder / "Settings.ini", {DueTask("Sales").Set(tfBitPwdArch, "-1").Set(tfStrPwdArch, "pw-t")});
    TOwned<TfrmSetting> W = OpenWindow();
    // The tick comes from the timer's message, as in the program, not from a direct call.
    W->tmThreadTimerBackup->SetInterval(50);
    ASSERT_TRUE(testing_support::PumpUntil([&] { return FilesIn(Folder / "bak\\*.7z").size() == 1; }, 30000));
    W->tmThreadTimerBackup->SetEnabled(false);
    ASSERT_TRUE(testing_support::PumpUntil([&] { return !W->Busy(); }, 30000));
    TOwned<TJcl7zDecompressArchive> A(
        CreateArchiveOnFile<TJcl7zDecompressArchive>(Folder / ("bak\\" + FilesIn(Folder / "bak\\*.7z")[0])));
    A->ListFiles();
    ASSERT_EQ(A->GetItemCount(), 1);
    EXPECT_TRUE(A->GetItem(0)->GetEncrypted());
    EXPECT_EQ(SplitTaskLine(ReadTaskLines(Folder / "Settings.ini").at(0))[tfResult], "Succesfull");
}

TEST_F(MainWindowServer, EditsAreRefusedWhileATickRuns) {
    WriteTaskLines(Folder / "Settings.ini", {DueTask("Sales")});
    TOwned<TfrmSetting> W = OpenWindow();
    // The tick lets queued messages through once it is busy: the clicks queued now arrive then.
    bool WasBusy = false, PanelShown = false;
    HWND Clicker = nullptr;
    Clicker = AllocateHWnd(TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg != WM_APP) {
            M.Result = DefWindowProcA(Clicker, M.Msg, M.WParam, M.LParam);
            return;
        }
        WasBusy = W->Busy();
        PanelShown = W->pnlBottom->Visible();
        W->tbPlusClick(nullptr);
        W->tbEditClick(nullptr);
        W->tbDeleteClick(nullptr);
    }));
    PostMessageA(Clicker, WM_APP, 0, 0);
    W->tmThreadTimerBackupTimer(nullptr);
    DeallocateHWnd(Clicker);

    EXPECT_TRUE(WasBusy);
    EXPECT_TRUE(PanelShown);
    ASSERT_EQ(Recorder.Shown.size(), 3u);
    for (const TMessageRecorder::TShown& S : Recorder.Shown) {
        EXPECT_EQ(S.Text, Ru(L"Идет проверка. Подождите, пока она не закончится."));
        EXPECT_EQ(S.Caption, Ru(L"Предупреждение"));
    }
    EXPECT_EQ(W->MemSettitngs->RecordCount(), 1) << "nothing was deleted";
    EXPECT_FALSE(W->Busy());
}

TEST_F(MainWindowServer, TickErrorsAreShownAndTheTickEndsIdle) {
    TOwned<TfrmSetting> W = OpenWindow();
    // No task file: the engine has nothing to do, the refresh cannot read it.
    W->tmThreadTimerBackupTimer(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text.rfind("ReopenResultat: ", 0), 0u) << Recorder.Shown[0].Text;
    EXPECT_FALSE(W->Busy());
    EXPECT_TRUE(W->tmResultat->Enabled());

    // A line too short for its kind's rule: the engine's error.
    WriteTaskLines(Folder / "Settings.ini", {"Sales;10;0;;;;Type1;"});
    Recorder.Shown.clear();
    W->tmThreadTimerBackupTimer(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text.rfind("ExecureServ: ", 0), 0u) << Recorder.Shown[0].Text;
    EXPECT_FALSE(W->pnlBottom->Visible());
    EXPECT_FALSE(W->Busy());

    Recorder.Shown.clear();
    W->tmResultatTimer(nullptr);
    EXPECT_TRUE(Recorder.Shown.empty()) << "the 30-second refresh keeps its errors to itself";
}

TEST_F(MainWindowServer, DiscoveryFillsTheServerBoxFromTheResponder) {
    SetDiscoveryAddress("127.0.0.1", static_cast<u_short>(Server->SsrpPort));
    TOwned<TfrmSetting> W = OpenWindow();
    ASSERT_TRUE(W->Searching());
    EXPECT_EQ(W->cbServers->Items()->Count(), 0) << "the box is filled when the search ends";
    ASSERT_TRUE(testing_support::PumpUntil([&] { return !W->Searching(); }, 10000));
    ASSERT_EQ(W->cbServers->Items()->Count(), 2);
    EXPECT_EQ(W->cbServers->Items()->Strings(0), "DB1");
    EXPECT_EQ(W->cbServers->Items()->Strings(1), "DB1\\MSSQLSERVER");
    EXPECT_EQ(W->cbServers->Text(), "(local)") << "the chosen server stays";
}

TEST_F(MainWindowServer, ConnectButtonOpensAndClosesTheMainConnection) {
    TOwned<TfrmSetting> W = OpenWindow();
    W->cbServers->SetText(" " + DataSource() + " ");
    W->rbnamePassword->SetChecked(true);
    W->edSQLName->SetText("sa");
    W->edSQLPassword->SetText("wrong");
    W->btnOpenClick(nullptr);
    EXPECT_FALSE(W->ADOConnection->Connected());
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_NE(Recorder.Shown[0].Text.find("Login failed"), std::string::npos) << Recorder.Shown[0].Text;
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Предупреждение"));
    EXPECT_EQ(W->btnOpen->Caption(), Ru(L"Подключиться"));

    W->edSQLPassword->SetText("secret");
    W->btnOpenClick(nullptr);
    ASSERT_TRUE(W->ADOConnection->Connected());
    EXPECT_EQ(W->CurrentConnectString(), SqlLoginConnectString(DataSource(), "sa", "secret"));
    EXPECT_EQ(W->btnOpen->Caption(), Ru(L"Отключиться"));
    EXPECT_EQ(W->sbBar->Panels()->Items(3)->Text(), Ru(L"Соединение: Да"));
    EXPECT_EQ(W->sbBar->Panels()->Items(2)->Text(), Ru(L"Текущий сервер: ") + W->cbServers->Text());
    W->mmLangClick(nullptr);
    EXPECT_EQ(W->btnOpen->Caption(), "To disconnect") << "the button keeps telling the state";
    W->mmLangClick(nullptr);

    // Choosing a server from the list closes the connection and returns to Windows authentication.
    W->cbServers->Items()->Add("OTHER");
    W->cbServers->SetItemIndex(0);
    W->cbServersCloseUp(nullptr);
    EXPECT_FALSE(W->ADOConnection->Connected());
    EXPECT_EQ(W->btnOpen->Caption(), Ru(L"Подключиться"));
    EXPECT_TRUE(W->rbNT->Checked());
    EXPECT_EQ(W->edSQLName->Text(), "");
    EXPECT_TRUE(W->edSQLPassword->ReadOnly());
    EXPECT_EQ(W->sbBar->Panels()->Items(2)->Text(), Ru(L"Текущий сервер: OTHER"));
    EXPECT_EQ(W->sbBar->Panels()->Items(3)->Text(), Ru(L"Соединение: Нет"));
}
