#include "Units.h"

#include <vector>

namespace {
std::vector<const TUnitEntry*>& Started() {
    static std::vector<const TUnitEntry*> List;
    return List;
}
}  // namespace

namespace {
// Shuts the started units down, the last started first, until Keep of them are left.
void FinalizeUnitsDownTo(std::size_t Keep) {
    auto& List = Started();
    while (List.size() > Keep) {
        const TUnitEntry* U = List.back();
        List.pop_back();
        if (U->Finalization)
            U->Finalization();
    }
}
}  // namespace

void InitializeUnits(const TUnitEntry* Units, std::size_t Count) {
    const std::size_t Before = Started().size();
    for (std::size_t I = 0; I < Count; ++I) {
        try {
            if (Units[I].Initialization)
                Units[I].Initialization();
        } catch (...) {
            FinalizeUnitsDownTo(Before);
            throw;
        }
        Started().push_back(&Units[I]);
    }
}

bool UnitStarted(const TUnitEntry* Unit) {
    for (const TUnitEntry* U : Started())
        if (U == Unit)
            return true;
    return false;
}

void FinalizeUnits() { FinalizeUnitsDownTo(0); }
