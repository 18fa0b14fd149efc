#include "RxMemDS.h"

#include "DBUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

using namespace DBConsts;
using DBConsts::SNoDataFound;

namespace {

LongInt ReadID(const void* P) {
    LongInt ID;
    std::memcpy(&ID, P, sizeof ID);
    return ID;
}

template <class T>
T ReadValue(const Byte* P) {
    T V;
    std::memcpy(&V, P, sizeof V);
    return V;
}

template <class T>
int Order(T A, T B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

// Text of a zero-terminated value that fills at most Size bytes.
std::string TextOf(const Byte* P, int Size) {
    const char* C = reinterpret_cast<const char*>(P);
    return std::string(C, strnlen(C, static_cast<std::size_t>(Size)));
}

std::string WideTextOf(const Byte* P, int Size) {
    std::wstring W;
    for (int I = 0; I + 1 < Size; I += 2) {
        wchar_t Ch = static_cast<wchar_t>(P[I] | (P[I + 1] << 8));
        if (Ch == 0)
            break;
        W.push_back(Ch);
    }
    return WideToAnsi(W);
}

// One value of a record against another, by the field's type.
int CompareValues(TFieldType Type, const Byte* P1, const Byte* P2, int Size, bool CaseInsensitive) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
        return CaseInsensitive ? AnsiCompareText(TextOf(P1, Size), TextOf(P2, Size))
                               : AnsiCompareStr(TextOf(P1, Size), TextOf(P2, Size));
    case ftWideString:
        return CaseInsensitive ? AnsiCompareText(WideTextOf(P1, Size), WideTextOf(P2, Size))
                               : AnsiCompareStr(WideTextOf(P1, Size), WideTextOf(P2, Size));
    case ftGuid:
        return AnsiCompareText(TextOf(P1, Size), TextOf(P2, Size));
    case ftSmallint:
        return Order(ReadValue<SmallInt>(P1), ReadValue<SmallInt>(P2));
    case ftWord:
        return Order(ReadValue<Word>(P1), ReadValue<Word>(P2));
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
        return Order(ReadValue<LongInt>(P1), ReadValue<LongInt>(P2));
    case ftLargeint:
        return Order(ReadValue<Int64>(P1), ReadValue<Int64>(P2));
    case ftBoolean:
        return Order(ReadValue<Word>(P1) != 0, ReadValue<Word>(P2) != 0);
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
        return Order(ReadValue<double>(P1), ReadValue<double>(P2));
    default:
        return 0;
    }
}

