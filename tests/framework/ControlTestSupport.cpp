#include "ControlTestSupport.h"

namespace controltests {

namespace {
// Outside a recorder's scope a box would wait for a user who never comes: it fails the test instead.
struct TStrayBoxPresenter : TMessagePresenter {
    int MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT) override {
        ADD_FAILURE() << "message box shown: " << Caption << ": " << Text;
        return IDCANCEL;
    }
    int ShowMessageForm(TMessageForm* Dialog) override {
        ADD_FAILURE() << "message dialog shown: " << Dialog->Caption() << ": " << Dialog->MessageText();
        return mrCancel;
    }
} StrayBoxPresenter;
}  // namespace

void EnsureControls() {
    GraphicsInitialization();
    if (!Application)
        SetMessagePresenter(&StrayBoxPresenter);
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
