// Creates, shows and destroys a form with 50 controls (buttons, windowed containers and windowless
// controls, the mix of the program's windows) many times and prints the time of each phase.
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class TBenchBox : public TWinControl {
    DECLARE_CLASS(TBenchBox, TWinControl)
public:
    explicit TBenchBox(TComponent* AOwner) : TWinControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

class TBenchMark : public TGraphicControl {
    DECLARE_CLASS(TBenchMark, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clNavy);
        Canvas()->FillRect(TRect{0, 0, Width(), Height()});
    }
};

double Milliseconds() {
    LARGE_INTEGER F, C;
    QueryPerformanceFrequency(&F);
    QueryPerformanceCounter(&C);
    return static_cast<double>(C.QuadPart) * 1000.0 / static_cast<double>(F.QuadPart);
}

TForm* MakeForm() {
    TForm* F = TForm::CreateNew(nullptr);
    F->SetPosition(poDesigned);
    F->SetBounds(40, 40, 640, 480);
    F->SetCaption("Benchmark");
    // 10 containers, each with 2 buttons and 1 windowless control, and 20 more buttons on the form.
    for (int I = 0; I < 10; ++I) {
        auto* Box = Create<TBenchBox>(F);
        Box->SetParent(F);
        Box->SetBounds(8 + (I % 5) * 124, 8 + (I / 5) * 110, 120, 100);
        for (int J = 0; J < 2; ++J) {
            auto* B = Create<TButton>(F);
            B->SetParent(Box);
            B->SetBounds(4, 4 + J * 30, 100, 25);
            B->SetCaption("Button");
        }
        auto* M = Create<TBenchMark>(F);
        M->SetParent(Box);
        M->SetBounds(4, 66, 100, 20);
    }
    for (int I = 0; I < 20; ++I) {
        auto* B = Create<TButton>(F);
        B->SetParent(F);
        B->SetBounds(8 + (I % 5) * 124, 240 + (I / 5) * 30, 100, 25);
        B->SetCaption("Button");
    }
    return F;
}

void Report(const char* Name, std::vector<double> Ms) {
    std::sort(Ms.begin(), Ms.end());
    double Sum = 0;
    for (double V : Ms)
        Sum += V;
    std::printf("%-22s mean %8.2f ms  median %8.2f ms  min %8.2f ms  max %8.2f ms\n", Name, Sum / Ms.size(),
                Ms[Ms.size() / 2], Ms.front(), Ms.back());
}

}  // namespace

int main() {
    GraphicsInitialization();
    InitControls();
    const int Rounds = 50;
    std::vector<double> Create, Show, Destroy, Total;
    MakeForm()->Free();  // warm-up: window classes registered, fonts made
    for (int R = 0; R < Rounds; ++R) {
        double T0 = Milliseconds();
        TForm* F = MakeForm();
        double T1 = Milliseconds();
        F->Show();
        Application->ProcessMessages();  // painting
        double T2 = Milliseconds();
        F->Free();
        Application->ProcessMessages();
        double T3 = Milliseconds();
        Create.push_back(T1 - T0);
        Show.push_back(T2 - T1);
        Destroy.push_back(T3 - T2);
        Total.push_back(T3 - T0);
    }
    std::printf("form with 50 controls (30 buttons, 10 containers, 10 windowless), %d rounds\n", Rounds);
    Report("create", Create);
    Report("show and paint", Show);
    Report("destroy", Destroy);
    Report("create+show+destroy", Total);
    DoneControls();
    GraphicsFinalization();
    return 0;
}