bool IsBlobType(TFieldType Type) {
    switch (Type) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
        return true;
    default:
        return false;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMemoryRecord

TMemoryRecord::TMemoryRecord(TRxMemoryData* MemoryData) : TMemoryRecord(MemoryData, true) {}

TMemoryRecord::TMemoryRecord(TRxMemoryData* MemoryData, bool UpdateParent) { Attach(MemoryData, UpdateParent); }

TMemoryRecord::~TMemoryRecord() {
    if (!FMemoryData)
        return;
    const int I = Index();
    if (I < 0)
        return;
    FMemoryData->FRecords.Delete(I);
    FMemoryData->FRecordsByID.erase(FID);
}

void TMemoryRecord::Attach(TRxMemoryData* MemoryData, bool UpdateParent) {
    FMemoryData = MemoryData;
    if (!MemoryData)
        return;
    FData.assign(static_cast<std::size_t>(MemoryData->FRecordBufferSize), 0);
    FBlobs.resize(static_cast<std::size_t>(MemoryData->FBlobCount));
    FID = ++MemoryData->FLastID;
    if (UpdateParent) {
        FIndexHint = MemoryData->FRecords.Add(this);
        MemoryData->FRecordsByID[FID] = this;
    }
}

int TMemoryRecord::Index() const {
    return FMemoryData ? HintedIndexOf(FMemoryData->FRecords, this, &TMemoryRecord::FIndexHint) : -1;
}

void TMemoryRecord::SetIndex(int Value) {
    int Current = Index();
    if (Current >= 0 && Current != Value)
        FMemoryData->FRecords.Move(Current, Value);
}

// ---------------------------------------------------------------------------------------------
// Construction and published members

TRxMemoryData::TRxMemoryData(TComponent* AOwner) : TDataSet(AOwner) {}

TRxMemoryData::~TRxMemoryData() {
    // Deleted without Free(): close while the overrides are alive.
    if (!ComponentState().Contains(csDestroying) && Active())
        Close();
    ClearRecords();
    FreeIndexList();
}

void TRxMemoryData::DefineClass(TClassBuilder<TRxMemoryData>& B) {
    B.Property("Capacity", &TRxMemoryData::Capacity, &TRxMemoryData::SetCapacity).Default(0);
}

// ---------------------------------------------------------------------------------------------
// Records

TMemoryRecord* TRxMemoryData::AddRecord() { return Create<TMemoryRecord>(this); }

TMemoryRecord* TRxMemoryData::InsertRecordAt(int Index) {
    TMemoryRecord* Rec = AddRecord();
    Rec->SetIndex(std::clamp(Index, 0, RecordListCount() - 1));
    return Rec;
}

void TRxMemoryData::ClearRecords() {
    while (FRecords.Count() > 0) {
        auto* Rec = static_cast<TMemoryRecord*>(FRecords.Last());
        FRecords.Delete(FRecords.Count() - 1);
        Rec->FMemoryData = nullptr;
        Rec->Free();
    }
    FRecordsByID.clear();
    FLastID = NoRecordID;
    FRecordPos = -1;
}

void TRxMemoryData::EmptyTable() {
    if (!Active())
        return;
    CheckBrowseMode();
    ClearRecords();
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
}

int TRxMemoryData::IndexOfID(LongInt ID) const {
    // Synchronising the cursor with the record it already stands on is the usual case.
    if (FRecordPos >= 0 && FRecordPos < RecordListCount() && Records(FRecordPos)->ID() == ID)
        return FRecordPos;
    const auto It = FRecordsByID.find(ID);
    return It == FRecordsByID.end() ? -1 : It->second->Index();
}

// ---------------------------------------------------------------------------------------------
// Record layout

bool TRxMemoryData::IsSupported(TFieldType Type) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
    case ftSmallint:
    case ftWord:
    case ftBoolean:
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
    case ftBCD:
    case ftBytes:
    case ftVarBytes:
    case ftWideString:
    case ftADT:
    case ftVariant:
    case ftGuid:
        return true;
    default:
        return IsBlobType(Type);
    }
}

int TRxMemoryData::ValueSize(const TFieldDef* Def) {
    switch (Def->DataType()) {
    case ftString:
    case ftFixedChar:
        return Def->Size() + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
        return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
        return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
        return 8;
    case ftBCD:
        return 34;
    case ftBytes:
        return Def->Size();
    case ftVarBytes:
        return Def->Size() + 2;
    case ftWideString:
        return 2 * Def->Size() + 2;
    case ftADT:
        return 0;
    case ftVariant:
        return 16;
    case ftGuid:
        return 39;
    default:
        return -1;
    }
}

void TRxMemoryData::CheckFieldTypes() {
    for (int I = 0; I < FieldCount(); ++I) {
        TField* F = Fields()->Fields(I);
        if (!IsSupported(F->DataType()))
            DatabaseErrorFmt(SUnknownFieldType, {F->DisplayName()}, this);
    }
}

void TRxMemoryData::ComputeLayout() {
    TFieldDefList& Defs = FieldDefList();
    FSlots.clear();
    int Size = 0;
    for (int I = 0; I < Defs.Count(); ++I) {
        TFieldDef* Def = Defs.FieldDefs(I);
        int ValueBytes = ValueSize(Def);
        if (ValueBytes < 0)
            continue;
        std::size_t No = static_cast<std::size_t>(Def->FieldNo());
        if (No >= FSlots.size())
            FSlots.resize(No + 1);
        FSlots[No] = {Size, ValueBytes};
        Size += 1 + ValueBytes;
    }
    FRecordBufferSize = Size;
}

