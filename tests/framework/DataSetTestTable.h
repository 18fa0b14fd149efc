// A small data set of the tests' own over records in memory: the buffer protocol as a descendant
// implements it (data area, calculated area, bookmark and flag, blob strings), with a filter,
// Locate and Lookup by scan and blob streams. The data set tests, the grid tests and the grid
// benchmark stand on it.
#pragma once

#include "DB.h"

#include <memory>
#include <string>
#include <vector>

class TTestTable : public TDataSet {
    DECLARE_CLASS(TTestTable, TDataSet)
public:
    explicit TTestTable(TComponent* AOwner) : TDataSet(AOwner) {}
    ~TTestTable() override {
        // Deleted without Free(): close while the overrides are alive.
        if (!ComponentState().Contains(csDestroying) && Active())
            Close();
    }

    // A read-only table refuses every change ("Cannot modify a read-only dataset").
    bool ReadOnlyTable = false;
    // Records stay stored over Close and Open, as in a table on disk.
    bool KeepRecordsOnClose = false;
    int StoredCount() const { return static_cast<int>(FRecords.size()); }

    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override {
        CheckBrowseMode();
        if (IsEmpty())
            return false;
        // The record shown already matches: no move, as a scan from the current record finds it.
        std::vector<TField*> Keys;
        GetFieldList(Keys, KeyFields);
        if (KeysMatch(Keys, KeyValues, Options))
            return true;
        int Found = Find(KeyFields, KeyValues, Options);
        if (Found < 0)
            return false;
        DoBeforeScroll();
        FPos = Found;
        Resync({rmExact, rmCenter});
        DoAfterScroll();
        return true;
    }

    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override {
        int Found = Find(KeyFields, KeyValues, {});
        if (Found < 0)
            return Null();
        TDataSetState Saved = SetTempState(dsFilter);
        Variant Result;
        try {
            RecordToBuffer(Found, TempBuffer());
            Result = FieldValues(ResultFields);
        } catch (...) {
            RestoreState(Saved);
            throw;
        }
        RestoreState(Saved);
        return Result;
    }

    bool BookmarkValid(const TBookmark& Bookmark) override {
        return IsCursorOpen() && Bookmark.size() == 4 && IndexOfID(IDOf(Bookmark.data())) >= 0;
    }

    int CompareBookmarks(const TBookmark& B1, const TBookmark& B2) override {
        if (B1.empty() || B2.empty())
            return TDataSet::CompareBookmarks(B1, B2);
        LongInt A = IDOf(B1.data()), B = IDOf(B2.data());
        return A < B ? -1 : (A > B ? 1 : 0);
    }

    bool GetFieldData(TField* Field, void* Buffer) override {
        TRecordBuffer RecBuf = FieldBuffer();
        if (!RecBuf)
            return false;
        Byte* P = FieldArea(Field, RecBuf);
        if (!P || P[0] == 0)
            return false;
        if (Buffer)
            std::memcpy(Buffer, P + 1, static_cast<std::size_t>(Field->DataSize()));
        return true;
    }

    void SetFieldData(TField* Field, const void* Buffer) override {
        if (!dsWriteModes.Contains(State()))
            DatabaseError(DBConsts::SNotEditing, this);
        TRecordBuffer RecBuf = FieldBuffer();
        bool Data = Field->FieldKind() == fkData;
        if (Data && (State() == dsCalcFields || State() == dsFilter))
            DatabaseError(DBConsts::SNotEditing, this);
        if (Data && Field->ReadOnly() && State() != dsSetKey)
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {Field->DisplayName()}, this);
        if (Data)
            Field->Validate(Buffer);
        Byte* P = FieldArea(Field, RecBuf);
        P[0] = Buffer ? 1 : 0;
        if (Buffer)
            std::memcpy(P + 1, Buffer, static_cast<std::size_t>(Field->DataSize()));
        else
            std::memset(P + 1, 0, static_cast<std::size_t>(Field->DataSize()));
        if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue)
            DataEvent(deFieldChange, reinterpret_cast<TDataEventInfo>(Field));
    }

    TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    // The blob fields the data set was asked to close, in order (their changes live in the buffer).
    std::vector<std::string> ClosedBlobs;
    void CloseBlob(TField* Field) override { ClosedBlobs.push_back(Field->FieldName()); }

    // Blob strings of the buffer that field access uses now (the stream works on them).
    std::string* BlobOf(TField* Field) {
        TRecordBuffer RecBuf = FieldBuffer();
        return RecBuf ? &(*Info(RecBuf)->Blobs)[static_cast<std::size_t>(Field->Offset())] : nullptr;
    }

