// Message lookup speed: GetTextOrDefault over a translation component holding 2,000 keys in two
// languages (every fourth English text empty, so it falls back to the Russian one), as a window's
// UpdateStrings calls it; also the index build that each window load pays once.
#include "siComp.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}
}  // namespace

int main() {
    siCompInitialization();
    const int Keys = 2000;
    const char D = 1;
    TOwned<TComponent> Owner(Create<TComponent>(nullptr));
    TsiLang* Lang = Create<TsiLang>(Owner.get());
    Lang->SetNumOfLanguages(2);
    std::vector<std::string> Names;
    for (int I = 0; I < Keys; ++I) {
        std::string Key = "strMessage" + std::to_string((I * 7919) % Keys);
        Names.push_back(Key);
        std::string English = I % 4 == 0 ? "" : "Message text number " + std::to_string(I);
        Lang->Strings()->Add(Key + D + "\xD1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE5 " + std::to_string(I) + D + English + D);
    }

    LARGE_INTEGER T0, T1;
    QueryPerformanceCounter(&T0);
    const int Builds = 20;
    for (int I = 0; I < Builds; ++I)
        RebuildIndexes(Lang);
    QueryPerformanceCounter(&T1);
    std::printf("index build, %d keys: %.2f ms\n", Keys, 1000.0 * Seconds(T0, T1) / Builds);

    for (int Language = 1; Language <= 2; ++Language) {
        Lang->SetActiveLanguage(Language);
        const int Lookups = 200000;
        size_t Total = 0;
        QueryPerformanceCounter(&T0);
        for (int I = 0; I < Lookups; ++I)
            Total += Lang->GetTextOrDefault(Names[static_cast<size_t>((I * 31) % Keys)]).size();
        QueryPerformanceCounter(&T1);
        const double S = Seconds(T0, T1);
        std::printf("GetTextOrDefault, %d keys, language %d: %.0f lookups/s (%.2f us each; %zu chars)\n", Keys, Language,
                    Lookups / S, 1e6 * S / Lookups, Total);
    }
    Owner.reset();
    siCompFinalization();
    return 0;
}
