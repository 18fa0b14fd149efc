// The in-memory dataset: a dataset without storage of its own that keeps every record as an object
// in a list, and answers the framework's record-buffer protocol over that list. The task table of
// the main window and the log table of the log viewer are instances of it.
//
// Record data: for each stored field definition, in the flattened definition order, an "assigned"
// byte and then the field's native value (DBFields.h gives the sizes). Blob fields take no room
// there: each record keeps one byte string per blob field.
//
// Record buffer: the record data, the calculated area, the bookmark (the record ID, 4 bytes) and its
// flag, then one string per blob field.
#pragma once

#include "DB.h"
#include "Lists.h"

#include <climits>
#include <string>
#include <unordered_map>
#include <vector>

class TRxMemoryData;
class TMemBlobStream;

// One record: its ID, its data block and its blob strings. Creating one on a dataset attaches it
// there (taking the next ID); freeing it takes it out of the dataset's list.
class TMemoryRecord : public TPersistent {
    DECLARE_CLASS(TMemoryRecord, TPersistent)
public:
    // Appended to the dataset's list.
    explicit TMemoryRecord(TRxMemoryData* MemoryData);
    // Added to the list only when UpdateParent is set.
    TMemoryRecord(TRxMemoryData* MemoryData, bool UpdateParent);
    ~TMemoryRecord() override;

    TRxMemoryData* MemoryData() const { return FMemoryData; }
    LongInt ID() const { return FID; }
    Byte* Data() { return FData.data(); }
    const Byte* Data() const { return FData.data(); }
    std::vector<std::string>& Blobs() { return FBlobs; }
    const std::vector<std::string>& Blobs() const { return FBlobs; }
    // The position in the dataset's list; -1 when the record is in none.
    int Index() const;
    // Moves the record within the dataset's list.
    virtual void SetIndex(int Value);

private:
    friend class TRxMemoryData;
    void Attach(TRxMemoryData* MemoryData, bool UpdateParent);

    TRxMemoryData* FMemoryData = nullptr;
    LongInt FID = 0;
    std::vector<Byte> FData;
    std::vector<std::string> FBlobs;
    // Where Index() last found the record in the list (HintedIndexOf).
    int FIndexHint = -1;
};

class TRxMemoryData : public TDataSet {
    DECLARE_CLASS(TRxMemoryData, TDataSet)
public:
    explicit TRxMemoryData(TComponent* AOwner);
    ~TRxMemoryData() override;
    static void DefineClass(TClassBuilder<TRxMemoryData>& B);

    // The room reserved in the record list (the published Capacity).
    int Capacity() const { return FRecords.Capacity(); }
    void SetCapacity(int Value) { FRecords.SetCapacity(Value); }

    // Leaves edit or insert (posting), removes every record and tells the links; nothing when closed.
    void EmptyTable();
    // Frees every record, last first; new records count their IDs from the start again.
    void ClearRecords();
    TMemoryRecord* Records(int Index) const { return static_cast<TMemoryRecord*>(FRecords.Items(Index)); }

    // Orders two records by the index field list (see CreateIndexList), then by ID: -1, 0 or 1.
    virtual int CompareRecords(TMemoryRecord* Item1, TMemoryRecord* Item2);

    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    // The result fields of the record with the keys (Null when none has them); the cursor stays.
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override;
    bool BookmarkValid(const TBookmark& Bookmark) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    bool GetCurrentRecord(TRecordBuffer Buffer) override;
    TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool IsSequenced() override { return !Filtered(); }

    // A bookmark that never names a record.
    static constexpr LongInt NoRecordID = INT32_MIN;

protected:
    // The buffer that field access uses in the current state; null when there is none.
    virtual TRecordBuffer GetActiveRecordBuffer();
    // Copies Buffer's record data and blob strings into the record at Index.
    virtual void StoreRecordBuffer(TRecordBuffer Buffer, int Index);
    // Gives every auto-increment field of Buffer the counter's value.
    virtual void SetAutoIncFields(TRecordBuffer Buffer);