protected:
    struct TRecord {
        LongInt ID = 0;
        std::vector<Byte> Data;
        std::vector<std::string> Blobs;
    };
    struct TRecInfo {
        LongInt Bookmark;
        TBookmarkFlag Flag;
        std::vector<std::string>* Blobs;
    };

    TRecordBuffer AllocRecordBuffer() override {
        std::size_t Size = static_cast<std::size_t>(FRecordSize + CalcFieldsSize()) + sizeof(TRecInfo);
        auto* Buffer = new Byte[Size]();
        Info(Buffer)->Blobs = new std::vector<std::string>(static_cast<std::size_t>(BlobFieldCount()));
        return Buffer;
    }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override {
        delete Info(Buffer)->Blobs;
        delete[] Buffer;
        Buffer = nullptr;
    }
    void InternalInitRecord(TRecordBuffer Buffer) override {
        std::memset(Buffer, 0, static_cast<std::size_t>(FRecordSize + CalcFieldsSize()));
        Info(Buffer)->Bookmark = 0;
        for (std::string& S : *Info(Buffer)->Blobs)
            S.clear();
    }
    void ClearCalcFields(TRecordBuffer Buffer) override {
        std::memset(Buffer + FRecordSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
    }
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override {
        int Count = StoredCount();
        TGetResult Result = grOK;
        switch (GetMode) {
        case gmCurrent:
            if (FPos < 0 || FPos >= Count || !Accept(FPos))
                Result = grError;
            break;
        case gmNext: {
            int P = FPos;
            do
                ++P;
            while (P < Count && !Accept(P));
            if (P < Count)
                FPos = P;
            else {
                FPos = Count;
                Result = grEOF;
            }
            break;
        }
        case gmPrior: {
            int P = std::min(FPos, Count);
            do
                --P;
            while (P >= 0 && !Accept(P));
            if (P >= 0)
                FPos = P;
            else {
                FPos = -1;
                Result = grBOF;
            }
            break;
        }
        }
        if (Result == grOK) {
            RecordToBuffer(FPos, Buffer);
            GetCalcFields(Buffer);
        } else if (Result == grError && DoCheck)
            DatabaseError(DBConsts::SRecordNotFound, this);
        return Result;
    }
    int GetRecordSize() override { return FRecordSize; }
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override { std::memcpy(Data, &Info(Buffer)->Bookmark, 4); }
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override {
        std::memcpy(&Info(Buffer)->Bookmark, Data, 4);
    }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override { return Info(Buffer)->Flag; }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override { Info(Buffer)->Flag = Value; }
    void InternalFirst() override { FPos = -1; }
    void InternalLast() override { FPos = StoredCount(); }
    void InternalSetToRecord(TRecordBuffer Buffer) override { InternalGotoBookmark(&Info(Buffer)->Bookmark); }
    void InternalGotoBookmark(const void* Bookmark) override {
        int I = IndexOfID(IDOf(Bookmark));
        if (I >= 0)
            FPos = I;
    }
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override {
        int At = Append ? StoredCount() : std::clamp(FPos, 0, StoredCount());
        Store(Buffer, NewRecord(At));
        FPos = At;
    }
    void InternalPost() override {
        TDataSet::InternalPost();
        if (State() == dsEdit) {
            Store(ActiveBuffer(), FPos);
            return;
        }
        // The append contract: a buffer flagged bfEOF left the cursor after the last record.
        int At = FPos >= 0 && FPos < StoredCount() ? FPos : (FPos < 0 ? 0 : StoredCount());
        Store(ActiveBuffer(), NewRecord(At));
        FPos = At;
    }
    void InternalDelete() override {
        FRecords.erase(FRecords.begin() + FPos);
        if (FPos >= StoredCount())
            FPos = StoredCount() - 1;
        while (FPos >= 0 && !Accept(FPos))
            --FPos;
        if (FRecords.empty())
            FLastID = 0;
    }
    void InternalOpen() override {
        if (!DefaultFields() && FieldDefs()->Count() == 0)
            InitFieldDefsFromFields();
        if (DefaultFields())
            CreateFields();
        BindFields(true);
        // Data fields in Fields order: an "assigned" byte, then the native value.
        FRecordSize = 0;
        FOffsets.assign(static_cast<std::size_t>(FieldDefList().Count()) + 1, -1);
        for (int I = 0; I < FieldCount(); ++I) {
            TField* F = Fields()->Fields(I);
            if (F->FieldKind() == fkData && !F->IsBlob()) {
                FOffsets[static_cast<std::size_t>(F->FieldNo())] = FRecordSize;
                FRecordSize += 1 + F->DataSize();
            }
        }
        SetBookmarkSize(4);
        FPos = -1;
        FOpen = true;
    }
    void InternalClose() override {
        if (!KeepRecordsOnClose) {
            FRecords.clear();
            FLastID = 0;
        }
        BindFields(false);
        if (DefaultFields())
            DestroyFields();
        FOpen = false;
    }
    void InternalInitFieldDefs() override {}
    bool IsCursorOpen() override { return FOpen; }
    int GetRecordCount() override { return StoredCount(); }
    int GetRecNo() override {
        UpdateCursorPos();
        if (FPos < 0 && !FRecords.empty())
            return 1;
        return FPos + 1;
    }
    void SetRecNoValue(int Value) override {
        if (Value < 1 || Value > StoredCount())
            return;
        DoBeforeScroll();
        FPos = Value - 1;
        Resync({});
        DoAfterScroll();
    }
    void SetFilteredValue(bool Value) override {
        if (Active()) {
            CheckBrowseMode();
            if (FFiltered != Value) {
                FFiltered = Value;
                First();
            }
        } else
            FFiltered = Value;
    }
    bool IsSequenced() override { return !Filtered(); }
    bool GetCanModify() override { return !ReadOnlyTable; }

private:
    friend class TTestBlobStream;
    TRecInfo* Info(TRecordBuffer Buffer) const {
        return reinterpret_cast<TRecInfo*>(Buffer + FRecordSize + CalcFieldsSize());
    }
    static LongInt IDOf(const void* Bookmark) {
        LongInt ID;
        std::memcpy(&ID, Bookmark, 4);
        return ID;
    }
    int IndexOfID(LongInt ID) const {
        for (std::size_t I = 0; I < FRecords.size(); ++I)
            if (FRecords[I]->ID == ID)
                return static_cast<int>(I);
        return -1;
    }
    Byte* FieldArea(TField* Field, TRecordBuffer Buffer) const {
        if (!Buffer)
            return nullptr;
        if (Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup)
            return Buffer + FRecordSize + Field->Offset();
        int No = Field->FieldNo();
        if (No <= 0 || No >= static_cast<int>(FOffsets.size()) || FOffsets[static_cast<std::size_t>(No)] < 0)
            return nullptr;
        return Buffer + FOffsets[static_cast<std::size_t>(No)];
    }
    void RecordToBuffer(int Index, TRecordBuffer Buffer) {
        const TRecord& R = *FRecords[static_cast<std::size_t>(Index)];
        std::memcpy(Buffer, R.Data.data(), static_cast<std::size_t>(FRecordSize));
        Info(Buffer)->Bookmark = R.ID;
        Info(Buffer)->Flag = bfCurrent;
        *Info(Buffer)->Blobs = R.Blobs;
    }
    int NewRecord(int At) {
        auto R = std::make_unique<TRecord>();
        R->ID = ++FLastID;
        R->Data.assign(static_cast<std::size_t>(FRecordSize), 0);
        R->Blobs.resize(static_cast<std::size_t>(BlobFieldCount()));
        FRecords.insert(FRecords.begin() + At, std::move(R));
        return At;
    }
    void Store(TRecordBuffer Buffer, int Index) {
        TRecord& R = *FRecords[static_cast<std::size_t>(Index)];
        std::memcpy(R.Data.data(), Buffer, static_cast<std::size_t>(FRecordSize));
        R.Blobs = *Info(Buffer)->Blobs;
    }
    bool Accept(int Index) {
        if (!Filtered() || !OnFilterRecord())
            return true;
        TDataSetState Saved = SetTempState(dsFilter);
        bool Result = true;
        try {
            RecordToBuffer(Index, TempBuffer());
            OnFilterRecord()(this, Result);
        } catch (...) {
            InternalHandleException();
        }
        RestoreState(Saved);
        return Result;
    }
    static bool FieldMatches(TField* Field, const Variant& Value, TLocateOptions Options) {
        if (Field->DataType() == ftString) {
            std::string Key = VarToStr(Value), Text = Field->AsString();
            if (Options.Contains(loPartialKey))
                Text = Text.substr(0, Key.size());
            return Options.Contains(loCaseInsensitive) ? AnsiCompareText(Text, Key) == 0 : AnsiCompareStr(Text, Key) == 0;
        }
        return Field->AsVariant() == Value;
    }
    static bool KeysMatch(const std::vector<TField*>& Keys, const Variant& KeyValues, TLocateOptions Options) {
        for (std::size_t K = 0; K < Keys.size(); ++K)
            if (!FieldMatches(Keys[K], Keys.size() == 1 ? KeyValues : KeyValues[static_cast<int>(K)], Options))
                return false;
        return true;
    }
    // The first record (in order, passing the filter) whose key fields match; -1 when none.
    int Find(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
        std::vector<TField*> Keys;
        GetFieldList(Keys, KeyFields);
        TDataSetState Saved = SetTempState(dsFilter);
        int Found = -1;
        try {
            for (int I = 0; I < StoredCount() && Found < 0; ++I) {
                if (!Accept(I))
                    continue;
                RecordToBuffer(I, TempBuffer());
                if (KeysMatch(Keys, KeyValues, Options))
                    Found = I;
            }
        } catch (...) {
            RestoreState(Saved);
            throw;
        }
        RestoreState(Saved);
        return Found;
    }

    std::vector<std::unique_ptr<TRecord>> FRecords;
    std::vector<int> FOffsets;  // by field number: the offset of the assigned byte
    int FRecordSize = 0;
    int FPos = -1;
    LongInt FLastID = 0;
    bool FOpen = false;
};

