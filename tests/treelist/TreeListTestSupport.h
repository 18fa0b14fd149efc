// What the grid library's tests share: the framework and the library's units started once per test
// program, a form to place editors on, message pumping, held keys, and pixel reading.
#pragma once

#include "Dialogs.h"
#include "Forms.h"
#include "Graphics.h"
#include "TestSupport.h"
#include "dxCntner.h"
#include "dxEditor.h"
#include "dxExEdtr.h"
#include "dxTL.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace treelist_tests {

inline void EnsureTreeList() {
    GraphicsInitialization();
    InitControls();
    static TForm* MainForm = nullptr;
    if (!Application->MainForm())
        Application->CreateForm(MainForm);
    static bool Started = false;
    if (!Started) {
        Started = true;
        dxDrawUtilsInitialization();
        dxCntnerInitialization();
        dxEditorInitialization();
        dxExEdtrInitialization();
        dxTLInitialization();
    }
}

inline bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs = 2000) {
    return testing_support::PumpUntil(Done, TimeoutMs);
}

inline void Pump(unsigned Ms = 50) { PumpUntil([] { return false; }, Ms); }

// Holds a key down in the keyboard state that key handlers read.
class THeldKey {
public:
    explicit THeldKey(int VKey) : FKey(VKey) { Set(0x80); }
    ~THeldKey() { Set(0); }
    THeldKey(const THeldKey&) = delete;
    THeldKey& operator=(const THeldKey&) = delete;

private:
    void Set(BYTE Value) {
        BYTE State[256];
        GetKeyboardState(State);
        State[FKey] = Value;
        SetKeyboardState(State);
    }
    int FKey;
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

inline COLORREF PixelAt(TBitmap* B, int X, int Y) { return GetPixel(B->Canvas()->Handle(), X, Y); }

// Starts the framework and frees, at the end, every form the test left behind.
class TreeListTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureTreeList(); }
    void TearDown() override {
        for (int I = Screen->FormCount() - 1; I >= 0; --I)
            if (I < Screen->FormCount() && Screen->Forms(I) != Application->MainForm())
                Screen->Forms(I)->Free();
        Application->ProcessMessages();
    }
    // A visible form to place editors and containers on.
    TForm* NewForm() {
        TForm* F = TForm::CreateNew(Application);
        F->SetBounds(50, 50, 400, 300);
        F->Show();
        return F;
    }
};

}  // namespace treelist_tests
