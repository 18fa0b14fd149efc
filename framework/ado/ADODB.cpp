// The connection, its errors, the parameters and the command; the query is in ADODBQuery.cpp.
#include "ADODB.h"

#include "ConnectionString.h"

#include <algorithm>
#include <cmath>

using namespace ADOConsts;

namespace {

// ADO's own code for a change that needs a closed object.
constexpr HRESULT ObjectOpenCode = static_cast<HRESULT>(0x800A0E79);
constexpr HRESULT NoCommandCode = static_cast<HRESULT>(0x80040E0C);

// Seconds as the client's milliseconds; 0 and below: no limit.
DWORD TimeoutMs(LongInt Seconds) {
    if (Seconds <= 0)
        return 0;
    return static_cast<DWORD>(std::min<LongInt>(Seconds, 0x7FFFFFFF / 1000)) * 1000;
}

// ---------------------------------------------------------------------------------------------
// Parameter markers

template <class C>
bool EndsName(C Ch) {
    return Ch == ' ' || Ch == '\t' || Ch == ',' || Ch == ';' || Ch == ')' || Ch == '=' || Ch == '\r' || Ch == '\n' ||
           Ch == 0;
}

// The statement with ":name" turned into "@name" and "::" into ":"; names in order of appearance.
// Text in quotes and in brackets is left alone (a doubled closing character stays inside).
template <class S>
S ConvertMarkers(const S& Sql, std::vector<S>* Names) {
    using C = typename S::value_type;
    S Out;
    Out.reserve(Sql.size());
    C Close = 0;
    for (std::size_t I = 0; I < Sql.size(); ++I) {
        C Ch = Sql[I];
        if (Close) {
            Out += Ch;
            if (Ch == Close) {
                if (I + 1 < Sql.size() && Sql[I + 1] == Close)
                    Out += Sql[++I];
                else
                    Close = 0;
            }
            continue;
        }
        if (Ch == '\'' || Ch == '"' || Ch == '[') {
            Close = Ch == '[' ? C(']') : Ch;
            Out += Ch;
            continue;
        }
        if (Ch != ':') {
            Out += Ch;
            continue;
        }
        if (I + 1 < Sql.size() && Sql[I + 1] == ':') {
            Out += Ch;
            ++I;
            continue;
        }
        std::size_t End = I + 1;
        while (End < Sql.size() && !EndsName(Sql[End]))
            ++End;
        if (End == I + 1) {  // a lone ":" is text
            Out += Ch;
            continue;
        }
        S Name = Sql.substr(I + 1, End - I - 1);
        if (Name[0] != '@')
            Out += C('@');
        Out += Name;
        if (Names)
            Names->push_back(std::move(Name));
        I = End - 1;
    }
    return Out;
}

TTdsDecimal CurrencyDecimal(double Value) {
    Int64 Scaled = static_cast<Int64>(std::llround(Value * 10000.0));
    TTdsDecimal D;
    D.Negative = Scaled < 0;
    std::uint64_t Mag = D.Negative ? 0 - static_cast<std::uint64_t>(Scaled) : static_cast<std::uint64_t>(Scaled);
    D.Precision = 19;
    D.Scale = 4;
    D.Magnitude[0] = static_cast<std::uint32_t>(Mag);
    D.Magnitude[1] = static_cast<std::uint32_t>(Mag >> 32);
    return D;
}

// A value by its variant type.
TTdsValue VariantTdsValue(const Variant& V) {
    switch (VarType(V) & varTypeMask) {
    case varBoolean:
        return V.AsBoolean();
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64:
        return static_cast<std::int64_t>(V.AsInt64());
    case varSingle:
    case varDouble:
        return V.AsDouble();
    case varCurrency:
        return CurrencyDecimal(V.AsCurrency());
    case varDate:
        return TTdsDateTime{V.AsDateTime()};
    default:
        return VarToWideStr(V);
    }
}

// Variants in form files, as the platform streams them.
Variant ReadVariantValue(TReader& Reader) {
    switch (Reader.NextValue()) {
    case vaNull:
        Reader.ReadValue();
        return Null();
    case vaNil:
        Reader.ReadValue();
        return Variant();
    case vaFalse:
    case vaTrue:
        return Reader.ReadBoolean();
    case vaInt8:
    case vaInt16:
    case vaInt32:
        return Reader.ReadInteger();
    case vaInt64:
        return Reader.ReadInt64();
    case vaExtended:
        return static_cast<double>(Reader.ReadFloat());
    case vaSingle:
        return Reader.ReadSingle();
    case vaCurrency:
        return Variant::FromCurrency(static_cast<double>(Reader.ReadCurrency()) / 10000.0);
    case vaDate:
        return Variant::FromDateTime(Reader.ReadDate());
    case vaString:
    case vaLString:
        return Reader.ReadString();
    case vaWString:
    case vaUTF8String:
        return Reader.ReadWideString();
    default:
        Reader.Error("Invalid property value");
    }
}

void WriteVariantValue(TWriter& Writer, const Variant& V) {
    switch (VarType(V) & varTypeMask) {
    case varNull:
        Writer.WriteIdent("Null");
        break;
    case varBoolean:
        Writer.WriteBoolean(V.AsBoolean());
        break;
    case varSmallint:
    case varInteger:
    case varByte:
        Writer.WriteInteger(V.AsInteger());
        break;
    case varInt64:
        Writer.WriteInteger(V.AsInt64());
        break;
    case varSingle:
        Writer.WriteSingle(static_cast<float>(V.AsDouble()));
        break;
    case varDouble:
        Writer.WriteFloat(V.AsDouble());
        break;
    case varCurrency:
        Writer.WriteCurrency(std::llround(V.AsCurrency() * 10000.0));
        break;
    case varDate:
        Writer.WriteDate(V.AsDateTime());
        break;
    case varOleStr:
        Writer.WriteWideString(V.AsWideString());
        break;
    default:
        Writer.WriteString(VarToStr(V));
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TADOErrors

const TADOError& TADOErrors::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TADOErrors::Fill(const std::vector<TTdsMessage>& Messages) {
    FItems.clear();
    for (const TTdsMessage& M : Messages) {
        TADOError E;
        E.Description = WideToAnsi(M.Text);
        E.NativeError = M.Number;
        // The general states of the two kinds: a failed statement, a message of information.
        E.Number = M.Fails() ? TdsErrorsInCommand : 0;
        E.SQLState = M.Fails() ? "42000" : "01000";
        E.Source = SqlProviderSource;
        FItems.push_back(std::move(E));
    }
}

void TADOErrors::Fill(const ETdsError& Failure) {
    Fill(Failure.Messages);
    if (FItems.empty()) {
        TADOError E;
        E.Description = Failure.Message();
        E.Number = Failure.ErrorCode;
        E.Source = Failure.Source;
        FItems.push_back(std::move(E));
    }
}

// ---------------------------------------------------------------------------------------------
// TParameter

void TParameter::DefineClass(TClassBuilder<TParameter>& B) {
    B.Property("DataType", &TParameter::DataType, &TParameter::SetDataType).Default(ftUnknown);
    B.Property("Direction", &TParameter::Direction, &TParameter::SetDirection).Default(pdInput);
    B.Property("Size", &TParameter::Size, &TParameter::SetSize).Default(0);
}

void TParameter::Assign(TPersistent* Source) {
    auto* S = DynCast<TParameter>(Source);
    if (!S) {
        TNamedItem::Assign(Source);
        return;
    }
    SetName(S->Name());
    FDataType = S->FDataType;
    FDirection = S->FDirection;
    FSize = S->FSize;
    FValue = S->FValue;
}

void TParameter::DefineProperties(TFiler& Filer) {
    TNamedItem::DefineProperties(Filer);
    Filer.DefineProperty(
        "Value", [this](TReader& R) { FValue = ReadVariantValue(R); }, [this](TWriter& W) { WriteVariantValue(W, FValue); },
        !FValue.IsEmpty());
}

TTdsValue TParameter::TdsValue() const {
    if (FValue.IsNull() || FValue.IsEmpty())
        return {};
    switch (FDataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo:
    case ftGuid:
        return VarToWideStr(FValue);
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
        return static_cast<std::int64_t>(FValue.AsInt64());
    case ftBoolean:
        return FValue.AsBoolean();
    case ftFloat:
        return FValue.AsDouble();
    case ftCurrency:
    case ftBCD:
        return CurrencyDecimal(FValue.AsCurrency());
    case ftDate:
    case ftTime:
    case ftDateTime:
        return TTdsDateTime{FValue.AsDateTime()};
    default:
        return VariantTdsValue(FValue);
    }
}

// ---------------------------------------------------------------------------------------------
// TParameters

TParameter* TParameters::CreateParameter(const std::string& Name, TFieldType DataType, const Variant& Value) {
    TParameter* P = AddParameter();
    P->SetName(Name);
    P->SetDataType(DataType);
    P->SetValue(Value);
    return P;
}

TParameter* TParameters::FindParam(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (SameText(Items(I)->Name(), Name))
            return Items(I);
    return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& Name) const {
    TParameter* P = FindParam(Name);
    if (!P)
        DatabaseErrorFmt(SParameterNotFound, {Name}, DynCast<TComponent>(const_cast<TParameters*>(this)->GetOwner()));
    return P;
}

std::string TParameters::ParseSQL(const std::string& SQL, bool DoCreate) {
    std::vector<std::string> Names;
    std::string Result = ConvertMarkers(SQL, DoCreate ? &Names : nullptr);
    if (!DoCreate)
        return Result;
    // The new list keeps the settings and values that parameters of the same names had.
    std::vector<TParameter*> Kept;
    BeginUpdate();
    try {
        for (const std::string& N : Names) {
            if (std::any_of(Kept.begin(), Kept.end(), [&](TParameter* P) { return SameText(P->Name(), N); }))
                continue;
            TParameter* P = FindParam(N);
            if (!P) {
                P = AddParameter();
                P->SetName(N);
            }
            Kept.push_back(P);
        }
        for (int I = Count() - 1; I >= 0; --I)
            if (std::find(Kept.begin(), Kept.end(), Items(I)) == Kept.end())
                Delete(I);
        for (std::size_t I = 0; I < Kept.size(); ++I)
            Kept[I]->SetIndex(static_cast<int>(I));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return Result;
}

std::wstring TParameters::ParseSQL(const std::wstring& SQL) const { return ConvertMarkers<std::wstring>(SQL, nullptr); }

std::vector<TTdsParam> TParameters::TdsParams() const {
    std::vector<TTdsParam> Params;
    for (int I = 0; I < Count(); ++I)
        Params.push_back({AnsiToWide(Items(I)->Name()), Items(I)->TdsValue()});
    return Params;
}

// ---------------------------------------------------------------------------------------------
// TADOConnection

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() { FClient.Disconnect(); }

void TADOConnection::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) {
        Destroying();
        try {
            Close();
        } catch (...) {
            // A data set that fails to close must not keep the connection alive.
        }
    }
    FClient.Disconnect();
    TComponent::BeforeDestruction();
}

void TADOConnection::DefineClass(TClassBuilder<TADOConnection>& B) {
    B.Property("CommandTimeout", &TADOConnection::CommandTimeout, &TADOConnection::SetCommandTimeout).Default(30);
    B.Property("Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(false);
    B.Property("ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString);
    B.Property("ConnectionTimeout", &TADOConnection::ConnectionTimeout, &TADOConnection::SetConnectionTimeout).Default(15);
    B.Property("LoginPrompt", &TADOConnection::LoginPrompt, &TADOConnection::SetLoginPrompt).Default(true);
    B.Property("Provider", &TADOConnection::Provider, &TADOConnection::SetProvider);
    B.Property("AfterConnect", &TADOConnection::AfterConnect, &TADOConnection::AfterConnect);
    B.Property("AfterDisconnect", &TADOConnection::AfterDisconnect, &TADOConnection::AfterDisconnect);
    B.Property("BeforeConnect", &TADOConnection::BeforeConnect, &TADOConnection::BeforeConnect);
    B.Property("BeforeDisconnect", &TADOConnection::BeforeDisconnect, &TADOConnection::BeforeDisconnect);
}

void TADOConnection::CheckInactive() const {
    if (Connected())
        throw EOleException(SObjectOpen, ObjectOpenCode, "ADODB.Connection");
}

void TADOConnection::SetConnectionString(const std::wstring& Value) {
    CheckInactive();
    FConnectionString = Value;
}

std::wstring TADOConnection::Provider() const {
    try {
        for (const auto& [Key, Value] : SplitConnectionString(FConnectionString))
            if (WideSameText(Key, L"Provider"))
                return Value;
    } catch (const ETdsError&) {
        // A string that does not parse names no provider yet; opening it says what is wrong.
    }
    return {};
}

void TADOConnection::SetProvider(const std::wstring& Value) {
    CheckInactive();
    FConnectionString = SetConnectionStringValue(FConnectionString, L"Provider", Value);
}

void TADOConnection::SetConnected(bool Value) {
    if (FComponentState.Contains(csLoading)) {
        FStreamedConnected = Value;
        return;
    }
    if (Value)
        Open();
    else
        Close();
}

void TADOConnection::Loaded() {
    TComponent::Loaded();
    if (FStreamedConnected) {
        FStreamedConnected = false;
        Open();
    }
}

void TADOConnection::Open() {
    if (Connected())
        return;
    BeforeConnect(this);
    FErrors.Clear();
    try {
        TTdsConnectParams P =
            SqlConnectParams(ParseConnectionString(FConnectionString), static_cast<unsigned>(std::max<LongInt>(FConnectionTimeout, 0)));
        P.Resolve = ResolveOptions;
        FClient.Connect(P);
    } catch (const ETdsError& E) {
        FErrors.Fill(E);
        throw;
    }
    AfterConnect(this);
}

void TADOConnection::Close() {
    if (Connected())
        DoDisconnect(true);
}

void TADOConnection::DoDisconnect(bool Disconnect) {
    bool Quiet = FComponentState.Contains(csDestroying);
    if (!Quiet)
        BeforeDisconnect(this);
    for (TDataSet* D : std::vector<TDataSet*>(FDataSets))
        D->Close();
    if (Disconnect)
        FClient.Disconnect();
    if (!Quiet)
        AfterDisconnect(this);
}

int TADOConnection::Execute(const std::wstring& CommandText) {
    return static_cast<int>(Request(CommandText, {}, FCommandTimeout).RowsAffected());
}

TTdsReply TADOConnection::Request(const std::wstring& Sql, const std::vector<TTdsParam>& Params, LongInt TimeoutSec) {
    if (!Connected())
        Open();
    FErrors.Clear();
    try {
        TTdsReply R = Params.empty() ? FClient.ExecuteBatch(Sql, TimeoutMs(TimeoutSec))
                                     : FClient.ExecuteSql(Sql, Params, TimeoutMs(TimeoutSec));
        FErrors.Fill(R.Messages);
        return R;
    } catch (const ETdsError& E) {
        FErrors.Fill(E);
        if (!FClient.Connected())  // the client gave the connection up: close as Close does
            DoDisconnect(false);
        throw;
    }
}

void TADOConnection::AttachDataSet(TDataSet* DataSet) {
    if (std::find(FDataSets.begin(), FDataSets.end(), DataSet) == FDataSets.end())
        FDataSets.push_back(DataSet);
}

void TADOConnection::DetachDataSet(TDataSet* DataSet) {
    FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), DataSet), FDataSets.end());
}

void TADOConnection::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        if (auto* D = DynCast<TDataSet>(AComponent))
            DetachDataSet(D);
}

