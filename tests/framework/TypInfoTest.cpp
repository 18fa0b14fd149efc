// Published-property information: kinds, type names, sizes, enumerations, sets, listing, lookup,
// accessors through the real setters, paths and text.
#include "TestComponents.h"

#include <gtest/gtest.h>

using namespace testforms;

namespace {
struct TypInfoFixture : ::testing::Test {
    void SetUp() override { RegisterTestClasses(); }
};
using TypInfo = TypInfoFixture;

std::vector<std::string> Names(const std::vector<PPropInfo>& L) {
    std::vector<std::string> R;
    for (auto* P : L)
        R.push_back(P->Name);
    return R;
}
}  // namespace

TEST_F(TypInfo, TypeKindsHaveThePlatformNamesAndOrder) {
    const char* Expected[] = {"tkUnknown", "tkInteger", "tkChar",  "tkEnumeration", "tkFloat", "tkString",
                              "tkSet",     "tkClass",   "tkMethod", "tkWChar",      "tkLString", "tkWString",
                              "tkVariant", "tkArray",   "tkRecord", "tkInterface",  "tkInt64", "tkDynArray"};
    PTypeInfo T = TypeInfoFor<TTypeKind>();
    ASSERT_EQ(T->EnumNames.size(), 18u);
    for (int I = 0; I < 18; ++I)
        EXPECT_EQ(GetEnumName(T, I), Expected[I]);
    EXPECT_EQ(GetEnumValue(T, "TKLSTRING"), tkLString) << "case-insensitive";
    EXPECT_EQ(GetEnumValue(T, "tkNothing"), -1);
    EXPECT_EQ(GetEnumName(T, 99), "");
    EXPECT_EQ(GetEnumName(TypeInfoFor<bool>(), 1), "True");
    EXPECT_EQ(GetEnumValue(TypeInfoFor<bool>(), "false"), 0);
}

TEST_F(TypInfo, KindsTypeNamesAndOrdinalSizesComeFromTheCppTypes) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    struct Case {
        const char* Prop;
        TTypeKind Kind;
        const char* TypeName;
    } Cases[] = {
        {"Caption", tkLString, "TCaption"}, {"Hint", tkWString, "WideString"}, {"Font", tkClass, "TTestFont"},
        {"Align", tkEnumeration, "TAlign"},  {"Anchors", tkSet, "TAnchors"},    {"Visible", tkEnumeration, "Boolean"},
        {"Tabs", tkInteger, "Byte"},         {"Index", tkInteger, "Word"},      {"Offset", tkInteger, "SmallInt"},
        {"Color", tkInteger, "TColor"},      {"Ratio", tkFloat, "Double"},      {"Big", tkInt64, "Int64"},
        {"Accel", tkChar, "Char"},           {"OnClick", tkMethod, "TNotifyEvent"}, {"Tag", tkInteger, "Integer"},
        {"Name", tkLString, "TComponentName"},
    };
    for (const auto& K : Cases) {
        PPropInfo P = GetPropInfo(C.get(), K.Prop);
        ASSERT_NE(P, nullptr) << K.Prop;
        EXPECT_EQ(P->PropType->Kind, K.Kind) << K.Prop;
        EXPECT_EQ(P->PropType->Name, K.TypeName) << K.Prop;
    }
    EXPECT_EQ(GetPropInfo(C.get(), "Tabs")->PropType->OrdType, otUByte);
    EXPECT_EQ(GetPropInfo(C.get(), "Index")->PropType->OrdType, otUWord);
    EXPECT_EQ(GetPropInfo(C.get(), "Offset")->PropType->OrdType, otSWord);
    EXPECT_EQ(GetPropInfo(C.get(), "Font")->PropType->ClassType, TTestFont::StaticClass());
    EXPECT_EQ(GetPropInfo(C.get(), "Anchors")->PropType->CompType, TypeInfoFor<TAnchorKind>());
    EXPECT_EQ(GetPropInfo(C.get(), "Anchors")->PropType->OrdType, otUByte) << "a set of 4 is one byte";
    EXPECT_TRUE(GetPropInfo(C.get(), "Caption")->HasSetter);
    EXPECT_EQ(GetPropInfo(C.get(), "Tabs")->Default, 9);
    EXPECT_EQ(GetPropInfo(C.get(), "Ratio")->Default, NoDefault);
}

