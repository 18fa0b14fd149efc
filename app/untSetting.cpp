#include "untSetting.h"

#include "ProgramUnits.h"

#include "ConnectionString.h"
#include "DateUtils.h"
#include "Registry.h"
#include "WinUtils.h"
#include "abfVclUtils.h"
#include "untAbout.h"
#include "untBackup.h"
#include "untJOpen.h"
#include "untMyDialog.h"
#include "untRestore.h"
#include "untSaveTimer.h"
#include "untSettingTasks.h"

#include <shellapi.h>

#include <limits>

TfrmSetting* frmSetting = nullptr;

namespace {

std::string DiscoveryAddress = "255.255.255.255";
u_short DiscoveryPort = 1434;

// The resolution protocol's request for every instance: one byte.
constexpr char ServerListRequest = 0x02;
// Bytes a reply starts with before its text: the type byte and the 16-bit length.
constexpr int ReplyHeaderSize = 3;
constexpr int ReplyBufferSize = 64001;
constexpr DWORD SearchTime = 1000;
constexpr DWORD ResultatInterval = 30000;
constexpr LongInt DefaultIntervalMinutes = 15;
// The timer takes at most 2^31 - 1 ms.
constexpr LongInt MaxIntervalMinutes = std::numeric_limits<LONG>::max() / 60000;
constexpr const char* HelpFileName = "Quarnel backup.chm";
constexpr int RussianLanguageID = 1049;
constexpr int SwitchToEnglishImage = 33;
constexpr int SwitchToRussianImage = 32;
// The two captions of the language item, the same in both languages.
const std::string SwitchToEnglish = "\xCF\xE5\xF0\xE5\xEA\xEB\xFE\xF7\xE8\xF2\xFC \xED\xE0 \xE0\xED\xE3\xEB\xE8\xE9\xF1\xEA\xE8\xE9";
const std::string SwitchToRussian = "Switch to Russian";
// What the help command says when it cannot open the help file (language 1, language 2), followed by
// the file's path: the shell itself says nothing, and F1 would seem to do nothing at all.
const std::string HelpMissing[] = {"\xD4\xE0\xE9\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED:",
                                   "The help file is not found:"};
const std::string HelpNotOpened[] = {
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xEE\xF2\xEA\xF0\xFB\xF2\xFC \xF4\xE0\xE9\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8:",
    "The help file could not be opened:"};
constexpr int ConnectionPanel = 3;
constexpr const char* GridLayoutKey = "t1";

// Grid titles by field, for language 1 and language 2.
struct TColumnTitles {
    const char* Field;
    const char* Russian;
    const char* English;
};
const TColumnTitles ColumnTitles[] = {
    {"Server", "\xD1\xE5\xF0\xE2\xE5\xF0", "Server"},
    {"DBName", "\xC1\xE0\xE7\xE0 \xE4\xE0\xED\xED\xFB\xF5", "Database"},
    {"Hour", "\xD7\xE0\xF1", "Hour"},
    {"Min", "\xCC\xE8\xED.", "Min."},
    {"Path", "\xCF\xF3\xF2\xFC", "Path"},
    {"DateLast", "\xCF\xEE\xF1\xEB\xE5\xE4\xED\xE8\xE9 \xE7\xE0\xEF\xF3\xF1\xEA", "Last launching"},
    {"Result", "\xD0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2", "Result"},
};

// A string value, or "" when it is missing or no string.
std::string ReadText(TRegistry& R, const std::string& Name) {
    try {
        return R.ReadString(Name);
    } catch (const Exception&) {
        return "";
    }
}


// The settings key of the program, opened (and created when missing) for the scope.
class TSettingsKey {
public:
    explicit TSettingsKey(const std::string& SubKey = "") {
        std::string Path = ProgramRegKey;
        if (!SubKey.empty())
            Path += "\\" + SubKey;
        FOpen = FReg.OpenKey(Path, true);
    }
    bool Open() const { return FOpen; }
    TRegistry& operator*() { return FReg; }
    TRegistry* operator->() { return &FReg; }

private:
    TRegistry FReg;
    bool FOpen;
};

// The autorun key under HKEY_LOCAL_MACHINE; read-only when it cannot be opened for writing, so that
// the menu can still show whether the value is there.
class TAutoRunKey {
public:
    explicit TAutoRunKey(bool ForWriting) {
        FReg.SetRootKey(HKEY_LOCAL_MACHINE);
        FOpen = FReg.OpenKey(AutoRunRegKey, true);
        if (!FOpen && !ForWriting)
            FOpen = FReg.OpenKeyReadOnly(AutoRunRegKey);
    }
    bool Open() const { return FOpen; }
    TRegistry* operator->() { return &FReg; }

private:
    TRegistry FReg;
    bool FOpen;
};

// Restarts a timer when the scope ends, whatever ends it.
class TTimerPause {
public:
    explicit TTimerPause(TTimer* Timer) : FTimer(Timer) { FTimer->SetEnabled(false); }
    ~TTimerPause() {
        if (!FTimer->Enabled())
            FTimer->SetEnabled(true);
    }
    TTimerPause(const TTimerPause&) = delete;
    TTimerPause& operator=(const TTimerPause&) = delete;

private:
    TTimer* FTimer;
};

std::string QuotedValue(const std::string& Value) {
    if (Value.find(';') == std::string::npos)
        return Value;
    return WideToAnsi(QuoteConnectionStringValue(AnsiToWide(Value)));
}

}  // namespace