const TRxMemoryData::TFieldSlot* TRxMemoryData::SlotOf(TField* Field) const {
    int No = Field->FieldNo();
    if (No <= 0 || No >= static_cast<int>(FSlots.size()) || FSlots[static_cast<std::size_t>(No)].Offset < 0)
        return nullptr;
    return &FSlots[static_cast<std::size_t>(No)];
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TRxMemoryData::InternalOpen() {
    if (!DefaultFields()) {
        CheckFieldTypes();
        FreeIndexList();
        InitFieldDefsFromFields();
    }
    ComputeLayout();
    SetBookmarkSize(sizeof(LongInt));
    try {
        if (DefaultFields())
            CreateFields();
        BindFields(true);
    } catch (...) {
        BindFields(false);
        if (DefaultFields())
            DestroyFields();
        throw;
    }
    FBlobCount = BlobFieldCount();
    FBookmarkOfs = FRecordBufferSize + CalcFieldsSize();
    // Bookmark and flag take 8 bytes; the strings after them want their own alignment.
    constexpr int Align = alignof(std::string);
    FBlobOfs = (FBookmarkOfs + 8 + Align - 1) / Align * Align;
    FRecordPos = -1;
    FActive = true;
}

void TRxMemoryData::InternalClose() {
    ClearRecords();
    FAutoInc = 1;
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
    FreeIndexList();
    FActive = false;
}

// ---------------------------------------------------------------------------------------------
// Buffers

TRecordBuffer TRxMemoryData::AllocRecordBuffer() {
    auto* Buffer = new Byte[static_cast<std::size_t>(FBlobOfs) + FBlobCount * sizeof(std::string)]();
    for (int I = 0; I < FBlobCount; ++I)
        new (Buffer + FBlobOfs + I * sizeof(std::string)) std::string();
    return Buffer;
}

void TRxMemoryData::FreeRecordBuffer(TRecordBuffer& Buffer) {
    if (!Buffer)
        return;
    std::string* Blobs = BlobsOf(Buffer);
    for (int I = 0; I < FBlobCount; ++I)
        std::destroy_at(&Blobs[I]);
    delete[] Buffer;
    Buffer = nullptr;
}

void TRxMemoryData::InternalInitRecord(TRecordBuffer Buffer) {
    std::memset(Buffer, 0, static_cast<std::size_t>(FBookmarkOfs) + 5);
    std::string* Blobs = BlobsOf(Buffer);
    for (int I = 0; I < FBlobCount; ++I)
        Blobs[I].clear();
    LongInt None = NoRecordID;
    SetBookmarkData(Buffer, &None);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TRxMemoryData::ClearCalcFields(TRecordBuffer Buffer) {
    std::memset(Buffer + FRecordBufferSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
}

void TRxMemoryData::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
    std::memcpy(Data, Buffer + FBookmarkOfs, sizeof(LongInt));
}

void TRxMemoryData::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
    std::memcpy(Buffer + FBookmarkOfs, Data, sizeof(LongInt));
}

TBookmarkFlag TRxMemoryData::GetBookmarkFlag(TRecordBuffer Buffer) {
    return static_cast<TBookmarkFlag>(Buffer[FBookmarkOfs + sizeof(LongInt)]);
}

void TRxMemoryData::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
    Buffer[FBookmarkOfs + sizeof(LongInt)] = static_cast<Byte>(Value);
}

void TRxMemoryData::RecordToBuffer(TMemoryRecord* Rec, TRecordBuffer Buffer) {
    std::memcpy(Buffer, Rec->Data(), static_cast<std::size_t>(FRecordBufferSize));
    LongInt ID = Rec->ID();
    SetBookmarkData(Buffer, &ID);
    SetBookmarkFlag(Buffer, bfCurrent);
    std::string* Blobs = BlobsOf(Buffer);
    for (int I = 0; I < FBlobCount; ++I)
        Blobs[I] = Rec->Blobs()[static_cast<std::size_t>(I)];
    GetCalcFields(Buffer);
}

void TRxMemoryData::StoreRecordBuffer(TRecordBuffer Buffer, int Index) {
    if (State() == dsFilter)
        DatabaseError(SNotEditing, this);
    if (Index < 0 || Index >= RecordListCount())
        DatabaseError(SNoDataFound, this);
    TMemoryRecord* Rec = Records(Index);
    std::memcpy(Rec->Data(), Buffer, static_cast<std::size_t>(FRecordBufferSize));
    std::string* Blobs = BlobsOf(Buffer);
    for (int I = 0; I < FBlobCount; ++I)
        Rec->Blobs()[static_cast<std::size_t>(I)] = Blobs[I];
}