TEST_F(TypInfo, ListsAreSortedByNameWithInheritedOnesAndFilteredByKind) {
    TOwned<TTestGrid> G(Create<TTestGrid>(nullptr));
    auto All = Names(GetPropList(G.get()));
    std::vector<std::string> Expected = {"Accel", "Align", "Anchors", "Big", "Buddy", "Caption", "Color", "Columns",
                                         "Font", "Hint", "Index", "Lines", "Name", "Offset", "OnClick", "OnDblClick",
                                         "OnKey", "Ratio", "Tabs", "Tag", "Visible"};
    EXPECT_EQ(All, Expected);
    auto Events = Names(GetPropList(G.get(), tkMethods));
    EXPECT_EQ(Events, (std::vector<std::string>{"OnClick", "OnDblClick", "OnKey"}));
    auto Props = GetPropList(G.get(), tkProperties);
    EXPECT_EQ(Props.size(), All.size() - 3) << "events are left out of the properties";
    auto Strings = Names(GetPropList(G.get(), TTypeKinds{tkLString, tkWString}));
    EXPECT_EQ(Strings, (std::vector<std::string>{"Caption", "Hint", "Name"}));
    auto Stream = Names(GetPropList(G.get(), tkAny, false));
    EXPECT_EQ(Stream.front(), "Name") << "stream order: ancestors first";
    EXPECT_EQ(Stream.back(), "Columns");
}

TEST_F(TypInfo, LookupByNameIgnoresCase) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    EXPECT_EQ(GetPropInfo(C.get(), "caption"), GetPropInfo(C.get(), "Caption"));
    EXPECT_TRUE(IsPublishedProp(C.get(), "FONT"));
    EXPECT_FALSE(IsPublishedProp(C.get(), "Parent"));
    EXPECT_EQ(GetPropInfo(C.get(), "OnClick", tkProperties), nullptr) << "filtered by kind";
    EXPECT_TRUE(IsPublishedProp(TTestGrid::StaticClass(), "columns"));
}

TEST_F(TypInfo, AccessorsRunTheRealSetters) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    C->SetName("Ctl");
    Log().clear();
    SetStrProp(C.get(), "Caption", "Hello");
    EXPECT_EQ(C->GetCaption(), "Hello");
    EXPECT_EQ(Log(), std::vector<std::string>{"Ctl.Caption"});
    EXPECT_EQ(GetStrProp(C.get(), "caption"), "Hello");

    SetEnumProp(C.get(), "Align", "ALCLIENT");
    EXPECT_EQ(C->Align, alClient);
    EXPECT_EQ(GetEnumProp(C.get(), "Align"), "alClient");
    EXPECT_THROW(SetEnumProp(C.get(), "Align", "alNowhere"), EPropertyConvertError);

    SetSetProp(C.get(), "Anchors", "akRight,akBottom");
    EXPECT_EQ(C->Anchors, (TAnchors{akRight, akBottom}));
    EXPECT_EQ(GetSetProp(C.get(), "Anchors"), "akRight,akBottom");
    EXPECT_EQ(GetSetProp(C.get(), "Anchors", true), "[akRight,akBottom]");
    SetSetProp(C.get(), "Anchors", "[akLeft, akTop]");
    EXPECT_EQ(C->Anchors, (TAnchors{akLeft, akTop}));
    SetSetProp(C.get(), "Anchors", "");
    EXPECT_TRUE(C->Anchors.Empty());

    SetOrdProp(C.get(), "Tabs", 300);
    EXPECT_EQ(C->Tabs, 44) << "a byte property keeps its low byte";
    SetOrdProp(C.get(), "Offset", -5);
    EXPECT_EQ(GetOrdProp(C.get(), "Offset"), -5);
    SetOrdProp(C.get(), "Index", 65535);
    EXPECT_EQ(GetOrdProp(C.get(), "Index"), 65535);
    SetInt64Prop(C.get(), "Big", Int64(1) << 40);
    EXPECT_EQ(GetInt64Prop(C.get(), "Big"), Int64(1) << 40);
    SetFloatProp(C.get(), "Ratio", 2.5);
    EXPECT_DOUBLE_EQ(C->Ratio, 2.5);
    SetWideStrProp(C.get(), "Hint", L"\x0416");
    EXPECT_EQ(GetWideStrProp(C.get(), "Hint"), L"\x0416");
    SetStrProp(C.get(), "Hint", "abc");
    EXPECT_EQ(C->Hint, L"abc") << "8-bit text into a wide property";
    EXPECT_THROW(SetStrProp(C.get(), "Tabs", "x"), EPropertyError);
    EXPECT_THROW(GetOrdProp(C.get(), "NoSuch"), EPropertyError);
}

