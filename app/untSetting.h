// The main window: the server and login choice with the main connection, the task grid over
// `MemSettitngs`, the scheduler, the tray icon and menu, the language switch, the registry settings
// and the discovery of SQL Servers on the network.
#pragma once

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Lists.h"
#include "Menus.h"
#include "RxMemDS.h"
#include "StdCtrls.h"
#include "Threads.h"
#include "Timers.h"
#include "abfComponents.h"
#include "untAdd.h"
#include "siComp.h"

#include <winsock2.h>

#include <string>
#include <vector>

// The program's registry key under HKEY_CURRENT_USER, and the autorun key and value under
// HKEY_LOCAL_MACHINE.
inline constexpr const char* ProgramRegKey = "\\Software\\Quarnel Backup for MS SQL Server";
inline constexpr const char* AutoRunRegKey = "Software\\microsoft\\windows\\currentVersion\\Run";
inline constexpr const char* AutoRunValueName = "Quarnel Backup for MS SQL Server";
// The message the socket layer posts when a discovery reply can be read (WM_APP + 600).
inline constexpr UINT WM_SERVERREPLY = 0x8258;
// The window's own message that hides it after its first activation under "/hide".
inline constexpr UINT WM_HIDEATSTART = WM_SERVERREPLY + 1;
// The window's own message that finishes its start once it is painted: the tray icon and the
// server discovery.
inline constexpr UINT WM_STARTAFTERPAINT = WM_SERVERREPLY + 2;
// Images of the tray menu's autorun item.
inline constexpr int AutoRunOnImage = 29;
inline constexpr int AutoRunOffImage = 30;

// Where the discovery request goes: the limited broadcast address and the resolution protocol's
// port, unless the run command or a test points it at a stand-in on loopback. An empty address
// puts the broadcast back.
void SetDiscoveryAddress(const std::string& Address, u_short Port);

// Whether the command line (the parameters after the program's own name) asks the window to start
// hidden: the first parameter exactly "/hide".
bool HideRequested(const std::vector<std::string>& Params);

// The server names one discovery reply lists: for each record, ServerName's host, and for the
// default instance the host alone before host\MSSQLSERVER. Bytes: the datagram without its
// three-byte header.
std::vector<std::string> ParseServerReply(std::string_view Bytes);

// The connection strings of the main window and the wizard. A value holding ";" is quoted as
// connection strings allow, so that it cannot end its pair early; other values stay as typed.
std::string WindowsAuthConnectString(const std::string& Server);
std::string SqlLoginConnectString(const std::string& Server, const std::string& Login, const std::string& Password);

// Closes the discovery socket and ends the use of the socket library, on the main thread, after the
// search has had its time: the thread only waits.
class TClearSocketThread : public TThread {
    DECLARE_CLASS(TClearSocketThread, TThread)
public:
    // Starts at once; Done runs on the main thread when the delay is over. The window that started
    // it frees it (Free waits for the end and serves Done meanwhile).
    TClearSocketThread(SOCKET Socket, DWORD Delay, const TNotifyEvent& Done);
    SOCKET Socket() const { return FSocket; }

protected:
    void Execute() override;

private:
    SOCKET FSocket;
    DWORD FDelay;
};