bool TRxMemoryData::GetCurrentRecord(TRecordBuffer Buffer) {
    if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent)
        return false;
    UpdateCursorPos();
    if (FRecordPos < 0 || FRecordPos >= RecordListCount())
        return false;
    std::memcpy(Buffer, Records(FRecordPos)->Data(), static_cast<std::size_t>(FRecordBufferSize));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Fetching and filtering

bool TRxMemoryData::RecordFilter() {
    if (!FOnFilterRecord)
        return true;
    if (FRecordPos < 0 || FRecordPos >= RecordListCount())
        return false;
    TDataSetState Saved = SetTempState(dsFilter);
    bool Accept = true;
    try {
        RecordToBuffer(Records(FRecordPos), TempBuffer());
        FOnFilterRecord(this, Accept);
    } catch (...) {
        InternalHandleException();
    }
    RestoreState(Saved);
    return Accept;
}

TGetResult TRxMemoryData::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
    int Count = RecordListCount();
    TGetResult Result = grOK;
    bool Accept = true;
    switch (GetMode) {
    case gmPrior:
        if (FRecordPos <= 0) {
            FRecordPos = -1;
            Result = grBOF;
            break;
        }
        do {
            --FRecordPos;
            if (Filtered())
                Accept = RecordFilter();
        } while (!Accept && FRecordPos >= 0);
        if (!Accept) {
            FRecordPos = -1;
            Result = grBOF;
        }
        break;
    case gmCurrent:
        if (FRecordPos < 0 || FRecordPos >= Count || (Filtered() && !RecordFilter()))
            Result = grError;
        break;
    case gmNext:
        if (FRecordPos >= Count - 1) {
            Result = grEOF;
            break;
        }
        do {
            ++FRecordPos;
            if (Filtered())
                Accept = RecordFilter();
        } while (!Accept && FRecordPos < Count);
        if (!Accept) {
            FRecordPos = Count - 1;
            Result = grEOF;
        }
        break;
    }
    if (Result == grOK)
        RecordToBuffer(Records(FRecordPos), Buffer);
    else if (Result == grError && DoCheck)
        DatabaseError(SNoDataFound, this);
    return Result;
}

void TRxMemoryData::SetFilteredValue(bool Value) {
    if (!Active()) {
        FFiltered = Value;
        return;
    }
    CheckBrowseMode();
    if (FFiltered != Value) {
        FFiltered = Value;
        First();
    }
}

void TRxMemoryData::SetOnFilterRecordValue(const TFilterRecordEvent& Value) {
    if (!Active()) {
        FOnFilterRecord = Value;
        return;
    }
    CheckBrowseMode();
    FOnFilterRecord = Value;
    if (Filtered())
        First();
}

// ---------------------------------------------------------------------------------------------
// Navigation and bookmarks

void TRxMemoryData::InternalSetToRecord(TRecordBuffer Buffer) { InternalGotoBookmark(Buffer + FBookmarkOfs); }

void TRxMemoryData::InternalGotoBookmark(const void* Bookmark) {
    int Index = IndexOfID(ReadID(Bookmark));
    if (Index < 0)
        return;
    int Saved = FRecordPos;
    FRecordPos = Index;
    if (Filtered() && !RecordFilter())
        FRecordPos = Saved;
}

int TRxMemoryData::GetRecNo() {
    UpdateCursorPos();
    if (FRecordPos == -1 && RecordListCount() > 0)
        return 1;
    return FRecordPos + 1;
}

void TRxMemoryData::SetRecNoValue(int Value) {
    // A pending edit is posted first: moving under it would drop it.
    CheckBrowseMode();
    if (Value < 1 || Value > RecordListCount())
        return;
    FRecordPos = Value - 1;
    Resync({});
}

bool TRxMemoryData::BookmarkValid(const TBookmark& Bookmark) {
    // Only a record that still exists: the ID of a deleted one would lead nowhere.
    if (!FActive || Bookmark.size() < sizeof(LongInt))
        return false;
    LongInt ID = ReadID(Bookmark.data());
    return ID != NoRecordID && IndexOfID(ID) >= 0;
}

