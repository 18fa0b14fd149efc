// Helpers of the task wizard's tests: the wizard opened without waiting on the main window of the
// dialog tests, a clock that stands still, and answers to the plain message boxes.
#pragma once

#include "../framework/TdsStandIn.h"
#include "untMyDialogTestSupport.h"

#include "DateUtils.h"
#include "untAdd.h"
#include "untDB.h"
#include "untFolder.h"

#include <memory>

namespace app_tests {

// Hands everything to the recorder, but answers the plain message boxes with BoxAnswer.
class TBoxAnswers : public TMessagePresenter {
public:
    explicit TBoxAnswers(TMessageRecorder& Recorder) : FRecorder(Recorder) { FOld = SetMessagePresenter(this); }
    ~TBoxAnswers() override { SetMessagePresenter(FOld); }
    TBoxAnswers(const TBoxAnswers&) = delete;
    TBoxAnswers& operator=(const TBoxAnswers&) = delete;
    int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) override {
        FRecorder.MessageBox(Owner, Text, Caption, Flags);
        return BoxAnswer;
    }
    int ShowMessageForm(TMessageForm* Dialog) override { return FRecorder.ShowMessageForm(Dialog); }
    int BoxAnswer = IDOK;

private:
    TMessageRecorder& FRecorder;
    TMessagePresenter* FOld = nullptr;
};

// The main window with its server box set, the clock at 10 December 2026 14:25:36, and the wizard,
// opened without waiting so that the test drives it; every picker still open is freed at the end.
class TWizardFixture : public TDialogFixture {
protected:
    void SetUp() override {
        TDialogFixture::SetUp();
        // The program's unit table may not start the date edit's unit yet; the wizard's form names it.
        if (!GetClass("TsDateEdit"))
            sTooleditInitialization();
        SetClock([] { return Today; });
        Main->cbServers->SetText("  DB1  ");
    }
    void TearDown() override {
        for (TCustomForm* F : std::initializer_list<TCustomForm*>{frmAdd, frmDB, frmOpenFolder})
            if (F)
                F->Free();
        WizardRunNow = false;
        SetClock(nullptr);
        TDialogFixture::TearDown();
    }
    TfrmAdd* Open(TWizardMode Mode = wmAdd) {
        frmAdd = Create<TfrmAdd>(Application);
        WizardMode = Mode;
        frmAdd->Show();
        return frmAdd;
    }
    // A folder the probe can write to.
    std::string Writable() const { return Folder.Path(); }
    // Start -> the kind page of Radio, its database and folder filled.
    void ToKindPage(TRadioButton* Radio, const std::string& DB, const std::string& Path) {
        TfrmAdd* W = frmAdd;
        Radio->SetChecked(true);
        W->btnNextClick(nullptr);
        W->DatabaseEdit(W->ActivePageName())->SetText(DB);
        W->FolderEdit(W->ActivePageName())->SetText(Path);
    }
    // From a filled kind page through Archive to Finish.
    void ToFinish() {
        frmAdd->btnNextClick(nullptr);
        ASSERT_EQ(frmAdd->ActivePageName(), "Archive");
        frmAdd->btnNextClick(nullptr);
        ASSERT_EQ(frmAdd->ActivePageName(), "Finish");
    }
    TDataSet* Table() const { return Main->MemSettitngs; }
    // Puts these task lines into "Settings.ini" and the task table, the first record current.
    void LoadTasks(const std::vector<std::string>& Lines) {
        WriteTaskLines(Folder / "Settings.ini", Lines);
        Table()->Close();
        ReopenTable(Table());
        Table()->First();
    }
    TField* Field(const char* Name) const { return Table()->FieldByName(Name); }
    // The task lines of "Settings.ini", split into fields.
    std::vector<std::vector<std::string>> StoredTasks() const {
        std::vector<std::vector<std::string>> R;
        if (FileExists(Folder / "Settings.ini"))
            for (const std::string& L : ReadTaskLines(Folder / "Settings.ini"))
                R.push_back(SplitTaskLine(L));
        return R;
    }

    inline static const TDateTime Today = EncodeDateTime(2026, 12, 10, 14, 25, 36, 0);
};

// The same with the stand-in as the server in the main window's box (login sa/secret, databases
// Sales and Archive), not yet connected.
class TWizardServerFixture : public TWizardFixture {
protected:
    void SetUp() override {
        TWizardFixture::SetUp();
        Server = std::make_unique<TTdsStandIn>(
            Folder.Path(), std::vector<std::string>{"--login", "sa:secret", "--server", "DB1", "--database", "Sales",
                                                    "--database", "Archive"});
        Main->cbServers->SetText(DataSource());
        Main->rbnamePassword->SetChecked(true);
        Main->edSQLName->SetText("sa");
        Main->edSQLPassword->SetText("secret");
    }
    void TearDown() override {
        Watcher.Action = nullptr;
        for (TCustomForm* F : std::initializer_list<TCustomForm*>{frmAdd, frmDB, frmOpenFolder})
            if (F)
                F->Free();
        if (Main->ADOConnection->Connected())
            Main->ADOConnection->Close();
        Server.reset();
        TWizardFixture::TearDown();
    }
    std::string DataSource() const { return "127.0.0.1," + std::to_string(Server->Port); }
    void Connect() {
        Main->btnOpenClick(nullptr);
        ASSERT_TRUE(Main->ADOConnection->Connected());
    }
    // A stored connection string of a task on the stand-in.
    std::string TaskConnection() const {
        return StringReplace(SqlLoginConnectString(DataSource(), "sa", "secret"), ";", "|", {rfReplaceAll});
    }

    std::unique_ptr<TTdsStandIn> Server;
};

}  // namespace app_tests
