#include "JclStreams.h"
#include "JclUnitVersioning.h"

#include "JclResources.h"

#include <memory>
#include <vector>

Int64 CopyStreamData(TStream* Source, TStream* Dest, LongInt BufferSize) {
    std::vector<char> Buffer(static_cast<size_t>(BufferSize > 0 ? BufferSize : 1));
    Int64 Total = 0;
    LongInt N;
    do {
        N = Source->Read(Buffer.data(), BufferSize);
        Total += N;
        Dest->WriteBuffer(Buffer.data(), N);
    } while (N >= BufferSize && N > 0);
    return Total;
}

// ---------------------------------------------------------------------------------------------

void TJclStream::SetSize(Int64) {}

Int64 TJclStream::Seek(Int64, TSeekOrigin) { return -1; }

LongInt TJclStream::Seek(LongInt Offset, Word Origin) {
    if (Origin > soFromEnd)
        return -1;
    Int64 R = Seek(Int64(Offset), TSeekOrigin(Origin));
    return (R < 0 || R > 0x7FFFFFFF) ? -1 : static_cast<LongInt>(R);
}

Int64 TJclStream::LoadFromStream(TStream* Source, LongInt BufferSize) { return CopyStreamData(Source, this, BufferSize); }

Int64 TJclStream::SaveToStream(TStream* Dest, LongInt BufferSize) { return CopyStreamData(this, Dest, BufferSize); }

Int64 TJclStream::LoadFromFile(const std::string& FileName, LongInt BufferSize) {
    TOwned<TFileStream> File(Create<TFileStream>(FileName, Word(fmOpenRead | fmShareDenyWrite)));
    return LoadFromStream(File.get(), BufferSize);
}

Int64 TJclStream::SaveToFile(const std::string& FileName, LongInt BufferSize) {
    TOwned<TFileStream> File(Create<TFileStream>(FileName, fmCreate));
    return SaveToStream(File.get(), BufferSize);
}

// ---------------------------------------------------------------------------------------------

TJclStreamDecorator::TJclStreamDecorator(TStream* AStream, bool AOwnsStream) : FOwnsStream(AOwnsStream), FStream(AStream) {}

TJclStreamDecorator::~TJclStreamDecorator() {
    if (FOwnsStream)
        FreeObject(FStream);
}

void TJclStreamDecorator::SetSize(Int64 NewSize) {
    if (FStream)
        FStream->SetSize(NewSize);
}

LongInt TJclStreamDecorator::Read(void* Buffer, LongInt Count) { return FStream ? FStream->Read(Buffer, Count) : 0; }

LongInt TJclStreamDecorator::Write(const void* Buffer, LongInt Count) {
    return FStream ? FStream->Write(Buffer, Count) : 0;
}

Int64 TJclStreamDecorator::Seek(Int64 Offset, TSeekOrigin Origin) {
    // Without an inner stream there is nowhere to be: answer as a stream that cannot seek.
    return FStream ? FStream->Seek(Offset, Origin) : -1;
}

void TJclStreamDecorator::DoInnerStreamChanged() { OnInnerStreamChanged(this); }

void TJclStreamDecorator::DoInnerStreamChanging() { OnInnerStreamChanging(this); }

Byte TJclEasyStream::ReadUInt8() {
    Byte B;
    ReadBuffer(&B, 1);
    return B;
}

LongInt TJclEasyStream::ReadInt32() {
    Byte B[4];
    ReadBuffer(B, 4);
    return static_cast<LongInt>(std::uint32_t(B[0]) | (std::uint32_t(B[1]) << 8) | (std::uint32_t(B[2]) << 16) |
                                (std::uint32_t(B[3]) << 24));
}

// ---------------------------------------------------------------------------------------------

TJclSplitStream::TJclSplitStream(bool AForcePosition) : FForcePosition(AForcePosition) {}

bool TJclSplitStream::SelectVolume(LongInt Index) {
    if (Index == -1)
        Index = 0;
    if (Index == FVolumeIndex)
        return FVolume != nullptr;
    const LongInt OldIndex = FVolumeIndex;
    const Int64 OldMaxSize = FVolumeMaxSize, OldVolumePos = FVolumePosition;
    TStream* OldVolume = FVolume;
    FVolumeIndex = Index;
    FVolumePosition = 0;
    FVolume = FetchVolume(Index);
    FVolumeMaxSize = FetchVolumeMaxSize(Index);
    if (FVolumeMaxSize < 0)
        FVolumeMaxSize = 0;
    if (FVolume) {
        FVolume->Seek(Int64(0), soBeginning);
        return true;
    }
    FVolumeIndex = OldIndex;
    FVolumeMaxSize = OldMaxSize;
    FVolumePosition = OldVolumePos;
    FVolume = OldVolume;
    return false;
}

template <class TBytes, class TMove>
LongInt TJclSplitStream::Transfer(TBytes* Data, LongInt Count, bool Writing, TMove Move) {
    LongInt Total = 0, Remaining = Count;
    LongInt Index = FVolumeIndex;
    while (SelectVolume(Index)) {
        if (FForcePosition)
            FVolume->Seek(FVolumePosition, soBeginning);
        LongInt Chunk = Remaining;
        // Only writing stops at a volume's limit; reading takes what the volume has.
        if (Writing && FVolumeMaxSize != 0 && FVolumePosition + Remaining > FVolumeMaxSize)
            Chunk = static_cast<LongInt>(FVolumeMaxSize - FVolumePosition);
        LongInt N = Move(Data, Chunk);
        FVolumePosition += N;
        FPosition += N;
        Total += N;
        if (Total == Count)
            break;
        Data += N;
        Remaining -= N;
        Index = FVolumeIndex + 1;
    }
    return Total;
}

