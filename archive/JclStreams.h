// Streams of the archive layer: the base with its load and save helpers, a forwarding decorator
// with typed readers, and the split stream that lays one logical stream over a series of volumes.
#pragma once

#include "Classes.h"
#include "JclBase.h"

#include <string>

// Copies from Source's position to Dest in chunks of BufferSize bytes; gives the count copied.
Int64 CopyStreamData(TStream* Source, TStream* Dest, LongInt BufferSize);

class TJclStream : public TStream {
    DECLARE_CLASS(TJclStream, TStream)
public:
    using TStream::SetSize;
    void SetSize(Int64 NewSize) override;
    // A plain stream of this unit cannot seek: -1.
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    // The 32-bit seek: origins 0 to 2 only, and -1 when the position does not fit 31 bits.
    LongInt Seek(LongInt Offset, Word Origin);

    virtual Int64 LoadFromStream(TStream* Source, LongInt BufferSize = 4096);
    virtual Int64 LoadFromFile(const std::string& FileName, LongInt BufferSize = 4096);
    virtual Int64 SaveToStream(TStream* Dest, LongInt BufferSize = 4096);
    virtual Int64 SaveToFile(const std::string& FileName, LongInt BufferSize = 4096);
};

// Forwards every operation to an inner stream, which it frees only when it owns it.
class TJclStreamDecorator : public TJclStream {
    DECLARE_CLASS(TJclStreamDecorator, TJclStream)
public:
    TJclStreamDecorator(TStream* AStream, bool AOwnsStream = false);
    ~TJclStreamDecorator() override;

    using TJclStream::SetSize;
    void SetSize(Int64 NewSize) override;
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TJclStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;

    TStream* Stream() const { return FStream; }
    bool OwnsStream() const { return FOwnsStream; }

    TNotifyEvent OnInnerStreamChanged;
    TNotifyEvent OnInnerStreamChanging;

protected:
    virtual void DoInnerStreamChanged();
    virtual void DoInnerStreamChanging();

private:
    bool FOwnsStream;
    TStream* FStream;
};

class TJclEasyStream : public TJclStreamDecorator {
    DECLARE_CLASS(TJclEasyStream, TJclStreamDecorator)
public:
    using TJclStreamDecorator::TJclStreamDecorator;
    Byte ReadUInt8();
    LongInt ReadInt32();
};

// One logical stream over volumes that a subclass supplies on demand. Volumes are never freed
// here: whoever supplies them keeps them.
class TJclSplitStream : public TJclStream {
    DECLARE_CLASS(TJclSplitStream, TJclStream)
public:
    explicit TJclSplitStream(bool AForcePosition = false);

    Int64 GetSize() override;
    using TJclStream::SetSize;
    void SetSize(Int64 NewSize) override;
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TJclStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;

    LongInt VolumeIndex() const { return FVolumeIndex; }
    Int64 VolumePosition() const { return FVolumePosition; }

protected:
    virtual TStream* FetchVolume(LongInt Index) = 0;
    virtual Int64 FetchVolumeMaxSize(LongInt Index) = 0;

private:
    bool SelectVolume(LongInt Index);
    // The read and write walk over the volumes; Move moves the bytes within the current one.
    template <class TBytes, class TMove>
    LongInt Transfer(TBytes* Data, LongInt Count, bool Writing, TMove Move);
    // Puts the current volume and the positions back after a walk over all volumes.
    void RestorePosition(LongInt Index, Int64 VolumePos, Int64 Position);

    TStream* FVolume = nullptr;
    LongInt FVolumeIndex = -1;
    Int64 FVolumeMaxSize = 0;
    Int64 FPosition = 0;
    Int64 FVolumePosition = 0;
    bool FForcePosition;
};

using TJclOnVolume = TMethodOf<LongInt, TStream*&>;    // (Index, out Stream)
using TJclOnVolumeMaxSize = TMethodOf<LongInt, Int64&>;  // (Index, out MaxSize)

class TJclDynamicSplitStream : public TJclSplitStream {
    DECLARE_CLASS(TJclDynamicSplitStream, TJclSplitStream)
public:
    using TJclSplitStream::TJclSplitStream;
    TJclOnVolume OnFetchVolume;
    TJclOnVolumeMaxSize OnFetchVolumeMaxSize;

protected:
    TStream* FetchVolume(LongInt Index) override;
    Int64 FetchVolumeMaxSize(LongInt Index) override;
};

// Unit start-up and shut-down: the version banner.
void JclStreamsInitialization();
void JclStreamsFinalization();
