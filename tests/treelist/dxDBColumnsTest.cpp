// Filter operators, summary texts, the default column tables and the column kinds' own rules.
#include "dxDBGridTestSupport.h"

#include "DateUtils.h"

using namespace treelist_tests;

namespace {
struct OperatorCase {
    int Operator;  // position in the shared table
    Variant A, B;
    bool Expected;
    const char* Name;
};
}  // namespace

TEST(DBFilterOperators, EvaluateTable) {
    EnsureDataAwareUnits();
    const OperatorCase Cases[] = {
        {0, Null(), Variant(), true, "null is null"},
        {0, std::string(), Variant(), true, "an empty text is null"},
        {0, " ", Variant(), false, "a blank is a value"},
        {0, 0, Variant(), false, "zero is a value"},
        {1, 7, 7, true, "7 = 7"},
        {1, "abc", "abc", true, "texts equal"},
        {1, 7, 8, false, "7 = 8"},
        {1, Null(), 7, false, "null = 7"},
        {2, 7, 7, false, "7 > 7"},
        {2, 10, 2, true, "10 > 2"},
        {2, 5, Null(), true, "a value > null"},
        {3, 2, 10, true, "2 < 10 as numbers"},
        {3, Null(), 5, true, "null sorts first"},
        {3, "x", 5, true, "incomparable counts as less"},
        {4, 7, 7, true, "7 >= 7"},
        {4, 6, 7, false, "6 >= 7"},
        {5, 7, 7, true, "7 <= 7"},
        {5, 8, 7, false, "8 <= 7"},
        {5, Null(), Null(), true, "null <= null"},
    };
    for (const OperatorCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        ASSERT_NE(dxFilterOperator(C.Operator), nullptr);
        EXPECT_EQ(dxFilterOperator(C.Operator)->Evaluate(C.A, C.B), C.Expected);
    }
    const char* Texts[] = {"Is Null", "=", ">", "<", ">=", "<="};
    for (int I = 0; I < dxFilterOperatorCount; ++I) {
        std::string T;
        dxFilterOperator(I)->GetDisplayText(T);
        EXPECT_EQ(T, Texts[I]);
    }
    EXPECT_EQ(CompareFilterValues(Null(), Null()), 0);
    EXPECT_EQ(CompareFilterValues(Null(), 5), -1);
    EXPECT_EQ(CompareFilterValues(5, Null()), 1);
    EXPECT_EQ(CompareFilterValues(2, 10), -1);
}

TEST(DBSummaryText, DefaultFormatsAndDates) {
    EnsureDataAwareUnits();
    EXPECT_EQ(FormatSummaryText(cstSum, "", ftUnknown, 1, 1234.5), FormatFloat("0.00", 1234.5));
    EXPECT_EQ(FormatSummaryText(cstCount, "", ftUnknown, 0, 7), "(COUNT=7)");
    EXPECT_EQ(FormatSummaryText(cstMin, "", ftDate, 1, 45000), "MIN=" + DateToStr(45000));
    EXPECT_EQ(FormatSummaryText(cstMax, "", ftDate, 0, 45000), "(MAX=" + DateToStr(45000) + ")");
    EXPECT_EQ(FormatSummaryText(cstNone, "", ftUnknown, 1, 3), "");
}

namespace {
void ProposeTwo(TFieldType T, TFieldKind, TdxColumnClassEntry& E) {
    if (T == ftString)
        E = {TdxDBTreeListMemoColumn::StaticClass(), 2};
}
void ProposeOneAgain(TFieldType T, TFieldKind, TdxColumnClassEntry& E) {
    if (T == ftInteger)
        E = {TdxDBTreeListMemoColumn::StaticClass(), 1};
}
}  // namespace

