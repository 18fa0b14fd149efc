#include "JvThemes.h"

namespace {

TMessageHandler SavedHandler = nullptr;

// The class record's message table: a 16-bit count, the 16-bit message numbers, then the 32-bit
// handler addresses.
int DynamicMethodCount(TClass Class) {
    const Word* Table = Class->DynamicTable();
    return Table ? Table[0] : 0;
}
const Word* DynamicMethodIndexes(TClass Class) { return Class->DynamicTable() + 1; }
TMessageHandler* DynamicMethodAddresses(TClass Class) {
    return reinterpret_cast<TMessageHandler*>(Class->DynamicTable() + 1 + DynamicMethodCount(Class));
}

TMessageHandler* PrintClientSlot() {
    TClass Class = TWinControl::StaticClass();
    int Count = DynamicMethodCount(Class);
    for (int I = 0; I < Count; ++I)
        if (DynamicMethodIndexes(Class)[I] == WM_PRINTCLIENT)
            return DynamicMethodAddresses(Class) + I;
    return nullptr;
}

// Writes Handler into the slot with the page made writable for the moment; false when the
// protection could not be changed.
bool WriteSlot(TMessageHandler* Slot, TMessageHandler Handler) {
    DWORD Old = 0;
    if (!VirtualProtect(Slot, sizeof *Slot, PAGE_EXECUTE_READWRITE, &Old))
        return false;
    *Slot = Handler;
    DWORD Ignored = 0;
    VirtualProtect(Slot, sizeof *Slot, Old, &Ignored);
    return true;
}

}  // namespace

void PrintClientWithSavedDC(TObject* Self, TMessage& Message) {
    if (Message.Msg != WM_PRINTCLIENT) {
        SavedHandler(Self, Message);
        return;
    }
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    int State = SaveDC(DC);
    try {
        SavedHandler(Self, Message);
    } catch (...) {
        RestoreDC(DC, State);
        throw;
    }
    RestoreDC(DC, State);
}

TMessageHandler SavedPrintClientHandler() { return SavedHandler; }

void JvThemesInitialization() {
    TMessageHandler* Slot = PrintClientSlot();
    if (!Slot || *Slot == &PrintClientWithSavedDC)
        return;
    TMessageHandler Framework = *Slot;
    SavedHandler = Framework;
    if (!WriteSlot(Slot, &PrintClientWithSavedDC))
        SavedHandler = nullptr;
}

void JvThemesFinalization() {
    TMessageHandler* Slot = PrintClientSlot();
    if (!Slot || !SavedHandler)
        return;
    if (WriteSlot(Slot, SavedHandler))
        SavedHandler = nullptr;
}