    // The fields CompareRecords orders by ("a;b"); nothing in the program sets them.
    void CreateIndexList(const std::string& FieldNames);
    void FreeIndexList() { FIndexList.clear(); }
    bool FCaseInsensitiveSort = false;
    bool FDescendingSort = false;

    // The buffer protocol
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void ClearCalcFields(TRecordBuffer Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return FRecordBufferSize; }
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void InternalFirst() override { FRecordPos = -1; }
    void InternalLast() override { FRecordPos = RecordListCount(); }
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override {}
    bool IsCursorOpen() override { return FActive; }
    int GetRecordCount() override { return RecordListCount(); }
    int GetRecNo() override;
    void SetRecNoValue(int Value) override;
    void SetFilteredValue(bool Value) override;
    void SetOnFilterRecordValue(const TFilterRecordEvent& Value) override;
    bool GetIsIndexField(TField* Field) override;
    void CloseBlob(TField* Field) override;

private:
    friend class TMemoryRecord;
    friend class TMemBlobStream;

    int RecordListCount() const { return FRecords.Count(); }
    int IndexOfID(LongInt ID) const;
    // A new record at the end of the list, or at Index.
    TMemoryRecord* AddRecord();
    TMemoryRecord* InsertRecordAt(int Index);
    // Where the field lies in the record data; null for fields not stored there.
    struct TFieldSlot {
        int Offset = -1;  // of the "assigned" byte; the value follows
        int Size = 0;     // of the value
    };
    const TFieldSlot* SlotOf(TField* Field) const;
    // The value size of a stored definition; -1 for types that take no room (blobs).
    static int ValueSize(const TFieldDef* Def);
    static bool IsSupported(TFieldType Type);
    void CheckFieldTypes();
    void ComputeLayout();
    void RecordToBuffer(TMemoryRecord* Rec, TRecordBuffer Buffer);
    bool RecordFilter();
    std::string* BlobsOf(TRecordBuffer Buffer) const { return reinterpret_cast<std::string*>(Buffer + FBlobOfs); }
    std::string& BlobData(TField* Field, TRecordBuffer Buffer) const {
        return BlobsOf(Buffer)[Field->Offset()];
    }
    // Writes into the active buffer only, and never while a filter looks at a record.
    void SetBlobData(TField* Field, TRecordBuffer Buffer, const std::string& Value);

    TList FRecords;
    // The records of the list by ID: a grid goes to a bookmark on every change of its focused row,
    // and a scan of the list for each made moving through a large table quadratic.
    std::unordered_map<LongInt, TMemoryRecord*> FRecordsByID;
    int FRecordPos = -1;
    LongInt FLastID = NoRecordID;
    LongInt FAutoInc = 1;
    bool FActive = false;
    // The stored fields by field number. Offsets are 32 bits wide, so records may pass 64 KiB.
    std::vector<TFieldSlot> FSlots;
    int FRecordBufferSize = 0;
    int FBookmarkOfs = 0;
    int FBlobOfs = 0;
    int FBlobCount = 0;
    std::vector<TField*> FIndexList;
};

// A stream over one blob field of the dataset's current record: reads and writes the edit buffer's
// string while the record is being edited, reads the stored record otherwise.
class TMemBlobStream : public TStream {
    DECLARE_CLASS(TMemBlobStream, TStream)
public:
    TMemBlobStream(TBlobField* Field, TBlobStreamMode Mode);
    ~TMemBlobStream() override;
    LongInt Read(void* Buffer, LongInt Count) override;
    LongInt Write(const void* Buffer, LongInt Count) override;
    using TStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 GetSize() override;
    void Truncate();

private:
    const std::string& GetBlobFromRecord() const;
    const std::string& Blob() const;

    TBlobField* FField;
    TRxMemoryData* FDataSet;
    TRecordBuffer FBuffer = nullptr;
    TBlobStreamMode FMode;
    Int64 FPosition = 0;
    bool FOpened = false;
    bool FCached = false;
    bool FModified = false;
};

// Registers TRxMemoryData for form streaming: the windows read their tables from their forms.
void RxMemDSInitialization();
