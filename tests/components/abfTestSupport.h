// What the component set's tests share: the units started in the program's order, a presenter that
// records message boxes, message pumping and a recorder of the shell's tray requests.
#pragma once

#include "Dialogs.h"
#include "abfComponents.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace abftests {

// Handles the queued messages (and the workers' calls to the main thread) until Done or TimeoutMs.
bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs = 3000);
void Pump(unsigned Ms = 50);

// Records every message box instead of showing it.
struct TBoxRecorder : TMessagePresenter {
    struct TBox {
        std::string Text, Caption;
        UINT Flags = 0;
    };
    std::vector<TBox> Boxes;
    int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) override;
};

class TBoxRecorderScope {
public:
    TBoxRecorderScope() { FOld = SetMessagePresenter(&Recorder); }
    ~TBoxRecorderScope() { SetMessagePresenter(FOld); }
    TBoxRecorderScope(const TBoxRecorderScope&) = delete;
    TBoxRecorderScope& operator=(const TBoxRecorderScope&) = delete;
    TBoxRecorder Recorder;

private:
    TMessagePresenter* FOld = nullptr;
};

// Every request the program makes to the shell's notification area while it is in scope: the
// record as sent (cbSize bytes of it) and the shell's answer. Requests still reach the shell.
class TTrayRecorder {
public:
    struct TRequest {
        DWORD Message = 0;
        NOTIFYICONDATAA Data{};
        BOOL Result = FALSE;
    };
    TTrayRecorder();
    ~TTrayRecorder();
    TTrayRecorder(const TTrayRecorder&) = delete;
    TTrayRecorder& operator=(const TTrayRecorder&) = delete;
    std::vector<TRequest> Requests;
    // The messages in order ("add", "modify", "delete").
    std::vector<std::string> Messages() const;

private:
    void* FSlotBefore = nullptr;
};

// Whether the shell holds an icon of this window and id now (a harmless modify request).
bool IconInTray(HWND Window, UINT ID);

// A UTF-8 literal in the system's code page (tests keep their sources in UTF-8).
std::string Ansi(const char* Utf8);

}  // namespace abftests