void SetDiscoveryAddress(const std::string& Address, u_short Port) {
    DiscoveryAddress = Address.empty() ? "255.255.255.255" : Address;
    DiscoveryPort = Address.empty() ? 1434 : Port;
}

bool HideRequested(const std::vector<std::string>& Params) { return !Params.empty() && Params[0] == "/hide"; }

std::vector<std::string> ParseServerReply(std::string_view Bytes) {
    enum { None, ServerNameKey, InstanceNameKey } Previous = None;
    std::vector<std::string> Found;
    std::string Token, Server;
    for (char C : Bytes) {
        if (C != ';') {
            Token += C;
            continue;
        }
        if (Previous == ServerNameKey)
            Server = Token;
        else if (Previous == InstanceNameKey) {
            if (UpperCase(Token) == "MSSQLSERVER")
                Found.push_back(Server);
            Server += "\\" + Token;
            Found.push_back(Server);
        }
        Previous = Token == "ServerName" ? ServerNameKey : Token == "InstanceName" ? InstanceNameKey : None;
        Token.clear();
    }
    return Found;
}

std::string WindowsAuthConnectString(const std::string& Server) {
    return "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=master;Data Source=" +
           QuotedValue(Server);
}

std::string SqlLoginConnectString(const std::string& Server, const std::string& Login, const std::string& Password) {
    return "Provider=SQLOLEDB.1;Password=" + QuotedValue(Password) + ";Persist Security Info=False;User ID=" +
           QuotedValue(Login) + ";Initial Catalog=master;Data Source=" + QuotedValue(Server);
}

void ShowMyDialog(const std::string& Text, const std::string& Caption) { ShowMyDialogModal(Text, Caption); }

// ---------------------------------------------------------------------------------------------
// The clean-up thread

TClearSocketThread::TClearSocketThread(SOCKET Socket, DWORD Delay, const TNotifyEvent& Done)
    : TThread(false), FSocket(Socket), FDelay(Delay) {
    OnTerminate = Done;
}

void TClearSocketThread::Execute() {
    // Waits in short steps so that a window closed during the search is not held up.
    for (DWORD Waited = 0; Waited < FDelay && !Terminated(); Waited += 50)
        Sleep(50);
}

// ---------------------------------------------------------------------------------------------
// The window

TfrmSetting::TfrmSetting(TComponent* AOwner) : TForm(AOwner), FServers(Create<TStringList>()) {}

TfrmSetting::~TfrmSetting() = default;

void TfrmSetting::BeforeDestruction() {
    // A window that goes before it was painted has no start left to finish.
    FStartPending = false;
    // Its end handler runs while the window is still whole.
    if (FClearThread)
        FreeAndNil(FClearThread);
    CloseDiscoverySocket();
    if (frmSetting == this)
        frmSetting = nullptr;
    TForm::BeforeDestruction();
}