int TRxMemoryData::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.empty() || Bookmark2.empty())
        return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
    return Order(ReadID(Bookmark1.data()), ReadID(Bookmark2.data()));
}

bool TRxMemoryData::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    DoBeforeScroll();
    bool Found = LocateByScan(this, KeyFields, KeyValues, Options);
    if (Found) {
        DataEvent(deDataSetChange, 0);
        DoAfterScroll();
    }
    return Found;
}

Variant TRxMemoryData::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
    if (!Active() || (Bof() && Eof()))
        return Null();
    // Lookups run while other data sets calculate their fields: this cursor must not move.
    const TBookmark Saved = GetBookmark();
    Variant Result = Null();
    DisableControls();
    try {
        if (LocateByScan(this, KeyFields, KeyValues, {}))
            Result = FieldValues(ResultFields);
    } catch (...) {
        GotoBookmark(Saved);
        EnableControls();
        throw;
    }
    GotoBookmark(Saved);
    EnableControls();
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Editing

void TRxMemoryData::SetAutoIncFields(TRecordBuffer Buffer) {
    int Count = 0;
    for (int I = 0; I < FieldCount(); ++I) {
        TField* F = Fields()->Fields(I);
        const TFieldSlot* Slot = F->DataType() == ftAutoInc ? SlotOf(F) : nullptr;
        if (!Slot)
            continue;
        Byte* P = Buffer + Slot->Offset;
        P[0] = 1;
        std::memcpy(P + 1, &FAutoInc, sizeof FAutoInc);
        ++Count;
    }
    if (Count > 0)
        ++FAutoInc;
}

void TRxMemoryData::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    if (Append) {
        AddRecord();
        FRecordPos = RecordListCount() - 1;
    } else {
        FRecordPos = std::clamp(FRecordPos, 0, RecordListCount());
        InsertRecordAt(FRecordPos);
    }
    SetAutoIncFields(Buffer);
    StoreRecordBuffer(Buffer, FRecordPos);
}

void TRxMemoryData::InternalPost() {
    TDataSet::InternalPost();
    if (State() == dsEdit) {
        StoreRecordBuffer(ActiveBuffer(), FRecordPos);
        return;
    }
    SetAutoIncFields(ActiveBuffer());
    // An insert stands before the record the cursor is on; an append left the cursor after the last.
    if (FRecordPos < RecordListCount()) {
        FRecordPos = std::max(FRecordPos, 0);
        InsertRecordAt(FRecordPos);
    } else {
        AddRecord();
        FRecordPos = RecordListCount() - 1;
    }
    StoreRecordBuffer(ActiveBuffer(), FRecordPos);
}

void TRxMemoryData::InternalDelete() {
    if (FRecordPos < 0 || FRecordPos >= RecordListCount())
        DatabaseError(SNoDataFound, this);
    Records(FRecordPos)->Free();
    if (FRecordPos >= RecordListCount())
        --FRecordPos;
    if (Filtered())
        while (FRecordPos >= 0 && !RecordFilter())
            --FRecordPos;
    if (RecordListCount() == 0)
        FLastID = NoRecordID;
}

// ---------------------------------------------------------------------------------------------
// Field values

TRecordBuffer TRxMemoryData::GetActiveRecordBuffer() { return FieldBuffer(); }

bool TRxMemoryData::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer RecBuf = GetActiveRecordBuffer();
    if (!RecBuf)
        return false;
    std::size_t Size = static_cast<std::size_t>(Field->DataSize());
    if (Field->FieldNo() <= 0) {
        TDataSetState S = State();
        if (S != dsBrowse && S != dsEdit && S != dsInsert && S != dsCalcFields)
            return false;
        const Byte* P = RecBuf + FRecordBufferSize + Field->Offset();
        if (P[0] == 0)
            return false;
        if (Buffer)
            std::memcpy(Buffer, P + 1, Size);
        return true;
    }
    const TFieldSlot* Slot = SlotOf(Field);
    if (!Slot)
        return false;
    const Byte* P = RecBuf + Slot->Offset;
    if (P[0] == 0)
        return false;
    switch (Field->DataType()) {
    // An empty text is no value: the task store writes a cleared field as an empty one.
    case ftString:
    case ftFixedChar:
    case ftGuid:
        if (Slot->Size == 0 || P[1] == 0)
            return false;
        break;
    case ftWideString:
        if (Slot->Size < 2 || (P[1] == 0 && P[2] == 0))
            return false;
        break;
    default:
        break;
    }
    if (Buffer)
        std::memcpy(Buffer, P + 1, std::min(Size, static_cast<std::size_t>(Slot->Size)));
    return true;
}

