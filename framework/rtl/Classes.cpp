#include "Classes.h"

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
    // Dest->Assign(this) came here because this class cannot copy itself into Dest; the message
    // names the source (or "nil") and the target.
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + (Dest ? Dest->ClassName() : std::string("nil")));
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() { return ClassName(); }

Int64 TStream::GetSize() {
    Int64 Pos = Seek(Int64(0), soCurrent);
    Int64 Result = Seek(Int64(0), soEnd);
    Seek(Pos, soBeginning);
    return Result;
}

void TStream::SetSize(Int64) {}

void TStream::ReadBuffer(void* Buffer, LongInt Count) {
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, LongInt Count) {
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    Int64 Result = Count;
    const LongInt MaxBuf = 0xF000;
    std::vector<char> Buf(static_cast<size_t>(Count > MaxBuf ? MaxBuf : (Count > 0 ? Count : 1)));
    while (Count != 0) {
        LongInt N = Count > MaxBuf ? MaxBuf : static_cast<LongInt>(Count);
        Source->ReadBuffer(Buf.data(), N);
        WriteBuffer(Buf.data(), N);
        Count -= N;
    }
    return Result;
}
