// The query's side that needs no server: every column type as its field kind and value (nulls
// too), names for unnamed and repeated columns, a reply without columns, parameter markers and
// the values parameters send, and the components read from a form file.
#include "ADODB.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A query whose request gives a prepared reply.
class TCannedQuery : public TADOQuery {
    DECLARE_CLASS(TCannedQuery, TADOQuery)
public:
    using TADOQuery::TADOQuery;
    TTdsReply Reply;

protected:
    TTdsReply ExecuteQuery() override { return Reply; }
};

TTdsColumn Column(const wchar_t* Name, TTdsSqlType Type, std::uint32_t MaxLength = 0, std::uint8_t Precision = 0,
                  std::uint8_t Scale = 0) {
    TTdsColumn C;
    C.Name = Name;
    C.Type.SqlType = Type;
    C.Type.MaxLength = MaxLength;
    C.Type.Precision = Precision;
    C.Type.Scale = Scale;
    C.Flags = 0x0001;  // nullable
    return C;
}

TTdsDecimal Decimal(bool Negative, std::uint32_t Magnitude, std::uint8_t Precision, std::uint8_t Scale) {
    TTdsDecimal D;
    D.Negative = Negative;
    D.Magnitude[0] = Magnitude;
    D.Precision = Precision;
    D.Scale = Scale;
    return D;
}

struct TColumnCase {
    TTdsColumn Column;
    TTdsValue Value;
    TClass FieldClass;
    std::function<void(TField*)> Check;
};

const GUID SomeGuid = {0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
const TDateTime Stamp = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 123);

std::vector<TColumnCase> ColumnCases() {
    using S = TTdsSqlType;
    return {
        {Column(L"c_int", S::Int, 4), 42, TIntegerField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsInteger(), 42); }},
        {Column(L"c_smallint", S::SmallInt, 2), -7, TSmallintField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsInteger(), -7); }},
        {Column(L"c_tinyint", S::TinyInt, 1), 200, TWordField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsInteger(), 200); }},
        {Column(L"c_bigint", S::BigInt, 8), std::int64_t(5000000000), TLargeintField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsLargeInt(), 5000000000); }},
        {Column(L"c_bit", S::Bit, 1), true, TBooleanField::StaticClass(), [](TField* F) { EXPECT_TRUE(F->AsBoolean()); }},
        {Column(L"c_float", S::Float, 8), 1.25, TFloatField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsFloat(), 1.25); }},
        {Column(L"c_real", S::Real, 4), -0.5, TFloatField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsFloat(), -0.5); }},
        {Column(L"c_money", S::Money, 8), Decimal(false, 123400, 19, 4), TBCDField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsCurrency(), 123400); }},
        {Column(L"c_numeric", S::Numeric, 9, 10, 2), Decimal(true, 4567, 10, 2), TBCDField::StaticClass(),
         [](TField* F) {
             EXPECT_EQ(F->AsCurrency(), -456700);
             EXPECT_EQ(As<TBCDField>(F)->Precision(), 10);
             EXPECT_EQ(F->Size(), 2);
         }},
        {Column(L"c_datetime", S::DateTime, 8), TTdsDateTime{Stamp}, TDateTimeField::StaticClass(),
         [](TField* F) { EXPECT_NEAR(F->AsDateTime(), Stamp, 0.5 / 86400000.0); }},
        {Column(L"c_smalldatetime", S::SmallDateTime, 4), TTdsDateTime{EncodeDate(1900, 1, 1)}, TDateTimeField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsDateTime(), EncodeDate(1900, 1, 1)); }},
        {Column(L"c_char", S::Char, 5), L"ab   ", TStringField::StaticClass(),
         [](TField* F) {
             EXPECT_EQ(F->AsString(), "ab   ") << "char stays blank-padded";
             EXPECT_TRUE(As<TStringField>(F)->FixedChar());
         }},
        {Column(L"c_varchar", S::VarChar, 10), L"abc", TStringField::StaticClass(), [](TField* F) { EXPECT_EQ(F->AsString(), "abc"); }},
        {Column(L"c_nchar", S::NChar, 8), L"\x0416\x0443\x0440 ", TWideStringField::StaticClass(),
         [](TField* F) { EXPECT_EQ(As<TWideStringField>(F)->AsWideString(), L"\x0416\x0443\x0440 "); }},
        {Column(L"c_nvarchar", S::NVarChar, 256), L"\x0416\x0443\x0440\x043D\x0430\x043B", TWideStringField::StaticClass(),
         [](TField* F) {
             EXPECT_EQ(As<TWideStringField>(F)->AsWideString(), L"\x0416\x0443\x0440\x043D\x0430\x043B");
             EXPECT_EQ(F->Size(), 128);
         }},
        {Column(L"c_text", S::Text, 0x7FFFFFFF), L"memo text", TMemoField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), "memo text"); }},
        {Column(L"c_ntext", S::NText, 0x7FFFFFFE), L"wide memo", TMemoField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), "wide memo"); }},
        {Column(L"c_binary", S::Binary, 4), TTdsBytes{1, 0, 3, 4}, TBytesField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), std::string("\x01\x00\x03\x04", 4)); }},
        {Column(L"c_varbinary", S::VarBinary, 8), TTdsBytes{9, 8}, TVarBytesField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), "\x09\x08"); }},
        {Column(L"c_image", S::Image, 0x7FFFFFFF), TTdsBytes{0, 255}, TBlobField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), std::string("\x00\xFF", 2)); }},
        {Column(L"c_guid", S::Guid, 16), SomeGuid, TGuidField::StaticClass(),
         [](TField* F) { EXPECT_EQ(F->AsString(), "{12345678-9ABC-DEF0-0123-456789ABCDEF}"); }},
    };
}