// ---------------------------------------------------------------------------------------------
// TADOCommandText

TADOCommandText::TADOCommandText(TComponent* Owner) : Parameters(Create<TParameters>(Owner)), FOwner(Owner) {
    Parameters->SetPropName("Parameters");
}

TADOCommandText::~TADOCommandText() { FreeObject(Parameters); }

void TADOCommandText::SetConnection(TADOConnection* Value) {
    if (Value == Connection)
        return;
    if (Connection)
        Connection->RemoveFreeNotification(FOwner);
    Connection = Value;
    if (Value)
        Value->FreeNotification(FOwner);
}

void TADOCommandText::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == Connection)
        Connection = nullptr;
}

void TADOCommandText::TextChanged(const std::string& Text) {
    // A form file streams the parameters with their types; the text read after them keeps them.
    if (ParamCheck && (!FOwner->ComponentState().Contains(csLoading) || Parameters->Count() == 0))
        Parameters->ParseSQL(Text, true);
}

TTdsReply TADOCommandText::Run(const std::wstring& Text) {
    if (!Connection)
        DatabaseError(SMissingConnection, FOwner);
    std::wstring Sql = ParamCheck ? Parameters->ParseSQL(Text) : Text;
    if (Trim(Sql).empty())
        throw EOleException(SNoCommandText, NoCommandCode, SqlProviderSource);
    return Connection->Request(Sql, Parameters->TdsParams(), CommandTimeout);
}

