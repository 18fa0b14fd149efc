#include "Units.h"

#include <vector>

namespace {
std::vector<const TUnitEntry*>& Started() {
    static std::vector<const TUnitEntry*> List;
    return List;
}
}  // namespace

void InitializeUnits(const TUnitEntry* Units, std::size_t Count) {
    for (std::size_t I = 0; I < Count; ++I) {
        try {
            if (Units[I].Initialization)
                Units[I].Initialization();
        } catch (...) {
            FinalizeUnits();
            throw;
        }
        Started().push_back(&Units[I]);
    }
}

void FinalizeUnits() {
    auto& List = Started();
    while (!List.empty()) {
        const TUnitEntry* U = List.back();
        List.pop_back();
        if (U->Finalization)
            U->Finalization();
    }
}