LongInt TJclSplitStream::Read(void* Buffer, LongInt Count) {
    return Transfer(static_cast<char*>(Buffer), Count, false,
                    [this](char* Data, LongInt N) { return FVolume->Read(Data, N); });
}

LongInt TJclSplitStream::Write(const void* Buffer, LongInt Count) {
    return Transfer(static_cast<const char*>(Buffer), Count, true,
                    [this](const char* Data, LongInt N) { return FVolume->Write(Data, N); });
}

Int64 TJclSplitStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    Int64 Target;
    switch (Origin) {
    case soBeginning: Target = Offset; break;
    case soCurrent: Target = FPosition + Offset; break;
    case soEnd: Target = GetSize() + Offset; break;
    default: throw EJclStreamError(JclResources::RsStreamsSeekError);
    }
    Int64 Delta = Target - FPosition;
    Int64 Pos = FPosition;
    while (Delta != 0) {
        if (!SelectVolume(FVolumeIndex))
            break;
        if (Delta < 0 && -Delta <= FVolumePosition) {
            FVolumePosition = FVolume->Seek(FVolumePosition + Delta, soBeginning);
            Pos += Delta;
            FPosition = Pos;
            Delta = 0;
        } else if (Delta < 0) {
            if (FVolumeIndex == 0)
                break;
            Delta += FVolumePosition;
            Pos -= FVolumePosition;
            FPosition = Pos;
            FVolumePosition = FVolume->Seek(Int64(0), soBeginning);
            if (!SelectVolume(FVolumeIndex - 1))
                break;
            const Int64 Size = FVolume->Size();
            Pos -= Size;
            FPosition = Pos;
            Delta += Size;
        } else if (FVolumeMaxSize == 0 || FVolumePosition + Delta < FVolumeMaxSize) {
            FVolumePosition = FVolume->Seek(FVolumePosition + Delta, soBeginning);
            Pos += Delta;
            FPosition = Pos;
            Delta = 0;
        } else {
            Delta = Delta - FVolumeMaxSize + FVolumePosition;
            Pos = Pos + FVolumeMaxSize - FVolumePosition;
            FPosition = Pos;
            // The volume stands at its limit, so that the positions agree even when no next
            // volume comes.
            FVolumePosition = FVolume->Seek(FVolumeMaxSize, soBeginning);
            if (!SelectVolume(FVolumeIndex + 1))
                break;
        }
    }
    return Pos;
}

void TJclSplitStream::RestorePosition(LongInt Index, Int64 VolumePos, Int64 Position) {
    SelectVolume(Index);
    FPosition = Position;
    if (FVolume)
        FVolumePosition = FVolume->Seek(VolumePos, soBeginning);
}

Int64 TJclSplitStream::GetSize() {
    const LongInt OldIndex = FVolumeIndex;
    const Int64 OldVolumePos = FVolumePosition, OldPosition = FPosition;
    Int64 Total = 0;
    try {
        FVolumeIndex = -1;
        FVolume = nullptr;
        while (SelectVolume(FVolumeIndex + 1)) {
            const Int64 Size = FVolume->Size();
            Total += Size;
            if (Size == 0)
                break;
        }
    } catch (...) {
        RestorePosition(OldIndex, OldVolumePos, OldPosition);
        throw;
    }
    RestorePosition(OldIndex, OldVolumePos, OldPosition);
    return Total;
}

void TJclSplitStream::SetSize(Int64 NewSize) {
    const LongInt OldIndex = FVolumeIndex;
    const Int64 OldVolumePos = FVolumePosition, OldPosition = FPosition;
    Int64 Remaining = NewSize;
    try {
        FVolumeIndex = -1;
        FVolume = nullptr;
        while (SelectVolume(FVolumeIndex + 1)) {
            Int64 Part = Remaining;
            if (FVolumeMaxSize != 0 && FVolumeMaxSize < Remaining)
                Part = FVolumeMaxSize;
            FVolume->SetSize(Part);
            Remaining -= Part;
            if (Remaining == 0)
                break;
        }
    } catch (...) {
        RestorePosition(OldIndex, OldVolumePos, OldPosition);
        throw;
    }
    RestorePosition(OldIndex, OldVolumePos, OldPosition);
}

// ---------------------------------------------------------------------------------------------

TStream* TJclDynamicSplitStream::FetchVolume(LongInt Index) {
    TStream* Result = nullptr;
    OnFetchVolume(Index, Result);
    return Result;
}

Int64 TJclDynamicSplitStream::FetchVolumeMaxSize(LongInt Index) {
    Int64 Result = 0;
    OnFetchVolumeMaxSize(Index, Result);
    return Result;
}

namespace {
const TUnitVersionInfo JclStreamsBanner = UnitBanner("JclStreams", 3160, "common");
}

void JclStreamsInitialization() { RegisterProgramUnitBanner(JclStreamsBanner); }

void JclStreamsFinalization() { UnregisterProgramUnitBanners(); }
