// TADOQuery: the buffer protocol over a result set kept whole on the client. A record buffer holds
// only the row number and the bookmark flag (then the calculated area); field values are converted
// from the result's cells when a field reads them.
#include "ADODB.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace DBConsts;
using namespace ADOConsts;

struct TADOQuery::TRecInfo {
    LongInt Row;
    TBookmarkFlag Flag;
};

namespace {

// The calculated area starts after the record information.
constexpr int InfoSize = 8;

struct TColumnField {
    TFieldType Type = ftUnknown;
    int Size = 0;
    int Precision = 0;
    bool Fixed = false;
};

// The field definition that a column's type gives.
TColumnField ColumnField(const TTdsTypeInfo& T) {
    // Text longer than a string field may hold (the (max) types of 7.2) is read as a memo.
    const int MaxString = 8192;
    int Length = static_cast<int>(T.MaxLength);
    switch (T.SqlType) {
    case TTdsSqlType::TinyInt: return {ftWord};
    case TTdsSqlType::SmallInt: return {ftSmallint};
    case TTdsSqlType::Int: return {ftInteger};
    case TTdsSqlType::BigInt: return {ftLargeint};
    case TTdsSqlType::Bit: return {ftBoolean};
    case TTdsSqlType::Real:
    case TTdsSqlType::Float: return {ftFloat};
    case TTdsSqlType::SmallMoney: return {ftBCD, 4, 10};
    case TTdsSqlType::Money: return {ftBCD, 4, 19};
    case TTdsSqlType::Decimal:
    case TTdsSqlType::Numeric: return {ftBCD, std::min<int>(T.Scale, 32), T.Precision};
    case TTdsSqlType::SmallDateTime:
    case TTdsSqlType::DateTime: return {ftDateTime};
    case TTdsSqlType::Char: return Length > MaxString ? TColumnField{ftMemo} : TColumnField{ftFixedChar, Length, 0, true};
    case TTdsSqlType::VarChar: return Length > MaxString ? TColumnField{ftMemo} : TColumnField{ftString, Length};
    case TTdsSqlType::NChar:
        return Length / 2 > MaxString ? TColumnField{ftMemo} : TColumnField{ftWideString, Length / 2, 0, true};
    case TTdsSqlType::NVarChar: return Length / 2 > MaxString ? TColumnField{ftMemo} : TColumnField{ftWideString, Length / 2};
    case TTdsSqlType::Text:
    case TTdsSqlType::NText: return {ftMemo};
    case TTdsSqlType::Binary: return Length > MaxString ? TColumnField{ftBlob} : TColumnField{ftBytes, Length};
    case TTdsSqlType::VarBinary: return Length > MaxString ? TColumnField{ftBlob} : TColumnField{ftVarBytes, Length};
    case TTdsSqlType::Image: return {ftBlob};
    case TTdsSqlType::Guid: return {ftGuid, 38};
    default: return {};
    }
}

template <class T>
void Store(void* Buffer, T Value) {
    std::memcpy(Buffer, &Value, sizeof Value);
}

// Decimal digits as nibbles, the sign and the scale: the native BCD value.
TBcd DecimalToBcd(const TTdsDecimal& D) {
    std::wstring Text = D.ToString();
    std::string Digits;
    for (wchar_t C : Text)
        if (C >= L'0' && C <= L'9')
            Digits += static_cast<char>(C);
    if (Digits.size() > 64)  // a value the native form cannot hold
        DatabaseError(SBcdOverflow);
    TBcd Result;
    Result.Precision = static_cast<Byte>(Digits.size());
    bool Zero = Digits.find_first_not_of('0') == std::string::npos;
    Result.SignSpecialPlaces = static_cast<Byte>((D.Negative && !Zero ? 0x80 : 0) | (D.Scale & 0x3F));
    for (std::size_t I = 0; I < Digits.size(); ++I) {
        Byte N = static_cast<Byte>(Digits[I] - '0');
        Result.Fraction[I / 2] |= (I % 2 == 0) ? static_cast<Byte>(N << 4) : N;
    }
    return Result;
}

const TTdsBytes* BytesOf(const TTdsValue& V) { return std::get_if<TTdsBytes>(&V.Data); }

// A cell in the native format of the field's kind (DBFields.h).
void CellToNative(TField* Field, const TTdsValue& V, void* Buffer) {
    const std::size_t Size = static_cast<std::size_t>(std::max(Field->Size(), 0));
    switch (Field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        std::string S = WideToAnsi(V.AsWideString());
        std::size_t N = std::min(S.size(), Size);
        std::memcpy(Buffer, S.data(), N);
        static_cast<char*>(Buffer)[N] = '\0';
        break;
    }
    case ftWideString: {
        std::wstring S = V.AsWideString();
        std::size_t N = std::min(S.size(), Size);
        std::memcpy(Buffer, S.data(), N * sizeof(wchar_t));
        static_cast<wchar_t*>(Buffer)[N] = L'\0';
        break;
    }
    case ftSmallint: Store(Buffer, static_cast<SmallInt>(V.AsInteger())); break;
    case ftWord: Store(Buffer, static_cast<Word>(V.AsInteger())); break;
    case ftInteger:
    case ftAutoInc: Store(Buffer, static_cast<LongInt>(V.AsInteger())); break;
    case ftLargeint: Store(Buffer, static_cast<Int64>(V.AsLargeInt())); break;
    case ftBoolean: Store(Buffer, static_cast<Word>(V.AsBoolean() ? 0xFFFF : 0)); break;
    case ftFloat:
    case ftCurrency: Store(Buffer, V.AsFloat()); break;
    case ftBCD: {
        const TTdsDecimal* D = std::get_if<TTdsDecimal>(&V.Data);
        Store(Buffer, D ? DecimalToBcd(*D) : CurrToBcd(std::llround(V.AsFloat() * 10000.0)));
        break;
    }
    case ftDate: Store(Buffer, DateTimeToTimeStamp(V.AsDateTime()).Date); break;
    case ftTime: Store(Buffer, DateTimeToTimeStamp(V.AsDateTime()).Time); break;
    case ftDateTime:
        Store(Buffer, static_cast<double>(TimeStampToMSecs(DateTimeToTimeStamp(V.AsDateTime()))));
        break;
    case ftBytes: {
        std::memset(Buffer, 0, Size);
        if (const TTdsBytes* B = BytesOf(V))
            std::memcpy(Buffer, B->data(), std::min(B->size(), Size));
        break;
    }
    case ftVarBytes: {
        const TTdsBytes* B = BytesOf(V);
        Word N = static_cast<Word>(B ? std::min(B->size(), Size) : 0);
        Store(Buffer, N);
        if (N)
            std::memcpy(static_cast<Byte*>(Buffer) + 2, B->data(), N);
        break;
    }
    default:
        break;
    }
}