void TfrmSetting::DefineClass(TClassBuilder<TfrmSetting>& B) {
    using T = TfrmSetting;
    B.Field("cbServers", &T::cbServers);
    B.Field("rbNT", &T::rbNT);
    B.Field("rbnamePassword", &T::rbnamePassword);
    B.Field("edSQLName", &T::edSQLName);
    B.Field("edSQLPassword", &T::edSQLPassword);
    B.Field("btnOpen", &T::btnOpen);
    B.Field("bbJourn", &T::bbJourn);
    B.Field("ToolBar1", &T::ToolBar1);
    B.Field("tbPlus", &T::tbPlus);
    B.Field("tbEdit", &T::tbEdit);
    B.Field("tbDelete", &T::tbDelete);
    B.Field("pnlBottom", &T::pnlBottom);
    B.Field("lbAct", &T::lbAct);
    B.Field("sbBar", &T::sbBar);
    B.Field("DBGridMain", &T::DBGridMain);
    B.Field("dsSettings", &T::dsSettings);
    B.Field("MemSettitngs", &T::MemSettitngs);
    B.Field("ADOConnection", &T::ADOConnection);
    B.Field("tmThreadTimerBackup", &T::tmThreadTimerBackup);
    B.Field("tmResultat", &T::tmResultat);
    B.Field("PopupMenu", &T::PopupMenu);
    B.Field("pmOpenProgram", &T::pmOpenProgram);
    B.Field("pmAutoRun", &T::pmAutoRun);
    B.Field("pmCheckTime", &T::pmCheckTime);
    B.Field("mmRestoreDb", &T::mmRestoreDb);
    B.Field("mmHelp", &T::mmHelp);
    B.Field("pmAbout", &T::pmAbout);
    B.Field("mmLang", &T::mmLang);
    B.Field("pmClose", &T::pmClose);
    B.Field("abfOneInstance1", &T::abfOneInstance1);
    B.Field("MainMenu1", &T::MainMenu1);
    B.Field("mH", &T::mH);
    B.Field("siLang1", &T::siLang1);
    B.Field("siLangDispatcher", &T::siLangDispatcher);
    B.Field("TrayIcon", &T::TrayIcon);
    B.Field("ImageList1", &T::ImageList1);
    B.Method<&T::FormCreate>("FormCreate");
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormActivate>("FormActivate");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::tbPlusClick>("tbPlusClick");
    B.Method<&T::tbEditClick>("tbEditClick");
    B.Method<&T::tbDeleteClick>("tbDeleteClick");
    B.Method<&T::DBGridMainCellClick>("DBGridMainCellClick");
    B.Method<&T::DBGridMainDblClick>("DBGridMainDblClick");
    B.Method<&T::DBGridMainDrawColumnCell>("DBGridMainDrawColumnCell");
    B.Method<&T::tmThreadTimerBackupTimer>("tmThreadTimerBackupTimer");
    B.Method<&T::tmResultatTimer>("tmResultatTimer");
    B.Method<&T::PopupMenuPopup>("PopupMenuPopup");
    B.Method<&T::pmOpenProgramClick>("pmOpenProgramClick");
    B.Method<&T::pmAutoRunClick>("pmAutoRunClick");
    B.Method<&T::pmCheckTimeClick>("pmCheckTimeClick");
    B.Method<&T::mmRestoreDbClick>("mmRestoreDbClick");
    B.Method<&T::pmAboutClick>("pmAboutClick");
    B.Method<&T::bbJournClick>("bbJournClick");
    B.Method<&T::pmCloseClick>("pmCloseClick");
    B.Method<&T::mmHelpClick>("mmHelpClick");
    B.Method<&T::mHClick>("mHClick");
    B.Method<&T::mmLangClick>("mmLangClick");
    B.Method<&T::siLang1ChangeLanguage>("siLang1ChangeLanguage");
    B.Method<&T::btnOpenClick>("btnOpenClick");
    B.Method<&T::rbNTClick>("rbNTClick");
    B.Method<&T::rbnamePasswordClick>("rbnamePasswordClick");
    B.Method<&T::cbServersCloseUp>("cbServersCloseUp");
    B.Method<&T::ADOConnectionAfterConnect>("ADOConnectionAfterConnect");
    B.Method<&T::ADOConnectionAfterDisconnect>("ADOConnectionAfterDisconnect");
    B.Method<&T::sbBarDrawPanel>("sbBarDrawPanel");
    B.Message<&T::WMSysCommand>(WM_SYSCOMMAND);
    B.Message<&T::WMServerReply>(WM_SERVERREPLY);
    B.Message<&T::WMHideAtStart>(WM_HIDEATSTART);
    B.Message<&T::WMStartAfterPaint>(WM_STARTAFTERPAINT);
}

// ---------------------------------------------------------------------------------------------
// Start-up, settings and stop

void TfrmSetting::FormCreate(TObject*) {
    // The stored language replaces the system's whenever the settings key opens, and each switch
    // applies every text of every window again: only the language that stays is applied.
    if (TSettingsKey Key; !Key.Open())
        SetLanguage(SystemDefaultLangID() == RussianLanguageID ? 1 : 2);
    UpdateStrings();
    LoadRegParam();
    FBusy = false;

    LongInt Minutes = 0;
    {
        TSettingsKey Key;
        if (!Key.Open() || !ReadRegistryInt(*Key, "Interval", Minutes) || Minutes < 1 || Minutes > MaxIntervalMinutes)
            Minutes = DefaultIntervalMinutes;
    }
    tmThreadTimerBackup->SetInterval(static_cast<Cardinal>(Minutes) * 60000);

    LoadGridLayout(DBGridMain, GridLayoutKey, true);

    // A right click opens the tray menu through the icon itself.
    TrayIcon->OnMouseUp = nullptr;
    FStartTime = Now();
    sbBar->Panels()->Items(0)->SetText(strrsStart + ": " + DateTimeToStr(FStartTime));
    sbBar->Panels()->Items(ConnectionPanel)->SetText(ADOConnection->Connected() ? strrsConnectYes : strrsConnectNo);
    FServers->Clear();
    if (MemSettitngs->Active())
        MemSettitngs->Close();
    ReopenTable(MemSettitngs);
    ShowStatusTimer(strrsMin);
    sbBar->Panels()->Items(2)->SetText(strrsServerEnd + ": " + cbServers->Text());
    // What the tray's start-up did while the window was read: the main window shows itself (or,
    // under "/hide", hides itself), the application does not show it again.
    Application->ShowMainForm = false;
    FStartPending = true;
    PostMessageA(Handle(), WM_STARTAFTERPAINT, 0, 0);

    std::vector<std::string> Params;
    for (int I = 1; I <= ParamCount(); ++I)
        Params.push_back(ParamStr(I));
    if (HideRequested(Params)) {
        UpdateStrings();
        pmOpenProgram->SetCaption(strrsOpen);
        FStartedHidden = true;
    } else
        pmOpenProgram->SetCaption(strrsHide);
}

