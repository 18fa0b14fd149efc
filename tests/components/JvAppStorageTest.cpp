// Property persistence by path over an in-memory back end: path normalisation, stores mounted
// under paths, every kind of published property written and read back with the default rules and
// the options, lists that shrink, objects that store themselves, and the data grid columns engine.
#include "JvAppStorage.h"
#include "JvAppStoragePropertyEngineDB.h"

#include "DBGrids.h"
#include "GraphicsObjects.h"
#include "RxTestSupport.h"

#include <map>

namespace {

// The back end of the tests: values by path (case-insensitive), with the kind of writer that wrote
// each, lists as their item values plus a count.
class TMemoryStore : public TJvAppStore {
    DECLARE_CLASS(TMemoryStore, TJvAppStore)
public:
    using TJvAppStore::TJvAppStore;
    std::map<std::string, std::string> Values;  // upper-cased path -> "kind:text"
    bool BackEndReadOnly = false;

    std::string Get(const std::string& Path) const {
        auto It = Values.find(AnsiUpperCase(Path));
        return It == Values.end() ? "<none>" : It->second;
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> R;
        for (auto& [K, V] : Values)
            R.push_back(K);
        return R;
    }

protected:
    std::string Key(const std::string& Path) const { return AnsiUpperCase(Path); }
    bool Has(const std::string& Path) const { return Values.count(Key(Path)) != 0; }
    std::string Text(const std::string& Path, const std::string& Default) const {
        auto It = Values.find(Key(Path));
        return It == Values.end() ? Default : It->second.substr(It->second.find(':') + 1);
    }
    void Put(const std::string& Path, const std::string& Kind, const std::string& Text) {
        Values[Key(Path)] = Kind + ":" + Text;
    }
    bool DoValueStored(const std::string& Path) override { return Has(Path); }
    bool DoListStored(const std::string& Path, const std::string&) override { return Has(Path + "\\Count"); }
    void DoDeleteValue(const std::string& Path) override { Values.erase(Key(Path)); }
    void DoDeleteSubTree(const std::string& Path) override {
        std::string Prefix = Key(Path) + "\\";
        std::erase_if(Values, [&](auto& KV) { return KV.first == Key(Path) || KV.first.rfind(Prefix, 0) == 0; });
    }
    int DoReadInteger(const std::string& Path, int Default) override { return StrToIntDef(Text(Path, ""), Default); }
    void DoWriteInteger(const std::string& Path, int Value) override { Put(Path, "int", IntToStr(Value)); }
    double DoReadFloat(const std::string& Path, double Default) override {
        return Has(Path) ? StrToFloat(Text(Path, ""), EnglishFormatSettings()) : Default;
    }
    void DoWriteFloat(const std::string& Path, double Value) override {
        Put(Path, "float", FloatToStr(Value, EnglishFormatSettings()));
    }
    TDateTime DoReadDateTime(const std::string& Path, TDateTime Default) override {
        return Has(Path) ? StrToFloat(Text(Path, ""), EnglishFormatSettings()) : Default;
    }
    void DoWriteDateTime(const std::string& Path, TDateTime Value) override {
        Put(Path, "date", FloatToStr(Value, EnglishFormatSettings()));
    }
    std::string DoReadString(const std::string& Path, const std::string& Default) override { return Text(Path, Default); }
    void DoWriteString(const std::string& Path, const std::string& Value) override { Put(Path, "str", Value); }
    std::wstring DoReadWideString(const std::string& Path, const std::wstring& Default) override {
        if (!Has(Path))
            return Default;
        std::string Narrow = Text(Path, "");
        return std::wstring(L"\x0416") + std::wstring(Narrow.begin() + 1, Narrow.end());
    }
    void DoWriteWideString(const std::string& Path, const std::wstring& Value) override {
        // Kept as "?" for the first character (the test's wide text starts with one Cyrillic letter).
        std::string Narrow = "?";
        for (std::size_t I = 1; I < Value.size(); ++I)
            Narrow += static_cast<char>(Value[I]);
        Put(Path, "wide", Narrow);
    }
    Int64 DoReadOrdinal(const std::string& Path, PTypeInfo Type, Int64 Default) override {
        if (!Has(Path))
            return Default;
        return Type->Kind == tkEnumeration ? GetEnumValue(Type, Text(Path, "")) : StrToInt64Def(Text(Path, ""), Default);
    }
    void DoWriteOrdinal(const std::string& Path, PTypeInfo Type, Int64 Value) override {
        Put(Path, "ord", Type->Kind == tkEnumeration ? GetEnumName(Type, static_cast<int>(Value)) : IntToStr(Value));
    }
    Int64 DoReadSet(const std::string& Path, PTypeInfo Type, Int64 Default) override {
        return Has(Path) ? StringToSet(Type, Text(Path, "")) : Default;
    }
    void DoWriteSet(const std::string& Path, PTypeInfo Type, Int64 Value) override { Put(Path, "set", SetToString(Type, Value)); }
    int DoReadListItemCount(const std::string& Path) override { return StrToIntDef(Text(Path + "\\Count", ""), 0); }
    void DoWriteListItemCount(const std::string& Path, int Count) override { Put(Path + "\\Count", "int", IntToStr(Count)); }
    bool DoReadOnly() override { return BackEndReadOnly; }
};

class TStoredItem : public TCollectionItem {
    DECLARE_CLASS(TStoredItem, TCollectionItem)
public:
    using TCreateArg = TCollection;
    explicit TStoredItem(TCollection* C) : TCollectionItem(C) {}
    std::string Caption;
    static void DefineClass(TClassBuilder<TStoredItem>& B) {
        B.Property("Caption", &TStoredItem::Caption, &TStoredItem::Caption);
    }
};

// One published property of every kind the store handles.
class TStoredThing : public TPersistent {
    DECLARE_CLASS(TStoredThing, TPersistent)
public:
    TStoredThing() : Lines(new TStringList), Items(new TCollection(TStoredItem::StaticClass())), Font(new TFont) {}
    ~TStoredThing() override {
        delete Lines;
        delete Items;
        delete Font;
    }
    int Count = 5;
    bool Enabled = false;
    std::string Name;
    std::wstring Wide;
    double Ratio = 0;
    double When = 0;
    Int64 Big = 0;
    TAlignment Align = taLeftJustify;
    TFontStyles Styles;
    TStringList* Lines;
    TCollection* Items;
    TFont* Font;
    int ReadOnlyValue = 9;
    static void DefineClass(TClassBuilder<TStoredThing>& B) {
        B.Property("Count", &TStoredThing::Count, &TStoredThing::Count).Default(5);
        B.Property("Enabled", &TStoredThing::Enabled, &TStoredThing::Enabled).Default(false);
        B.Property("Name", &TStoredThing::Name, &TStoredThing::Name);
        B.Property("Wide", &TStoredThing::Wide, &TStoredThing::Wide);
        B.Property("Ratio", &TStoredThing::Ratio, &TStoredThing::Ratio);
        B.Property("When", &TStoredThing::When, &TStoredThing::When).TypeName("TDateTime");
        B.Property("Big", &TStoredThing::Big, &TStoredThing::Big);
        B.Property("Align", &TStoredThing::Align, &TStoredThing::Align).Default(taLeftJustify);
        B.Property("Styles", &TStoredThing::Styles, &TStoredThing::Styles).Default(TFontStyles{});
        B.Property("Lines", &TStoredThing::Lines, [](TStoredThing* S, TStringList* V) { S->Lines->Assign(V); });
        B.Property("Items", &TStoredThing::Items, [](TStoredThing* S, TCollection* V) { S->Items->Assign(V); });
        B.Property("Font", &TStoredThing::Font, [](TStoredThing* S, TFont* V) { S->Font->Assign(V); });
        B.Property("ReadOnlyValue", &TStoredThing::ReadOnlyValue);
    }
    void Fill() {
        Count = 12;
        Enabled = true;
        Name = "\xD1\xE5\xF0\xE2\xE5\xF0";
        Wide = L"\x0416ide";
        Ratio = 2.5;
        When = 45000.25;
        Big = 1234567890123LL;
        Align = taCenter;
        Styles = TFontStyles{fsBold, fsItalic};
        Lines->SetText("one\r\ntwo\r\nthree\r\n");
        for (const char* C : {"first", "second"})
            static_cast<TStoredItem*>(Items->Add())->Caption = C;
        Font->SetName("Verdana");
    }
};

class AppStorage : public ::testing::Test {
protected:
    void SetUp() override { Store.Root = "App"; }
    TMemoryStore Store{nullptr};
};

TEST(JvAppStoragePaths, NormalizeTable) {
    struct Case {
        std::vector<std::string> Parts;
        const char* Expected;
    };
    const Case Cases[] = {
        {{"Root", "Sub\\..\\Other\\.\\Leaf"}, "Root\\Other\\Leaf"},
        {{}, ""},
        {{"a", "\\b", "c"}, "b\\c"},           // the last part beginning with "\" starts over
        {{"\\a", "x", "\\b"}, "b"},
        {{"a\\\\\\b\\"}, "a\\b"},               // runs of separators are one
        {{"a\\b\\c", "..."}, "a"},              // three dots remove two segments
        {{"a", "....."}, ""},                   // more than there are: all of them
        {{"\\"}, ""},
        {{"a", "", "b"}, "a\\b"},
        {{".", "a"}, "a"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(NormalizeStoragePath(C.Parts), C.Expected);
}

TEST_F(AppStorage, MountedStoresTable) {
    TMemoryStore Sub{nullptr}, Deep{nullptr};
    Store.SubStorages = {{"App\\Sub", &Sub}, {"app\\sub\\deep", &Deep}, {"App\\Plain", nullptr}};
    struct Case {
        const char* Path;
        TMemoryStore* Target;
        const char* TargetPath;
    };
    const Case Cases[] = {
        {"Sub\\x", &Sub, "\\x"},
        {"SUB\\x", &Sub, "\\x"},                 // without regard to case
        {"Sub\\Deep\\y", &Deep, "\\y"},          // the longest root wins
        {"Sub\\Deeper\\y", &Sub, "\\Deeper\\y"},
        {"Subway\\z", &Store, "\\App\\Subway\\z"},  // a root must be followed by "\"
        {"Sub", &Store, "\\App\\Sub"},
        {"Plain\\v", &Store, "\\App\\Plain\\v"},  // a mount without a store stays here
        {"\\Other\\w", &Store, "\\Other\\w"},
    };
    for (const Case& C : Cases) {
        TJvAppStore* Target = nullptr;
        std::string Path;
        Store.ResolvePath(C.Path, Target, Path);
        EXPECT_EQ(Target, C.Target) << C.Path;
        EXPECT_EQ(Path, C.TargetPath) << C.Path;
    }
    Store.WriteString("Sub\\Deep\\y", "deep");
    EXPECT_EQ(Deep.Get("\\y"), "str:deep");
    EXPECT_EQ(Store.ReadString("sub\\deep\\Y", ""), "deep");
    Deep.ReadOnly = true;
    Store.WriteString("Sub\\Deep\\y", "changed");
    Store.DeleteValue("Sub\\Deep\\y");
    EXPECT_EQ(Deep.Get("\\y"), "str:deep") << "a read-only store ignores writes and deletions";
    Sub.BackEndReadOnly = true;
    Store.WriteInteger("Sub\\n", 1);
    EXPECT_EQ(Sub.Get("\\n"), "<none>") << "the back end's own answer counts too";
}

TEST_F(AppStorage, EveryKindWrittenAndReadBack) {
    TStoredThing Source, Target;
    Source.Fill();
    Store.WritePersistent("Thing", &Source);
    EXPECT_EQ(Store.Get("\\App\\Thing\\Count"), "int:12");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Enabled"), "ord:True");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Align"), "ord:taCenter");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Styles"), "set:fsBold,fsItalic");
    EXPECT_EQ(Store.Get("\\App\\Thing\\When"), "date:45000.25");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Ratio"), "float:2.5");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Big"), "str:1234567890123");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Lines\\Item2"), "str:three");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Lines\\Count"), "int:3");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Items\\Item1\\Caption"), "str:second");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Font\\Name"), "str:Verdana");
    EXPECT_EQ(Store.Get("\\App\\Thing\\ReadOnlyValue"), "<none>") << "no writer, not written";
    EXPECT_EQ(Store.Get("Wide"), "<none>");
    EXPECT_EQ(Store.Get("Thing\\Wide"), "wide:?ide") << "wide strings go to the store itself, unresolved";

    Store.ReadPersistent("Thing", &Target);
    EXPECT_EQ(Target.Count, 12);
    EXPECT_TRUE(Target.Enabled);
    EXPECT_EQ(Target.Name, Source.Name);
    EXPECT_EQ(Target.Wide, Source.Wide);
    EXPECT_EQ(Target.Ratio, 2.5);
    EXPECT_EQ(Target.When, 45000.25);
    EXPECT_EQ(Target.Big, 1234567890123LL);
    EXPECT_EQ(Target.Align, taCenter);
    EXPECT_TRUE(Target.Styles == Source.Styles);
    EXPECT_EQ(Target.Lines->Text(), "one\r\ntwo\r\nthree\r\n");
    ASSERT_EQ(Target.Items->Count(), 2);
    EXPECT_EQ(static_cast<TStoredItem*>(Target.Items->Items(1))->Caption, "second");
    EXPECT_EQ(Target.Font->Name(), "Verdana");
}

