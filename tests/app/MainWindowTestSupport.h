// Helpers of the main window's tests: the program's units started as the program starts them, the
// program's registry key cleared around each test, a recorder in place of the message windows, and
// the window created from its form resource with the system language and discovery address of the
// test's choice.
#pragma once

#include "AppTestSupport.h"
#include "ProgramUnits.h"
#include "Registry.h"
#include "WinUtils.h"
#include "untMyDialog.h"
#include "untService.h"
#include "untSetting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace app_tests {

// Where the discovery of every test goes unless the test points it at a stand-in: a port on
// loopback where nothing answers. The program's own default is the network's broadcast address, which
// a test run by hand outside the test namespace would reach.
inline void DiscoverOnLoopback() { SetDiscoveryAddress("127.0.0.1", 9); }

// The program's unit table, once per test program.
class TProgramUnits : public ::testing::Environment {
public:
    void SetUp() override {
        DiscoverOnLoopback();
        std::size_t Count = 0;
        const TUnitEntry* Units = ProgramUnits(Count);
        InitializeUnits(Units, Count);
        // Another title than the program's: its single-instance guard must not meet a running copy.
        Application->SetTitle("Quarnel Backup tests");
    }
    void TearDown() override { FinalizeUnits(); }
};

// What the message windows would have shown; dialogs are answered with Answer.
class TMessageRecorder : public TMessagePresenter {
public:
    struct TShown {
        std::string Text, Caption;
        std::vector<std::string> Buttons;  // captions of the OK and Cancel buttons, when present
        bool StayOnTop = false;
        bool NoBorderIcons = false;
    };
    int MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT) override {
        Shown.push_back({Text, Caption, {}});
        return IDOK;
    }
    int ShowMessageForm(TMessageForm* Dialog) override {
        TShown S{Dialog->MessageText(), Dialog->Caption(), {}};
        for (const char* Name : {"OK", "Cancel"})
            if (TControl* B = Dialog->FindButton(Name))
                S.Buttons.push_back(B->Caption());
        S.StayOnTop = Dialog->FormStyle() == fsStayOnTop;
        S.NoBorderIcons = Dialog->BorderIcons().Empty();
        Shown.push_back(S);
        return Answer;
    }
    std::vector<TShown> Shown;
    int Answer = mrOk;
};

// Closes every modal message window shown while it lives and records its text and caption, so that
// a test goes on where a user would have pressed the button; other modal windows go to Other, which
// must close them.
class TMessageWindowAnswerer {
public:
    explicit TMessageWindowAnswerer(std::vector<TMessageRecorder::TShown>& Shown) : FShown(Shown) {
        Current() = this;
        FTimer = SetTimer(nullptr, 0, 15, &Tick);
    }
    ~TMessageWindowAnswerer() {
        KillTimer(nullptr, FTimer);
        Current() = nullptr;
    }
    TMessageWindowAnswerer(const TMessageWindowAnswerer&) = delete;
    TMessageWindowAnswerer& operator=(const TMessageWindowAnswerer&) = delete;

    std::function<void(TCustomForm*)> Other;

private:
    static TMessageWindowAnswerer*& Current() {
        static TMessageWindowAnswerer* A = nullptr;
        return A;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TMessageWindowAnswerer* Self = Current();
        for (int I = Screen && Self ? Screen->FormCount() - 1 : -1; I >= 0; --I) {
            TCustomForm* F = Screen->Forms(I);
            if (!F->FormState().Contains(fsModal) || !F->Visible() || F->ModalResult() != mrNone)
                continue;
            if (auto* M = DynCast<TfrmMyDialog>(F)) {
                Self->FShown.push_back({M->reMyDialog->Text(), M->Caption(), {}});
                M->bbRestoreClick(nullptr);
            } else if (Self->Other)
                Self->Other(F);
            return;
        }
    }

    std::vector<TMessageRecorder::TShown>& FShown;
    UINT_PTR FTimer = 0;
};

inline void DeleteSettingsKey() {
    TRegistry R;
    R.DeleteKey(ProgramRegKey);
}

// Values of the program's key (or of one of its subkeys).
inline void WriteSetting(const std::string& Name, const std::string& Value, const std::string& SubKey = "") {
    TRegistry R;
    ASSERT_TRUE(R.OpenKey(std::string(ProgramRegKey) + (SubKey.empty() ? "" : "\\" + SubKey), true));
    R.WriteString(Name, Value);
}
inline void WriteIntSetting(const std::string& Name, LongInt Value, const std::string& SubKey = "") {
    TRegistry R;
    ASSERT_TRUE(R.OpenKey(std::string(ProgramRegKey) + (SubKey.empty() ? "" : "\\" + SubKey), true));
    R.WriteInteger(Name, Value);
}
inline std::string ReadSetting(const std::string& Name, const std::string& SubKey = "") {
    TRegistry R;
    if (!R.OpenKey(std::string(ProgramRegKey) + (SubKey.empty() ? "" : "\\" + SubKey), false))
        return "<no key>";
    if (!R.ValueExists(Name))
        return "<none>";
    return R.GetDataType(Name) == rdInteger ? "int:" + IntToStr(R.ReadInteger(Name)) : R.ReadString(Name);
}

// Opens the autorun key into Run and removes the program's value from it.
inline void OpenAutoRunWithoutProgram(TRegistry& Run) {
    Run.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(Run.OpenKey(AutoRunRegKey, true));
    Run.DeleteValue(AutoRunValueName);
}

// Pumps messages (and the calls worker threads hand to the main thread) for a while.
inline void Pump(unsigned Ms = 0) {
    testing_support::PumpUntil([] { return false; }, Ms);
}

// A program folder, a clean registry key, the recorder, a Russian system and a discovery that
// reaches nothing.
class TMainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        FOldPresenter = SetMessagePresenter(&Recorder);
        SetSystemDefaultLangIDOverride(1049);
        DiscoverOnLoopback();
    }
    void TearDown() override {
        SetMessagePresenter(FOldPresenter);
        SetSystemDefaultLangIDOverride(0);
        DiscoverOnLoopback();
        DeleteSettingsKey();
    }
    // The window as its form resource makes it (shown at once, see MainWindowStartup), then put into
    // the tray, where the tests start from: each shows it when it needs it shown.
    TOwned<TfrmSetting> OpenWindow() {
        TOwned<TfrmSetting> W(Create<TfrmSetting>(nullptr));
        W->Hide();
        return W;
    }
    static std::string PanelText(TfrmSetting* W, int Index) { return W->sbBar->Panels()->Items(Index)->Text(); }
    static std::vector<std::string> Titles(TfrmSetting* W) {
        std::vector<std::string> R;
        for (int I = 0; I < W->DBGridMain->Columns()->Count(); ++I)
            R.push_back(W->DBGridMain->Columns()->Items(I)->Title()->Caption());
        return R;
    }

    TProgramFolder Folder;
    TMessageRecorder Recorder;

private:
    TMessagePresenter* FOldPresenter = nullptr;
};

// The same, with the program's message windows answered and recorded with the message boxes.
class TAnsweredMainWindowFixture : public TMainWindowFixture {
protected:
    void TearDown() override {
        if (frmMyDialog)
            frmMyDialog->Free();
        TMainWindowFixture::TearDown();
    }
    TMessageWindowAnswerer Answerer{Recorder.Shown};
};

}  // namespace app_tests
