#include "acResample.h"

#include "SysUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float Supports[ResampleFilterCount] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
constexpr double Pi = 3.14159265358979323846;

struct TContributor {
    int Offset;  // bytes from the start of the source line
    int Weight;  // 16.16 fixed point
};

// One entry per destination index, each with room for Capacity contributors, in one block.
struct TContributorList {
    int Capacity = 0;
    std::vector<int> Counts;
    std::vector<TContributor> Items;
    const TContributor* Of(int I) const { return Items.data() + size_t(I) * Capacity; }
};

TContributorList BuildList(int NewSize, int OldSize, int Stride, int Filter) {
    const float R = Supports[Filter];
    const float Scale = NewSize < OldSize ? float(NewSize) / float(OldSize) : 1.0f;
    const float Width = R / Scale;
    TContributorList L;
    // trunc(2 W + 1) as the method gives it, plus the two ends a centre between pixels may reach.
    L.Capacity = static_cast<int>(2 * Width + 1) + 2;
    L.Counts.assign(NewSize, 0);
    L.Items.resize(size_t(NewSize) * L.Capacity);
    for (int I = 0; I < NewSize; ++I) {
        const float Centre = float(OldSize) * float(I) / float(NewSize);
        TContributor* Out = L.Items.data() + size_t(I) * L.Capacity;
        int& Count = L.Counts[I];
        for (int J = static_cast<int>(std::floor(Centre - Width)); J <= static_cast<int>(std::ceil(Centre + Width)); ++J) {
            const float Signed = (Centre - float(J)) * Scale;
            const float H = std::fabs(Signed);
            if (!(H < R))
                continue;
            double Weight = ResampleFilterKernel(Filter, Filter == 0 ? Signed : H);
            if (Weight == 0 || Count >= L.Capacity)
                continue;
            int K = J < 0 ? -J : J >= OldSize ? 2 * OldSize - 1 - J : J;
            // A single mirror is not enough when the support is wider than the line.
            K = std::clamp(K, 0, OldSize - 1);
            Out[Count++] = TContributor{K * Stride, static_cast<int>(std::lrint(Weight * Scale * 65536.0))};
        }
    }
    return L;
}

inline Byte ClampSum(int Sum) { return Sum < 0 ? 0 : Sum > 0xFF0000 ? 255 : static_cast<Byte>(Sum >> 16); }

// Resamples one line: Src is its first source pixel, Dst the first destination pixel.
void ApplyList(const TContributorList& L, int NewSize, const Byte* Src, Byte* Dst, int DstStep, int Channels) {
    for (int I = 0; I < NewSize; ++I, Dst += DstStep) {
        int Sum[4] = {0, 0, 0, 0};
        const TContributor* C = L.Of(I);
        for (int K = 0; K < L.Counts[I]; ++K) {
            const Byte* P = Src + C[K].Offset;
            for (int Ch = 0; Ch < Channels; ++Ch)
                Sum[Ch] += C[K].Weight * P[Ch];
        }
        for (int Ch = 0; Ch < Channels; ++Ch)
            Dst[Ch] = ClampSum(Sum[Ch]);
    }
}

int RowStep(TBitmap* B) {
    if (B->Height() < 2)
        return 0;
    return static_cast<int>(static_cast<Byte*>(B->ScanLine(1)) - static_cast<Byte*>(B->ScanLine(0)));
}

}  // namespace

float ResampleFilterSupport(int Filter) { return Supports[std::clamp(Filter, 0, ResampleFilterCount - 1)]; }

double ResampleFilterKernel(int Filter, double X) {
    double H = std::fabs(X);
    switch (Filter) {
    case 0:
        return X > -0.5 && X <= 0.5 ? 1.0 : 0.0;
    case 1:
        return H < 1 ? 1 - H : 0;
    case 2:
        return H < 1 ? (2 * H - 3) * H * H + 1 : 0;
    case 3:
        if (H < 0.5)
            return 0.75 - H * H;
        return H < 1.5 ? 0.5 * (H - 1.5) * (H - 1.5) : 0;
    case 4:
        if (H < 1)
            return H * H * (H / 2 - 1) + 2.0 / 3.0;
        return H < 2 ? (2 - H) * (2 - H) * (2 - H) / 6 : 0;
    case 5:
        if (H == 0)
            return 1;
        return H < 3 ? std::sin(Pi * H) * std::sin(H) / (Pi * H * H) : 0;
    default:
        if (H < 1)
            return (7.0 / 6.0) * H * H * H - 2 * H * H + 8.0 / 9.0;
        return H < 2 ? -(7.0 / 18.0) * H * H * H + 2 * H * H - (10.0 / 3.0) * H + 16.0 / 9.0 : 0;
    }
}

void ResampleBitmap(TBitmap* Src, TBitmap* Dst, int NewWidth, int NewHeight, int Filter) {
    if (Src->Width() < 2 || Src->Height() < 2)
        throw Exception(std::string(acResampleMessages::SSourceTooSmall));
    if (Filter < 0 || Filter >= ResampleFilterCount)
        Filter = ResampleFilterCount - 1;
    const TPixelFormat Format = Src->PixelFormat() == pf32bit ? pf32bit : pf24bit;
    const int Bpp = Format == pf32bit ? 4 : 3;
    if (NewWidth == Src->Width() && NewHeight == Src->Height()) {
        if (Src != Dst)
            Dst->Assign(Src);
        return;
    }
    Src->SetPixelFormat(Format);
    const int OldWidth = Src->Width(), OldHeight = Src->Height();

    TOwned<TBitmap> Work(Create<TBitmap>());
    Work->SetPixelFormat(Format);
    Work->SetSize(NewWidth, OldHeight);
    TContributorList Rows = BuildList(NewWidth, OldWidth, Bpp, Filter);
    for (int Y = 0; Y < OldHeight; ++Y)
        ApplyList(Rows, NewWidth, static_cast<const Byte*>(Src->ScanLine(Y)), static_cast<Byte*>(Work->ScanLine(Y)),
                  Bpp, Bpp);

    Dst->SetPixelFormat(Format);
    Dst->SetSize(NewWidth, NewHeight);
    if (NewWidth <= 0 || NewHeight <= 0)
        return;
    const int WorkStep = RowStep(Work.get());
    const int DstStep = RowStep(Dst);
    TContributorList Columns = BuildList(NewHeight, OldHeight, WorkStep, Filter);
    const Byte* WorkRow0 = static_cast<const Byte*>(Work->ScanLine(0));
    Byte* DstRow0 = static_cast<Byte*>(Dst->ScanLine(0));
    for (int X = 0; X < NewWidth; ++X)
        ApplyList(Columns, NewHeight, WorkRow0 + X * Bpp, DstRow0 + X * Bpp, DstStep, Bpp);
}