TEST_F(TypInfo, SettingAnObjectPropertyToItsOwnObjectIsSafeAndFiresTheChange) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    TTestFont* F = C->GetFont();
    F->SetName("Verdana");
    int Before = F->Changes;
    SetObjectProp(C.get(), "Font", GetObjectProp(C.get(), "Font"));
    EXPECT_EQ(C->GetFont(), F);
    EXPECT_EQ(F->Name, "Verdana");
    EXPECT_EQ(F->Changes, Before + 1);
    EXPECT_EQ(GetObjectProp(C.get(), "Font", TComponent::StaticClass()), nullptr) << "MinClass filters";
    TOwned<TTestControl> Other(Create<TTestControl>(nullptr));
    EXPECT_THROW(SetObjectProp(C.get(), "Font", Other.get()), EInvalidCast);
}

TEST_F(TypInfo, MethodPropertiesCompareAndCheckTheirType) {
    TOwned<TFormTestMain> Form(Create<TFormTestMain>(nullptr));
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    TMethod M;
    M.Data = Form.get();
    M.Code = FindPublishedMethod(Form->ClassType(), "button1click")->Code;
    SetMethodProp(C.get(), "OnClick", M);
    EXPECT_TRUE(GetMethodProp(C.get(), "OnClick") == M);
    EXPECT_TRUE(C->OnClick == TNotifyEvent::Bind<&TFormTestMain::Button1Click>(Form.get()));
    C->OnClick(C.get());
    EXPECT_EQ(Form->Clicks, 1);
    EXPECT_EQ(MethodName(Form.get(), M.Code), "Button1Click");
    M.Code = FindPublishedMethod(Form->ClassType(), "KeyHandler")->Code;
    EXPECT_THROW(SetMethodProp(C.get(), "OnClick", M), EPropertyError) << "TNotifyEvent gets no key handler";
    SetMethodProp(C.get(), "OnClick", TMethod());
    EXPECT_FALSE(C->OnClick.Assigned());
}

TEST_F(TypInfo, StoredFlagsConstantOrFunction) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    TTestFont* F = C->GetFont();
    PPropInfo Name = GetPropInfo(F, "Name");
    EXPECT_FALSE(IsStoredProp(F, Name)) << "the default font name is not stored";
    F->SetName("Verdana");
    EXPECT_TRUE(IsStoredProp(F, Name));
    EXPECT_FALSE(IsStoredProp(C.get(), GetPropInfo(C.get(), "Name"))) << "Name is stored as the component's name";
    EXPECT_TRUE(IsStoredProp(C.get(), GetPropInfo(C.get(), "Caption")));
}

