// Persistent objects, components, collections, streams and component streaming.
#pragma once

#include "SysUtils.h"
#include "System.h"

class TFiler;

// An object that can copy itself from another and take part in component streaming.
class TPersistent : public TObject {
    DECLARE_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // Asks Source->AssignTo(this); the base raises EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* Source);
    virtual std::string GetNamePath();

protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual void DefineProperties(TFiler& Filer);
    virtual TPersistent* GetOwner() { return nullptr; }

    friend class TFiler;
};

DECLARE_EXCEPTION(EStreamError, Exception);
DECLARE_EXCEPTION(EReadError, EStreamError);
DECLARE_EXCEPTION(EWriteError, EStreamError);
DECLARE_EXCEPTION(EFCreateError, EStreamError);
DECLARE_EXCEPTION(EFOpenError, EStreamError);

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// A stream of bytes. Descendants override Read, Write, Seek and, where they can, SetSize.
class TStream : public TObject {
    DECLARE_CLASS(TStream, TObject)
public:
    virtual LongInt Read(void* Buffer, LongInt Count) = 0;
    virtual LongInt Write(const void* Buffer, LongInt Count) = 0;
    // The 64-bit seek is the one descendants override; the 32-bit one calls it.
    virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
    LongInt Seek(LongInt Offset, Word Origin) { return static_cast<LongInt>(Seek(Int64(Offset), TSeekOrigin(Origin))); }

    Int64 Position() { return Seek(Int64(0), soCurrent); }
    void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
    virtual Int64 GetSize();
    virtual void SetSize(Int64 NewSize);
    Int64 Size() { return GetSize(); }

    // Raise EReadError / EWriteError when fewer bytes than asked move.
    void ReadBuffer(void* Buffer, LongInt Count);
    void WriteBuffer(const void* Buffer, LongInt Count);
    // Copies Count bytes from Source's position; Count 0 copies the whole source from its start.
    Int64 CopyFrom(TStream* Source, Int64 Count);
};