TEST(DBDefaultColumns, TablesAfterStartUpAndPriorities) {
    EnsureDataAwareUnits();
    struct Case {
        TFieldType Type;
        TFieldKind Kind;
        const char* TreeList;
        const char* Grid;
    };
    const Case Cases[] = {
        {ftBoolean, fkData, "TdxDBTreeListCheckColumn", "TdxDBGridCheckColumn"},
        {ftDateTime, fkData, "TdxDBTreeListDateColumn", "TdxDBGridDateColumn"},
        {ftTime, fkData, "TdxDBTreeListTimeColumn", "TdxDBGridTimeColumn"},
        {ftCurrency, fkData, "TdxDBTreeListCurrencyColumn", "TdxDBGridCurrencyColumn"},
        {ftMemo, fkData, "TdxDBTreeListMemoColumn", "TdxDBGridMemoColumn"},
        {ftAutoInc, fkData, "TdxDBTreeListMaskColumn", "TdxDBGridMaskColumn"},
        {ftUnknown, fkData, "TdxDBTreeListMaskColumn", "TdxDBGridMaskColumn"},
        {ftInteger, fkLookup, "TdxDBTreeListLookupColumn", "TdxDBGridLookupColumn"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Grid);
        TdxColumnClassEntry T = DefaultColumnClasses().For(C.Type, C.Kind);
        TdxColumnClassEntry G = DefaultGridColumnClasses().For(C.Type, C.Kind);
        ASSERT_TRUE(T.ColumnClass && G.ColumnClass);
        EXPECT_EQ(T.ColumnClass->ClassName(), C.TreeList);
        EXPECT_EQ(G.ColumnClass->ClassName(), C.Grid);
        EXPECT_EQ(G.Priority, 1);
    }
    EXPECT_FALSE(DefaultGridColumnClasses().For(ftWideString, fkData).ColumnClass) << "no entry after ftTypedBinary";

    TdxDefaultColumnTable Table(&TdxDBTreeListColumn::StaticClass);
    EXPECT_FALSE(Table.For(ftUnknown, fkData).ColumnClass);
    Table.Register(&ProposeTreeListColumnClass);
    Table.Register(&ProposeOneAgain);
    EXPECT_EQ(Table.For(ftInteger, fkData).ColumnClass->ClassName(), "TdxDBTreeListMaskColumn") << "a tie keeps";
    Table.Register(&ProposeTwo);
    EXPECT_EQ(Table.For(ftString, fkData).ColumnClass->ClassName(), "TdxDBTreeListMemoColumn") << "higher wins";
    Table.Reset();
    EXPECT_EQ(Table.For(ftString, fkData).ColumnClass->ClassName(), "TdxDBTreeListColumn");
}

TEST_F(DataGridTest, ColumnFieldValueEqualsAndTexts) {
    Bind();
    TdxDBTreeListColumn* Owner = Grid->ColumnByFieldName("Owner");
    EXPECT_TRUE(Owner->FieldValueEquals("Ann"));
    EXPECT_FALSE(Owner->FieldValueEquals("Bob"));
    EXPECT_FALSE(Owner->FieldValueEquals(Variant())) << "an empty value never equals";
    EXPECT_TRUE(Grid->ColumnByFieldName("Count")->FieldValueEquals(3));
    EXPECT_EQ(Owner->GetFilterVarType(), varString);
    EXPECT_EQ(Grid->ColumnByFieldName("Count")->GetFilterVarType(), varInteger);
    EXPECT_EQ(Grid->ColumnByFieldName("Packed")->GetFilterVarType(), varDate);
    EXPECT_EQ(Grid->ColumnByFieldName("Paid")->GetFilterOperators(), 195);
    EXPECT_EQ(Owner->GetFilterOperators(), 255);
    EXPECT_EQ(Owner->GetDefaultMaxLength(), 30);
    EXPECT_TRUE(Grid->ColumnByFieldName("Count")->IsValidChar('7'));
    EXPECT_FALSE(Grid->ColumnByFieldName("Count")->IsValidChar('x'));
}