void TfrmSetting::LoadRegParam() {
    {
        TSettingsKey Key;
        if (Key.Open()) {
            // Only the two languages the windows have: anything else would fail every window.
            LongInt Lang = 1;
            if (Key->ValueExists("Lang")) {
                try {
                    Lang = Key->ReadInteger("Lang");
                } catch (const Exception&) {
                    Lang = 1;
                }
                if (Lang != 1 && Lang != 2)
                    Lang = 1;
            }
            SetLanguage(Lang);

            LongInt Top = 0, Left = 0, Width = 0, Height = 0;
            if (ReadRegistryInt(*Key, "Top", Top) && ReadRegistryInt(*Key, "Left", Left)) {
                SetPosition(poDesigned);
                // One move of the window, not four.
                if (!ReadRegistryInt(*Key, "Width", Width))
                    Width = this->Width();
                if (!ReadRegistryInt(*Key, "Height", Height))
                    Height = this->Height();
                SetBounds(Left, Top, Width, Height);
            } else
                SetPosition(poScreenCenter);

            std::string Server = ReadText(*Key, "Server");
            if (Server.empty()) {
                Server = "(local)";
                Key->WriteString("Server", Server);
            }
            cbServers->SetText(Server);

            std::string TypeNT = ReadText(*Key, "typeNT");
            if (TypeNT != "1" && TypeNT != "0") {
                TypeNT = "1";
                Key->WriteString("typeNT", TypeNT);
            }
            if (TypeNT == "1") {
                rbNT->SetChecked(true);
                SetLoginEditable(false);
            } else {
                rbnamePassword->SetChecked(true);
                SetLoginEditable(true);
            }

            std::string Name = ReadText(*Key, "name");
            if (Trim(Name).empty()) {
                Name.clear();
                Key->WriteString("name", Name);
            }
            edSQLName->SetText(Name);

            std::string Password = ReadText(*Key, "password");
            if (Trim(Password).empty()) {
                Password.clear();
                Key->WriteString("password", Password);
            }
            edSQLPassword->SetText(EnCrypt(Password));
        }
    }
    TAutoRunKey Run(false);
    if (Run.Open())
        pmAutoRun->SetImageIndex(Run->ValueExists(AutoRunValueName) ? AutoRunOnImage : AutoRunOffImage);
}

void TfrmSetting::SaveForClose() {
    if (TSettingsKey Key; Key.Open()) {
        Key->WriteString("Width", IntToStr(Width()));
        Key->WriteString("Height", IntToStr(Height()));
        Key->WriteString("Left", IntToStr(Left()));
        Key->WriteString("Top", IntToStr(Top()));
        Key->WriteInteger("Lang", siLangDispatcher->ActiveLanguage());
        Key->WriteString("Server", cbServers->Text());
        Key->WriteString("typeNT", rbNT->Checked() ? "1" : "0");
        Key->WriteString("name", edSQLName->Text());
        Key->WriteString("password", Crypt(edSQLPassword->Text()));
        Key->WriteString("Interval", IntToStr(tmThreadTimerBackup->Interval() / 60000));
    }
    SaveGridLayout(DBGridMain, GridLayoutKey);
}

bool TfrmSetting::AutoRunSet() {
    TAutoRunKey Run(false);
    return Run.Open() && Run->ValueExists(AutoRunValueName);
}

void TfrmSetting::CheckMenu() {
    // The image follows what the registry holds afterwards, not what was asked for.
    try {
        TAutoRunKey Run(true);
        if (!Run.Open())
            throw ERegistryException(RegConsts::SRegOpenFailed,
                                     {std::string("HKEY_LOCAL_MACHINE\\") + AutoRunRegKey});
        if (pmAutoRun->ImageIndex() == AutoRunOffImage)
            Run->WriteString(AutoRunValueName, "\"" + ProgramFileName() + "\" /hide");
        else
            Run->DeleteValue(AutoRunValueName);
    } catch (const Exception& E) {
        ShowMyDialog(E.Message(), strrsP);
    }
    pmAutoRun->SetImageIndex(AutoRunSet() ? AutoRunOnImage : AutoRunOffImage);
}

