// The ADO components over our TDS client: a connection with its connection string, parameters
// parsed from ":name" markers, a command, and a query that is a read-only data set holding its whole
// result on the client.
//
// Statements go out as UTF-16: a batch when the command has no parameters, else an RPC of
// sp_executesql whose ":name" markers became "@name" (":@name" stays "@name"), with one typed
// parameter per entry of Parameters. Errors are the client's EOleException (ETdsError) with the
// server's text; the connection's Errors keep every message of the last request in order.
#pragma once

#include "ComObj.h"
#include "DB.h"
#include "Lists.h"
#include "TdsClient.h"

#include <memory>
#include <string>
#include <vector>

class TADOConnection;

DECLARE_ENUM(TCursorType, ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic)
DECLARE_ENUM(TADOLockType, ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic)
DECLARE_ENUM(TParameterDirection, pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue)

namespace ADOConsts {
inline constexpr const char* SMissingConnection = "Missing Connection or ConnectionString";
inline constexpr const char* SNoResultSet = "CommandText does not return a result set";
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
inline constexpr const char* SObjectOpen = "Operation is not allowed when the object is open.";
inline constexpr const char* SNoCommandText = "Command text was not set for the command object.";
}  // namespace ADOConsts

// ---------------------------------------------------------------------------------------------
// Errors of the last request

struct TADOError {
    std::string Description;
    LongInt NativeError = 0;  // the server's message number
    HRESULT Number = 0;
    std::string SQLState;
    std::string Source;
};

class TADOErrors {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const TADOError& Item(int Index) const;  // the list-index error past the ends
    void Clear() { FItems.clear(); }
    // The messages of a reply (errors and information) in order, or, when the failure brought
    // none, the failure itself.
    void Fill(const std::vector<TTdsMessage>& Messages);
    void Fill(const ETdsError& Failure);

private:
    std::vector<TADOError> FItems;
};

// ---------------------------------------------------------------------------------------------
// Parameters

// One parameter of a command. Only input parameters are sent; the value's SQL type follows DataType,
// or the value itself while DataType is ftUnknown.
class TParameter : public TNamedItem {
    DECLARE_CLASS(TParameter, TNamedItem)
public:
    using TNamedItem::TNamedItem;
    static void DefineClass(TClassBuilder<TParameter>& B);
    void Assign(TPersistent* Source) override;
    // "Value" is streamed as a defined property: a variant has no published kind.
    void DefineProperties(TFiler& Filer) override;

    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    TParameterDirection Direction() const { return FDirection; }
    void SetDirection(TParameterDirection Value) { FDirection = Value; }
    LongInt Size() const { return FSize; }
    void SetSize(LongInt Value) { FSize = Value; }
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& Value) { FValue = Value; }

    // The value as the client sends it.
    TTdsValue TdsValue() const;

private:
    TFieldType FDataType = ftUnknown;
    TParameterDirection FDirection = pdInput;
    LongInt FSize = 0;
    Variant FValue;
};

class TParameters : public TOwnedCollection {
    DECLARE_CLASS(TParameters, TOwnedCollection)
public:
    explicit TParameters(TPersistent* AOwner) : TOwnedCollection(AOwner, TParameter::StaticClass()) {}

    TParameter* Items(int Index) const { return static_cast<TParameter*>(TCollection::Items(Index)); }
    TParameter* AddParameter() { return static_cast<TParameter*>(TCollection::Add()); }
    TParameter* CreateParameter(const std::string& Name, TFieldType DataType, const Variant& Value);
    // Case-insensitive; null when absent.
    TParameter* FindParam(const std::string& Name) const;
    // Raises "Parameter '%s' not found".
    TParameter* ParamByName(const std::string& Name) const;

    // The statement as the server gets it: every ":name" outside quotes becomes "@name" (":@name"
    // gives "@name") and "::" a single ":". The name runs to a blank, ",", ";", ")", "=" or the line
    // end. With DoCreate the list becomes one parameter per distinct name, in order, keeping what
    // a parameter of that name already held.
    std::string ParseSQL(const std::string& SQL, bool DoCreate);
    std::wstring ParseSQL(const std::wstring& SQL) const;

    // The parameters as sp_executesql takes them.
    std::vector<TTdsParam> TdsParams() const;
};

// ---------------------------------------------------------------------------------------------
// Connection