TEST_F(DataGridTest, CheckColumnStatesOfTexts) {
    Bind();
    auto* Paid = As<TdxDBTreeListCheckColumn>(Grid->ColumnByFieldName("Paid"));
    struct Case {
        const char* Text;
        TdxCheckBoxState State;
    };
    const Case Cases[] = {{"True", cbsChecked}, {"true", cbsChecked}, {"False", cbsUnchecked}, {"maybe", cbsGrayed},
                          {"", cbsGrayed}};
    for (const Case& C : Cases)
        EXPECT_EQ(Paid->StateOfText(C.Text), C.State) << C.Text;
    std::string Shown;
    Paid->ValueToDisplayText("true", Shown);
    EXPECT_EQ(Shown, "True") << "a text differing in case becomes the column's own";
    EXPECT_TRUE(Paid->FieldValueEquals(static_cast<int>(cbsChecked)));
    auto* Grid3 = As<TdxDBGridCheckColumn>(Paid);
    Grid3->SetDisplayChecked("Yes");
    std::string Filter;
    Grid3->GetFilterText("True", Filter);
    EXPECT_EQ(Filter, "Yes");
    Grid3->GetFilterText("False", Filter);
    EXPECT_EQ(Filter, "False") << "an empty display text keeps the value";
}

TEST_F(DataGridTest, CheckColumnTogglesPostAsTexts) {
    Bind();
    Grid->SetFocus();
    Grid->SetFocusedColumn(Grid->GetColumnNavigationIndex(ColumnOf("Paid")));
    Grid->ShowEditor();
    auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Grid->InplaceEditor());
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->ClassName(), "TdxInplaceDBTreeListCheckEdit");
    EXPECT_EQ(E->CheckState(), cbsChecked);
    E->Perform(WM_KEYDOWN, VK_SPACE, 0);
    E->Perform(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(E->CheckState(), cbsUnchecked);
    EXPECT_EQ(Baskets->State(), dsEdit);
    PostMessageA(E->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ(Baskets->State(), dsBrowse);
    EXPECT_EQ(Baskets->FieldByName("Paid")->AsBoolean(), false);
    EXPECT_EQ(Grid->GetCellText(Grid->GetNodeAtRow(0), ColumnOf("Paid")), "False");
}

TEST_F(DataGridTest, MemoAndHyperlinkKinds) {
    Bind();
    Grid->SetDefaultFields(false);
    auto* Memo = As<TdxDBTreeListMemoColumn>(Grid->CreateFieldColumn(TdxDBGridMemoColumn::StaticClass(), Form));
    Memo->SetFieldName("Owner");
    std::string Text;
    Memo->MaxDisplayLength = 2;
    Memo->GetCellText(nullptr, Text);
    EXPECT_EQ(Text, "An");
    Memo->MaxDisplayLength = -1;
    Memo->GetCellText(nullptr, Text);
    EXPECT_EQ(Text, "Ann");
    EXPECT_TRUE(Memo->DisableFilter);

    auto* Link = Create<TdxDBTreeListHyperLinkColumn>(Form);
    Variant V = "x";
    EXPECT_TRUE(Link->GetExportValue(V, true));
    EXPECT_EQ(V.AsString(), "<a href=\"x\">x</a>");
    V = "a\"><b>&";
    Link->GetExportValue(V, true);
    EXPECT_EQ(V.AsString(), "<a href=\"a&quot;&gt;&lt;b&gt;&amp;\">a&quot;&gt;&lt;b&gt;&amp;</a>")
        << "a value cannot break out of the anchor";
    V = Null();
    Link->GetExportValue(V, true);
    EXPECT_EQ(V.AsString(), "<a href=\"\"></a>");
}

TEST_F(DataGridTest, SpinRangeFromTheFieldUntilSet) {
    Bind();
    auto* Count = As<TIntegerField>(Baskets->FieldByName("Count"));
    Count->SetMinValue(1);
    Count->SetMaxValue(9);
    Grid->SetDefaultFields(false);
    auto* Spin = As<TdxDBTreeListSpinColumn>(Grid->CreateFieldColumn(TdxDBGridSpinColumn::StaticClass(), Form));
    Spin->SetFieldName("Count");
    EXPECT_EQ(Spin->MinValue(), 1);
    EXPECT_EQ(Spin->MaxValue(), 9);
    EXPECT_FALSE(Spin->IsMinValueStored());
    Spin->SetMinValue(1);
    EXPECT_FALSE(Spin->IsMinValueStored()) << "equal to the field's bound: not written";
    Spin->SetMaxValue(20);
    EXPECT_TRUE(Spin->IsMaxValueStored());
    Spin->RestoreDefaults();
    EXPECT_EQ(Spin->MinValue(), 0);
    EXPECT_EQ(Spin->MaxValue(), 0);
}
