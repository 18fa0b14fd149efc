// The main program: the units' start-up in the order of the unit table, the application with its
// data module and main window, the message loop, then the units' shut-down.
#include "ProgramUnits.h"
#include "SysUtils.h"
#include "untService.h"
#include "untSetting.h"

#include <windows.h>

#include <cstdlib>

namespace {
const char AppTitle[] = "Quarnel Backup";

// The run command points the discovery at its demo server on loopback: "ADDRESS[:PORT]".
void ApplyDiscoveryAddress() {
    const char* Value = std::getenv("QUARNEL_DISCOVERY_ADDRESS");
    if (!Value || !*Value)
        return;
    std::string Address = Value;
    LongInt Port = 1434;
    if (std::size_t Colon = Address.find(':'); Colon != std::string::npos) {
        if (!TryStrToInt(Address.substr(Colon + 1), Port) || Port <= 0 || Port > 65535)
            Port = 1434;
        Address.erase(Colon);
    }
    SetDiscoveryAddress(Address, static_cast<u_short>(Port));
}

// The units the main window does not need start at the application's first idle moment at the
// latest (the main window's start after its first paint starts them earlier).
void StartLaterUnits(TObject*, TObject*, bool&) {
    Application->OnIdle = nullptr;
    StartLaterProgramUnits();
}

int Fail(const std::string& Message) {
    // The windows go first: their timers would otherwise go on running inside the message box.
    FinalizeUnits();
    MessageBoxA(nullptr, Message.c_str(), AppTitle, MB_OK | MB_ICONSTOP);
    return 1;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    try {
        InitializeUnits(Units, Count - ProgramUnitsStartedLater());
        ApplyDiscoveryAddress();
        RegisterClasses({TfrmSetting::StaticClass(), TDMService::StaticClass()});
        Application->Initialize();
        Application->SetTitle(AppTitle);
        Application->CreateForm(DMService);
        Application->CreateForm(frmSetting);
        Application->OnIdle = TIdleEvent(nullptr, &StartLaterUnits);
        Application->Run();
    } catch (const Exception& E) {
        return Fail(E.Message());
    }
    if (!LaterProgramUnitsFailure().empty())
        return Fail(LaterProgramUnitsFailure());
    FinalizeUnits();
    return 0;
}
