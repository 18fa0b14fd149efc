// What the component library's window tests share: the framework started once per test program, a
// presenter that records message dialogs instead of showing them, message pumping, and held keys.
#pragma once

#include "Dialogs.h"
#include "Forms.h"
#include "Graphics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace rx_tests {

inline void EnsureControls() {
    GraphicsInitialization();
    InitControls();
    static TForm* MainForm = nullptr;
    if (!Application->MainForm())
        Application->CreateForm(MainForm);
}

inline bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs = 2000) {
    return testing_support::PumpUntil(Done, TimeoutMs);
}

inline void Pump(unsigned Ms = 50) { PumpUntil([] { return false; }, Ms); }

// Records message dialogs and answers them with Answer.
struct TDialogRecorder : TMessagePresenter {
    std::vector<std::string> Texts;
    int Answer = mrYes;
    int MessageBox(HWND, const std::string& Text, const std::string&, UINT) override {
        Texts.push_back(Text);
        return Answer;
    }
    int ShowMessageForm(TMessageForm* Dialog) override {
        Texts.push_back(Dialog->MessageText());
        return Answer;
    }
};

class TRecorderScope {
public:
    TRecorderScope() { FOld = SetMessagePresenter(&Recorder); }
    ~TRecorderScope() { SetMessagePresenter(FOld); }
    TDialogRecorder Recorder;

private:
    TMessagePresenter* FOld = nullptr;
};

// Holds a key down in the keyboard state that key and mouse handlers read.
class THeldKey {
public:
    explicit THeldKey(int VKey) : FKey(VKey) { Set(0x80); }
    ~THeldKey() { Set(0); }

private:
    void Set(BYTE Value) {
        BYTE State[256];
        GetKeyboardState(State);
        State[FKey] = Value;
        SetKeyboardState(State);
    }
    int FKey;
};

// Starts the framework and frees, at the end, every form the test left behind.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureControls(); }
    void TearDown() override {
        for (int I = Screen->FormCount() - 1; I >= 0; --I)
            if (I < Screen->FormCount() && Screen->Forms(I) != Application->MainForm())
                Screen->Forms(I)->Free();
        Application->ProcessMessages();
    }
};

// A 24-bit bitmap of the size, filled with one colour.
inline TBitmap* SolidBitmap(int W, int H, TColor Colour) {
    auto* B = Create<TBitmap>();
    B->SetPixelFormat(pf24bit);
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(Colour);
    B->Canvas()->FillRect(TRect{0, 0, W, H});
    return B;
}

}  // namespace rx_tests
