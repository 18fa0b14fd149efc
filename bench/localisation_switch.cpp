// One language switch through the dispatcher: 10 windows with 50 translated controls each (caption
// and hint per button, a memo's lines, a status-bar panel), every window linked. Measured first
// before the windows exist (the engine and the objects alone), then with the windows shown, the
// texts and fonts going into live windows. Prints the time of one switch each way.
#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "siComp.h"
#include "siConsts.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int Windows = 10;
constexpr int Controls = 50;
constexpr char D = 1;

double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}

std::string Entry(const std::string& Key, const std::string& Russian, const std::string& English) {
    return Key + D + Russian + D + English + D;
}

// A shown window of Controls buttons, a memo and a status bar, its translation component linked.
TForm* MakeWindow(int Number, TsiLangDispatcher* Dispatcher) {
    TForm* F = TCustomForm::CreateNewOf<TForm>(nullptr);
    F->SetName("frmBench" + std::to_string(Number));
    F->SetBounds(20 + 30 * Number, 20 + 20 * Number, 640, 420);
    TsiLang* L = Create<TsiLang>(F);
    L->SetNumOfLanguages(2);
    const std::string Ru = "\xCA\xED\xEE\xEF\xEA\xE0 ";  // cp1251 "Button "
    L->Captions()->Add(Entry("TForm", "\xCE\xEA\xED\xEE " + std::to_string(Number), "Window " + std::to_string(Number)));
    for (int I = 0; I < Controls - 2; ++I) {
        auto* B = Create<TButton>(F);
        const std::string Name = "btn" + std::to_string(I);
        B->SetName(Name);
        B->SetParent(F);
        B->SetBounds(8 + (I % 6) * 100, 8 + (I / 6) * 30, 96, 26);
        B->SetCaption(Ru + std::to_string(I));
        L->Captions()->Add(Entry(Name, Ru + std::to_string(I), "Button " + std::to_string(I)));
        L->Hints()->Add(Entry(Name, "\xCF\xEE\xE4\xF1\xEA\xE0\xE7\xEA\xE0 " + std::to_string(I), "Hint " + std::to_string(I)));
    }
    auto* Memo = Create<TMemo>(F);
    Memo->SetName("mmoNotes");
    Memo->SetParent(F);
    Memo->SetBounds(8, 260, 300, 80);
    L->MultiLines()->Add(Entry("mmoNotes.Lines", "\xCF\xE5\xF0\xE2\xE0\xFF,\xC2\xF2\xEE\xF0\xE0\xFF", "First,Second"));
    auto* Bar = Create<TStatusBar>(F);
    Bar->SetName("sbBar");
    Bar->SetParent(F);
    Bar->Panels()->Add();
    L->Collections()->Add(Entry("sbBar.Panels[0].Text", "\xC3\xEE\xF2\xEE\xE2\xEE", "Ready"));
    L->CharSets()->Add(Entry("TForm", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"));
    L->SetLangDispatcher(Dispatcher);
    return F;
}

void Pump() {
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
}
}  // namespace

int main() {
    GraphicsInitialization();
    InitControls();
    StdCtrlsInitialization();
    InitComCtrls();
    siConstsInitialization();
    siCompInitialization();
    {
        TOwned<TsiLangDispatcher> Dispatcher(Create<TsiLangDispatcher>(nullptr));
        TStringList Names;
        Names.SetCommaText("Rus,Eng");
        Dispatcher->SetLangNames(&Names);
        std::vector<TForm*> Forms;
        for (int I = 0; I < Windows; ++I)
            Forms.push_back(MakeWindow(I, Dispatcher.get()));

        auto Measure = [&](const char* What) {
            const int Rounds = 10;
            double Total[2] = {0, 0};
            for (int R = 0; R < Rounds; ++R)
                for (int Language : {2, 1}) {
                    LARGE_INTEGER T0, T1;
                    QueryPerformanceCounter(&T0);
                    Dispatcher->SetActiveLanguage(Language);
                    QueryPerformanceCounter(&T1);
                    Total[Language - 1] += Seconds(T0, T1);
                    Pump();
                }
            std::printf("one switch, %d windows x %d translated controls, %s: to English %.2f ms, to Russian %.2f ms\n",
                        Windows, Controls, What, 1000.0 * Total[1] / Rounds, 1000.0 * Total[0] / Rounds);
        };
        Measure("no windows yet");
        for (TForm* F : Forms)
            F->Show();
        Pump();
        Measure("windows shown");
        for (TForm* F : Forms)
            F->Free();
    }
    siCompFinalization();
    siConstsFinalization();
    DoneControls();
    return 0;
}
