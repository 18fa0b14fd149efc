// The archive password prompt of the restore: created on first use, then only hidden when it closes,
// and its edit emptied before every use.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"
#include "sEdit.h"
#include "sLabel.h"
#include "siComp.h"

class TfrmPassword : public TForm {
    DECLARE_CLASS(TfrmPassword, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmPassword>& B);

    TsLabel* lblPassword = nullptr;
    TsEdit* edPassword = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnClose = nullptr;
    TsiLang* siLang1 = nullptr;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btnOkClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
};

// The prompt once it was first used; it lives until the program ends.
extern TfrmPassword* frmPassword;
