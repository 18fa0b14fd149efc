// Speed of the run-time library routines the scheduler pass and the localisation engine lean on:
// Format, number and date texts, sorted string lists (add and find), CommaText, and a round trip
// of Synchronize to the main thread. Prints one line per routine: calls, total time, time per call.
//
// Usage: bench_rtl_strings.exe [scale]   (scale multiplies the number of calls, default 1)
#include "DateUtils.h"
#include "Lists.h"
#include "SysUtils.h"
#include "Threads.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

double Seconds() {
    static LARGE_INTEGER Freq = [] {
        LARGE_INTEGER F;
        QueryPerformanceFrequency(&F);
        return F;
    }();
    LARGE_INTEGER Now;
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Freq.QuadPart);
}

// Runs Body Calls times and prints the figures; Sink keeps the results alive.
std::size_t Sink = 0;
void Measure(const char* Name, int Calls, const std::function<std::size_t(int)>& Body) {
    double Start = Seconds();
    for (int I = 0; I < Calls; ++I)
        Sink += Body(I);
    double Total = Seconds() - Start;
    std::printf("%-34s %9d calls %9.3f ms %10.3f us/call\n", Name, Calls, Total * 1000, Total * 1e6 / Calls);
}

class TPingThread : public TThread {
public:
    TPingThread(int Count) : TThread(false), FCount(Count) {}
    std::size_t Hits = 0;

protected:
    void Execute() override {
        for (int I = 0; I < FCount; ++I)
            Synchronize([this] { ++Hits; });
    }

private:
    int FCount;
};

}  // namespace

int main(int argc, char** argv) {
    int Scale = argc > 1 ? std::atoi(argv[1]) : 1;
    if (Scale < 1)
        Scale = 1;
    std::printf("run-time library, code page %u, decimal separator '%c', short date \"%s\"\n", GetACP(),
                DecimalSeparator, ShortDateFormat.c_str());

    Measure("Format %s %d %.2f", 200000 * Scale,
            [](int I) { return Format("%s: %d (%.2f)", {"task", I, I * 0.5}).size(); });
    Measure("IntToStr + StrToInt", 500000 * Scale, [](int I) { return static_cast<std::size_t>(StrToInt(IntToStr(I))); });
    Measure("FloatToStr", 200000 * Scale, [](int I) { return FloatToStr(I / 7.0).size(); });
    Measure("FormatFloat #,##0.00", 200000 * Scale, [](int I) { return FormatFloat("#,##0.00", I * 1.25).size(); });
    TDateTime Base = EncodeDateTime(2026, 4, 15, 13, 5, 9, 0);
    Measure("DateTimeToStr", 200000 * Scale, [&](int I) { return DateTimeToStr(Base + I / 1440.0).size(); });
    std::string DateText = DateTimeToStr(Base);
    Measure("StrToDateTime", 200000 * Scale,
            [&](int) { return static_cast<std::size_t>(StrToDateTime(DateText) > 0); });

    const int N = 50000 * Scale;
    TStringList Sorted;
    Sorted.SetSorted(true);
    Measure("sorted TStringList.Add", N, [&](int I) {
        return static_cast<std::size_t>(Sorted.Add("key" + IntToStr((I * 7919) % N)));
    });
    Measure("sorted TStringList.IndexOf", N,
            [&](int I) { return static_cast<std::size_t>(Sorted.IndexOf("KEY" + IntToStr(I))); });
    TStringList Plain;
    for (int I = 0; I < 1000; ++I)
        Plain.Add("item " + IntToStr(I));
    std::string Comma = Plain.CommaText();
    Measure("CommaText of 1000 lines (set+get)", 200 * Scale, [&](int) {
        TStringList L;
        L.SetCommaText(Comma);
        return L.CommaText().size();
    });

    const int Pings = 20000 * Scale;
    double Start = Seconds();
    TOwned<TPingThread> Ping(Create<TPingThread>(Pings));
    Ping->WaitFor();
    double Total = Seconds() - Start;
    std::printf("%-34s %9d calls %9.3f ms %10.3f us/call\n", "Synchronize round trip", Pings, Total * 1000,
                Total * 1e6 / Pings);
    Sink += Ping->Hits;
    return Sink == 0 ? 1 : 0;
}