void TfrmSetting::FormShow(TObject*) {
    HideApplicationWindow();
    if (MemSettitngs->Active())
        MemSettitngs->Close();
    ReopenTable(MemSettitngs);
    ShowStatusTimer(strrsTimerEnd);
    sbBar->Panels()->Items(2)->SetText(strrsServerEnd + ": " + cbServers->Text());
    HideApplicationWindow();
}

void TfrmSetting::FormActivate(TObject*) {
    if (!FStartedHidden)
        return;
    FStartedHidden = false;
    HideApplicationWindow();
    // Hidden once the showing that activated it is over: that showing still gives the focus to a
    // control, which a window already hidden refuses with an error.
    PostMessageA(Handle(), WM_HIDEATSTART, 0, 0);
}

void TfrmSetting::WMHideAtStart(TMessage&) { HideWindow(); }

void TfrmSetting::WMStartAfterPaint(TMessage&) {
    // The message comes before the system's paint messages: the window paints itself first.
    if (HandleAllocated() && IsWindowVisible(Handle()))
        RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    FinishStart();
}

void TfrmSetting::DoHide() {
    TForm::DoHide();
    FinishStart();
}

void TfrmSetting::FinishStart() {
    if (!FStartPending)
        return;
    FStartPending = false;
    // The units left for later come first: the error window below is made of skinned controls.
    if (!StartLaterProgramUnits())
        return;
    // The tray's start-up, which its form resource leaves to this point: the shell's first icon
    // request is the slowest call of the whole start.
    TrayIcon->SetMinimizeOnStart(true);
    HideApplicationWindow();
    TrayIcon->SetVisible(true);
    try {
        SearchServers();
    } catch (const Exception& E) {
        ShowMyDialog(strrsListServer + ":\r" + E.Message(), strrsP);
    }
}

void TfrmSetting::FormClose(TObject*, TCloseAction&) { SaveForClose(); }

void TfrmSetting::WMSysCommand(TMessage& Message) {
    const WPARAM Command = Message.WParam & 0xFFF0;
    if (Command != SC_MINIMIZE && Command != SC_CLOSE) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    SaveForClose();
    HideWindow();
    Message.Result = 0;
}

void TfrmSetting::pmCloseClick(TObject*) {
    SaveForClose();
    ADOConnection->Close();
    Application->Terminate();
}

void TfrmSetting::HideWindow() {
    try {
        Hide();
    } catch (const Exception&) {
    }
}

// ---------------------------------------------------------------------------------------------
// Messages, status bar and language

void TfrmSetting::UpdateStrings() {
    struct TEntry {
        std::string TfrmSetting::*Variable;
        const char* Key;
    };
    static const TEntry Entries[] = {
        {&TfrmSetting::strrsConnect, "strrsConnect"},       {&TfrmSetting::strrsNoConnect, "strrsNoConnect"},
        {&TfrmSetting::strrsListServer, "strrsListServer"}, {&TfrmSetting::strrsHide, "strrsHide"},
        {&TfrmSetting::strrsOpen, "strrsOpen"},             {&TfrmSetting::strrsStart, "strrsStart"},
        {&TfrmSetting::strrsTimerBegin, "strrsTimerBegin"}, {&TfrmSetting::strrsTimerEnd, "strrsTimerEnd"},
        {&TfrmSetting::strrsMin, "strrsMin"},               {&TfrmSetting::strrsServerEnd, "strrsServerEnd"},
        {&TfrmSetting::strrsSer, "strrsSer"},               {&TfrmSetting::strrsConnectYes, "strrsConnectYes"},
        {&TfrmSetting::strrsConnectNo, "strrsConnectNo"},   {&TfrmSetting::strrsStateCheck, "strrsStateCheck"},
        {&TfrmSetting::strrsP, "strrsP"},                   {&TfrmSetting::strrsRes, "strrsRes"},
        {&TfrmSetting::strrsSucc, "strrsSucc"},             {&TfrmSetting::strrsInsTask, "strrsInsTask"},
        {&TfrmSetting::strsYes, "strsYes"},                 {&TfrmSetting::strsNo, "strsNo"},
        {&TfrmSetting::strsDelC, "strsDelC"},               {&TfrmSetting::strsDelCont, "strsDelCont"},
    };
    for (const TEntry& E : Entries)
        this->*E.Variable = siLang1->GetTextOrDefault(E.Key);
}