TEST_F(AppStorage, DefaultValuesAreLeftOutUnlessAsked) {
    TStoredThing Plain;
    Store.WritePersistent("Thing", &Plain);
    for (const char* Name : {"Count", "Enabled", "Name", "Ratio", "When", "Big", "Align", "Styles"})
        EXPECT_EQ(Store.Get(std::string("\\App\\Thing\\") + Name), "<none>") << Name;
    Store.Options.WriteDefaults = true;
    Store.WritePersistent("Thing", &Plain);
    EXPECT_EQ(Store.Get("\\App\\Thing\\Count"), "int:5");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Name"), "str:");
    EXPECT_EQ(Store.Get("\\App\\Thing\\ReadOnlyValue"), "int:9") << "WriteDefaults writes properties without a writer";
}

TEST_F(AppStorage, OptionsTable) {
    TStoredThing Thing;
    Thing.Fill();
    Store.Options.WriteTypedIntegers = true;
    Store.WritePersistent("Thing", &Thing);
    EXPECT_EQ(Store.Get("\\App\\Thing\\Count"), "ord:12");

    Store.Options.StringListAsSingleValue = true;
    Store.WritePersistent("Thing", &Thing);
    EXPECT_EQ(Store.Get("\\App\\Thing\\Lines"), "str:one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Lines\\Item0"), "<none>") << "the list's items went first";
    TStoredThing Back;
    Store.ReadPersistent("Thing", &Back);
    EXPECT_EQ(Back.Lines->Count(), 3) << "a single value reads back as the list's text";

    TStoredThing Kept;
    static_cast<TStoredItem*>(Kept.Items->Add())->Caption = "kept";
    Store.Options.IgnoreMissingCollections = true;
    Store.ReadCollection("Nowhere", Kept.Items, true);
    EXPECT_EQ(Kept.Items->Count(), 1);
    Store.Options.IgnoreMissingCollections = false;
    Store.ReadCollection("Nowhere", Kept.Items, true);
    EXPECT_EQ(Kept.Items->Count(), 0);
}

