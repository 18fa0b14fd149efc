#include "Classes.h"

#include <cstdlib>
#include <vector>

using namespace ClassesConsts;

namespace {
std::string FileErrorText(const char* Fmt, const std::string& Name, DWORD Code) {
    std::string S = Format(Fmt, {Name});
    std::string Sys = SysErrorMessage(Code);
    return Sys.empty() ? S : S + ". " + Sys;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TStream

Int64 TStream::GetSize() {
    Int64 Pos = Seek(Int64(0), soCurrent);
    Int64 Result = Seek(Int64(0), soEnd);
    Seek(Pos, soBeginning);
    return Result;
}

void TStream::SetSize(Int64) {}

void TStream::ReadBuffer(void* Buffer, LongInt Count) {
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, LongInt Count) {
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError(SWriteError);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    Int64 Result = Count;
    const LongInt MaxBuf = 0xF000;
    std::vector<char> Buf(static_cast<size_t>(Count > MaxBuf ? MaxBuf : (Count > 0 ? Count : 1)));
    while (Count > 0) {
        LongInt N = Count > MaxBuf ? MaxBuf : static_cast<LongInt>(Count);
        Source->ReadBuffer(Buf.data(), N);
        WriteBuffer(Buf.data(), N);
        Count -= N;
    }
    return Result;
}

// ---------------------------------------------------------------------------------------------
// THandleStream, TFileStream

LongInt THandleStream::Read(void* Buffer, LongInt Count) {
    DWORD Done = 0;
    if (Count <= 0 || !ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &Done, nullptr))
        return 0;
    return static_cast<LongInt>(Done);
}

LongInt THandleStream::Write(const void* Buffer, LongInt Count) {
    DWORD Done = 0;
    if (Count <= 0 || !WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &Done, nullptr))
        return 0;
    return static_cast<LongInt>(Done);
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    LARGE_INTEGER Dist, NewPos;
    Dist.QuadPart = Offset;
    if (!SetFilePointerEx(FHandle, Dist, &NewPos, static_cast<DWORD>(Origin)))
        return -1;
    return NewPos.QuadPart;
}

void THandleStream::SetSize(Int64 NewSize) {
    Seek(NewSize, soBeginning);
    if (!SetEndOfFile(FHandle))
        throw EStreamError(std::string(SWriteError) + ". " + SysErrorMessage(GetLastError()));
}

