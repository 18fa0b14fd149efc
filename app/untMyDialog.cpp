#include "untMyDialog.h"

#include "Registry.h"
#include "untSetting.h"

TfrmMyDialog* frmMyDialog = nullptr;

namespace {

constexpr const char* PlacementKey = "frmMyDialog";

// A window that is not the unit's own one (the second window of a nested modal message).
TfrmMyDialog* ExtraDialog() { return Create<TfrmMyDialog>(Application); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Placement

bool ReadRegistryInt(TRegistry& R, const std::string& Name, LongInt& Value) {
    try {
        return TryStrToInt(R.ReadString(Name), Value);
    } catch (const Exception&) {
        return false;  // a value of another type reads as no number
    }
}

void LoadDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize) {
    TRegistry R;
    if (!R.OpenKey(std::string(ProgramRegKey) + "\\" + SubKey, true))
        return;
    LongInt Top = 0, Left = 0, Value = 0;
    if (!ReadRegistryInt(R, "Top", Top) || !ReadRegistryInt(R, "Left", Left))
        return;
    // Stored coordinates win over the resource's centring, which would otherwise move the window
    // again once it shows.
    Form->SetPosition(poDesigned);
    if (WithSize) {
        if (ReadRegistryInt(R, "Width", Value))
            Form->SetWidth(Value);
        if (ReadRegistryInt(R, "Height", Value))
            Form->SetHeight(Value);
    }
    Form->SetTop(Top);
    Form->SetLeft(Left);
}

void SaveDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize) {
    TRegistry R;
    if (!R.OpenKey(std::string(ProgramRegKey) + "\\" + SubKey, true))
        return;
    if (WithSize) {
        R.WriteString("Width", IntToStr(Form->Width()));
        R.WriteString("Height", IntToStr(Form->Height()));
    }
    R.WriteString("Left", IntToStr(Form->Left()));
    R.WriteString("Top", IntToStr(Form->Top()));
}

void LoadGridLayout(TCustomDBGrid* Grid, const std::string& SubKey, bool ApplyTitles) {
    TRegistry R;
    if (!R.OpenKey(std::string(ProgramRegKey) + "\\" + SubKey, true))
        return;
    TDBGridColumns* Columns = Grid->Columns();
    for (int I = 0; I < Columns->Count(); ++I) {
        TColumn* C = Columns->Items(I);
        const std::string N = IntToStr(I);
        try {
            if (R.ValueExists("Width" + N))
                if (LongInt W = R.ReadInteger("Width" + N); W > 0)
                    C->SetWidth(W);
        } catch (const Exception&) {
        }
        try {
            if (std::string F = R.ReadString("FieldName" + N); !F.empty())
                C->SetFieldName(F);
            if (ApplyTitles)
                if (std::string T = R.ReadString("FieldTitle" + N); !T.empty())
                    C->Title()->SetCaption(T);
        } catch (const Exception&) {
        }
    }
}

void SaveGridLayout(TCustomDBGrid* Grid, const std::string& SubKey) {
    TRegistry R;
    if (!R.OpenKey(std::string(ProgramRegKey) + "\\" + SubKey, true))
        return;
    TDBGridColumns* Columns = Grid->Columns();
    for (int I = 0; I < Columns->Count(); ++I) {
        TColumn* C = Columns->Items(I);
        const std::string N = IntToStr(I);
        R.WriteInteger("Width" + N, C->Width());
        R.WriteString("FieldName" + N, C->FieldName());
        R.WriteString("FieldTitle" + N, C->Title()->Caption());
    }
}

// ---------------------------------------------------------------------------------------------
// The question dialog

int MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption, TMsgDlgButtons Buttons,
                  const std::string& YesText, const std::string& NoText) {
    TOwned<TMessageForm> Dialog(CreateMessageDialog(Msg, DlgType, Buttons));
    Dialog->SetBorderIcons({});
    Dialog->Font()->SetName("Verdana");
    Dialog->SetFormStyle(fsStayOnTop);
    Dialog->SetCaption(Caption.empty() ? Application->Title() : Caption);
    if (Buttons.Contains(mbOK))
        if (TControl* B = Dialog->FindButton("OK"))
            B->SetCaption(YesText);
    if (Buttons.Contains(mbCancel))
        if (TControl* B = Dialog->FindButton("Cancel"))
            B->SetCaption(NoText);
    Dialog->SetPosition(poDesktopCenter);
    SetForegroundWindow(Dialog->Handle());
    return Dialog->ShowModal();
}

// ---------------------------------------------------------------------------------------------
// The message window

void TfrmMyDialog::DefineClass(TClassBuilder<TfrmMyDialog>& B) {
    using T = TfrmMyDialog;
    B.Field("reMyDialog", &T::reMyDialog);
    B.Field("pnlButtons", &T::pnlButtons);
    B.Field("bbRestore", &T::bbRestore);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormResize>("FormResize");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::bbRestoreClick>("bbRestoreClick");
}

void TfrmMyDialog::BeforeDestruction() {
    if (frmMyDialog == this)
        frmMyDialog = nullptr;
    TForm::BeforeDestruction();
}

void TfrmMyDialog::FormShow(TObject*) {
    LoadDialogPlacement(this, PlacementKey, true);
    bbRestore->SetFocus();
}

void TfrmMyDialog::FormResize(TObject*) {
    Repaint();
    reMyDialog->Repaint();
}

void TfrmMyDialog::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, true);
    Action = caFree;
    // The next message goes to a fresh window even before this one is gone.
    if (frmMyDialog == this)
        frmMyDialog = nullptr;
}

void TfrmMyDialog::bbRestoreClick(TObject*) { Close(); }

TfrmMyDialog* MyDialog() {
    if (!frmMyDialog)
        frmMyDialog = Create<TfrmMyDialog>(Application);
    return frmMyDialog;
}

void ShowMyDialogText(const std::string& Text, const std::string& Caption) {
    TfrmMyDialog* W = frmMyDialog && frmMyDialog->FormState().Contains(fsModal) ? ExtraDialog() : MyDialog();
    W->reMyDialog->SetText(Text);
    W->SetCaption(Caption);
    W->Show();
}

void ShowMyDialogModal(const std::string& Text, const std::string& Caption) {
    if (frmMyDialog && !frmMyDialog->FormState().Contains(fsModal))
        frmMyDialog->Close();
    TfrmMyDialog* W = frmMyDialog ? ExtraDialog() : MyDialog();
    W->reMyDialog->SetColor(clBtnFace);
    W->reMyDialog->SetText(Text);
    W->reMyDialog->SetReadOnly(true);
    W->SetCaption(Caption);
    W->ShowModal();
}