// A result of the cases' columns: one row of values, one of NULLs.
TTdsReply CasesReply(const std::vector<TColumnCase>& Cases) {
    TTdsResultSet S;
    for (const TColumnCase& C : Cases)
        S.Columns.push_back(C.Column);
    for (const TColumnCase& C : Cases)
        S.Cells.push_back(C.Value);
    S.Cells.resize(S.Cells.size() + Cases.size());
    TTdsReply R;
    R.ResultSets.push_back(std::move(S));
    return R;
}

struct ADOCannedQuery : ::testing::Test {
    TOwned<TCannedQuery> Query{Create<TCannedQuery>(nullptr)};
};

std::string DatabaseErrorOf(const std::function<void()>& F) {
    try {
        F();
    } catch (const EDatabaseError& E) {
        return E.Message();
    }
    return "<no error>";
}

}  // namespace

TEST_F(ADOCannedQuery, EveryColumnTypeGivesItsFieldAndValue) {
    std::vector<TColumnCase> Cases = ColumnCases();
    Query->Reply = CasesReply(Cases);
    Query->Open();
    ASSERT_EQ(Query->FieldCount(), static_cast<int>(Cases.size()));
    EXPECT_EQ(Query->RecordCount(), 2);
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        TField* F = Query->Fields()->Fields(static_cast<int>(I));
        SCOPED_TRACE(F->FieldName());
        EXPECT_EQ(F->ClassType(), Cases[I].FieldClass);
        EXPECT_FALSE(F->IsNull());
        Cases[I].Check(F);
    }
    Query->Next();
    for (int I = 0; I < Query->FieldCount(); ++I) {
        TField* F = Query->Fields()->Fields(I);
        SCOPED_TRACE(F->FieldName());
        EXPECT_TRUE(F->IsNull());
        EXPECT_EQ(F->AsString(), "");
    }
}

TEST_F(ADOCannedQuery, UnnamedAndRepeatedColumnsGetNamesOfTheirOwn) {
    TTdsResultSet S;
    S.Columns = {Column(L"", TTdsSqlType::Int, 4), Column(L"a", TTdsSqlType::Int, 4), Column(L"A", TTdsSqlType::Int, 4),
                 Column(L"", TTdsSqlType::Int, 4)};
    S.Cells = {1, 2, 3, 4};
    Query->Reply.ResultSets.push_back(std::move(S));
    Query->Open();
    std::vector<std::string> Names;
    Query->GetFieldNames(Names);
    EXPECT_EQ(Names, (std::vector<std::string>{"COLUMN1", "a", "A_1", "COLUMN4"}));
    EXPECT_EQ(Query->FieldByName("A_1")->AsInteger(), 3);
}