class TfrmSetting : public TForm {
    DECLARE_CLASS(TfrmSetting, TForm)
public:
    explicit TfrmSetting(TComponent* AOwner);
    ~TfrmSetting() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmSetting>& B);

    TComboBox* cbServers = nullptr;
    TRadioButton* rbNT = nullptr;
    TRadioButton* rbnamePassword = nullptr;
    TEdit* edSQLName = nullptr;
    TEdit* edSQLPassword = nullptr;
    TButton* btnOpen = nullptr;
    TBitBtn* bbJourn = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* tbPlus = nullptr;
    TToolButton* tbEdit = nullptr;
    TToolButton* tbDelete = nullptr;
    TPanel* pnlBottom = nullptr;
    TLabel* lbAct = nullptr;
    TStatusBar* sbBar = nullptr;
    TDBGrid* DBGridMain = nullptr;
    TDataSource* dsSettings = nullptr;
    TRxMemoryData* MemSettitngs = nullptr;
    TADOConnection* ADOConnection = nullptr;
    TTimer* tmThreadTimerBackup = nullptr;
    TTimer* tmResultat = nullptr;
    TPopupMenu* PopupMenu = nullptr;
    TMenuItem* pmOpenProgram = nullptr;
    TMenuItem* pmAutoRun = nullptr;
    TMenuItem* pmCheckTime = nullptr;
    TMenuItem* mmRestoreDb = nullptr;
    TMenuItem* mmHelp = nullptr;
    TMenuItem* pmAbout = nullptr;
    TMenuItem* mmLang = nullptr;
    TMenuItem* pmClose = nullptr;
    TabfOneInstance* abfOneInstance1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* mH = nullptr;
    TsiLang* siLang1 = nullptr;
    TsiLangDispatcher* siLangDispatcher = nullptr;
    TabfTrayIcon* TrayIcon = nullptr;
    TImageList* ImageList1 = nullptr;

    // Messages of the active language (UpdateStrings).
    std::string strrsConnect, strrsNoConnect, strrsListServer, strrsHide, strrsOpen, strrsStart, strrsTimerBegin,
        strrsTimerEnd, strrsMin, strrsServerEnd, strrsSer, strrsConnectYes, strrsConnectNo, strrsStateCheck, strrsP,
        strrsRes, strrsSucc, strrsInsTask, strsYes, strsNo, strsDelC, strsDelCont;

    void UpdateStrings();
    void LoadRegParam();
    void SaveForClose();
    void CheckMenu();
    void RefreshLang();
    void RefreshLanguageTable();
    void ReopenResultat();
    void SearchServers();
    std::string CreateConnectString();
    void ReserchServer();
    // The yes/no question of the main window: the standard dialog with the window's own yes and no
    // texts on its OK and Cancel buttons, on top of every window. Gives the modal result.
    int MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption, TMsgDlgButtons Buttons);

    // State the other windows and the tests read.
    bool Busy() const { return FBusy; }
    bool StartedHidden() const { return FStartedHidden; }
    TDateTime StartTime() const { return FStartTime; }
    const std::string& CurrentConnectString() const { return FConnectString; }
    TStrings* FoundServers() const { return FServers.get(); }
    bool Searching() const { return FSocket != INVALID_SOCKET; }

    // Handlers bound by the form resource.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void tbPlusClick(TObject* Sender);
    void tbEditClick(TObject* Sender);
    void tbDeleteClick(TObject* Sender);
    void DBGridMainCellClick(TColumn* Column);
    void DBGridMainDblClick(TObject* Sender);
    void DBGridMainDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                                  TGridDrawState State);
    void tmThreadTimerBackupTimer(TObject* Sender);
    void tmResultatTimer(TObject* Sender);
    void PopupMenuPopup(TObject* Sender);
    void pmOpenProgramClick(TObject* Sender);
    void pmAutoRunClick(TObject* Sender);
    void pmCheckTimeClick(TObject* Sender);
    void mmRestoreDbClick(TObject* Sender);
    void pmAboutClick(TObject* Sender);
    void bbJournClick(TObject* Sender);
    void pmCloseClick(TObject* Sender);
    void mmHelpClick(TObject* Sender);
    void mHClick(TObject* Sender);
    void mmLangClick(TObject* Sender);
    void siLang1ChangeLanguage(TObject* Sender);
    void btnOpenClick(TObject* Sender);
    void rbNTClick(TObject* Sender);
    void rbnamePasswordClick(TObject* Sender);
    void cbServersCloseUp(TObject* Sender);
    void ADOConnectionAfterConnect(TObject* Sender);
    void ADOConnectionAfterDisconnect(TObject* Sender);
    void sbBarDrawPanel(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect);

protected:
    void WMSysCommand(TMessage& Message);
    void WMServerReply(TMessage& Message);
    void WMHideAtStart(TMessage& Message);
    void WMStartAfterPaint(TMessage& Message);
    // A window hidden before its first paint finishes its start at once.
    void DoHide() override;

private:
    // Shows the refusal while a tick runs, and says whether it did.
    bool RefusedWhileBusy();
    bool HasTasks() const;
    void RunWizard(TWizardMode Mode);
    // The language item offers the language that is not Active; SetLanguage also switches every window.
    void ShowLanguageItem(int Active);
    void SetLanguage(int Language);
    void SetLoginEditable(bool Editable);
    void ShowStatusTimer(const std::string& After);
    void ShowConnectionState();
    std::string ResultText(const std::string& Result) const;
    bool AutoRunSet();
    void SearchDone(TObject* Sender);
    void CloseDiscoverySocket();
    void HideWindow();
    // What the start leaves until the window is painted: the slow calls to the shell and the
    // network, which show nothing inside the window. Runs once.
    void FinishStart();

    TDateTime FStartTime = 0;
    bool FStartedHidden = false;
    bool FBusy = false;
    bool FTickPending = false;
    bool FStartPending = false;
    std::string FLastField;
    std::string FConnectString;
    TOwned<TStringList> FServers;
    SOCKET FSocket = INVALID_SOCKET;
    TClearSocketThread* FClearThread = nullptr;
};

extern TfrmSetting* frmSetting;

// Shows a longer text with a caption in the program's message window, modally.
void ShowMyDialog(const std::string& Text, const std::string& Caption);