TEST_F(TypInfo, PathsReachNestedObjectsCollectionItemsAndStringLists) {
    TOwned<TComponent> Root(Create<TComponent>(nullptr));
    auto* Grid = Create<TTestGrid>(Root.get());
    Grid->SetName("Grid1");
    for (int I = 0; I < 3; ++I)
        static_cast<TTestColumn*>(Grid->GetColumns()->Add())->GetTitle()->Caption = "T" + std::to_string(I);
    EXPECT_EQ(GetPropText(Grid, "Columns[1].Title.Caption"), "T1");
    SetPropText(Grid, "Columns[1].Title.Caption", "Server");
    EXPECT_EQ(static_cast<TTestColumn*>(Grid->GetColumns()->Items(1))->GetTitle()->Caption, "Server");
    EXPECT_EQ(GetPropText(Root.get(), "Grid1.Columns[1].Title.Caption"), "Server") << "from the root by component name";
    SetPropText(Grid, "Font.Name", "Tahoma");
    EXPECT_EQ(Grid->GetFont()->Name, "Tahoma");
    SetPropText(Grid, "Font.Style", "fsBold,fsUnderline");
    EXPECT_EQ(GetPropText(Grid, "Font.Style"), "fsBold,fsUnderline");
    SetPropText(Grid, "Lines", "a,b");
    EXPECT_EQ(Grid->GetLines()->Lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(GetPropText(Grid, "Lines"), "a,b");

    struct Case {
        std::string Path, Text;
    } Texts[] = {{"Tabs", "7"},         {"Big", "9000000000"}, {"Align", "alRight"}, {"Visible", "False"},
                 {"Ratio", "2"},         {"Accel", "Q"},       {"Color", "clGold"},  {"Caption", "x y"},
                 {"Anchors", "akTop"},   {"Columns[0].Width", "-12"}};
    for (const auto& K : Texts) {
        SetPropText(Grid, K.Path, K.Text);
        std::string Back = GetPropText(Grid, K.Path);
        if (K.Path == "Color")
            EXPECT_EQ(Back, std::to_string(clGold));
        else
            EXPECT_EQ(Back, K.Text) << K.Path;
    }
    SetPropText(Grid, "OnClick", "");
    EXPECT_EQ(GetPropText(Grid, "OnClick"), "");
}

TEST_F(TypInfo, BadPathsRaise) {
    TOwned<TTestGrid> Grid(Create<TTestGrid>(nullptr));
    Grid->GetColumns()->Add();
    EXPECT_THROW(GetPropText(Grid.get(), "Columns[5].Title.Caption"), EListError);
    try {
        GetPropText(Grid.get(), "Columns[5].Width");
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(GetPropText(Grid.get(), "Columns[x].Width"), EConvertError);
    EXPECT_THROW(GetPropText(Grid.get(), "Font[0].Name"), EPropertyError) << "not a collection";
    EXPECT_THROW(GetPropText(Grid.get(), "Caption.Size"), EPropertyError) << "not an object";
    EXPECT_THROW(GetPropText(Grid.get(), "Columns[0].Nothing"), EPropertyError);
    EXPECT_THROW(GetPropText(Grid.get(), "Nothing.Width"), EPropertyError);
    EXPECT_THROW(GetPropText(Grid.get(), "Font..Name"), EPropertyError);
    EXPECT_THROW(GetPropText(Grid.get(), "Columns[0"), EPropertyError);
    EXPECT_THROW(SetPropText(Grid.get(), "Tabs", "many"), EPropertyConvertError);
    EXPECT_THROW(SetPropText(Grid.get(), "Anchors", "akLeft,akNowhere"), EPropertyConvertError);
}

TEST_F(TypInfo, SetsBehaveAsThePlatformsSets) {
    TAnchors A{akLeft};
    A.Include(akBottom);
    EXPECT_TRUE(A.Contains(akBottom));
    EXPECT_EQ(A + TAnchors{akTop}, (TAnchors{akLeft, akTop, akBottom}));
    EXPECT_EQ(A - TAnchors{akLeft}, TAnchors{akBottom});
    EXPECT_EQ(A * (TAnchors{akLeft, akRight}), TAnchors{akLeft});
    EXPECT_TRUE(TAnchors{akLeft} <= A);
    EXPECT_EQ(SetToString(TypeInfoFor<TAnchors>(), A.Bits()), "akLeft,akBottom");
    EXPECT_EQ(StringToSet(TypeInfoFor<TAnchors>(), "akbottom , AKLEFT"), A.Bits());
}