TEST_F(ADOCannedQuery, OpensOnTheFirstResultWithColumnsAndStaysReadOnly) {
    TTdsResultSet Empty;  // a statement without columns
    TTdsResultSet Names;
    Names.Columns = {Column(L"name", TTdsSqlType::NVarChar, 256)};
    Names.Cells = {L"master", L"model", L"msdb"};
    Query->Reply.ResultSets = {Empty, Names};
    Query->SetName("qryDB");
    // A grid's link of two rows sees them filled as soon as the query opens.
    TOwned<TDataSource> Source(Create<TDataSource>(nullptr));
    Source->SetDataSet(Query.get());
    TDataLink Link;
    Link.SetBufferCount(2);
    Link.SetDataSource(Source.get());
    Query->Open();
    EXPECT_EQ(Link.RecordCount(), 2);
    EXPECT_EQ(Query->FieldByName("name")->AsString(), "master");
    Query->Last();
    EXPECT_EQ(Query->RecNo(), 3);
    TBookmark Last = Query->GetBookmark();
    Query->First();
    EXPECT_TRUE(Query->Bof());
    Query->GotoBookmark(Last);
    EXPECT_EQ(Query->FieldByName("name")->AsString(), "msdb");
    Query->SetRecNo(2);
    EXPECT_EQ(Query->FieldByName("name")->AsString(), "model");
    EXPECT_EQ(DatabaseErrorOf([&] { Query->Edit(); }), "qryDB: Cannot modify a read-only dataset");
    EXPECT_EQ(DatabaseErrorOf([&] { Query->Append(); }), "qryDB: Cannot modify a read-only dataset");
    Link.SetDataSource(nullptr);

    Query->Close();
    Query->Reply.ResultSets = {Empty};
    EXPECT_EQ(DatabaseErrorOf([&] { Query->Open(); }), "qryDB: CommandText does not return a result set");
    EXPECT_FALSE(Query->Active());

    TTdsResultSet NoRows;
    NoRows.Columns = Names.Columns;
    Query->Reply.ResultSets = {NoRows};
    Query->Open();
    EXPECT_TRUE(Query->IsEmpty());
    EXPECT_TRUE(Query->Eof());
    EXPECT_TRUE(Query->FieldByName("name")->IsNull());
}

// ---------------------------------------------------------------------------------------------
// Parameters

TEST(ADOParameters, MarkersBecomeNamedParameters) {
    struct TCase {
        std::string Sql, Sent;
        std::vector<std::string> Names;
    } Cases[] = {
        {"exec master..xp_fileexist :@PathName", "exec master..xp_fileexist @PathName", {"@PathName"}},
        {"select :a, :b from t where x=:a", "select @a, @b from t where x=@a", {"a", "b"}},
        {"where (x=:p);", "where (x=@p);", {"p"}},
        {"a=:p\r\nb=:q", "a=@p\r\nb=@q", {"p", "q"}},
        {"select ':no', \":no\", [a:b], 'it''s :no' + :yes", "select ':no', \":no\", [a:b], 'it''s :no' + @yes", {"yes"}},
        {"select [a]]:b], 1", "select [a]]:b], 1", {}},
        {"select 'a::b', 1::2, x : y", "select 'a::b', 1:2, x : y", {}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Sql);
        TOwned<TParameters> P(Create<TParameters>(nullptr));
        EXPECT_EQ(P->ParseSQL(C.Sql, true), C.Sent);
        std::vector<std::string> Names;
        for (int I = 0; I < P->Count(); ++I)
            Names.push_back(P->Items(I)->Name());
        EXPECT_EQ(Names, C.Names);
        EXPECT_EQ(P->ParseSQL(AnsiToWide(C.Sql)), AnsiToWide(C.Sent)) << "the wide text sent converts alike";
    }
}

TEST(ADOParameters, ANewTextKeepsTheValuesOfParametersItStillNames) {
    TOwned<TADOQuery> Q(Create<TADOQuery>(nullptr));
    Q->SetName("qryFolderExists");
    Q->SQL()->SetText("select :a, :b");
    Q->Parameters()->ParamByName("a")->SetValue(Variant(7));
    Q->Parameters()->ParamByName("A")->SetDataType(ftInteger);
    Q->SQL()->SetText("select :b, :c, :a");
    ASSERT_EQ(Q->Parameters()->Count(), 3);
    EXPECT_EQ(Q->Parameters()->Items(0)->Name(), "b");
    EXPECT_EQ(Q->Parameters()->Items(2)->Name(), "a");
    EXPECT_EQ(Q->Parameters()->Items(2)->Value().AsInteger(), 7);
    EXPECT_EQ(Q->Parameters()->Items(2)->DataType(), ftInteger);
    EXPECT_EQ(DatabaseErrorOf([&] { Q->Parameters()->ParamByName("@PathName"); }),
              "qryFolderExists: Parameter '@PathName' not found");

    Q->SetParamCheck(false);
    Q->SQL()->SetText("select :d");
    EXPECT_EQ(Q->Parameters()->Count(), 3) << "without ParamCheck the text is not parsed";
}

