// The check-interval dialog: how often, in minutes, the main window's scheduler timer ticks.
// Opened from the tray menu without waiting; it frees itself when closed.
#pragma once

#include "Buttons.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sLabel.h"
#include "sSpinEdit.h"
#include "siComp.h"

class TfrmSaveTimer : public TForm {
    DECLARE_CLASS(TfrmSaveTimer, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmSaveTimer>& B);

    TsLabel* lblTimer = nullptr;
    TsSpinEdit* seTimer = nullptr;
    TButton* btnSave = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TsiLang* siLang1 = nullptr;

    void SaveForClose();
    void LoadForClose();

    void FormShow(TObject* Sender);
    void btnSaveClick(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// The open dialog, or null; emptied when it closes.
extern TfrmSaveTimer* frmSaveTimer;
