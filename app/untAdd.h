// The task wizard: the modal window through which the user adds a backup task or edits the task that
// is current in the main window's task table. Seven pages: the schedule kind, one page per kind (the
// database, time, folder and the kind's own choices), the archive options and a summary whose Apply
// writes one record of the table and has the main window write the whole table to "Settings.ini".
#pragma once

#include "Buttons.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sCheckBox.h"
#include "sCustomComboEdit.h"
#include "sEdit.h"
#include "sLabel.h"
#include "sMemo.h"
#include "sSpinEdit.h"
#include "sTooledit.h"
#include "siComp.h"

#include <string>
#include <vector>

// The task table's database units and the shell tree's unit name different things alike; the header
// keeps to pointers so that the folder chooser can include both sides.
class TADOConnection;
class TADOQuery;

enum TWizardMode { wmAdd = 0, wmEdit = 1 };

// What the server says of a folder: a directory it sees, none, or no answer (no open connection,
// or the question failed).
enum TFolderAnswer { faFound, faNotFound, faUndecided };

// The values of one task as the wizard's pages hold them, converted and checked, ready to be written
// into a record of the task table. Fields a kind does not use stay unset and are written as null.
struct TTaskValues {
    std::string Type, DBName, Path, Server, StrConnect;
    int Hour = 0, Min = 0;
    // Type1: 0 none of its radios, 1 daily, 2 every N days, 3 working days.
    int Type1Kind = 0;
    int EveryType1 = 0, EveryHour = 0;
    int EveryType2 = 0;
    std::string DayType2;
    TDateTime DateType3 = 0;
    int OnceType3 = 0;
    int EveryWeekType4 = 0;
    std::string MonthType4;
    bool bitArch = false, bitPwdArch = false;
    std::string strPwdArch;
};

class TfrmAdd : public TForm {
    DECLARE_CLASS(TfrmAdd, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmAdd>& B);

    TNotebook* Notebook = nullptr;
    // Start
    TRadioButton* rbType3 = nullptr;
    TRadioButton* rbType1 = nullptr;
    TRadioButton* rbType2 = nullptr;
    TRadioButton* rbType4 = nullptr;
    TsLabel* lblServerName = nullptr;
    TsEdit* leServerName = nullptr;
    // Type1
    TsLabel* lblDB = nullptr;
    TsComboEdit* edDB = nullptr;
    TsLabel* lblHourMinType1 = nullptr;
    TsTimePicker* seHourMinType1 = nullptr;
    TsLabel* lblFolder = nullptr;
    TsComboEdit* deFolder = nullptr;
    TRadioButton* rbDailyType1 = nullptr;
    TRadioButton* rbEveryType1 = nullptr;
    TsSpinEdit* seEveryType1 = nullptr;
    TRadioButton* rbWeekdaysType1 = nullptr;
    TCheckBox* cbEveryCbType1 = nullptr;
    TsLabel* lblEveryHourType1 = nullptr;
    TsSpinEdit* seEveryHourType1 = nullptr;
    // Type2
    TsLabel* lblBaseType2 = nullptr;
    TsComboEdit* edBaseType2 = nullptr;
    TsLabel* lblHourMinType2 = nullptr;
    TsTimePicker* seHourMinType2 = nullptr;
    TsLabel* lblFolderType2 = nullptr;
    TsComboEdit* deFolderType2 = nullptr;
    TsLabel* lblWeekType2 = nullptr;
    TsSpinEdit* seWeekType2 = nullptr;
    TsCheckBox* cbDay1 = nullptr;
    TsCheckBox* cbDay2 = nullptr;
    TsCheckBox* cbDay3 = nullptr;
    TsCheckBox* cbDay4 = nullptr;
    TsCheckBox* cbDay5 = nullptr;
    TsCheckBox* cbDay6 = nullptr;
    TsCheckBox* cbDay7 = nullptr;
    // Type3
    TsLabel* lblBaseType3 = nullptr;
    TsComboEdit* edBaseType3 = nullptr;
    TsLabel* lblHourMinType3 = nullptr;
    TsTimePicker* seHourMinType3 = nullptr;
    TsLabel* lblFolderType3 = nullptr;
    TsComboEdit* deFolderType3 = nullptr;
    TsLabel* lblDateType3 = nullptr;
    TsDateEdit* dtDateType3 = nullptr;
    TsCheckBox* cbOnceType3 = nullptr;
    // Type4
    TsLabel* lblBaseType4 = nullptr;
    TsComboEdit* edBaseType4 = nullptr;
    TsLabel* lblHourTimeType4 = nullptr;
    TsTimePicker* seHourTimeType4 = nullptr;
    TsLabel* lblFolderType4 = nullptr;
    TsComboEdit* deFolderType4 = nullptr;
    TsLabel* lblWeekType4 = nullptr;
    TsSpinEdit* seWeekType4 = nullptr;
    TCheckBox* cb1Type4 = nullptr;
    TCheckBox* cb2Type4 = nullptr;
    TCheckBox* cb3Type4 = nullptr;
    TCheckBox* cb4Type4 = nullptr;
    TCheckBox* cb5Type4 = nullptr;
    TCheckBox* cb6Type4 = nullptr;
    TCheckBox* cb7Type4 = nullptr;
    TCheckBox* cb8Type4 = nullptr;
    TCheckBox* cb9Type4 = nullptr;
    TCheckBox* cb10Type4 = nullptr;
    TCheckBox* cb11Type4 = nullptr;
    TCheckBox* cb12Type4 = nullptr;
    // Archive
    TCheckBox* cbArch = nullptr;
    TCheckBox* cbArchPwd = nullptr;
    TsEdit* edPasswordArch = nullptr;
    TsLabel* lblPasswordArch2 = nullptr;
    TsEdit* edPasswordArch2 = nullptr;
    // Finish
    TsMemo* memRes = nullptr;
    // The buttons under the pages: each page shows those it has.
    TButton* btnBack = nullptr;
    TButton* btnNext = nullptr;
    TButton* btnApply = nullptr;
    TButton* btnCancel = nullptr;