void TfrmSetting::siLang1ChangeLanguage(TObject*) {
    UpdateStrings();
    // The button's caption tells the connection's state, which the stored texts cannot know.
    if (btnOpen && ADOConnection)
        btnOpen->SetCaption(ADOConnection->Connected() ? strrsNoConnect : strrsConnect);
}

void TfrmSetting::ShowStatusTimer(const std::string& After) {
    sbBar->Panels()->Items(1)->SetText(strrsTimerBegin + " " + IntToStr(tmThreadTimerBackup->Interval() / 60000) + " " +
                                       After);
}

void TfrmSetting::ShowConnectionState() {
    sbBar->Panels()->Items(ConnectionPanel)->SetText(ADOConnection->Connected() ? strrsConnectYes : strrsConnectNo);
    sbBar->Panels()->Items(2)->SetText(strrsSer + ": " + cbServers->Text());
}

void TfrmSetting::ShowLanguageItem(int Active) {
    mmLang->SetCaption(Active == 2 ? SwitchToRussian : SwitchToEnglish);
    mmLang->SetImageIndex(Active == 2 ? SwitchToRussianImage : SwitchToEnglishImage);
}

void TfrmSetting::SetLanguage(int Language) {
    ShowLanguageItem(Language);
    siLangDispatcher->SetActiveLanguage(Language);
}

void TfrmSetting::RefreshLang() {
    SetLanguage(siLangDispatcher->ActiveLanguage() == 2 ? 1 : 2);
    sbBar->Panels()->Items(0)->SetText(strrsStart + ": " + DateTimeToStr(FStartTime));
    ShowStatusTimer(strrsTimerEnd);
    ShowConnectionState();
}

void TfrmSetting::RefreshLanguageTable() {
    const bool English = siLangDispatcher->ActiveLanguage() == 2;
    TDBGridColumns* Columns = DBGridMain->Columns();
    for (int I = 0; I < Columns->Count(); ++I) {
        TColumn* C = Columns->Items(I);
        for (const TColumnTitles& T : ColumnTitles)
            if (SameText(C->FieldName(), T.Field))
                C->Title()->SetCaption(English ? T.English : T.Russian);
    }
}

void TfrmSetting::mmLangClick(TObject*) {
    RefreshLang();
    RefreshLanguageTable();
}

void TfrmSetting::sbBarDrawPanel(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect) {
    if (Panel->Index() != ConnectionPanel)
        return;
    TCanvas* C = StatusBar->Canvas();
    const bool Connected = ADOConnection->Connected();
    C->Font()->SetColor(Connected ? TColor(0x008000) : TColor(0x0000FF));
    C->TextOut(Rect.Left, Rect.Top, Connected ? " Connected: true" : " Connected: false");
}

// ---------------------------------------------------------------------------------------------
// Tasks and the scheduler

bool TfrmSetting::RefusedWhileBusy() {
    if (FBusy)
        ShowMyDialog(strrsStateCheck, strrsP);
    return FBusy;
}

bool TfrmSetting::HasTasks() const { return MemSettitngs->Active() && !MemSettitngs->IsEmpty(); }

void TfrmSetting::RunWizard(TWizardMode Mode) {
    {
        TTimerPause Pause(tmThreadTimerBackup);
        if (!MemSettitngs->Active())
            MemSettitngs->Open();
        if (ShowTaskWizard(Mode))
            tmThreadTimerBackupTimer(this);
    }
    for (int I = 0; I < 2; ++I) {
        Repaint();
        Application->ProcessMessages();
    }
}

void TfrmSetting::tbPlusClick(TObject*) {
    if (!RefusedWhileBusy())
        RunWizard(wmAdd);
}

void TfrmSetting::tbEditClick(TObject*) {
    if (!RefusedWhileBusy() && HasTasks())
        RunWizard(wmEdit);
}

void TfrmSetting::tbDeleteClick(TObject*) {
    if (RefusedWhileBusy() || frmAdd || !HasTasks())
        return;
    if (MessageDialog(strsDelC, mtConfirmation, strsDelCont, mbOKCancel) != mrOk)
        return;
    TTimerPause Pause(tmThreadTimerBackup);
    TakeRunResults(MemSettitngs);
    try {
        MemSettitngs->Delete();
    } catch (const Exception&) {
    }
    CloseCurrentFile(MemSettitngs);
}

int TfrmSetting::MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption,
                               TMsgDlgButtons Buttons) {
    return ::MessageDialog(Msg, DlgType, Caption, Buttons, strsYes, strsNo);
}

std::string TfrmSetting::ResultText(const std::string& Result) const {
    if (Result == ResultNewTask)
        return strrsInsTask;
    if (Result == ResultSucceeded)
        return strrsSucc;
    return Result;
}