TFileStream::TFileStream(const std::string& AFileName, Word Mode) : THandleStream(INVALID_HANDLE_VALUE), FFileName(AFileName) {
    static const DWORD Share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    if ((Mode & fmCreate) == fmCreate) {
        // fmCreate's bits overlap the share bits: a share mode given with it sits in the low byte.
        Word ShareBits = (Mode & 0x00F0) >> 4;
        FHandle = CreateFileA(AFileName.c_str(), GENERIC_READ | GENERIC_WRITE, ShareBits <= 4 ? Share[ShareBits] : 0,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (FHandle == INVALID_HANDLE_VALUE)
            throw EFCreateError(FileErrorText(SFCreateError, AFileName, GetLastError()));
    } else {
        static const DWORD Access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
        Word A = Mode & 3, S = (Mode & 0xF0) >> 4;
        if (A > 2 || S > 4)
            throw EFOpenError(FileErrorText(SFOpenError, AFileName, ERROR_INVALID_PARAMETER));
        FHandle = CreateFileA(AFileName.c_str(), Access[A], Share[S], nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (FHandle == INVALID_HANDLE_VALUE)
            throw EFOpenError(FileErrorText(SFOpenError, AFileName, GetLastError()));
    }
}

TFileStream::~TFileStream() {
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

// ---------------------------------------------------------------------------------------------
// Memory streams

void TCustomMemoryStream::SetPointer(void* Ptr, LongInt Size) {
    FMemory = Ptr;
    FSize = Size;
    FPosition = 0;
}

LongInt TCustomMemoryStream::Read(void* Buffer, LongInt Count) {
    if (FPosition < 0 || Count <= 0 || FPosition >= FSize)
        return 0;
    LongInt N = FSize - FPosition;
    if (N > Count)
        N = Count;
    std::memcpy(Buffer, static_cast<char*>(FMemory) + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

LongInt TCustomMemoryStream::Write(const void*, LongInt) { return 0; }

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    Int64 P = Origin == soBeginning ? Offset : Origin == soCurrent ? FPosition + Offset : FSize + Offset;
    FPosition = static_cast<LongInt>(P);
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    if (FSize != 0)
        Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream F(FileName, fmCreate);
    SaveToStream(&F);
}

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

void TMemoryStream::SetCapacity(LongInt NewCapacity) {
    if (NewCapacity == FCapacity)
        return;
    if (NewCapacity == 0) {
        std::free(FMemory);
        FMemory = nullptr;
    } else {
        void* P = std::realloc(FMemory, static_cast<size_t>(NewCapacity));
        if (!P)
            throw EStreamError(SMemoryStreamError);
        FMemory = P;
    }
    FCapacity = NewCapacity;
}

void TMemoryStream::SetSize(Int64 NewSize) {
    if (NewSize < 0 || NewSize > 0x7FFFFFFF)
        throw EStreamError(SMemoryStreamError);
    LongInt OldPos = FPosition;
    LongInt N = static_cast<LongInt>(NewSize);
    if (N > FCapacity || N == 0) {
        // Grow in 8 KB steps, as the platform's memory stream does.
        LongInt Cap = N == 0 ? 0 : (N + 0x1FFF) & ~0x1FFF;
        SetCapacity(Cap);
    }
    FSize = N;
    if (OldPos > N)
        FPosition = N;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    FSize = 0;
    FPosition = 0;
}

LongInt TMemoryStream::Write(const void* Buffer, LongInt Count) {
    if (FPosition < 0 || Count <= 0)
        return 0;
    Int64 End = Int64(FPosition) + Count;
    if (End > FSize) {
        if (End > FCapacity)
            SetCapacity(static_cast<LongInt>((End + 0x1FFF) & ~Int64(0x1FFF)));
        if (FPosition > FSize)
            std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<size_t>(FPosition - FSize));
        FSize = static_cast<LongInt>(End);
    }
    std::memcpy(static_cast<char*>(FMemory) + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = static_cast<LongInt>(End);
    return Count;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    Int64 Count = Stream->Size();
    SetSize(Count);
    if (Count != 0)
        Stream->ReadBuffer(FMemory, static_cast<LongInt>(Count));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream F(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&F);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

LongInt TStringStream::Read(void* Buffer, LongInt Count) {
    LongInt Size = static_cast<LongInt>(FDataString.size());
    if (Count <= 0 || FPosition < 0 || FPosition >= Size)
        return 0;
    LongInt N = Size - FPosition < Count ? Size - FPosition : Count;
    std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

LongInt TStringStream::Write(const void* Buffer, LongInt Count) {
    if (Count <= 0 || FPosition < 0)
        return 0;
    size_t End = static_cast<size_t>(FPosition) + static_cast<size_t>(Count);
    // Writing replaces from the position on and ends the string there, as the platform's does.
    FDataString.resize(End);
    std::memcpy(&FDataString[static_cast<size_t>(FPosition)], Buffer, static_cast<size_t>(Count));
    FPosition = static_cast<LongInt>(End);
    return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    Int64 P = Origin == soBeginning ? Offset : Origin == soCurrent ? FPosition + Offset : Int64(FDataString.size()) + Offset;
    Int64 Size = static_cast<Int64>(FDataString.size());
    FPosition = static_cast<LongInt>(P < 0 ? 0 : P > Size ? Size : P);
    return FPosition;
}

void TStringStream::SetSize(Int64 NewSize) {
    FDataString.resize(static_cast<size_t>(NewSize));
    if (FPosition > NewSize)
        FPosition = static_cast<LongInt>(NewSize);
}

std::string TStringStream::ReadString(LongInt Count) {
    LongInt Size = static_cast<LongInt>(FDataString.size());
    LongInt N = Size - FPosition < Count ? Size - FPosition : Count;
    if (N <= 0)
        return std::string();
    std::string S = FDataString.substr(static_cast<size_t>(FPosition), static_cast<size_t>(N));
    FPosition += N;
    return S;
}

void TStringStream::WriteString(const std::string& AString) { Write(AString.data(), static_cast<LongInt>(AString.size())); }

// ---------------------------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(HINSTANCE Instance, const std::string& ResName, LPCSTR ResType) {
    Initialize(Instance, ResName.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(HINSTANCE Instance, int ResID, LPCSTR ResType) {
    Initialize(Instance, MAKEINTRESOURCEA(ResID), ResType, "#" + std::to_string(ResID));
}

void TResourceStream::Initialize(HINSTANCE Instance, LPCSTR Name, LPCSTR ResType, const std::string& Shown) {
    // FindResource compares string names without regard to case.
    HRSRC Res = FindResourceA(Instance, Name, ResType);
    HGLOBAL Data = Res ? LoadResource(Instance, Res) : nullptr;
    if (!Data)
        throw EResNotFound(Format(SResNotFound, {Shown}));
    SetPointer(LockResource(Data), static_cast<LongInt>(SizeofResource(Instance, Res)));
}

LongInt TResourceStream::Write(const void*, LongInt) { throw EStreamError(SCantWriteResourceStreamError); }

HINSTANCE MainInstance() { return GetModuleHandleA(nullptr); }
