#include "JvThemes.h"

namespace {
TMessageHandler SavedHandler = nullptr;
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
    TClass Class = TWinControl::StaticClass();
    TMessageHandler Own = Class->FindOwnHandler(WM_PRINTCLIENT);
    if (!Own || Own == &PrintClientWithSavedDC)
        return;
    SavedHandler = Class->ReplaceMessageHandler(WM_PRINTCLIENT, &PrintClientWithSavedDC);
}

void JvThemesFinalization() {
    if (!SavedHandler)
        return;
    TWinControl::StaticClass()->ReplaceMessageHandler(WM_PRINTCLIENT, SavedHandler);
    SavedHandler = nullptr;
}
