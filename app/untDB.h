// The database picker: the databases of a SQL Server in a grid; Apply writes the chosen name into the
// database edit of the task wizard's page on show. Shown without waiting; it frees itself when closed.
#pragma once

#include "ADODB.h"
#include "DBGrids.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "siComp.h"

class TfrmDB : public TForm {
    DECLARE_CLASS(TfrmDB, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmDB>& B);

    TDBGrid* DBGrid = nullptr;
    TDataSource* dsDB = nullptr;
    TADOQuery* qryDB = nullptr;
    TButton* btnApple = nullptr;
    TButton* btnClose = nullptr;
    TsiLang* siLang1 = nullptr;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btnAppleClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
};

// The open picker, or null; emptied when it closes.
extern TfrmDB* frmDB;

// Creates the picker when there is none, lists the databases of Connection and shows it.
void ShowDatabasePicker(TADOConnection* Connection);
