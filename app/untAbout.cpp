#include "untAbout.h"

TfrmAbout* frmAbout = nullptr;

void TfrmAbout::DefineClass(TClassBuilder<TfrmAbout>& B) {
    using T = TfrmAbout;
    B.Field("pnlTop", &T::pnlTop);
    B.Field("meAbout", &T::meAbout);
    B.Field("bbCloseType1", &T::bbCloseType1);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::bbCloseType1Click>("bbCloseType1Click");
    B.Method<&T::FormClose>("FormClose");
}

void TfrmAbout::BeforeDestruction() {
    if (frmAbout == this)
        frmAbout = nullptr;
    TForm::BeforeDestruction();
}

// The title panel takes the focus so that the read-only memo shows no caret.
void TfrmAbout::FormShow(TObject*) { pnlTop->SetFocus(); }

void TfrmAbout::bbCloseType1Click(TObject*) { Close(); }

void TfrmAbout::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
    if (frmAbout == this)
        frmAbout = nullptr;
}
