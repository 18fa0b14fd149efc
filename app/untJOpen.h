// The log viewer: "Backup.log" beside the program, newest line first, in the data-aware grid over an
// in-memory table; one cell's whole text in the message window on a double-click; the log emptied on
// request. Opened by the main window without waiting; it frees itself when closed.
#pragma once

#include "Buttons.h"
#include "DB.h"
#include "Forms.h"
#include "RXDBCtrl.h"
#include "RxMemDS.h"
#include "sPanel.h"
#include "siComp.h"

#include <string>

class TfrmJOpen : public TForm {
    DECLARE_CLASS(TfrmJOpen, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmJOpen>& B);

    TRxMemoryData* rxMem = nullptr;
    TDataSource* dsRes = nullptr;
    TRxDBGrid* DBGridRes = nullptr;
    TsPanel* pnlButtons = nullptr;
    TBitBtn* bbClear = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TsiLang* siLang1 = nullptr;

    // Messages of the active language.
    std::string strRsDelJourn, strRsA, strrsDp;

    void UpdateStrings();
    // Reads the log into the table, newest line first, and makes the newest row current.
    void LoadLog();
    // The field of the column last clicked ("" until a cell is clicked).
    const std::string& LastField() const { return FLastField; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridResCellClick(TColumn* Column);
    void DBGridResDblClick(TObject* Sender);
    void bbClearClick(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void siLang1ChangeLanguage(TObject* Sender);

private:
    std::string FLastField;
};

// The open log viewer, or null; emptied when it closes.
extern TfrmJOpen* frmJOpen;

// The date column's value for a line whose first field is no date and time.
TDateTime UnreadableLogDate();