void TRxMemoryData::SetFieldData(TField* Field, const void* Buffer) {
    TDataSetState S = State();
    if (!dsWriteModes.Contains(S))
        DatabaseError(SNotEditing, this);
    TRecordBuffer RecBuf = GetActiveRecordBuffer();
    std::size_t Size = static_cast<std::size_t>(Field->DataSize());
    if (Field->FieldNo() <= 0) {
        if (RecBuf) {
            Byte* P = RecBuf + FRecordBufferSize + Field->Offset();
            P[0] = Buffer ? 1 : 0;
            if (Buffer)
                std::memcpy(P + 1, Buffer, Size);
            else
                std::memset(P + 1, 0, Size);
        }
    } else {
        if (S == dsCalcFields || S == dsFilter)
            DatabaseError(SNotEditing, this);
        if (Field->ReadOnly() && S != dsSetKey && S != dsFilter)
            DatabaseErrorFmt(SFieldReadOnly, {Field->DisplayName()}, this);
        Field->Validate(Buffer);
        const TFieldSlot* Slot = Field->FieldKind() != fkInternalCalc && RecBuf ? SlotOf(Field) : nullptr;
        if (Slot) {
            Byte* P = RecBuf + Slot->Offset;
            std::size_t N = std::min(Size, static_cast<std::size_t>(Slot->Size));
            P[0] = Buffer ? 1 : 0;
            std::memset(P + 1, 0, static_cast<std::size_t>(Slot->Size));
            if (Buffer)
                std::memcpy(P + 1, Buffer, N);
        }
    }
    if (S != dsCalcFields && S != dsFilter && S != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<TDataEventInfo>(Field));
}

// ---------------------------------------------------------------------------------------------
// Index fields and record order

void TRxMemoryData::CreateIndexList(const std::string& FieldNames) {
    FIndexList.clear();
    GetFieldList(FIndexList, FieldNames);
}

bool TRxMemoryData::GetIsIndexField(TField* Field) {
    return std::find(FIndexList.begin(), FIndexList.end(), Field) != FIndexList.end();
}

int TRxMemoryData::CompareRecords(TMemoryRecord* Item1, TMemoryRecord* Item2) {
    int Sign = FDescendingSort ? -1 : 1;
    for (TField* F : FIndexList) {
        const TFieldSlot* Slot = SlotOf(F);
        if (!Slot)
            continue;
        const Byte* P1 = Item1->Data() + Slot->Offset;
        const Byte* P2 = Item2->Data() + Slot->Offset;
        int Result;
        if (P1[0] && P2[0])
            Result = CompareValues(F->DataType(), P1 + 1, P2 + 1, Slot->Size, FCaseInsensitiveSort);
        else
            Result = Order(P1[0] != 0, P2[0] != 0);
        if (Result != 0)
            return Sign * Result;
    }
    return Sign * Order(Item1->ID(), Item2->ID());
}

// ---------------------------------------------------------------------------------------------
// Blobs

void TRxMemoryData::SetBlobData(TField* Field, TRecordBuffer Buffer, const std::string& Value) {
    if (Buffer != ActiveBuffer())
        return;
    if (State() == dsFilter)
        DatabaseError(SNotEditing, this);
    BlobData(Field, Buffer) = Value;
}

void TRxMemoryData::CloseBlob(TField* Field) {
    TRecordBuffer Buffer = ActiveBuffer();
    if (!Buffer)
        return;
    std::string& Blob = BlobData(Field, Buffer);
    if (FRecordPos >= 0 && FRecordPos < RecordListCount() && State() == dsEdit)
        Blob = Records(FRecordPos)->Blobs()[static_cast<std::size_t>(Field->Offset())];
    else
        Blob.clear();
}