bool IsCalculated(const TField* Field) { return Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and published members

TADOQuery::TADOQuery(TComponent* AOwner) : TDataSet(AOwner), FSQL(Create<TStringList>()) {
    static_assert(sizeof(TRecInfo) <= InfoSize);
    FSQL->OnChange = TNotifyEvent::Bind<&TADOQuery::QueryChanged>(this);
}

TADOQuery::~TADOQuery() {
    // Deleted without Free(): close while the overrides are alive.
    if (!ComponentState().Contains(csDestroying) && Active())
        Close();
    if (Connection())
        Connection()->DetachDataSet(this);
    FreeObject(FSQL);
}

void TADOQuery::DefineClass(TClassBuilder<TADOQuery>& B) {
    B.Property("CommandTimeout", &TADOQuery::CommandTimeout, &TADOQuery::SetCommandTimeout).Default(30);
    B.Property("Connection", &TADOQuery::Connection, &TADOQuery::SetConnection);
    B.Property("CursorType", &TADOQuery::CursorType, &TADOQuery::SetCursorType).Default(ctKeyset);
    B.Property("LockType", &TADOQuery::LockType, &TADOQuery::SetLockType).Default(ltOptimistic);
    // Before SQL: the text read after them keeps the streamed parameters.
    B.Property("ParamCheck", &TADOQuery::ParamCheck, &TADOQuery::SetParamCheck).Default(true);
    B.Property("Parameters", &TADOQuery::Parameters, &TADOQuery::SetParameters);
    B.Property("SQL", &TADOQuery::SQL, &TADOQuery::SetSQL);
}

void TADOQuery::SetConnection(TADOConnection* Value) {
    if (Value == Connection())
        return;
    if (!ComponentState().Contains(csLoading))
        Close();
    if (Connection())
        Connection()->DetachDataSet(this);
    FCommand.SetConnection(Value);
    if (Value)
        Value->AttachDataSet(this);
}

void TADOQuery::Notification(TComponent* AComponent, TOperation Operation) {
    TDataSet::Notification(AComponent, Operation);
    FCommand.Notification(AComponent, Operation);
}

void TADOQuery::QueryChanged(TObject*) {
    if (!ComponentState().Contains(csLoading))
        Close();
    FCommand.TextChanged(FSQL->Text());
}

int TADOQuery::ExecSQL() {
    FRowsAffected = static_cast<int>(FCommand.Run(AnsiToWide(FSQL->Text())).RowsAffected());
    return FRowsAffected;
}

TTdsReply TADOQuery::ExecuteQuery() { return FCommand.Run(AnsiToWide(FSQL->Text())); }

[[noreturn]] void TADOQuery::ReadOnlyError() { DatabaseError(SDataSetReadOnly, this); }

// ---------------------------------------------------------------------------------------------
// Opening: the result and its field definitions

void TADOQuery::InternalOpen() {
    TTdsReply Reply = ExecuteQuery();
    FRowsAffected = static_cast<int>(Reply.RowsAffected());
    const TTdsResultSet* First = Reply.FirstResultSet();
    if (!First)
        DatabaseError(SNoResultSet, this);
    auto Result = std::make_unique<TTdsResultSet>(std::move(*const_cast<TTdsResultSet*>(First)));
    FillFieldDefs(*Result);
    FResult = std::move(Result);
    FCursor = -1;
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    SetBookmarkSize(sizeof(LongInt));
}

void TADOQuery::InternalClose() {
    FResult.reset();
    FCursor = -1;
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
}

void TADOQuery::InternalInitFieldDefs() {
    if (FResult) {
        FillFieldDefs(*FResult);
        return;
    }
    // Asked for the definitions while closed: the statement runs for its columns alone.
    TTdsReply Reply = ExecuteQuery();
    const TTdsResultSet* First = Reply.FirstResultSet();
    if (!First)
        DatabaseError(SNoResultSet, this);
    FillFieldDefs(*First);
}

void TADOQuery::FillFieldDefs(const TTdsResultSet& Result) {
    TFieldDefs* Defs = FieldDefs();
    Defs->BeginUpdate();
    try {
        Defs->Clear();
        for (std::size_t I = 0; I < Result.Columns.size(); ++I) {
            const TTdsColumn& C = Result.Columns[I];
            // Unnamed and repeated columns get names of their own, so every column has a field.
            std::string Base = C.Name.empty() ? "COLUMN" + IntToStr(static_cast<int>(I) + 1) : WideToAnsi(C.Name);
            std::string Name = Base;
            for (int N = 1; Defs->IndexOf(Name) >= 0; ++N)
                Name = Base + "_" + IntToStr(N);
            TColumnField F = ColumnField(C.Type);
            TFieldDef* D = Defs->AddFieldDef();
            D->SetName(Name);
            D->SetDataType(F.Type);
            D->SetSize(F.Size);
            D->SetPrecision(F.Precision);
            TFieldAttributes A;
            if (!C.Nullable())
                A.Include(faRequired);
            if (F.Fixed)
                A.Include(faFixed);
            D->SetAttributes(A);
        }
    } catch (...) {
        Defs->EndUpdate();
        throw;
    }
    Defs->EndUpdate();
    Defs->SetUpdated(true);
}

int TADOQuery::RowCount() const { return FResult ? static_cast<int>(FResult->RowCount()) : 0; }

// ---------------------------------------------------------------------------------------------
// Record buffers and the cursor

TRecordBuffer TADOQuery::AllocRecordBuffer() { return new Byte[static_cast<std::size_t>(InfoSize + CalcFieldsSize())](); }

void TADOQuery::FreeRecordBuffer(TRecordBuffer& Buffer) {
    delete[] Buffer;
    Buffer = nullptr;
}

void TADOQuery::InternalInitRecord(TRecordBuffer Buffer) {
    std::memset(Buffer, 0, static_cast<std::size_t>(InfoSize + CalcFieldsSize()));
    Info(Buffer)->Row = -1;
}

void TADOQuery::ClearCalcFields(TRecordBuffer Buffer) {
    std::memset(Buffer + InfoSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
}

TGetResult TADOQuery::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
    const int Count = RowCount();
    TGetResult Result = grOK;
    switch (GetMode) {
    case gmCurrent:
        if (FCursor < 0 || FCursor >= Count)
            Result = grError;
        break;
    case gmNext:
        if (FCursor + 1 < Count)
            ++FCursor;
        else {
            FCursor = Count;
            Result = grEOF;
        }
        break;
    case gmPrior:
        if (FCursor > 0) {
            FCursor = std::min(FCursor, Count) - 1;
        } else {
            FCursor = -1;
            Result = grBOF;
        }
        break;
    }
    if (Result == grOK) {
        Info(Buffer)->Row = FCursor;
        Info(Buffer)->Flag = bfCurrent;
        GetCalcFields(Buffer);
    } else if (Result == grError && DoCheck)
        DatabaseError(SRecordNotFound, this);
    return Result;
}

void TADOQuery::GetBookmarkData(TRecordBuffer Buffer, void* Data) { std::memcpy(Data, &Info(Buffer)->Row, sizeof(LongInt)); }

void TADOQuery::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
    std::memcpy(&Info(Buffer)->Row, Data, sizeof(LongInt));
}