void TfrmSetting::DBGridMainCellClick(TColumn* Column) { FLastField = Column ? Column->FieldName() : std::string(); }

void TfrmSetting::DBGridMainDblClick(TObject* Sender) {
    if (!SameText(FLastField, "Result")) {
        tbEditClick(Sender);
        return;
    }
    if (HasTasks())
        ShowMyDialogText(ResultText(MemSettitngs->FieldByName("Result")->AsString()), strrsRes);
}

void TfrmSetting::DBGridMainDrawColumnCell(TObject*, const TRect& Rect, int, TColumn* Column, TGridDrawState) {
    TField* F = Column ? Column->Field() : nullptr;
    if (!F)
        return;
    std::string Text;
    if (SameText(Column->FieldName(), "Result"))
        Text = ResultText(F->AsString());
    else if (SameText(Column->FieldName(), "DateLast")) {
        // A null or zero date stays blank.
        if (F->AsDateTime() >= EncodeDate(1900, 1, 1))
            Text = F->DisplayText();
    } else
        return;
    TCanvas* C = DBGridMain->Canvas();
    C->FillRect(Rect);
    C->TextOut(Rect.Left + 1, Rect.Top + 2, Text);
}

void TfrmSetting::ReopenResultat() { ::ReopenResultat(MemSettitngs); }

void TfrmSetting::tmThreadTimerBackupTimer(TObject*) {
    // A tick that falls due while one runs (the tick lets messages through) runs right after it.
    if (FBusy) {
        FTickPending = true;
        return;
    }
    do {
        FTickPending = false;
        FBusy = true;
        // Only the panel: showing it through its parents would bring up a window hidden in the tray.
        pnlBottom->SetVisible(true);
        Application->ProcessMessages();
        try {
            tmResultat->SetEnabled(false);
            try {
                RunDueTasks();
            } catch (const Exception& E) {
                ShowMessage("ExecureServ: " + E.Message());
            }
            try {
                ReopenResultat();
            } catch (const Exception& E) {
                ShowMessage("ReopenResultat: " + E.Message());
            }
        } catch (...) {
            pnlBottom->Hide();
            FBusy = false;
            tmResultat->SetEnabled(true);
            throw;
        }
        pnlBottom->Hide();
        Application->ProcessMessages();
        FBusy = false;
        tmResultat->SetEnabled(true);
        Application->ProcessMessages();
    } while (FTickPending);
}

