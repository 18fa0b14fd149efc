// The skin manager's class lists of controls of other classes (part of the manager's unit,
// sSkinManager.h).
#include "sSkinManager.h"

void TsSkinManager::UpdateThirdNames(bool Reset) {
    for (int I = 0; I < ThirdPartyCategoryCount; ++I) {
        if (Reset || ThirdParty->GetString(I).empty())
            ThirdParty->SetString(I, ThirdPartyDefaults[static_cast<std::size_t>(I)]);
        ThirdLists[static_cast<std::size_t>(I)]->SetText(ThirdParty->GetString(I));
    }
}

void TsSkinManager::StoreThirdNames() {
    for (int I = 0; I < ThirdPartyCategoryCount; ++I)
        ThirdParty->SetString(I, ThirdLists[static_cast<std::size_t>(I)]->Text());
}