TBookmarkFlag TADOQuery::GetBookmarkFlag(TRecordBuffer Buffer) { return Info(Buffer)->Flag; }
void TADOQuery::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) { Info(Buffer)->Flag = Value; }
void TADOQuery::InternalSetToRecord(TRecordBuffer Buffer) { FCursor = Info(Buffer)->Row; }

void TADOQuery::InternalGotoBookmark(const void* Bookmark) {
    LongInt Row;
    std::memcpy(&Row, Bookmark, sizeof Row);
    if (Row >= 0 && Row < RowCount())
        FCursor = Row;
}

bool TADOQuery::BookmarkValid(const TBookmark& Bookmark) {
    if (!FResult || Bookmark.size() != sizeof(LongInt))
        return false;
    LongInt Row;
    std::memcpy(&Row, Bookmark.data(), sizeof Row);
    return Row >= 0 && Row < RowCount();
}

int TADOQuery::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.size() != sizeof(LongInt) || Bookmark2.size() != sizeof(LongInt))
        return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
    LongInt A, B;
    std::memcpy(&A, Bookmark1.data(), sizeof A);
    std::memcpy(&B, Bookmark2.data(), sizeof B);
    return A < B ? -1 : (A > B ? 1 : 0);
}

int TADOQuery::GetRecNo() {
    if (State() == dsCalcFields && CalcBuffer())
        return Info(CalcBuffer())->Row + 1;
    return IsEmpty() ? 0 : Info(ActiveBuffer())->Row + 1;
}

