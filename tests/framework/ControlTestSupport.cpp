#include "ControlTestSupport.h"

namespace controltests {

void EnsureControls() {
    GraphicsInitialization();
    InitControls();
    // The program's main form: hidden, never closed by the tests (closing it ends the application).
    static TForm* MainForm = nullptr;
    if (!Application->MainForm())
        Application->CreateForm(MainForm);
}

bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs) {
    DWORD Start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (Done())
            return true;
        if (GetTickCount() - Start > TimeoutMs)
            return Done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Pump(unsigned Ms) {
    PumpUntil([] { return false; }, Ms);
}

int TRecordingPresenter::MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Flags) {
    TEntry E;
    E.Text = Text;
    E.Caption = Caption;
    E.Flags = Flags;
    Entries.push_back(E);
    return Answer;
}

int TRecordingPresenter::ShowMessageForm(TMessageForm* Dialog) {
    TEntry E;
    E.Text = Dialog->MessageText();
    E.Caption = Dialog->Caption();
    E.DlgType = Dialog->DlgType();
    for (int I = 0; I < Dialog->ControlCount(); ++I) {
        TControl* C = Dialog->Controls(I);
        E.Buttons.push_back(C->Name() + "=" + C->Caption());
    }
    E.StayOnTop = Dialog->FormStyle() == fsStayOnTop;
    E.Icons = Dialog->BorderIcons();
    E.FontName = Dialog->Font()->Name();
    Entries.push_back(E);
    if (OnDialog)
        OnDialog(Dialog);
    return Answer;
}

void ControlsTest::SetUp() { EnsureControls(); }

void ControlsTest::TearDown() {
    for (int I = Screen->FormCount() - 1; I >= 0; --I)
        if (I < Screen->FormCount() && Screen->Forms(I) != Application->MainForm())
            Screen->Forms(I)->Free();
    Application->ProcessMessages();
}

}  // namespace controltests
