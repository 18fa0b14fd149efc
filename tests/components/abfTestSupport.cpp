#include "abfTestSupport.h"

#include "Graphics.h"

#include <cstring>

// The import slot through which the program calls the shell's notification-area function. Its symbol
// carries the 32-bit calling convention's decoration only on 32 bits.
#if defined(_WIN64)
extern "C" void* abfImpShellNotifyIconA __asm__("__imp_Shell_NotifyIconA");
#else
extern "C" void* abfImpShellNotifyIconA __asm__("__imp__Shell_NotifyIconA@8");
#endif

namespace abftests {

namespace {
// The program's unit order for the component set, after the framework's own units.
class TabfUnits : public ::testing::Environment {
public:
    void SetUp() override {
        SysUtilsInitialization();
        GraphicsInitialization();
        InitControls();
        abfSysUtilsInitialization();
        abfClassesInitialization();
        abfVclUtilsInitialization();
        abfGraphicsInitialization();
        abfComponentsInitialization();
        Application->SetTitle("quarnel component tests");
        // The program's main window: the tray hides and shows it; never closed by the tests.
        static TForm* MainForm = nullptr;
        if (!Application->MainForm())
            Application->CreateForm(MainForm);
    }
    void TearDown() override {
        abfComponentsFinalization();
        abfGraphicsFinalization();
        abfVclUtilsFinalization();
        abfClassesFinalization();
        abfSysUtilsFinalization();
    }
};
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new TabfUnits);

TTrayRecorder* ActiveRecorder = nullptr;
using TShellNotifyIcon = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
TShellNotifyIcon RealShellNotifyIcon = nullptr;

BOOL WINAPI RecordShellNotifyIcon(DWORD Message, PNOTIFYICONDATAA Data) {
    TTrayRecorder::TRequest R;
    R.Message = Message;
    std::memcpy(&R.Data, Data, std::min<std::size_t>(Data->cbSize, sizeof R.Data));
    R.Result = RealShellNotifyIcon(Message, Data);
    if (ActiveRecorder)
        ActiveRecorder->Requests.push_back(R);
    return R.Result;
}

void SetImportSlot(void* Value) {
    DWORD Old = 0;
    VirtualProtect(&abfImpShellNotifyIconA, sizeof(void*), PAGE_READWRITE, &Old);
    abfImpShellNotifyIconA = Value;
    VirtualProtect(&abfImpShellNotifyIconA, sizeof(void*), Old, &Old);
}
}  // namespace

bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs) {
    DWORD Start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        CheckSynchronize();
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

int TBoxRecorder::MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Flags) {
    Boxes.push_back({Text, Caption, Flags});
    return IDOK;
}

TTrayRecorder::TTrayRecorder() {
    // The function itself, not what the slot holds: a delay-loaded library's slot holds a stub that
    // would write the function back over the recorder on the first call passed on.
    if (!RealShellNotifyIcon)
        RealShellNotifyIcon = reinterpret_cast<TShellNotifyIcon>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), "Shell_NotifyIconA")));
    FSlotBefore = abfImpShellNotifyIconA;
    ActiveRecorder = this;
    SetImportSlot(reinterpret_cast<void*>(&RecordShellNotifyIcon));
}

TTrayRecorder::~TTrayRecorder() {
    SetImportSlot(FSlotBefore);
    ActiveRecorder = nullptr;
}

std::vector<std::string> TTrayRecorder::Messages() const {
    std::vector<std::string> R;
    for (const auto& Q : Requests)
        R.push_back(Q.Message == NIM_ADD ? "add" : Q.Message == NIM_MODIFY ? "modify" : Q.Message == NIM_DELETE ? "delete" : "?");
    return R;
}

bool IconInTray(HWND Window, UINT ID) {
    NOTIFYICONDATAA D{};
    D.cbSize = sizeof D;
    D.hWnd = Window;
    D.uID = ID;
    auto Call = RealShellNotifyIcon ? RealShellNotifyIcon : reinterpret_cast<TShellNotifyIcon>(abfImpShellNotifyIconA);
    return Call(NIM_MODIFY, &D) != FALSE;
}

std::string Ansi(const char* Utf8) { return Utf8ToAnsi(Utf8); }

}  // namespace abftests