void TADOQuery::SetRecNoValue(int Value) {
    CheckBrowseMode();
    if (Value < 1 || Value > RowCount())
        return;
    DoBeforeScroll();
    FCursor = Value - 1;
    Resync({rmCenter});
    DoAfterScroll();
}

// The result is never changed: the providers' static cursors of the program are all read-only.
void TADOQuery::InternalAddRecord(TRecordBuffer, bool) { ReadOnlyError(); }
void TADOQuery::InternalPost() { ReadOnlyError(); }
void TADOQuery::InternalDelete() { ReadOnlyError(); }

// ---------------------------------------------------------------------------------------------
// Field values

bool TADOQuery::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer RecBuf = FieldBuffer();
    if (!RecBuf)
        return false;
    if (IsCalculated(Field)) {
        const Byte* P = RecBuf + InfoSize + Field->Offset();
        if (!P[0])
            return false;
        if (Buffer)
            std::memcpy(Buffer, P + 1, static_cast<std::size_t>(Field->DataSize()));
        return true;
    }
    const int Col = Field->FieldNo() - 1;
    const LongInt Row = Info(RecBuf)->Row;
    if (!FResult || Col < 0 || Col >= static_cast<int>(FResult->Columns.size()) || Row < 0 || Row >= RowCount())
        return false;
    const TTdsValue& V = FResult->Cell(static_cast<std::size_t>(Row), static_cast<std::size_t>(Col));
    if (V.IsNull())
        return false;
    if (Buffer)
        CellToNative(Field, V, Buffer);
    return true;
}

void TADOQuery::SetFieldData(TField* Field, const void* Buffer) {
    if (!dsWriteModes.Contains(State()))
        DatabaseError(SNotEditing, this);
    // Only the calculated area is written, while it is being computed.
    if (!IsCalculated(Field) || State() != dsCalcFields)
        ReadOnlyError();
    Byte* P = CalcBuffer() + InfoSize + Field->Offset();
    P[0] = Buffer ? 1 : 0;
    if (Buffer)
        std::memcpy(P + 1, Buffer, static_cast<std::size_t>(Field->DataSize()));
    else
        std::memset(P + 1, 0, static_cast<std::size_t>(Field->DataSize()));
}

TStream* TADOQuery::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    if (Mode != bmRead)
        ReadOnlyError();
    std::string Data;
    TRecordBuffer RecBuf = FieldBuffer();
    const int Col = Field->FieldNo() - 1;
    if (RecBuf && FResult && Col >= 0 && Col < static_cast<int>(FResult->Columns.size())) {
        LongInt Row = Info(RecBuf)->Row;
        if (Row >= 0 && Row < RowCount()) {
            const TTdsValue& V = FResult->Cell(static_cast<std::size_t>(Row), static_cast<std::size_t>(Col));
            if (const TTdsBytes* B = BytesOf(V))
                Data.assign(B->begin(), B->end());
            else if (!V.IsNull())
                Data = WideToAnsi(V.AsWideString());
        }
    }
    return Create<TStringStream>(std::move(Data));
}
