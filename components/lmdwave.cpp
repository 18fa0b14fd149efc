#include "lmdwave.h"

#include "Filer.h"
#include "lmdstreams.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace {
const char* const CannotOpen = "Cannot open file %s";

// The message names no file where the wave has none; the placeholder says so.
std::string CannotOpenText() { return Format(CannotOpen, {"(stream)"}); }

bool ReadTag(TStream* Stream, const char* Tag) {
    char Buf[4];
    return Stream->Read(Buf, 4) == 4 && std::memcmp(Buf, Tag, 4) == 0;
}
}  // namespace

bool ReadWaveHeader(TStream* Stream, WaveHeaderInfo& Info) {
    if (!Stream || Stream->Size() == 0)
        return false;
    bool Ok = false;
    try {
        Stream->SetPosition(0);
        LongWord RiffSize = 0, ChunkSize = 0;
        if (ReadTag(Stream, "RIFF") && Stream->Read(&RiffSize, 4) == 4 && ReadTag(Stream, "WAVE") &&
            ReadTag(Stream, "fmt ") && Stream->Read(&ChunkSize, 4) == 4) {
            Word Tag, Channels, Align;
            LongWord Rate, Average;
            Stream->ReadBuffer(&Tag, 2);
            Stream->ReadBuffer(&Channels, 2);
            Stream->ReadBuffer(&Rate, 4);
            Stream->ReadBuffer(&Average, 4);
            Stream->ReadBuffer(&Align, 2);
            Info.RiffSize = RiffSize;
            Info.SampleRate = Rate;
            Info.Channels = Channels == 1 || Channels == 2 ? static_cast<Byte>(Channels) : 0;
            Info.IsPcm = Tag == 1;
            Info.BlockAlign = Align;
            Ok = true;
        }
    } catch (const Exception&) {
        Stream->SetPosition(0);
        throw EErrorCheckingWave("GetWaveData: " + CannotOpenText());
    }
    Stream->SetPosition(0);
    return Ok;
}

TLMDWave::~TLMDWave() {
    if (!IsEmpty())
        PlaySoundA(nullptr, nullptr, 0);
    FreeAndNil(FData);
}

TLMDWave* TLMDWave::CreateFromFile(const std::string& FileName) {
    TOwned<TLMDWave> Wave(Create<TLMDWave>());
    Wave->LoadFromFile(FileName);
    return Wave.release();
}

void TLMDWave::SetData(TMemoryStream* Stream) {
    if (!IsEmpty())
        PlaySoundA(nullptr, nullptr, 0);
    FreeAndNil(FData);
    FData = Stream;
    if (FData)
        FData->SetPosition(0);
    NotifyChange();
}

void TLMDWave::LoadSized(LongInt Count, TStream* Stream) {
    if (Count == 0 || Stream->Size() == 0)
        return Clear();
    TOwned<TMemoryStream> Data(Create<TMemoryStream>());
    Data->CopyFrom(Stream, Count);
    WaveHeaderInfo Info;
    if (!ReadWaveHeader(Data.get(), Info))
        throw EInvalidWave(ClassName() + ": " + CannotOpenText());
    SetData(Data.release());
}

void TLMDWave::LoadFromStream(TStream* Stream) {
    LoadSized(static_cast<LongInt>(Stream->Size() - Stream->Position()), Stream);
}

void TLMDWave::LoadFromFile(const std::string& FileName) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&File);
}

void TLMDWave::SaveToStream(TStream* Stream) {
    if (IsEmpty())
        return;
    FData->SetPosition(0);
    Stream->CopyFrom(FData, FData->Size());
}

void TLMDWave::SaveToFile(const std::string& FileName) {
    TFileStream File(FileName, fmCreate);
    SaveToStream(&File);
}

void TLMDWave::WriteData(TStream* Stream, bool WithSize) {
    if (!FData)
        FData = Create<TMemoryStream>();
    if (WithSize)
        lmdstreams::WriteLongInt(Stream, DataSize());
    SaveToStream(Stream);
}

void TLMDWave::Assign(TPersistent* Source) {
    if (!Source)
        return Clear();
    auto* From = DynCast<TLMDWave>(Source);
    if (!From)
        return TLMDObject::Assign(Source);
    TOwned<TMemoryStream> Copy(Create<TMemoryStream>());
    if (From->FData) {
        From->FData->SetPosition(0);
        Copy->CopyFrom(From->FData, From->FData->Size());
    }
    SetData(Copy.release());
}

void TLMDWave::ReadDataProperty(TStream& Stream) { LoadSized(lmdstreams::ReadLongInt(&Stream), &Stream); }
void TLMDWave::WriteDataProperty(TStream& Stream) { WriteData(&Stream, true); }

void TLMDWave::DefineProperties(TFiler& Filer) {
    TLMDObject::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadDataProperty(S); }, [this](TStream& S) { WriteDataProperty(S); },
        FData != nullptr);
}

void WriteWaveData(TStream* Stream, TLMDWave* Wave, bool Packed) {
    if (!Packed)
        return Wave->WriteData(Stream, true);
    TMemoryStream Bytes;
    Wave->SaveToStream(&Bytes);
    lmdstreams::WriteSizedData(Stream, &Bytes, true);
}

void ReadWaveData(TStream* Stream, TLMDWave* Wave, bool Packed) {
    if (!Packed)
        return Wave->LoadSized(lmdstreams::ReadLongInt(Stream), Stream);
    TMemoryStream Bytes;
    lmdstreams::ReadSizedData(Stream, &Bytes, true);
    Wave->LoadFromStream(&Bytes);
}
