// The complete bytes of one RIFF wave file held in memory, checked by their header, stored in forms as
// the binary property "Data" and packed for containers.
#pragma once

#include "LMDObject.h"
#include "Streams.h"
#include "SysUtils.h"

DECLARE_EXCEPTION(EInvalidWave, Exception);
DECLARE_EXCEPTION(EErrorCheckingWave, Exception);

struct WaveHeaderInfo {
    LongWord RiffSize = 0;
    LongWord SampleRate = 0;
    Byte Channels = 0;  // 1 mono, 2 stereo, 0 anything else
    Byte IsPcm = 0;     // format tag 1
    Word BlockAlign = 0;
};

// True when the stream starts with "RIFF", a size, "WAVE" and a "fmt " chunk; the stream is rewound
// either way. False for no stream or an empty one.
bool ReadWaveHeader(TStream* Stream, WaveHeaderInfo& Info);

class TLMDWave : public TLMDObject {
    DECLARE_CLASS(TLMDWave, TLMDObject)
public:
    TLMDWave() = default;
    ~TLMDWave() override;
    static TLMDWave* CreateFromFile(const std::string& FileName);
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;

    // Count bytes of Stream become the wave when their header is a wave's (EInvalidWave otherwise,
    // the wave unchanged); a count of 0 or an empty stream empties the wave.
    void LoadSized(LongInt Count, TStream* Stream);
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);
    // The size (with WithSize) and the bytes; a wave without data gets an empty data stream first.
    void WriteData(TStream* Stream, bool WithSize);
    void Clear() { SetData(nullptr); }
    bool IsEmpty() const { return !FData || FData->Size() == 0; }
    LongInt DataSize() const { return FData ? static_cast<LongInt>(FData->Size()) : 0; }
    bool HasDataStream() const { return FData != nullptr; }

    virtual void ReadDataProperty(TStream& Stream);
    virtual void WriteDataProperty(TStream& Stream);

private:
    // Takes Stream (rewound) or none, stopping a sound the process plays when there was data.
    void SetData(TMemoryStream* Stream);
    TMemoryStream* FData = nullptr;
};

// Container forms of a wave (packed: a packed stream of the bytes; plain: size and bytes).
void WriteWaveData(TStream* Stream, TLMDWave* Wave, bool Packed);
void ReadWaveData(TStream* Stream, TLMDWave* Wave, bool Packed);
