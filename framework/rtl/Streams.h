// Streams of the Classes unit: the abstract TStream and its file, handle, memory, string and resource
// descendants, with the stream exceptions. Included by Classes.h; include Classes.h to use them.
#pragma once

#include "SysUtils.h"
#include "System.h"

#include <string>

class TComponent;

DECLARE_EXCEPTION(EStreamError, Exception);
DECLARE_EXCEPTION(EFileStreamError, EStreamError);
DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
DECLARE_EXCEPTION(EFilerError, EStreamError);
DECLARE_EXCEPTION(EReadError, EFilerError);
DECLARE_EXCEPTION(EWriteError, EFilerError);
DECLARE_EXCEPTION(EClassNotFound, EFilerError);
DECLARE_EXCEPTION(EMethodNotFound, EFilerError);
DECLARE_EXCEPTION(EInvalidImage, EFilerError);
DECLARE_EXCEPTION(EResNotFound, Exception);

// The texts of the Classes unit's resource strings that other units format too.
namespace ClassesConsts {
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SCantWriteResourceStreamError = "Can't write to a read-only resource stream";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SDuplicateClass = "A class named %s already exists";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SInvalidPropertyPath = "Invalid property path";
inline constexpr const char* SInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* SInvalidPropertyElement = "Invalid property element: %s";
inline constexpr const char* SMethodNotFound = "Method %s not found";
inline constexpr const char* SInvalidName = "Component name \"%s\" is not a valid identifier";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SUnresolvedReference = "Unresolved reference to %s";
}  // namespace ClassesConsts

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

    // Component streaming (the binary component stream, Filer.h): reads one component from the
    // position on, into Instance or, when Instance is null, into a new component of the class the
    // stream names (registered classes only); writes Instance with its owned components.
    TComponent* ReadComponent(TComponent* Instance);
    void WriteComponent(TComponent* Instance);
    void WriteDescendent(TComponent* Instance, TComponent* Ancestor);
};

// A stream over an open Win32 file handle, which it does not close.
class THandleStream : public TStream {
    DECLARE_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(HANDLE AHandle) : FHandle(AHandle) {}
    HANDLE Handle() const { return FHandle; }
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;

protected:
    HANDLE FHandle;
};

// Open modes: one access mode, or-ed with one share mode. fmCreate creates or truncates the file
// (exclusive unless a share mode is given with it).
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// A named file. Raises EFCreateError / EFOpenError with the file name and the system's text.
class TFileStream : public THandleStream {
    DECLARE_CLASS(TFileStream, THandleStream)
public:
    TFileStream(const std::string& AFileName, Word Mode);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A stream over a block of memory it does not own (SetPointer); the base of TMemoryStream.
class TCustomMemoryStream : public TStream {
    DECLARE_CLASS(TCustomMemoryStream, TStream)
public:
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;  // none: writes nothing
    using TStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 GetSize() override { return FSize; }
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);
    void* Memory() const { return FMemory; }

protected:
    TCustomMemoryStream() = default;
    // The block read and written from now on; the position goes to 0.
    void SetPointer(void* Ptr, LongInt Size);
    void* FMemory = nullptr;
    LongInt FSize = 0;
    LongInt FPosition = 0;

    friend class TResourceStream;
};

// A read-only overlay on memory someone else owns (SetPointer is public here).
class TPointerStream : public TCustomMemoryStream {
    DECLARE_CLASS(TPointerStream, TCustomMemoryStream)
public:
    TPointerStream() = default;
    TPointerStream(const void* Ptr, LongInt Size) { SetPointer(const_cast<void*>(Ptr), Size); }
    using TCustomMemoryStream::SetPointer;
};

// A growable block of memory it owns.
class TMemoryStream : public TCustomMemoryStream {
    DECLARE_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TStream::SetSize;
    void SetSize(Int64 NewSize) override;
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    LongInt Capacity() const { return FCapacity; }
    void SetCapacity(LongInt NewCapacity);

private:
    LongInt FCapacity = 0;
};

// A stream over an 8-bit string it owns (DataString).
class TStringStream : public TStream {
    DECLARE_CLASS(TStringStream, TStream)
public:
    TStringStream() = default;
    explicit TStringStream(std::string AString) : FDataString(std::move(AString)) {}
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;
    std::string ReadString(LongInt Count);
    void WriteString(const std::string& AString);
    const std::string& DataString() const { return FDataString; }

private:
    std::string FDataString;
    LongInt FPosition = 0;
};

// A read-only stream over a resource of a module: found by name (any case) or by number.
class TResourceStream : public TCustomMemoryStream {
    DECLARE_CLASS(TResourceStream, TCustomMemoryStream)
public:
    TResourceStream(HINSTANCE Instance, const std::string& ResName, LPCSTR ResType);
    TResourceStream(HINSTANCE Instance, int ResID, LPCSTR ResType);
    LongInt Write(const void* Buffer, LongInt Count) override;  // raises EStreamError

private:
    void Initialize(HINSTANCE Instance, LPCSTR Name, LPCSTR ResType, const std::string& Shown);
};

// The module whose resources a form's constructor reads: the executable.
HINSTANCE MainInstance();