void TfrmSetting::tmResultatTimer(TObject*) {
    try {
        ReopenResultat();
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------------------------
// Tray menu and help

void TfrmSetting::PopupMenuPopup(TObject*) {
    pmOpenProgram->SetCaption(Visible() ? strrsHide : strrsOpen);
    ShowLanguageItem(siLangDispatcher->ActiveLanguage());
}

void TfrmSetting::pmOpenProgramClick(TObject*) {
    HideApplicationWindow();
    if (pmOpenProgram->Caption().find(strrsHide) == std::string::npos) {
        pmOpenProgram->SetCaption(strrsHide);
        Show();
        TrayIcon->RestoreApplication();
        if (frmAdd)
            frmAdd->BringToFront();
        HideApplicationWindow();
    } else {
        pmOpenProgram->SetCaption(strrsOpen);
        SaveForClose();
        HideWindow();
    }
}

void TfrmSetting::pmAutoRunClick(TObject*) { CheckMenu(); }

namespace {
// The dialogs opened without waiting: one window each, created on demand; each frees itself when
// closed and empties its variable.
template <class TDialog>
void ShowSingle(TDialog*& Window) {
    if (!Window)
        Window = Create<TDialog>(Application);
    Window->Show();
}
}  // namespace

void TfrmSetting::pmCheckTimeClick(TObject*) { ShowSingle(frmSaveTimer); }

void TfrmSetting::pmAboutClick(TObject*) { ShowSingle(frmAbout); }

void TfrmSetting::bbJournClick(TObject*) { ShowSingle(frmJOpen); }

void TfrmSetting::mmRestoreDbClick(TObject*) {
    if (!frmRestore)
        frmRestore = Create<TfrmRestore>(Application);
    frmRestore->ShowModal();
}

void TfrmSetting::mmHelpClick(TObject*) {
    const std::string File = ExtractFilePath(ProgramFileName()) + HelpFileName;
    const int Language = siLangDispatcher->ActiveLanguage() == 2 ? 1 : 0;
    if (!FileExists(File)) {
        ShowMyDialog(HelpMissing[Language] + "\r" + File, strrsP);
        return;
    }
    const auto Opened = reinterpret_cast<INT_PTR>(
        ShellExecuteA(HandleAllocated() ? Handle() : nullptr, "open", File.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // The shell's results up to 32 are its errors.
    if (Opened <= 32)
        ShowMyDialog(HelpNotOpened[Language] + "\r" + File, strrsP);
}

void TfrmSetting::mHClick(TObject* Sender) { mmHelpClick(Sender); }

// ---------------------------------------------------------------------------------------------
// Server discovery and the main connection

void TfrmSetting::SearchServers() {
    FServers->Clear();
    // A search still running ends first: its socket is not this one's.
    if (FClearThread)
        FreeAndNil(FClearThread);
    CloseDiscoverySocket();
    WSADATA Data;
    WSAStartup(MAKEWORD(2, 0), &Data);
    FSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    WSAAsyncSelect(FSocket, Handle(), WM_SERVERREPLY, FD_READ);
    int Value = 0;
    setsockopt(FSocket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&Value), sizeof Value);
    Value = 1;
    setsockopt(FSocket, SOL_SOCKET, SO_DEBUG, reinterpret_cast<const char*>(&Value), sizeof Value);
    setsockopt(FSocket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&Value), sizeof Value);
    sockaddr_in To{};
    To.sin_family = AF_INET;
    To.sin_port = htons(DiscoveryPort);
    To.sin_addr.s_addr = inet_addr(DiscoveryAddress.c_str());
    sendto(FSocket, &ServerListRequest, 1, 0, reinterpret_cast<const sockaddr*>(&To), sizeof To);
    FClearThread = Create<TClearSocketThread>(FSocket, SearchTime, TNotifyEvent::Bind<&TfrmSetting::SearchDone>(this));
}

void TfrmSetting::CloseDiscoverySocket() {
    if (FSocket == INVALID_SOCKET)
        return;
    closesocket(FSocket);
    WSACleanup();
    FSocket = INVALID_SOCKET;
}

void TfrmSetting::SearchDone(TObject*) {
    // The socket closes here, on the thread that reads it, so that no reply is read from a handle
    // the system may already have given to another socket.
    CloseDiscoverySocket();
    cbServers->Items()->AddStrings(FServers.get());
}

void TfrmSetting::WMServerReply(TMessage& Message) {
    if (FSocket == INVALID_SOCKET || static_cast<SOCKET>(Message.WParam) != FSocket ||
        WSAGETSELECTEVENT(Message.LParam) != FD_READ)
        return;
    std::string Buffer(ReplyBufferSize, '\0');
    const int Received = recv(FSocket, Buffer.data(), ReplyBufferSize, 0);
    if (Received <= ReplyHeaderSize)
        return;
    for (const std::string& Name : ParseServerReply(std::string_view(Buffer).substr(ReplyHeaderSize, Received - ReplyHeaderSize)))
        FServers->Add(Name);
}

std::string TfrmSetting::CreateConnectString() {
    const std::string Server = Trim(cbServers->Text());
    if (rbNT->Checked())
        return WindowsAuthConnectString(Server);
    if (rbnamePassword->Checked())
        return SqlLoginConnectString(Server, Trim(edSQLName->Text()), Trim(edSQLPassword->Text()));
    return FConnectString;
}

void TfrmSetting::btnOpenClick(TObject*) {
    if (ADOConnection->Connected()) {
        ADOConnection->Close();
        btnOpen->SetCaption(strrsConnect);
        return;
    }
    try {
        FConnectString = CreateConnectString();
        ADOConnection->Close();
        ADOConnection->SetConnectionString(AnsiToWide(FConnectString));
        ADOConnection->Open();
        btnOpen->SetCaption(strrsNoConnect);
    } catch (const Exception& E) {
        ShowMyDialog(E.Message(), strrsP);
    }
}

void TfrmSetting::SetLoginEditable(bool Editable) {
    for (TEdit* E : {edSQLName, edSQLPassword}) {
        E->SetReadOnly(!Editable);
        E->SetColor(Editable ? clWindow : clBtnFace);
    }
}

void TfrmSetting::rbNTClick(TObject*) { SetLoginEditable(false); }

void TfrmSetting::rbnamePasswordClick(TObject*) { SetLoginEditable(true); }

void TfrmSetting::cbServersCloseUp(TObject*) {
    ReserchServer();
    edSQLName->SetText("");
    edSQLPassword->SetText("");
    rbNT->SetChecked(true);
    SetLoginEditable(false);
}

void TfrmSetting::ReserchServer() {
    if (ADOConnection->Connected())
        btnOpenClick(this);
    const int Index = cbServers->ItemIndex();
    sbBar->Panels()->Items(2)->SetText(strrsSer + ": " +
                                       (Index >= 0 ? cbServers->Items()->Strings(Index) : std::string()));
}

void TfrmSetting::ADOConnectionAfterConnect(TObject*) { ShowConnectionState(); }

void TfrmSetting::ADOConnectionAfterDisconnect(TObject*) { ShowConnectionState(); }
