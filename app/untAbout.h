// The about box: the product's name and a short description in the active language. Opened from the
// tray menu without waiting; it frees itself when closed.
#pragma once

#include "Buttons.h"
#include "Forms.h"
#include "sMemo.h"
#include "sPanel.h"
#include "siComp.h"

class TfrmAbout : public TForm {
    DECLARE_CLASS(TfrmAbout, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmAbout>& B);

    TsPanel* pnlTop = nullptr;
    TsMemo* meAbout = nullptr;
    TBitBtn* bbCloseType1 = nullptr;
    TsiLang* siLang1 = nullptr;

    void FormShow(TObject* Sender);
    void bbCloseType1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// The open about box, or null; emptied when it closes.
extern TfrmAbout* frmAbout;
