// Helpers of the dialog tests: the main window the dialogs lean on, the skinned controls their form
// files name, and a watcher that answers modal windows from inside their modal loop.
#pragma once

#include "MainWindowTestSupport.h"
#include "pPassword.h"
#include "sCustomComboEdit.h"
#include "untAbout.h"
#include "untJOpen.h"
#include "untMyDialog.h"
#include "untRestore.h"
#include "untSaveTimer.h"

#include <functional>

namespace app_tests {

inline const std::string Ru(const wchar_t* Text) { return WideToAnsi(Text, 1251); }

// Answers every modal window shown while it lives: Action gets each one once (and must close it); a
// modal message window that Action leaves alone is recorded into Shown (text and caption) and closed,
// any other one is closed as a failure, so that no test waits for a window nobody answers.
class TModalWatcher {
public:
    using TAction = std::function<bool(TCustomForm*)>;  // true when it handled the window
    explicit TModalWatcher(std::vector<TMessageRecorder::TShown>& Shown) : FShown(Shown) {
        Current() = this;
        FTimer = SetTimer(nullptr, 0, 15, &Tick);
    }
    ~TModalWatcher() {
        KillTimer(nullptr, FTimer);
        Current() = nullptr;
    }
    TModalWatcher(const TModalWatcher&) = delete;
    TModalWatcher& operator=(const TModalWatcher&) = delete;

    TAction Action;
    // Modal message windows seen: read-only state and colour of their box, besides Shown.
    struct TSeen {
        bool ReadOnly;
        TColor Color;
        TRect Bounds;
    };
    std::vector<TSeen> MessageWindows;

private:
    static TModalWatcher*& Current() {
        static TModalWatcher* W = nullptr;
        return W;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TModalWatcher* Self = Current();
        if (!Self || !Screen)
            return;
        for (int I = Screen->FormCount() - 1; I >= 0; --I) {
            TCustomForm* F = Screen->Forms(I);
            if (!F->FormState().Contains(fsModal) || F->ModalResult() != mrNone || !F->Visible())
                continue;
            if (Self->Action && Self->Action(F))
                return;
            if (auto* M = DynCast<TfrmMyDialog>(F)) {
                Self->FShown.push_back({M->reMyDialog->Text(), M->Caption(), {}});
                Self->MessageWindows.push_back({M->reMyDialog->ReadOnly(), M->reMyDialog->Color(), M->BoundsRect()});
                M->bbRestoreClick(nullptr);
            } else {
                ADD_FAILURE() << "unexpected modal window " << F->ClassName() << " \"" << F->Caption() << "\"";
                F->SetModalResult(mrCancel);
            }
            return;
        }
    }

    std::vector<TMessageRecorder::TShown>& FShown;
    UINT_PTR FTimer = 0;
};

// The main window in `frmSetting` with the skinned controls registered, the recorder in place and a
// watcher over modal windows; every dialog still open is freed at the end.
class TDialogFixture : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        RegisterSkinnedControls();
        Main = OpenWindow();
        frmSetting = Main.get();
    }
    void TearDown() override {
        Watcher.Action = nullptr;
        for (TCustomForm* F : std::initializer_list<TCustomForm*>{frmMyDialog, frmSaveTimer, frmAbout, frmJOpen,
                                                                   frmRestore, frmPassword})
            if (F)
                F->Free();
        Pump();
        Main.reset();
        TMainWindowFixture::TearDown();
    }
    // The language of every window, through the main window's switch.
    void SwitchLanguage() { Main->mmLangClick(nullptr); }
    // The texts the message windows and message boxes showed, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> R;
        for (const TMessageRecorder::TShown& S : Recorder.Shown)
            R.push_back(S.Text);
        return R;
    }

    static void RegisterSkinnedControls() {
        // The program's unit table does not start the combo edit's unit yet; the restore's form needs it.
        if (!GetClass("TsComboEdit"))
            sCustomComboEditInitialization();
    }

    TOwned<TfrmSetting> Main;
    TModalWatcher Watcher{Recorder.Shown};
};

}  // namespace app_tests