    TADOConnection* ADOConnectionUpdate = nullptr;
    TADOQuery* qryFolderExists = nullptr;
    TsiLang* siLang1 = nullptr;

    // Messages of the active language (UpdateStrings).
    std::string strrsNoDb, strrsNoArch, strrsFolderNone, strsNoPwd, strrsAddTask, strrsLinkServ, strrsP, strrsW,
        strrsDaily, strrsEvery, strrsDay, strrsOnWeekdays, strrsOnce, strrsRun, strrsMontly, strrsDB, strrsDate,
        strrsHour, strrsMin, strrsPath, strrsRunYes, strrsRunNo, strrsBadChars;

    void UpdateStrings();
    // Empties every page and puts the defaults back.
    void ClearWizard();
    // Fills the pages from the record that is current in the task table.
    void LoadStringInWizard();
    // The pages' values for the record, converted and checked: raises EConvertError for a number that
    // does not convert, and for a character that a task line cannot keep.
    TTaskValues CollectValues();
    // Every field of the current record but `ID` null, posted.
    void ClearCurrentString();
    // Writes Values into the current record and posts it.
    void UpdateCurrentString(const TTaskValues& Values);
    // The name of the page on show ("Start", "Type1" ... "Finish").
    std::string ActivePageName() const;
    // The database and folder edits of a kind page; null for any other page.
    TCustomEdit* DatabaseEdit(const std::string& Page) const;
    TCustomEdit* FolderEdit(const std::string& Page) const;
    // The summary of the kind page Page, in the active language.
    std::string BuildSummary(const std::string& Page);
    // The connection the pickers use: the main window's in add mode, the wizard's own in edit mode.
    TADOConnection* FolderConnection() const;
    // Asks the server whether it sees a directory at Path, through `qryFolderExists` on Connection.
    TFolderAnswer ServerFolderTest(TADOConnection* Connection, const std::string& Path);
    // The way to the database picker: the right connection, connected after asking when needed.
    void ConnectedForAddAndUpdate();
    // The question dialog with the main window's yes and no texts.
    int MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption, TMsgDlgButtons Buttons);

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btnNextClick(TObject* Sender);
    void btnBackClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void btnApplyClick(TObject* Sender);
    void rbDailyType1Click(TObject* Sender);
    void rbEveryType1Click(TObject* Sender);
    void rbWeekdaysType1Click(TObject* Sender);
    void cbEveryCbType1Click(TObject* Sender);
    void cbOnceType3Click(TObject* Sender);
    void cbArchClick(TObject* Sender);
    void cbArchPwdClick(TObject* Sender);
    void edDBButtonClick(TObject* Sender);
    void deFolderButtonClick(TObject* Sender);
    void siLang1ChangeLanguage(TObject* Sender);

private:
    void ShowPage(const std::string& Name);
    // The kind page of the checked kind radio, or "" when none is checked.
    std::string CheckedKindPage() const;
    // The checks of leaving a kind page; false after telling the user why.
    bool LeaveKindPage(const std::string& Page);
    // The folder test of a kind page: the server's answer when it can give one, else the probe here.
    bool FolderUsable(const std::string& Folder);
    void SetPasswordEdits(bool Enabled);
    // Apply's work on the table and "Settings.ini"; on any failure the table is put back as it was
    // and the error raised again.
    void ApplyTask(const TTaskValues& Values);

    std::string FSummary;
    std::string FServer, FStrConnect;
};

// The open wizard, or null; emptied when it closes.
extern TfrmAdd* frmAdd;
// Add or edit: set by the main window before every showing; read by the wizard and the folder chooser.
extern TWizardMode WizardMode;
// Set by Apply when "run the task after creation" is checked; read and cleared by the main window.
extern bool WizardRunNow;

// The main window's way in: creates the wizard when there is none, sets the mode, shows it modally and
// gives whether the saved task asks to run at once (the flag is cleared).
bool ShowTaskWizard(TWizardMode Mode);

// The probe test: creates and deletes "Quarnel_Params.INI" in Folder (trimmed) on this computer.
// When the file cannot be created, Message is shown in a plain message box and the answer is false.
bool CheckFolderWritable(const std::string& Folder, const std::string& Message);

// The day or month list of a task: the numbers of the checked boxes joined by "," ("" for none).
// ListHasNumber (untSettingTasks.h) reads such a list back.
std::string NumberList(const std::vector<bool>& Checked);

// The server a connection string names: everything after its first "Data Source=" ("" when it has
// none), cut before the next ";" when CutAtSemicolon (a task's stored string carries "|" instead).
std::string DataSourceOf(const std::string& ConnectionString, bool CutAtSemicolon);