TEST_F(AppStorage, ShrinkingListsDeleteTheirSurplusItems) {
    TStringList Lines;
    Lines.SetText("a\r\nb\r\nc\r\nd\r\n");
    Store.WriteStringList("L", &Lines);
    Lines.SetText("x\r\n");
    Store.WriteStringList("L", &Lines);
    EXPECT_EQ(Store.Get("\\App\\L\\Count"), "int:1");
    EXPECT_EQ(Store.Get("\\App\\L\\Item0"), "str:x");
    for (const char* Gone : {"Item1", "Item2", "Item3"})
        EXPECT_EQ(Store.Get(std::string("\\App\\L\\") + Gone), "<none>") << Gone;
    TStringList Back;
    Back.Add("old");
    Store.ReadStringList("L", &Back, false);
    EXPECT_EQ(Back.Text(), "old\r\nx\r\n") << "without ClearFirst the items are appended";
    Store.ReadOnly = true;
    Lines.SetText("y\r\nz\r\n");
    Store.WriteStringList("L", &Lines);
    EXPECT_EQ(Store.Get("\\App\\L\\Count"), "int:1");
}

TEST_F(AppStorage, IgnoreListAndTranslatedNames) {
    TStoredThing Thing;
    Thing.Fill();
    Store.OnTranslatePropertyName = [](TJvAppStore*, TObject*, bool Reading, std::string& Name) {
        EXPECT_FALSE(Reading);
        if (Name == "Count")
            Name = "Number";
    };
    Store.WritePersistent("Thing", &Thing, true, {"name", "Lines"});
    EXPECT_EQ(Store.Get("\\App\\Thing\\Number"), "int:12");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Name"), "<none>");
    EXPECT_EQ(Store.Get("\\App\\Thing\\Lines\\Count"), "<none>");
    Store.WritePersistent("Flat", &Thing, false);
    EXPECT_EQ(Store.Get("\\App\\Flat\\Items\\Count"), "<none>") << "not recursive: no collections or objects";
}