// ---------------------------------------------------------------------------------------------
// TADOCommand

TADOCommand::TADOCommand(TComponent* AOwner) : TComponent(AOwner) {}

void TADOCommand::DefineClass(TClassBuilder<TADOCommand>& B) {
    B.Property("CommandTimeout", &TADOCommand::CommandTimeout, &TADOCommand::SetCommandTimeout).Default(30);
    B.Property("Connection", &TADOCommand::Connection, &TADOCommand::SetConnection);
    B.Property("ParamCheck", &TADOCommand::ParamCheck, &TADOCommand::SetParamCheck).Default(true);
    B.Property("Parameters", &TADOCommand::Parameters, &TADOCommand::SetParameters);
    // Last, as the query's SQL: the text read after them keeps the streamed parameters.
    B.Property("CommandText", &TADOCommand::CommandText, &TADOCommand::SetCommandText);
}

void TADOCommand::SetCommandText(const std::wstring& Value) {
    FCommandText = Value;
    FCommand.TextChanged(WideToAnsi(Value));
}

int TADOCommand::Execute() { return static_cast<int>(FCommand.Run(FCommandText).RowsAffected()); }

void TADOCommand::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    FCommand.Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------

void ADODBInitialization() {
    RegisterClasses({TADOConnection::StaticClass(), TADOCommand::StaticClass(), TADOQuery::StaticClass()});
}