TStream* TRxMemoryData::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    return Create<TMemBlobStream>(As<TBlobField>(Field), Mode);
}

TMemBlobStream::TMemBlobStream(TBlobField* Field, TBlobStreamMode Mode)
    : FField(Field), FDataSet(As<TRxMemoryData>(Field->DataSet())), FMode(Mode) {
    FBuffer = FDataSet->GetActiveRecordBuffer();
    if (!FBuffer)
        return;
    if (!Field->Modified() && Mode != bmRead) {
        if (Field->ReadOnly())
            DatabaseErrorFmt(SFieldReadOnly, {Field->DisplayName()}, FDataSet);
        if (!dsEditModes.Contains(FDataSet->State()) || FDataSet->State() == dsSetKey)
            DatabaseError(SNotEditing, FDataSet);
        FCached = true;
    } else
        FCached = FBuffer == FDataSet->ActiveBuffer();
    FOpened = true;
    if (Mode == bmWrite)
        Truncate();
}

TMemBlobStream::~TMemBlobStream() {
    if (FOpened && FModified)
        FField->SetModified(true);
    if (!FModified)
        return;
    try {
        FDataSet->DataEvent(deFieldChange, reinterpret_cast<TDataEventInfo>(FField));
    } catch (...) {
        FDataSet->InternalHandleException();
    }
}

const std::string& TMemBlobStream::GetBlobFromRecord() const {
    static const std::string Empty;
    int Count = FDataSet->RecordListCount();
    if (Count == 0)
        return Empty;
    int Pos = std::clamp(FDataSet->FRecordPos, 0, Count - 1);
    return FDataSet->Records(Pos)->Blobs()[static_cast<std::size_t>(FField->Offset())];
}

const std::string& TMemBlobStream::Blob() const {
    return FCached ? FDataSet->BlobData(FField, FBuffer) : GetBlobFromRecord();
}

Int64 TMemBlobStream::GetSize() { return FOpened ? static_cast<Int64>(Blob().size()) : 0; }

LongInt TMemBlobStream::Read(void* Buffer, LongInt Count) {
    if (!FOpened || Count <= 0 || FPosition < 0)
        return 0;
    const std::string& B = Blob();
    // After a seek past the end there is nothing to read, not a negative span.
    if (FPosition >= static_cast<Int64>(B.size()))
        return 0;
    LongInt N = static_cast<LongInt>(std::min<Int64>(Count, static_cast<Int64>(B.size()) - FPosition));
    std::memcpy(Buffer, B.data() + FPosition, static_cast<std::size_t>(N));
    FPosition += N;
    return N;
}

LongInt TMemBlobStream::Write(const void* Buffer, LongInt Count) {
    if (!FOpened || !FCached || FMode == bmRead || Count < 0 || FPosition < 0)
        return 0;
    // Blob data goes into the active buffer only (as SetBlobData), changed in place so that a
    // stream written in many pieces does not copy the blob each time.
    if (FDataSet->State() == dsFilter)
        DatabaseError(SNotEditing, FDataSet);
    if (FBuffer == FDataSet->ActiveBuffer()) {
        std::string& Value = FDataSet->BlobData(FField, FBuffer);
        // Writing past the end leaves zeros in the gap.
        if (static_cast<Int64>(Value.size()) < FPosition + Count)
            Value.resize(static_cast<std::size_t>(FPosition + Count), '\0');
        std::memcpy(Value.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    }
    FPosition += Count;
    FModified = true;
    return Count;
}

Int64 TMemBlobStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soBeginning:
        FPosition = Offset;
        break;
    case soCurrent:
        FPosition += Offset;
        break;
    case soEnd:
        FPosition = GetSize() + Offset;
        break;
    }
    return FPosition;
}

void TMemBlobStream::Truncate() {
    if (!FOpened)
        return;
    FDataSet->SetBlobData(FField, FBuffer, std::string());
    FModified = true;
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

void RxMemDSInitialization() {
    RegisterClass(TRxMemoryData::StaticClass());
}