// Reads and writes itself only, or itself and its published properties.
class TSelfStored : public TPersistent, public IJvAppStorageSelf {
    DECLARE_CLASS(TSelfStored, TPersistent)
public:
    std::string Note = "self";
    int Level = 3;
    static void DefineClass(TClassBuilder<TSelfStored>& B) { B.Property("Level", &TSelfStored::Level, &TSelfStored::Level); }
    void ReadFromAppStorage(TJvAppStore* S, const std::string& Path) override { Note = S->ReadString(Path + "\\Note", ""); }
    void WriteToAppStorage(TJvAppStore* S, const std::string& Path) override { S->WriteString(Path + "\\Note", Note); }
};
class TSelfAndPublished : public TSelfStored, public IJvAppStoragePublished {
    DECLARE_CLASS(TSelfAndPublished, TSelfStored)
};

TEST_F(AppStorage, ObjectsThatStoreThemselves) {
    TSelfStored Only;
    TSelfAndPublished Both;
    Store.WritePersistent("Only", &Only);
    Store.WritePersistent("Both", &Both);
    EXPECT_EQ(Store.Get("\\App\\Only\\Note"), "str:self");
    EXPECT_EQ(Store.Get("\\App\\Only\\Level"), "<none>");
    EXPECT_EQ(Store.Get("\\App\\Both\\Note"), "str:self");
    EXPECT_EQ(Store.Get("\\App\\Both\\Level"), "int:3");
}