// A blob stream on the field's string in the buffer field access uses; writing needs edit or
// insert state, and freeing a written stream signals the field change.
class TTestBlobStream : public TStream {
    DECLARE_CLASS(TTestBlobStream, TStream)
public:
    TTestBlobStream(TTestTable* Table, TField* Field, TBlobStreamMode Mode) : FTable(Table), FField(Field), FMode(Mode) {
        if (Mode != bmRead) {
            if (Field->ReadOnly())
                DatabaseErrorFmt(DBConsts::SFieldReadOnly, {Field->DisplayName()}, Table);
            if (!dsEditModes.Contains(Table->State()))
                DatabaseError(DBConsts::SNotEditing, Table);
        }
        FBlob = Table->BlobOf(Field);
        if (Mode == bmWrite && FBlob) {
            FBlob->clear();
            FModified = true;
        }
    }
    ~TTestBlobStream() override {
        if (FModified) {
            if (auto* B = DynCast<TBlobField>(FField))
                B->SetModified(true);
            try {
                FTable->DataEvent(deFieldChange, reinterpret_cast<TDataEventInfo>(FField));
            } catch (...) {
                FTable->InternalHandleException();
            }
        }
    }
    LongInt Read(void* Buffer, LongInt Count) override {
        if (!FBlob || FPosition >= static_cast<Int64>(FBlob->size()))
            return 0;
        LongInt N = static_cast<LongInt>(std::min<Int64>(Count, static_cast<Int64>(FBlob->size()) - FPosition));
        std::memcpy(Buffer, FBlob->data() + FPosition, static_cast<std::size_t>(N));
        FPosition += N;
        return N;
    }
    LongInt Write(const void* Buffer, LongInt Count) override {
        if (!FBlob || FMode == bmRead)
            return 0;
        if (static_cast<Int64>(FBlob->size()) < FPosition + Count)
            FBlob->resize(static_cast<std::size_t>(FPosition + Count), '\0');
        std::memcpy(FBlob->data() + FPosition, Buffer, static_cast<std::size_t>(Count));
        FPosition += Count;
        FModified = true;
        return Count;
    }
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override {
        Int64 Size = FBlob ? static_cast<Int64>(FBlob->size()) : 0;
        FPosition = Origin == soBeginning ? Offset : (Origin == soCurrent ? FPosition + Offset : Size + Offset);
        return FPosition;
    }

private:
    TTestTable* FTable;
    TField* FField;
    TBlobStreamMode FMode;
    std::string* FBlob = nullptr;
    Int64 FPosition = 0;
    bool FModified = false;
};

inline TStream* TTestTable::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    return new TTestBlobStream(this, Field, Mode);
}
