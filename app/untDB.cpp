#include "untDB.h"

#include "untAdd.h"
#include "untMyDialog.h"

TfrmDB* frmDB = nullptr;

namespace {
constexpr const char* PlacementKey = "frmDB";
}  // namespace

void TfrmDB::DefineClass(TClassBuilder<TfrmDB>& B) {
    using T = TfrmDB;
    B.Field("DBGrid", &T::DBGrid);
    B.Field("dsDB", &T::dsDB);
    B.Field("qryDB", &T::qryDB);
    B.Field("btnApple", &T::btnApple);
    B.Field("btnClose", &T::btnClose);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::btnAppleClick>("btnAppleClick");
    B.Method<&T::btnCloseClick>("btnCloseClick");
}

void TfrmDB::BeforeDestruction() {
    if (frmDB == this)
        frmDB = nullptr;
    TForm::BeforeDestruction();
}

void TfrmDB::FormShow(TObject*) {
    LoadDialogPlacement(this, PlacementKey, true);
    qryDB->Close();
    qryDB->Open();
}

void TfrmDB::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, true);
    Action = caFree;
    if (frmDB == this)
        frmDB = nullptr;
}

void TfrmDB::btnAppleClick(TObject*) {
    // An empty list has no name to give: the edit keeps what the user typed.
    if (frmAdd && qryDB->Active() && !qryDB->IsEmpty())
        if (TCustomEdit* Edit = frmAdd->DatabaseEdit(frmAdd->ActivePageName()))
            Edit->SetText(qryDB->FieldByName("name")->AsString());
    Close();
}

void TfrmDB::btnCloseClick(TObject*) { Close(); }

void ShowDatabasePicker(TADOConnection* Connection) {
    if (!frmDB)
        frmDB = Create<TfrmDB>(Application);
    frmDB->qryDB->SetConnection(Connection);
    frmDB->Show();
}