// A connection to a SQL Server through our TDS client. ConnectionString holds the keys of the
// provider it stands in for: Provider ("SQLOLEDB" or "SQLOLEDB.1"), Data Source, Initial Catalog,
// User ID, Password, Integrated Security=SSPI, Persist Security Info. There is never a login prompt.
class TADOConnection : public TComponent {
    DECLARE_CLASS(TADOConnection, TComponent)
public:
    explicit TADOConnection(TComponent* AOwner);
    ~TADOConnection() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TADOConnection>& B);

    // Setting either while connected raises "Operation is not allowed when the object is open."
    // and changes nothing. Provider reads the key and, set, rewrites it.
    const std::wstring& ConnectionString() const { return FConnectionString; }
    void SetConnectionString(const std::wstring& Value);
    std::wstring Provider() const;
    void SetProvider(const std::wstring& Value);
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
    // Seconds; 0 = no limit. The connection time-out bounds name resolution, connect and login.
    LongInt ConnectionTimeout() const { return FConnectionTimeout; }
    void SetConnectionTimeout(LongInt Value) { FConnectionTimeout = Value; }
    LongInt CommandTimeout() const { return FCommandTimeout; }
    void SetCommandTimeout(LongInt Value) { FCommandTimeout = Value; }

    // A failed open raises the client's error (the server's login message, or the provider's text
    // for an unreachable server) and leaves the connection closed.
    void Open();
    // Closes the data sets on this connection first.
    void Close();
    bool Connected() const { return FClient.Connected(); }
    void SetConnected(bool Value);

    // Runs a command (no parameters) with CommandTimeout; gives the rows affected (-1: no count).
    int Execute(const std::wstring& CommandText);
    int Execute(const std::string& CommandText) { return Execute(AnsiToWide(CommandText)); }

    // The messages of the last request or open, in order.
    const TADOErrors& Errors() const { return FErrors; }
    // The data sets whose Connection is this one.
    int DataSetCount() const { return static_cast<int>(FDataSets.size()); }
    TDataSet* DataSets(int Index) const { return FDataSets.at(static_cast<std::size_t>(Index)); }

    // Runs Sql (sp_executesql when Params is not empty), opening the connection first when it is
    // closed; TimeoutSec 0 = no limit. Errors of the request land in Errors; a request that lost
    // the connection closes it as Close does.
    TTdsReply Request(const std::wstring& Sql, const std::vector<TTdsParam>& Params, LongInt TimeoutSec);

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    // Where "host\instance" is looked up: the resolution service's port and wait. Tests point it at
    // the stand-in's responder.
    TSqlResolveOptions ResolveOptions;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TADOQuery;
    void AttachDataSet(TDataSet* DataSet);
    void DetachDataSet(TDataSet* DataSet);
    void CheckInactive() const;
    // The closing sequence; Disconnect false when the client has already gone.
    void DoDisconnect(bool Disconnect);

    TTdsClient FClient;
    std::wstring FConnectionString;
    bool FLoginPrompt = true;
    LongInt FConnectionTimeout = 15;
    LongInt FCommandTimeout = 30;
    bool FStreamedConnected = false;
    TADOErrors FErrors;
    std::vector<TDataSet*> FDataSets;
};

// ---------------------------------------------------------------------------------------------
// What a command and a query share: the connection, the time-out and the parameters.

class TADOCommandText {
public:
    explicit TADOCommandText(TComponent* Owner);
    ~TADOCommandText();
    TADOCommandText(const TADOCommandText&) = delete;
    TADOCommandText& operator=(const TADOCommandText&) = delete;

    TADOConnection* Connection = nullptr;
    LongInt CommandTimeout = 30;
    bool ParamCheck = true;
    TParameters* Parameters;

    // Takes Value as the connection of Owner (free notification both ways); the owner's
    // Notification passes removals on.
    void SetConnection(TADOConnection* Value);
    void Notification(TComponent* AComponent, TOperation Operation);
    // Re-parses the parameters of a new text (while loading, only when there are none yet).
    void TextChanged(const std::string& Text);
    // Runs Text; raises "Missing Connection or ConnectionString" without a connection and the
    // provider's error for an empty text.
    TTdsReply Run(const std::wstring& Text);

private:
    TComponent* FOwner;
};

// A statement without a result: TADOQuery's ExecSQL shares its handling.
class TADOCommand : public TComponent {
    DECLARE_CLASS(TADOCommand, TComponent)
public:
    explicit TADOCommand(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TADOCommand>& B);

