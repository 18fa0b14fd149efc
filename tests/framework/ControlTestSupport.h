// What the controls, forms, application and dialog tests share: the framework started once per
// test program, a presenter that records message boxes and dialogs instead of showing them, and
// message pumping.
#pragma once

#include "Dialogs.h"
#include "Forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Rectangles in failure messages.
inline void PrintTo(const TRect& R, std::ostream* Os) {
    *Os << "{" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << "}";
}

namespace controltests {

// Starts graphics and controls for the test program (once; the process ends with them).
void EnsureControls();

// Handles every queued message, then waits a little for more, until Done or TimeoutMs.
bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs = 2000);
// Handles the queued messages for a moment (painting, posted requests).
void Pump(unsigned Ms = 50);

// Records every box and dialog; answers with Answer (the dialog's own ModalResult when that is 0).
struct TRecordingPresenter : TMessagePresenter {
    struct TEntry {
        std::string Text, Caption;
        UINT Flags = 0;
        TMsgDlgType DlgType = mtCustom;
        std::vector<std::string> Buttons;  // "Name=Caption" in their order
        bool StayOnTop = false;
        TBorderIcons Icons;
        std::string FontName;
    };
    std::vector<TEntry> Entries;
    int Answer = IDOK;
    std::function<void(TMessageForm*)> OnDialog;

    int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) override;
    int ShowMessageForm(TMessageForm* Dialog) override;
};

// Installs a recorder for the scope of a test.
class TRecorderScope {
public:
    TRecorderScope() { FOld = SetMessagePresenter(&Recorder); }
    ~TRecorderScope() { SetMessagePresenter(FOld); }
    TRecordingPresenter Recorder;

private:
    TMessagePresenter* FOld = nullptr;
};

// A plain windowed control that takes children.
class TBox : public TWinControl {
    DECLARE_CLASS(TBox, TWinControl)
public:
    explicit TBox(TComponent* AOwner) : TWinControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

// A fixture that starts the framework and frees, at its end, every form the test left behind.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace controltests
