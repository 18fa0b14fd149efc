#include "untJOpen.h"

#include "DateUtils.h"
#include "Streams.h"
#include "untBackup.h"
#include "untMyDialog.h"
#include "untSetting.h"

#include <iterator>

TfrmJOpen* frmJOpen = nullptr;

namespace {

constexpr const char* PlacementKey = "frmJOpen";
constexpr const char* LayoutKey = "t2";
constexpr const char* LogName = "Backup.log";

// The table's text columns, in the order of the log line's fields 2 to 5.
const char* const TextFields[] = {"memRes", "memServer", "memDB", "memPathFile"};

std::string LogFileName() { return GetAppDir() + LogName; }

}  // namespace

TDateTime UnreadableLogDate() { return EncodeDateTime(1899, 1, 1, 1, 1, 1, 1); }

void TfrmJOpen::DefineClass(TClassBuilder<TfrmJOpen>& B) {
    using T = TfrmJOpen;
    B.Field("rxMem", &T::rxMem);
    B.Field("dsRes", &T::dsRes);
    B.Field("DBGridRes", &T::DBGridRes);
    B.Field("pnlButtons", &T::pnlButtons);
    B.Field("bbClear", &T::bbClear);
    B.Field("BitBtn1", &T::BitBtn1);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormCreate>("FormCreate");
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::DBGridResCellClick>("DBGridResCellClick");
    B.Method<&T::DBGridResDblClick>("DBGridResDblClick");
    B.Method<&T::bbClearClick>("bbClearClick");
    B.Method<&T::BitBtn1Click>("BitBtn1Click");
    B.Method<&T::siLang1ChangeLanguage>("siLang1ChangeLanguage");
}

void TfrmJOpen::BeforeDestruction() {
    if (frmJOpen == this)
        frmJOpen = nullptr;
    TForm::BeforeDestruction();
}

void TfrmJOpen::UpdateStrings() {
    strRsDelJourn = siLang1->GetTextOrDefault("strRsDelJourn");
    strRsA = siLang1->GetTextOrDefault("strRsA");
    strrsDp = siLang1->GetTextOrDefault("strrsDp");
}

void TfrmJOpen::siLang1ChangeLanguage(TObject*) { UpdateStrings(); }

void TfrmJOpen::FormCreate(TObject*) {
    LoadDialogPlacement(this, PlacementKey, true);
    // Stored titles stay unused: the titles follow the language.
    LoadGridLayout(DBGridRes, LayoutKey, false);
    UpdateStrings();
}

void TfrmJOpen::FormShow(TObject*) { LoadLog(); }

void TfrmJOpen::LoadLog() {
    rxMem->Close();
    rxMem->Open();
    const std::string FileName = LogFileName();
    if (!FileExists(FileName))
        return;
    TOwned<TStringList> Lines(Create<TStringList>());
    Lines->LoadFromFile(FileName);
    TField* ID = rxMem->FieldByName("memID");
    TField* Date = rxMem->FieldByName("memDateTime");
    rxMem->DisableControls();
    try {
        for (int I = Lines->Count() - 1; I >= 0; --I) {
            const std::string& Line = Lines->Strings(I);
            if (Trim(Line).empty())
                continue;
            std::vector<std::string> Fields;
            for (std::size_t Start = 0;;) {
                std::size_t Tab = Line.find('\t', Start);
                Fields.push_back(Line.substr(Start, Tab == std::string::npos ? std::string::npos : Tab - Start));
                if (Tab == std::string::npos)
                    break;
                Start = Tab + 1;
            }
            rxMem->Append();
            ID->SetAsInteger(I + 1);
            TDateTime When = 0;
            Date->SetAsDateTime(TryStrToDateTime(Fields[0], When) ? When : UnreadableLogDate());
            for (std::size_t F = 0; F < std::size(TextFields) && F + 1 < Fields.size(); ++F) {
                try {
                    rxMem->FieldByName(TextFields[F])->SetAsString(Fields[F + 1]);
                } catch (const Exception&) {
                    // One field that cannot be stored leaves its column empty; the row still counts.
                }
            }
            rxMem->Post();
        }
    } catch (...) {
        rxMem->EnableControls();
        throw;
    }
    rxMem->EnableControls();
    rxMem->First();
}

void TfrmJOpen::DBGridResCellClick(TColumn* Column) { FLastField = Column ? Column->FieldName() : std::string(); }

void TfrmJOpen::DBGridResDblClick(TObject*) {
    if (FLastField.empty() || !rxMem->Active())
        return;
    TField* Field = rxMem->FindField(FLastField);
    if (!Field || Field->IsNull())
        return;
    ShowMyDialogText(Field->AsString(), strrsDp);
}

void TfrmJOpen::bbClearClick(TObject*) {
    if (frmSetting->MessageDialog(strRsDelJourn, mtConfirmation, strRsA, mbOKCancel) != mrOk)
        return;
    rxMem->EmptyTable();
    const std::string FileName = LogFileName();
    if (!FileExists(FileName))
        return;
    try {
        TFileStream Empty(FileName, fmCreate);
    } catch (const Exception&) {
        // A log that cannot be written stays as it is; the grid is empty all the same.
    }
}

void TfrmJOpen::BitBtn1Click(TObject*) { Close(); }

void TfrmJOpen::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, true);
    SaveGridLayout(DBGridRes, LayoutKey);
    Action = caFree;
    if (frmJOpen == this)
        frmJOpen = nullptr;
}
