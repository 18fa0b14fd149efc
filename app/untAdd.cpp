#include "untAdd.h"

#include "ADODB.h"
#include "DateUtils.h"
#include "Dialogs.h"
#include "untDB.h"
#include "untFolder.h"
#include "untMyDialog.h"
#include "untSetting.h"
#include "untSettingTasks.h"

#include <windows.h>

#include <algorithm>
#include <functional>

TfrmAdd* frmAdd = nullptr;
TWizardMode WizardMode = wmAdd;
bool WizardRunNow = false;

namespace {

constexpr const char* PlacementKey = "frmAdd";
constexpr const char* ProbeFileName = "Quarnel_Params.INI";

// The kind pages with their database and folder edits.
struct TKindPage {
    const char* Name;
    TsComboEdit* TfrmAdd::*Database;
    TsComboEdit* TfrmAdd::*Folder;
};
const TKindPage KindPages[] = {{"Type1", &TfrmAdd::edDB, &TfrmAdd::deFolder},
                               {"Type2", &TfrmAdd::edBaseType2, &TfrmAdd::deFolderType2},
                               {"Type3", &TfrmAdd::edBaseType3, &TfrmAdd::deFolderType3},
                               {"Type4", &TfrmAdd::edBaseType4, &TfrmAdd::deFolderType4}};

const TKindPage* FindKindPage(const std::string& Name) {
    for (const TKindPage& K : KindPages)
        if (Name == K.Name)
            return &K;
    return nullptr;
}

void PickedTime(TsTimePicker* Picker, int& Hour, int& Min) {
    Word H, M, S, MS;
    DecodeTime(Picker->GetTime(), H, M, S, MS);
    Hour = H;
    Min = M;
}

// A stored hour and minute outside a day show as midnight rather than failing the whole load.
void SetPickedTime(TsTimePicker* Picker, int Hour, int Min) {
    TDateTime T = 0;
    if (!TryEncodeTime(Hour, Min, 0, 0, T))
        T = 0;
    Picker->SetTime(T);
}

// Sets a box without running its click: loading a task is not the user's choice, so the box's side
// effects (such as taking the current time) must not overwrite the values being loaded.
void SetQuietly(TCustomCheckBox* Box, bool Checked) {
    TNotifyEvent Saved = Box->OnClick;
    Box->OnClick = nullptr;
    try {
        Box->SetChecked(Checked);
    } catch (...) {
        Box->OnClick = Saved;
        throw;
    }
    Box->OnClick = Saved;
}

// A task line cannot keep these: ";" ends its field, CR and LF end the line.
bool HoldsLineBreakers(const std::string& S) { return S.find_first_of(";\r\n") != std::string::npos; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lists of numbers

std::string NumberList(const std::vector<bool>& Checked) {
    std::string List;
    for (std::size_t I = 0; I < Checked.size(); ++I)
        if (Checked[I])
            List += IntToStr(static_cast<int>(I) + 1) + ",";
    if (!List.empty())
        List.pop_back();
    return List;
}

std::string DataSourceOf(const std::string& ConnectionString, bool CutAtSemicolon) {
    static const std::string Key = "Data Source=";
    const std::size_t P = ConnectionString.find(Key);
    if (P == std::string::npos)
        return std::string();
    std::string Server = ConnectionString.substr(P + Key.size());
    if (CutAtSemicolon)
        Server = Server.substr(0, Server.find(';'));
    return Server;
}

// ---------------------------------------------------------------------------------------------
// The probe test

bool CheckFolderWritable(const std::string& Folder, const std::string& Message) {
    const std::string Probe = Trim(Folder) + "\\" + ProbeFileName;
    if (FileExists(Probe))
        DeleteFile(Probe);
    HANDLE H = CreateFileA(Probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE) {
        ShowMessage(Message);
        return false;
    }
    CloseHandle(H);
    DeleteFile(Probe);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TfrmAdd

void TfrmAdd::DefineClass(TClassBuilder<TfrmAdd>& B) {
    using T = TfrmAdd;
    B.Field("Notebook", &T::Notebook);
    B.Field("rbType3", &T::rbType3);
    B.Field("rbType1", &T::rbType1);
    B.Field("rbType2", &T::rbType2);
    B.Field("rbType4", &T::rbType4);
    B.Field("lblServerName", &T::lblServerName);
    B.Field("leServerName", &T::leServerName);
    B.Field("lblDB", &T::lblDB);
    B.Field("edDB", &T::edDB);
    B.Field("lblHourMinType1", &T::lblHourMinType1);
    B.Field("seHourMinType1", &T::seHourMinType1);
    B.Field("lblFolder", &T::lblFolder);
    B.Field("deFolder", &T::deFolder);
    B.Field("rbDailyType1", &T::rbDailyType1);
    B.Field("rbEveryType1", &T::rbEveryType1);
    B.Field("seEveryType1", &T::seEveryType1);
    B.Field("rbWeekdaysType1", &T::rbWeekdaysType1);
    B.Field("cbEveryCbType1", &T::cbEveryCbType1);
    B.Field("lblEveryHourType1", &T::lblEveryHourType1);
    B.Field("seEveryHourType1", &T::seEveryHourType1);
    B.Field("lblBaseType2", &T::lblBaseType2);
    B.Field("edBaseType2", &T::edBaseType2);
    B.Field("lblHourMinType2", &T::lblHourMinType2);
    B.Field("seHourMinType2", &T::seHourMinType2);
    B.Field("lblFolderType2", &T::lblFolderType2);
    B.Field("deFolderType2", &T::deFolderType2);
    B.Field("lblWeekType2", &T::lblWeekType2);
    B.Field("seWeekType2", &T::seWeekType2);
    B.Field("cbDay1", &T::cbDay1);
    B.Field("cbDay2", &T::cbDay2);
    B.Field("cbDay3", &T::cbDay3);
    B.Field("cbDay4", &T::cbDay4);
    B.Field("cbDay5", &T::cbDay5);
    B.Field("cbDay6", &T::cbDay6);
    B.Field("cbDay7", &T::cbDay7);
    B.Field("lblBaseType3", &T::lblBaseType3);
    B.Field("edBaseType3", &T::edBaseType3);
    B.Field("lblHourMinType3", &T::lblHourMinType3);
    B.Field("seHourMinType3", &T::seHourMinType3);
    B.Field("lblFolderType3", &T::lblFolderType3);
    B.Field("deFolderType3", &T::deFolderType3);
    B.Field("lblDateType3", &T::lblDateType3);
    B.Field("dtDateType3", &T::dtDateType3);
    B.Field("cbOnceType3", &T::cbOnceType3);
    B.Field("lblBaseType4", &T::lblBaseType4);
    B.Field("edBaseType4", &T::edBaseType4);
    B.Field("lblHourTimeType4", &T::lblHourTimeType4);
    B.Field("seHourTimeType4", &T::seHourTimeType4);
    B.Field("lblFolderType4", &T::lblFolderType4);
    B.Field("deFolderType4", &T::deFolderType4);
    B.Field("lblWeekType4", &T::lblWeekType4);
    B.Field("seWeekType4", &T::seWeekType4);
    B.Field("cb1Type4", &T::cb1Type4);
    B.Field("cb2Type4", &T::cb2Type4);
    B.Field("cb3Type4", &T::cb3Type4);
    B.Field("cb4Type4", &T::cb4Type4);
    B.Field("cb5Type4", &T::cb5Type4);
    B.Field("cb6Type4", &T::cb6Type4);
    B.Field("cb7Type4", &T::cb7Type4);
    B.Field("cb8Type4", &T::cb8Type4);
    B.Field("cb9Type4", &T::cb9Type4);
    B.Field("cb10Type4", &T::cb10Type4);
    B.Field("cb11Type4", &T::cb11Type4);
    B.Field("cb12Type4", &T::cb12Type4);
    B.Field("cbArch", &T::cbArch);
    B.Field("cbArchPwd", &T::cbArchPwd);
    B.Field("edPasswordArch", &T::edPasswordArch);
    B.Field("lblPasswordArch2", &T::lblPasswordArch2);
    B.Field("edPasswordArch2", &T::edPasswordArch2);
    B.Field("memRes", &T::memRes);
    B.Field("btnBack", &T::btnBack);
    B.Field("btnNext", &T::btnNext);
    B.Field("btnApply", &T::btnApply);
    B.Field("btnCancel", &T::btnCancel);
    B.Field("ADOConnectionUpdate", &T::ADOConnectionUpdate);
    B.Field("qryFolderExists", &T::qryFolderExists);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormCreate>("FormCreate");
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::btnNextClick>("btnNextClick");
    B.Method<&T::btnBackClick>("btnBackClick");
    B.Method<&T::btnCancelClick>("btnCancelClick");
    B.Method<&T::btnApplyClick>("btnApplyClick");
    B.Method<&T::rbDailyType1Click>("rbDailyType1Click");
    B.Method<&T::rbEveryType1Click>("rbEveryType1Click");
    B.Method<&T::rbWeekdaysType1Click>("rbWeekdaysType1Click");
    B.Method<&T::cbEveryCbType1Click>("cbEveryCbType1Click");
    B.Method<&T::cbOnceType3Click>("cbOnceType3Click");
    B.Method<&T::cbArchClick>("cbArchClick");
    B.Method<&T::cbArchPwdClick>("cbArchPwdClick");
    B.Method<&T::edDBButtonClick>("edDBButtonClick");
    B.Method<&T::deFolderButtonClick>("deFolderButtonClick");
    B.Method<&T::siLang1ChangeLanguage>("siLang1ChangeLanguage");
}

void TfrmAdd::BeforeDestruction() {
    if (frmAdd == this)
        frmAdd = nullptr;
    TForm::BeforeDestruction();
}

void TfrmAdd::UpdateStrings() {
    struct TEntry {
        std::string TfrmAdd::*Variable;
        const char* Key;
    };
    static const TEntry Entries[] = {
        {&TfrmAdd::strrsNoDb, "strrsNoDb"},           {&TfrmAdd::strrsNoArch, "strrsNoArch"},
        {&TfrmAdd::strrsFolderNone, "strrsFolderNone"}, {&TfrmAdd::strsNoPwd, "strsNoPwd"},
        {&TfrmAdd::strrsAddTask, "strrsAddTask"},     {&TfrmAdd::strrsLinkServ, "strrsLinkServ"},
        {&TfrmAdd::strrsP, "strrsP"},                 {&TfrmAdd::strrsW, "strrsW"},
        {&TfrmAdd::strrsDaily, "strrsDaily"},         {&TfrmAdd::strrsEvery, "strrsEvery"},
        {&TfrmAdd::strrsDay, "strrsDay"},             {&TfrmAdd::strrsOnWeekdays, "strrsOnWeekdays"},
        {&TfrmAdd::strrsOnce, "strrsOnce"},           {&TfrmAdd::strrsRun, "strrsRun"},
        {&TfrmAdd::strrsMontly, "strrsMontly"},       {&TfrmAdd::strrsDB, "strrsDB"},
        {&TfrmAdd::strrsDate, "strrsDate"},           {&TfrmAdd::strrsHour, "strrsHour"},
        {&TfrmAdd::strrsMin, "strrsMin"},             {&TfrmAdd::strrsPath, "strrsPath"},
        {&TfrmAdd::strrsRunYes, "strrsRunYes"},       {&TfrmAdd::strrsRunNo, "strrsRunNo"},
        {&TfrmAdd::strrsBadChars, "strrsBadChars"},
    };
    for (const TEntry& E : Entries)
        this->*E.Variable = siLang1->GetTextOrDefault(E.Key);
}

void TfrmAdd::siLang1ChangeLanguage(TObject*) { UpdateStrings(); }

void TfrmAdd::FormCreate(TObject*) {
    UpdateStrings();
    LoadDialogPlacement(this, PlacementKey, false);
}

int TfrmAdd::MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption,
                           TMsgDlgButtons Buttons) {
    return ::MessageDialog(Msg, DlgType, Caption, Buttons, frmSetting ? frmSetting->strsYes : std::string(),
                           frmSetting ? frmSetting->strsNo : std::string());
}

void TfrmAdd::FormShow(TObject*) {
    ClearWizard();
    ShowPage("Start");
    if (WizardMode == wmEdit) {
        LoadStringInWizard();
        leServerName->SetText(frmSetting->MemSettitngs->FieldByName("Server")->AsString());
    } else {
        rbType3->SetChecked(true);
        leServerName->SetText(Trim(frmSetting->cbServers->Text()));
    }
    if (ADOConnectionUpdate->Connected())
        ADOConnectionUpdate->Close();
    BringToFront();
}

void TfrmAdd::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, false);
    Action = caFree;
    if (frmAdd == this)
        frmAdd = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Pages

std::string TfrmAdd::ActivePageName() const { return Notebook->ActivePage(); }

TCustomEdit* TfrmAdd::DatabaseEdit(const std::string& Page) const {
    const TKindPage* K = FindKindPage(Page);
    return K ? this->*K->Database : nullptr;
}

TCustomEdit* TfrmAdd::FolderEdit(const std::string& Page) const {
    const TKindPage* K = FindKindPage(Page);
    return K ? this->*K->Folder : nullptr;
}

std::string TfrmAdd::CheckedKindPage() const {
    const TRadioButton* Radios[] = {rbType1, rbType2, rbType3, rbType4};
    for (int I = 0; I < 4; ++I)
        if (Radios[I]->Checked())
            return KindPages[I].Name;
    return std::string();
}

void TfrmAdd::ShowPage(const std::string& Name) {
    Notebook->SetActivePage(Name);
    const bool First = Name == "Start", Last = Name == "Finish";
    btnBack->SetVisible(!First);
    btnNext->SetVisible(!Last);
    btnApply->SetVisible(Last);
}

void TfrmAdd::ClearWizard() {
    for (TRadioButton* R : {rbType1, rbType2, rbType3, rbType4, rbDailyType1, rbEveryType1, rbWeekdaysType1})
        R->SetChecked(false);
    for (TCustomEdit* E : {edDB, edBaseType2, edBaseType3, edBaseType4, deFolder, deFolderType2, deFolderType3,
                           deFolderType4})
        E->SetText("");
    for (TsTimePicker* P : {seHourMinType1, seHourMinType2, seHourMinType3, seHourTimeType4})
        P->SetTime(0);
    seEveryType1->SetValue(seEveryType1->MinValue());
    cbEveryCbType1->SetChecked(false);
    seEveryHourType1->SetValue(0);
    seEveryHourType1->SetEnabled(false);
    for (TCustomCheckBox* C : std::initializer_list<TCustomCheckBox*>{
             cbDay1, cbDay2, cbDay3, cbDay4, cbDay5, cbDay6, cbDay7, cb1Type4, cb2Type4, cb3Type4, cb4Type4, cb5Type4,
             cb6Type4, cb7Type4, cb8Type4, cb9Type4, cb10Type4, cb11Type4, cb12Type4})
        C->SetChecked(false);
    seWeekType2->SetValue(1);
    seWeekType4->SetValue(1);
    dtDateType3->SetDate(Date());
    cbOnceType3->SetChecked(false);
}

void TfrmAdd::btnNextClick(TObject*) {
    const std::string Page = ActivePageName();
    if (Page == "Start") {
        const std::string Kind = CheckedKindPage();
        if (Kind.empty())
            return;
        if (WizardMode == wmAdd && Kind == "Type1")
            rbDailyType1->SetChecked(true);
        ShowPage(Kind);
    } else if (DatabaseEdit(Page)) {
        if (LeaveKindPage(Page))
            ShowPage("Archive");
    } else if (Page == "Archive") {
        if (edPasswordArch->Text() == edPasswordArch2->Text())
            ShowPage("Finish");
        else
            ShowMessage(strsNoPwd);
    }
}

void TfrmAdd::btnBackClick(TObject*) {
    const std::string Page = ActivePageName();
    if (DatabaseEdit(Page))
        ShowPage("Start");
    else if (Page == "Archive") {
        const std::string Kind = CheckedKindPage();
        if (!Kind.empty())
            ShowPage(Kind);
    } else if (Page == "Finish")
        ShowPage("Archive");
}

void TfrmAdd::btnCancelClick(TObject*) { Close(); }

TADOConnection* TfrmAdd::FolderConnection() const {
    if (WizardMode == wmEdit)
        return ADOConnectionUpdate;
    return frmSetting ? frmSetting->ADOConnection : nullptr;
}

TFolderAnswer TfrmAdd::ServerFolderTest(TADOConnection* Connection, const std::string& Path) {
    if (!Connection || !Connection->Connected())
        return faUndecided;
    try {
        qryFolderExists->Close();
        qryFolderExists->SetConnection(Connection);
        qryFolderExists->Parameters()->ParamByName("@PathName")->SetValue(Variant(Path));
        qryFolderExists->Open();
        const bool Found = qryFolderExists->FieldByName("Dir")->AsInteger() == 1;
        qryFolderExists->Close();
        return Found ? faFound : faNotFound;
    } catch (const Exception&) {
        return faUndecided;
    }
}

bool TfrmAdd::FolderUsable(const std::string& Folder) {
    // The backup is written by the server: its word counts first. An empty folder has no server answer;
    // it is probed here and then reported as missing by the caller.
    if (!Trim(Folder).empty()) {
        switch (ServerFolderTest(FolderConnection(), Trim(Folder))) {
        case faFound: return true;
        case faNotFound: ShowMessage(strrsFolderNone); return false;
        case faUndecided: break;
        }
    }
    return CheckFolderWritable(Folder, strrsFolderNone);
}

bool TfrmAdd::LeaveKindPage(const std::string& Page) {
    if (!FolderUsable(FolderEdit(Page)->Text()))
        return false;
    if (Trim(DatabaseEdit(Page)->Text()).empty()) {
        ShowMyDialog(strrsNoDb, strrsP);
        return false;
    }
    if (Trim(FolderEdit(Page)->Text()).empty()) {
        ShowMyDialog(strrsNoArch, strrsP);
        return false;
    }
    FSummary = BuildSummary(Page);
    memRes->SetText(FSummary);
    return true;
}

std::string TfrmAdd::BuildSummary(const std::string& Page) {
    std::vector<std::string> Lines;
    int H = 0, M = 0;
    auto TimeAndPath = [&](TsTimePicker* Picker) {
        PickedTime(Picker, H, M);
        Lines.push_back(strrsHour + ": " + IntToStr(H));
        Lines.push_back(strrsMin + ": " + IntToStr(M));
        Lines.push_back(strrsPath + ": " + FolderEdit(Page)->Text());
    };
    const std::string DBLine = strrsDB + ": " + DatabaseEdit(Page)->Text();
    auto CheckedCaptions = [](std::initializer_list<TCustomCheckBox*> Boxes) {
        std::string Line;
        for (TCustomCheckBox* C : Boxes)
            if (C->Checked())
                Line += C->Caption() + ";";
        return Line;
    };
    if (Page == "Type1") {
        if (rbDailyType1->Checked())
            Lines.push_back(strrsDaily);
        else if (rbEveryType1->Checked())
            Lines.push_back(strrsEvery + " " + Trim(seEveryType1->Text()) + " " + strrsDay);
        else if (rbWeekdaysType1->Checked())
            Lines.push_back(strrsOnWeekdays);
        else
            Lines.push_back("");
        Lines.push_back(DBLine);
        TimeAndPath(seHourMinType1);
    } else if (Page == "Type2") {
        Lines.push_back(strrsEvery + ":");
        Lines.push_back(CheckedCaptions({cbDay1, cbDay2, cbDay3, cbDay4, cbDay5, cbDay6, cbDay7}));
        Lines.push_back(DBLine);
        TimeAndPath(seHourMinType2);
    } else if (Page == "Type3") {
        Lines.push_back(strrsRun + ": " + strrsOnce);
        Lines.push_back(DBLine);
        Lines.push_back(strrsDate + ": " + DateToStr(dtDateType3->Date()));
        TimeAndPath(seHourMinType3);
        Lines.push_back(cbOnceType3->Checked() ? strrsRunYes : strrsRunNo);
    } else if (Page == "Type4") {
        Lines.push_back(strrsMontly);
        Lines.push_back(CheckedCaptions({cb1Type4, cb2Type4, cb3Type4, cb4Type4, cb5Type4, cb6Type4, cb7Type4,
                                         cb8Type4, cb9Type4, cb10Type4, cb11Type4, cb12Type4}));
        Lines.push_back(strrsDay + ": " + Trim(seWeekType4->Text()));
        Lines.push_back(DBLine);
        TimeAndPath(seHourTimeType4);
    }
    std::string Text;
    for (std::size_t I = 0; I < Lines.size(); ++I)
        Text += (I ? "\r\n" : "") + Lines[I];
    return Text;
}

// ---------------------------------------------------------------------------------------------
// Page controls

void TfrmAdd::rbDailyType1Click(TObject*) {
    seEveryType1->SetEnabled(false);
    cbEveryCbType1->SetEnabled(true);
    seEveryHourType1->SetEnabled(true);
}

void TfrmAdd::rbEveryType1Click(TObject*) {
    cbEveryCbType1->SetChecked(false);
    cbEveryCbType1->SetEnabled(false);
    seEveryHourType1->SetEnabled(false);
    seEveryHourType1->SetValue(0);
    seEveryType1->SetEnabled(true);
}

void TfrmAdd::rbWeekdaysType1Click(TObject* Sender) {
    rbEveryType1Click(Sender);
    seEveryType1->SetEnabled(false);
}

void TfrmAdd::cbEveryCbType1Click(TObject*) {
    if (cbEveryCbType1->Checked()) {
        seEveryHourType1->SetEnabled(true);
        if (seEveryHourType1->GetValue() < 1)
            seEveryHourType1->SetValue(1);
    } else
        seEveryHourType1->SetEnabled(false);
}

void TfrmAdd::cbOnceType3Click(TObject*) {
    if (!cbOnceType3->Checked())
        return;
    seHourMinType3->SetTime(Time());
    dtDateType3->SetDate(Date());
}

void TfrmAdd::SetPasswordEdits(bool Enabled) {
    for (TsEdit* E : {edPasswordArch, edPasswordArch2}) {
        E->SetEnabled(Enabled);
        E->SetColor(Enabled ? clWindow : clBtnFace);
        E->SetText("");
    }
}

void TfrmAdd::cbArchClick(TObject*) {
    if (cbArch->Checked()) {
        cbArchPwd->SetEnabled(true);
        cbArchPwd->SetChecked(false);
    } else
        cbArchPwd->SetEnabled(false);
    SetPasswordEdits(false);
}

void TfrmAdd::cbArchPwdClick(TObject*) { SetPasswordEdits(cbArchPwd->Checked()); }

// ---------------------------------------------------------------------------------------------
// The task record

void TfrmAdd::LoadStringInWizard() {
    TDataSet* T = frmSetting->MemSettitngs;
    auto Text = [T](const char* Name) { return T->FieldByName(Name)->AsString(); };
    auto Int = [T](const char* Name) { return static_cast<int>(T->FieldByName(Name)->AsInteger()); };
    auto Flag = [T](const char* Name) { return T->FieldByName(Name)->AsBoolean(); };

    cbArch->SetChecked(false);
    cbArchPwd->SetEnabled(false);
    SetPasswordEdits(false);
    if (Flag("bitArch")) {
        cbArch->SetChecked(true);
        cbArchPwd->SetEnabled(true);
        if (Flag("bitPwdArch")) {
            cbArchPwd->SetChecked(true);
            SetPasswordEdits(true);
            edPasswordArch->SetText(Text("strPwdArch"));
            edPasswordArch2->SetText(Text("strPwdArch"));
        }
    }

    const std::string Type = Text("Type");
    if (Type == "Type1") {
        rbType1->SetChecked(true);
        edDB->SetText(Text("DBName"));
        SetPickedTime(seHourMinType1, Int("Hour"), Int("Min"));
        deFolder->SetText(Text("Path"));
        if (Flag("OnWeekDaysType1")) {
            rbWeekdaysType1->SetChecked(true);
            seEveryType1->SetValue(seEveryType1->MinValue());
        } else if (Flag("DailyOnType1"))
            rbDailyType1->SetChecked(true);
        else {
            rbEveryType1->SetChecked(true);
            seEveryType1->SetValue(Int("EveryType1"));
        }
        const int Hours = Int("EveryHour");
        if (Hours < 1) {
            cbEveryCbType1->SetChecked(false);
            seEveryHourType1->SetValue(0);
            seEveryHourType1->SetEnabled(false);
        } else {
            cbEveryCbType1->SetChecked(true);
            seEveryHourType1->SetValue(Hours);
            seEveryHourType1->SetEnabled(true);
        }
    } else if (Type == "Type2") {
        rbType2->SetChecked(true);
        edBaseType2->SetText(Text("DBName"));
        SetPickedTime(seHourMinType2, Int("Hour"), Int("Min"));
        deFolderType2->SetText(Text("Path"));
        seWeekType2->SetValue(Int("EveryType2"));
        const std::string Days = Text("DayType2");
        TsCheckBox* Boxes[] = {cbDay1, cbDay2, cbDay3, cbDay4, cbDay5, cbDay6, cbDay7};
        for (int I = 0; I < 7; ++I)
            Boxes[I]->SetChecked(ListHasNumber(Days, I + 1));
    } else if (Type == "Type3") {
        rbType3->SetChecked(true);
        edBaseType3->SetText(Text("DBName"));
        SetPickedTime(seHourMinType3, Int("Hour"), Int("Min"));
        deFolderType3->SetText(Text("Path"));
        dtDateType3->SetDate(T->FieldByName("DateType3")->AsDateTime());
        SetQuietly(cbOnceType3, Int("OnceType3") == 1);
    } else if (Type == "Type4") {
        rbType4->SetChecked(true);
        edBaseType4->SetText(Text("DBName"));
        deFolderType4->SetText(Text("Path"));
        seWeekType4->SetValue(Int("EveryWeekType4"));
        SetPickedTime(seHourTimeType4, Int("Hour"), Int("Min"));
        const std::string Months = Text("MonthType4");
        TCheckBox* Boxes[] = {cb1Type4, cb2Type4, cb3Type4, cb4Type4,  cb5Type4,  cb6Type4,
                              cb7Type4, cb8Type4, cb9Type4, cb10Type4, cb11Type4, cb12Type4};
        for (int I = 0; I < 12; ++I)
            Boxes[I]->SetChecked(ListHasNumber(Months, I + 1));
    }
}

TTaskValues TfrmAdd::CollectValues() {
    TTaskValues V;
    const std::string Page = CheckedKindPage();
    if (Page.empty())
        throw EConvertError("No schedule kind is chosen");
    V.Type = Page;
    V.DBName = Trim(DatabaseEdit(Page)->Text());
    V.Path = FolderEdit(Page)->Text();
    if (Page == "Type1") {
        PickedTime(seHourMinType1, V.Hour, V.Min);
        if (rbDailyType1->Checked())
            V.Type1Kind = 1;
        else if (rbEveryType1->Checked()) {
            V.Type1Kind = 2;
            V.EveryType1 = StrToInt(Trim(seEveryType1->Text()));
        } else if (rbWeekdaysType1->Checked())
            V.Type1Kind = 3;
        V.EveryHour = cbEveryCbType1->Checked() ? seEveryHourType1->GetValue() : 0;
    } else if (Page == "Type2") {
        PickedTime(seHourMinType2, V.Hour, V.Min);
        V.EveryType2 = seWeekType2->GetValue();
        V.DayType2 = NumberList({cbDay1->Checked(), cbDay2->Checked(), cbDay3->Checked(), cbDay4->Checked(),
                                 cbDay5->Checked(), cbDay6->Checked(), cbDay7->Checked()});
    } else if (Page == "Type3") {
        PickedTime(seHourMinType3, V.Hour, V.Min);
        V.DateType3 = dtDateType3->Date();
        V.OnceType3 = cbOnceType3->Checked() ? 1 : 0;
    } else {
        PickedTime(seHourTimeType4, V.Hour, V.Min);
        V.EveryWeekType4 = seWeekType4->GetValue();
        V.MonthType4 = NumberList({cb1Type4->Checked(), cb2Type4->Checked(), cb3Type4->Checked(), cb4Type4->Checked(),
                                   cb5Type4->Checked(), cb6Type4->Checked(), cb7Type4->Checked(), cb8Type4->Checked(),
                                   cb9Type4->Checked(), cb10Type4->Checked(), cb11Type4->Checked(),
                                   cb12Type4->Checked()});
    }
    V.bitArch = cbArch->Checked();
    V.bitPwdArch = cbArchPwd->Checked();
    V.strPwdArch = edPasswordArch->Text();

    std::string Connect;
    if (WizardMode == wmAdd) {
        V.Server = Trim(frmSetting->cbServers->Text());
        Connect = frmSetting->CreateConnectString();
        V.StrConnect = StringReplace(Connect, ";", "|", {rfReplaceAll});
    } else {
        TDataSet* T = frmSetting->MemSettitngs;
        V.Server = T->FieldByName("Server")->AsString();
        V.StrConnect = T->FieldByName("StrConnect")->AsString();
    }
    // The task line keeps ";" as its field end and turns "|" back into ";" when the task runs: values
    // holding them would shift the task's fields or change its password and connection.
    const bool Bad = HoldsLineBreakers(V.DBName) || HoldsLineBreakers(V.Path) || HoldsLineBreakers(V.Server) ||
                     HoldsLineBreakers(V.strPwdArch) || V.strPwdArch.find('|') != std::string::npos ||
                     Connect.find('|') != std::string::npos || V.StrConnect.find_first_of(";\r\n") != std::string::npos;
    if (Bad)
        throw EConvertError(strrsBadChars);
    return V;
}

void TfrmAdd::ClearCurrentString() {
    TDataSet* T = frmSetting->MemSettitngs;
    T->Edit();
    for (const char* Name : TaskFieldNames)
        T->FieldByName(Name)->Clear();
    T->Post();
}

void TfrmAdd::UpdateCurrentString(const TTaskValues& V) {
    TDataSet* T = frmSetting->MemSettitngs;
    auto F = [T](const char* Name) { return T->FieldByName(Name); };
    T->Edit();
    F("DateLast")->SetAsDateTime(Now());
    F("Result")->SetAsString(ResultNewTask);
    F("Server")->SetAsString(WizardMode == wmEdit ? FServer : V.Server);
    F("StrConnect")->SetAsString(WizardMode == wmEdit ? FStrConnect : V.StrConnect);
    F("Type")->SetAsString(V.Type);
    F("DBName")->SetAsString(V.DBName);
    F("Hour")->SetAsInteger(V.Hour);
    F("Min")->SetAsInteger(V.Min);
    F("Path")->SetAsString(V.Path);
    if (V.Type == "Type1") {
        if (V.Type1Kind != 0) {
            F("DailyOnType1")->SetAsBoolean(V.Type1Kind == 1);
            F("EveryType1")->SetAsInteger(V.Type1Kind == 1 ? 1 : V.Type1Kind == 2 ? V.EveryType1 : 0);
            F("OnWeekDaysType1")->SetAsBoolean(V.Type1Kind == 3);
        }
        F("EveryHour")->SetAsInteger(V.EveryHour);
    } else if (V.Type == "Type2") {
        F("EveryType2")->SetAsInteger(V.EveryType2);
        F("DayType2")->SetAsString(V.DayType2);
    } else if (V.Type == "Type3") {
        F("DateType3")->SetAsDateTime(V.DateType3);
        F("OnceType3")->SetAsInteger(V.OnceType3);
    } else if (V.Type == "Type4") {
        F("EveryWeekType4")->SetAsInteger(V.EveryWeekType4);
        F("MonthType4")->SetAsString(V.MonthType4);
    }
    F("bitArch")->SetAsBoolean(V.bitArch);
    F("bitPwdArch")->SetAsBoolean(V.bitPwdArch);
    F("strPwdArch")->SetAsString(V.strPwdArch);
    T->Post();
}

namespace {
// One more than the highest ID in the table. The record count is not enough: after a delete it can
// be the ID of a task still there, and the refresh and the edit find their task again by ID, so the
// selection would move to that other task.
LongInt NextTaskID(TDataSet* T) {
    LongInt Next = 0;
    T->DisableControls();
    try {
        for (T->First(); !T->Eof(); T->Next())
            Next = std::max(Next, T->FieldByName("ID")->AsInteger() + 1);
    } catch (...) {
        T->EnableControls();
        throw;
    }
    T->EnableControls();
    return Next;
}
}  // namespace

void TfrmAdd::ApplyTask(const TTaskValues& Values) {
    TDataSet* T = frmSetting->MemSettitngs;
    if (!T->Active())
        T->Open();
    TakeRunResults(T);
    const bool Adding = WizardMode == wmAdd;
    std::vector<Variant> Old;
    LongInt ID = 0;
    if (Adding) {
        const LongInt NewID = NextTaskID(T);
        T->Append();
        T->FieldByName("ID")->SetAsInteger(NewID);
        T->Post();
    } else {
        FServer = T->FieldByName("Server")->AsString();
        FStrConnect = T->FieldByName("StrConnect")->AsString();
        ID = T->FieldByName("ID")->AsInteger();
        for (const char* Name : TaskFieldNames)
            Old.push_back(T->FieldByName(Name)->Value());
    }
    const TBookmark Record = T->GetBookmark();
    try {
        Application->ProcessMessages();
        ClearCurrentString();
        Application->ProcessMessages();
        UpdateCurrentString(Values);
        Application->ProcessMessages();
        if (!Adding)
            ID = T->FieldByName("ID")->AsInteger();
        CloseCurrentFile(T);
        if (!Adding)
            T->Locate("id", Variant(ID), {});
    } catch (...) {
        // Nothing of a failed Apply stays: the table goes back to what "Settings.ini" still holds.
        if (T->State() == dsEdit || T->State() == dsInsert)
            T->Cancel();
        T->GotoBookmark(Record);
        if (Adding)
            T->Delete();
        else {
            T->Edit();
            for (std::size_t I = 0; I < Old.size(); ++I)
                T->FieldByName(TaskFieldNames[I])->SetValue(Old[I]);
            T->Post();
        }
        throw;
    }
}

void TfrmAdd::btnApplyClick(TObject*) {
    TTaskValues Values;
    try {
        Values = CollectValues();
    } catch (const Exception& E) {
        ShowMyDialog(E.Message(), strrsP);
        return;
    }
    if (Application->MessageBox(strrsAddTask, strrsW, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    try {
        ApplyTask(Values);
    } catch (const Exception& E) {
        ShowMyDialog(E.Message(), strrsP);
        return;
    }
    if (cbOnceType3->Checked())
        WizardRunNow = true;
    Close();
}

// ---------------------------------------------------------------------------------------------
// The pickers

void TfrmAdd::ConnectedForAddAndUpdate() {
    const std::string Question = strrsLinkServ + " " + leServerName->Text() + "?";
    auto Ask = [&] { return MessageDialog(Question, mtConfirmation, strrsW, mbOKCancel) == mrOk; };
    TADOConnection* Connection = nullptr;
    if (WizardMode == wmAdd) {
        TADOConnection* Main = frmSetting->ADOConnection;
        if (!Main->Connected()) {
            if (!Ask())
                return;
            frmSetting->btnOpenClick(nullptr);
        }
        if (!Main->Connected())
            return;
        Connection = Main;
    } else {
        if (!ADOConnectionUpdate->Connected()) {
            const std::string StrConnect = frmSetting->MemSettitngs->FieldByName("StrConnect")->AsString();
            const std::string TaskServer = DataSourceOf(StrConnect, false);
            const std::string MainServer = DataSourceOf(WideToAnsi(frmSetting->ADOConnection->ConnectionString()), true);
            if ((TaskServer.empty() || MainServer.empty() || TaskServer != MainServer) && !Ask())
                return;
            ADOConnectionUpdate->Close();
            ADOConnectionUpdate->SetConnectionString(
                AnsiToWide(StringReplace(StrConnect, "|", ";", {rfReplaceAll})));
            ADOConnectionUpdate->Open();
        }
        if (!ADOConnectionUpdate->Connected())
            return;
        Connection = ADOConnectionUpdate;
    }
    ShowDatabasePicker(Connection);
}

void TfrmAdd::edDBButtonClick(TObject*) { ConnectedForAddAndUpdate(); }

void TfrmAdd::deFolderButtonClick(TObject*) {
    if (TCustomEdit* Edit = FolderEdit(ActivePageName()))
        ShowFolderChooserForWizard(Edit->Text());
}

// ---------------------------------------------------------------------------------------------

bool ShowTaskWizard(TWizardMode Mode) {
    if (!frmAdd)
        frmAdd = Create<TfrmAdd>(Application);
    WizardMode = Mode;
    frmAdd->ShowModal();
    const bool RunNow = WizardRunNow;
    WizardRunNow = false;
    return RunNow;
}