TEST(ADOParameters, ValuesAreTypedByDataTypeOrByTheValue) {
    TOwned<TParameters> P(Create<TParameters>(nullptr));
    struct TCase {
        TFieldType DataType;
        Variant Value;
        TTdsValue Sent;
    } Cases[] = {
        {ftUnknown, Variant(L"It's ]x["), TTdsValue(L"It's ]x[")},
        {ftUnknown, Variant("C:\\"), TTdsValue(L"C:\\")},
        {ftUnknown, Variant(12), TTdsValue(std::int64_t(12))},
        {ftUnknown, Variant(true), TTdsValue(true)},
        {ftUnknown, Null(), TTdsValue()},
        {ftUnknown, Variant(), TTdsValue()},
        {ftString, Variant(5), TTdsValue(L"5")},
        {ftInteger, Variant("12"), TTdsValue(std::int64_t(12))},
        {ftFloat, Variant(2), TTdsValue(2.0)},
        {ftDateTime, Variant::FromDateTime(Stamp), TTdsValue(TTdsDateTime{Stamp})},
        {ftBCD, Variant::FromCurrency(-1.5), TTdsValue(Decimal(true, 15000, 19, 4))},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(VarToStr(C.Value));
        TParameter* Par = P->CreateParameter("p", C.DataType, C.Value);
        EXPECT_EQ(Par->TdsValue(), C.Sent);
    }
}

// ---------------------------------------------------------------------------------------------
// Form files

namespace {
class TADOTestModule : public TComponent {
    DECLARE_CLASS(TADOTestModule, TComponent)
public:
    using TComponent::TComponent;
};
}  // namespace

TEST(ADOFormFile, ComponentsReadWithTheirReferencesStringsAndParameters) {
    ADODBInitialization();
    RegisterClass(TADOTestModule::StaticClass());
    const std::string Text =
        "object Module: TADOTestModule\n"
        "  object ADOConnectionUpdate: TADOConnection\n"
        "    ConnectionString = 'Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
        "Initial Catalog=master;Data Source=PC1\\SQL2005'\n"
        "    LoginPrompt = False\n"
        "    Provider = 'SQLOLEDB.1'\n"
        "  end\n"
        "  object qryFolderExists: TADOQuery\n"
        "    Connection = ADOConnectionUpdate\n"
        "    CursorType = ctStatic\n"
        "    CommandTimeout = 600\n"
        "    Parameters = <\n"
        "      item\n"
        "        Name = '@PathName'\n"
        "        DataType = ftString\n"
        "        Size = -1\n"
        "        Value = Null\n"
        "      end>\n"
        "    SQL.Strings = (\n"
        "      'insert #TempTableFileEx'\n"
        "      'exec master..xp_fileexist :@PathName')\n"
        "  end\n"
        "end\n";
    std::string Bin = ObjectTextToBinary(Text);
    TPointerStream S(Bin.data(), static_cast<LongInt>(Bin.size()));
    TOwned<TComponent> Root(S.ReadComponent(nullptr));
    auto* C = As<TADOConnection>(Root->FindComponent("ADOConnectionUpdate"));
    auto* Q = As<TADOQuery>(Root->FindComponent("qryFolderExists"));
    ASSERT_TRUE(C && Q);
    EXPECT_EQ(C->ConnectionString(), L"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                                     L"Initial Catalog=master;Data Source=PC1\\SQL2005");
    EXPECT_FALSE(C->LoginPrompt());
    EXPECT_EQ(C->Provider(), L"SQLOLEDB.1");
    EXPECT_FALSE(C->Connected());
    EXPECT_EQ(Q->Connection(), C);
    EXPECT_EQ(C->DataSetCount(), 1);
    EXPECT_EQ(Q->CursorType(), ctStatic);
    EXPECT_EQ(Q->CommandTimeout(), 600);
    EXPECT_EQ(Q->SQL()->Count(), 2);
    ASSERT_EQ(Q->Parameters()->Count(), 1);
    TParameter* P = Q->Parameters()->ParamByName("@PathName");
    EXPECT_EQ(P->DataType(), ftString) << "the streamed parameter outlives the text read after it";
    EXPECT_EQ(P->Size(), -1);
    EXPECT_TRUE(P->Value().IsNull());

    // Written and read again, the components come back the same.
    P->SetValue(Variant(L"C:\\"));
    TMemoryStream M;
    M.WriteComponent(Root.get());
    M.SetPosition(0);
    TOwned<TComponent> Again(M.ReadComponent(nullptr));
    auto* C2 = As<TADOConnection>(Again->FindComponent("ADOConnectionUpdate"));
    auto* Q2 = As<TADOQuery>(Again->FindComponent("qryFolderExists"));
    ASSERT_TRUE(C2 && Q2);
    EXPECT_EQ(C2->ConnectionString(), C->ConnectionString());
    EXPECT_EQ(Q2->Connection(), C2);
    EXPECT_EQ(Q2->SQL()->Text(), Q->SQL()->Text());
    EXPECT_EQ(Q2->Parameters()->ParamByName("@PathName")->Value().AsWideString(), L"C:\\");
}
