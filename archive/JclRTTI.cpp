#include "JclRTTI.h"

#include "JclUnitVersioning.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {
const TUnitVersionInfo Banner = UnitBanner("JclRTTI", 3193, "common");
std::recursive_mutex ListLock;
std::vector<TJclDynamicTypeInfo*> List;
}  // namespace

void AddDynamicTypeInfo(TJclDynamicTypeInfo* Info) {
    std::lock_guard<std::recursive_mutex> Lock(ListLock);
    List.push_back(Info);
}

void RemoveDynamicTypeInfo(TJclDynamicTypeInfo* Info) {
    if (!Info)
        return;
    std::lock_guard<std::recursive_mutex> Lock(ListLock);
    List.erase(std::remove(List.begin(), List.end(), Info), List.end());
    if (--Info->RefCount > 0)
        return;
    const bool OwnBase = Info->Kind == TJclDynamicTypeInfo::tkEnumeration && Info->Related == Info;
    if ((Info->Kind == TJclDynamicTypeInfo::tkSet || Info->Kind == TJclDynamicTypeInfo::tkEnumeration) && !OwnBase)
        RemoveDynamicTypeInfo(Info->Related);
    delete Info;
}

int DynamicTypeInfoCount() {
    std::lock_guard<std::recursive_mutex> Lock(ListLock);
    return static_cast<int>(List.size());
}

void JclRTTIInitialization() {
    {
        std::lock_guard<std::recursive_mutex> Lock(ListLock);
        List.clear();
    }
    RegisterProgramUnitBanner(Banner);
}

void JclRTTIFinalization() {
    for (;;) {
        TJclDynamicTypeInfo* Last;
        {
            std::lock_guard<std::recursive_mutex> Lock(ListLock);
            if (List.empty())
                break;
            Last = List.back();
        }
        RemoveDynamicTypeInfo(Last);
    }
    UnregisterProgramUnitBanners();
}
