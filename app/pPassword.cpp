#include "pPassword.h"

#include "untMyDialog.h"

TfrmPassword* frmPassword = nullptr;

namespace {
constexpr const char* PlacementKey = "frmPassword";
}

void TfrmPassword::DefineClass(TClassBuilder<TfrmPassword>& B) {
    using T = TfrmPassword;
    B.Field("lblPassword", &T::lblPassword);
    B.Field("edPassword", &T::edPassword);
    B.Field("btnOk", &T::btnOk);
    B.Field("btnClose", &T::btnClose);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::btnOkClick>("btnOkClick");
    B.Method<&T::btnCloseClick>("btnCloseClick");
}

void TfrmPassword::BeforeDestruction() {
    if (frmPassword == this)
        frmPassword = nullptr;
    TForm::BeforeDestruction();
}

void TfrmPassword::FormShow(TObject*) { LoadDialogPlacement(this, PlacementKey, true); }

void TfrmPassword::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, true);
    Action = caHide;
}

void TfrmPassword::btnOkClick(TObject*) { Close(); }

// Cancel gives the empty password: the archive is then tried without one.
void TfrmPassword::btnCloseClick(TObject*) {
    edPassword->SetText("");
    Close();
}