    TADOConnection* Connection() const { return FCommand.Connection; }
    void SetConnection(TADOConnection* Value) { FCommand.SetConnection(Value); }
    const std::wstring& CommandText() const { return FCommandText; }
    void SetCommandText(const std::wstring& Value);
    LongInt CommandTimeout() const { return FCommand.CommandTimeout; }
    void SetCommandTimeout(LongInt Value) { FCommand.CommandTimeout = Value; }
    bool ParamCheck() const { return FCommand.ParamCheck; }
    void SetParamCheck(bool Value) { FCommand.ParamCheck = Value; }
    TParameters* Parameters() const { return FCommand.Parameters; }
    void SetParameters(TParameters* Value) { FCommand.Parameters->Assign(Value); }

    // Runs the whole batch; gives the rows affected (-1: no statement gave a count).
    int Execute();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TADOCommandText FCommand{this};
    std::wstring FCommandText;
};

// ---------------------------------------------------------------------------------------------
// Query

// A query as a data set: Open runs SQL.Text and keeps the first result that has columns (the rest
// of the reply is read and dropped); records are never changed. Fields follow the columns' types:
// int TIntegerField, smallint TSmallintField, tinyint TWordField, bigint TLargeintField, bit
// TBooleanField, float and real TFloatField, money, decimal and numeric TBCDField, datetime and
// smalldatetime TDateTimeField, char TStringField (fixed, blank-padded), varchar TStringField,
// nchar and nvarchar TWideStringField, text and ntext TMemoField, binary TBytesField, varbinary
// TVarBytesField, image TBlobField, uniqueidentifier TGuidField.
class TADOQuery : public TDataSet {
    DECLARE_CLASS(TADOQuery, TDataSet)
public:
    explicit TADOQuery(TComponent* AOwner);
    ~TADOQuery() override;
    static void DefineClass(TClassBuilder<TADOQuery>& B);

    TADOConnection* Connection() const { return FCommand.Connection; }
    void SetConnection(TADOConnection* Value);
    // A change of the text closes the query and re-parses the parameters.
    TStrings* SQL() const { return FSQL; }
    void SetSQL(TStrings* Value) { FSQL->Assign(Value); }
    bool ParamCheck() const { return FCommand.ParamCheck; }
    void SetParamCheck(bool Value) { FCommand.ParamCheck = Value; }
    TParameters* Parameters() const { return FCommand.Parameters; }
    void SetParameters(TParameters* Value) { FCommand.Parameters->Assign(Value); }
    // Seconds; 0 = no limit.
    LongInt CommandTimeout() const { return FCommand.CommandTimeout; }
    void SetCommandTimeout(LongInt Value) { FCommand.CommandTimeout = Value; }
    // Kept for the form files: every cursor is a static client-side copy, every lock read-only.
    TCursorType CursorType() const { return FCursorType; }
    void SetCursorType(TCursorType Value) { FCursorType = Value; }
    TADOLockType LockType() const { return FLockType; }
    void SetLockType(TADOLockType Value) { FLockType = Value; }

    // Runs the whole batch; gives the rows affected (-1: no statement gave a count).
    int ExecSQL();
    int RowsAffected() const { return FRowsAffected; }

    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool BookmarkValid(const TBookmark& Bookmark) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;

protected:
    // The request behind Open: SQL.Text with the parameters through the connection.
    virtual TTdsReply ExecuteQuery();

    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void ClearCalcFields(TRecordBuffer Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void InternalFirst() override { FCursor = -1; }
    void InternalLast() override { FCursor = RowCount(); }
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() override { return FResult != nullptr; }
    int GetRecordCount() override { return RowCount(); }
    int GetRecNo() override;
    void SetRecNoValue(int Value) override;
    bool GetCanModify() override { return false; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TRecInfo;
    TRecInfo* Info(TRecordBuffer Buffer) const { return reinterpret_cast<TRecInfo*>(Buffer); }
    int RowCount() const;
    // The buffer that field access reads in the current state; null on an empty browse.
    void QueryChanged(TObject* Sender);
    void FillFieldDefs(const TTdsResultSet& Result);
    [[noreturn]] void ReadOnlyError();

    TADOCommandText FCommand{this};
    TStringList* FSQL;
    TCursorType FCursorType = ctKeyset;
    TADOLockType FLockType = ltOptimistic;
    int FRowsAffected = -1;
    std::unique_ptr<TTdsResultSet> FResult;
    int FCursor = -1;  // row index; -1 before the first, RowCount() after the last
};

// Registers the components for form streaming: the unit's start-up work.
void ADODBInitialization();