class GridColumnsEngine : public rx_tests::WindowTest {};

TEST_F(GridColumnsEngine, GridColumnsAsItemsThroughTheRegisteredEngine) {
    JvAppStoragePropertyEngineDBInitialization();
    ASSERT_NE(PropertyEngineList(), nullptr);
    TMemoryStore Store{nullptr};
    TForm* Form = TForm::CreateNew(nullptr);
    auto* Grid = new TDBGrid(Form);
    Grid->SetParent(Form);
    for (const char* Field : {"memID", "memRes"})
        Grid->Columns()->Add()->SetFieldName(Field);
    Grid->Columns()->Items(1)->SetWidth(111);
    TObject* Columns = Grid->Columns();
    EXPECT_NE(PropertyEngineList()->GetEngine(Grid, Columns), nullptr);
    Store.WriteProperty("Grid\\Columns", Grid, "Columns", true);
    EXPECT_EQ(Store.Get("\\Grid\\Columns\\Count"), "int:2");
    EXPECT_EQ(Store.Get("\\Grid\\Columns\\Item1\\FieldName"), "str:memRes");
    EXPECT_EQ(Store.Get("\\Grid\\Columns\\Item1\\Width"), "int:111");

    auto* Other = new TDBGrid(Form);
    Other->Columns()->Add()->SetFieldName("stale");
    Store.ReadProperty("Grid\\Columns", Other, "Columns", true, true);
    ASSERT_EQ(Other->Columns()->Count(), 2) << "cleared first";
    EXPECT_EQ(Other->Columns()->Items(1)->FieldName(), "memRes");
    EXPECT_EQ(Other->Columns()->Items(1)->Width(), 111);

    JvAppStoragePropertyEngineDBFinalization();
    EXPECT_EQ(PropertyEngineList()->GetEngine(Grid, Columns), nullptr);
    EXPECT_EQ(PropertyEngineList()->Count(), 0);
    Form->Free();
}

}  // namespace
