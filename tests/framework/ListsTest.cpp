// Pointer lists and string lists: index errors, ownership, Text and CommaText, sorted lists with
// their duplicates, update brackets and notifications, streams and files.
#include "Lists.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
// Counts its destructions, to see who frees objects.
struct TCounted : TObject {
    explicit TCounted(int* Deaths) : FDeaths(Deaths) {}
    ~TCounted() override { ++*FDeaths; }
    int* FDeaths;
};

std::vector<std::string> Lines(TStrings& L) {
    std::vector<std::string> R;
    for (int I = 0; I < L.Count(); ++I)
        R.push_back(L[I]);
    return R;
}

// A list kept elsewhere (as a window keeps a control's items): only the abstract members, so the
// base class's own behaviour shows.
class TPlainStrings : public TStrings {
public:
    std::vector<std::pair<std::string, TObject*>> Items;
    std::vector<bool> UpdateStates;
    void Insert(int Index, const std::string& S) override { Items.insert(Items.begin() + Index, {S, nullptr}); }
    void Delete(int Index) override { Items.erase(Items.begin() + Index); }
    void Clear() override { Items.clear(); }

protected:
    std::string Get(int Index) override { return Items.at(static_cast<size_t>(Index)).first; }
    int GetCount() override { return static_cast<int>(Items.size()); }
    TObject* GetObject(int Index) override { return Items.at(static_cast<size_t>(Index)).second; }
    void PutObject(int Index, TObject* O) override { Items.at(static_cast<size_t>(Index)).second = O; }
    void SetUpdateState(bool Updating) override { UpdateStates.push_back(Updating); }
};

// A component that publishes a string list, as a memo publishes its Lines.
class TListHolder : public TComponent {
    DECLARE_CLASS(TListHolder, TComponent)
public:
    explicit TListHolder(TComponent* AOwner) : TComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TListHolder>& B) {
        B.Property("Items", &TListHolder::GetItems, &TListHolder::SetItems);
    }
    TStringList* GetItems() const { return FItems.get(); }
    void SetItems(TStringList* Value) { FItems->Assign(Value); }

private:
    TOwned<TStringList> FItems{Create<TStringList>()};
};

// Records OnChanging / OnChange as "<" and ">".
struct TChangeLog {
    std::string Log;
    void Attach(TStringList& L) {
        L.OnChanging = TNotifyEvent::FromFunction([this](TObject*) { Log += '<'; });
        L.OnChange = TNotifyEvent::FromFunction([this](TObject*) { Log += '>'; });
    }
};
}  // namespace

TEST(List, AddInsertDeleteMoveAndIndexErrors) {
    int A = 1, B = 2, C = 3;
    TList L;
    EXPECT_EQ(L.Add(&A), 0);
    EXPECT_EQ(L.Add(&C), 1);
    L.Insert(1, &B);
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.Items(1), &B);
    EXPECT_EQ(L.IndexOf(&C), 2);
    L.Exchange(0, 2);
    EXPECT_EQ(L.First(), &C);
    EXPECT_EQ(L.Last(), &A);
    L.Move(0, 2);
    EXPECT_EQ(L.Items(2), &C);
    EXPECT_EQ(L.Remove(&B), 0);
    EXPECT_EQ(L.Remove(&B), -1);
    EXPECT_EQ(L.Extract(&A), &A);
    EXPECT_EQ(L.Count(), 1);
    try {
        L.Items(5);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(L.Items(-1), EListError);
    EXPECT_THROW(L.Delete(1), EListError);
    EXPECT_THROW(L.Insert(3, &A), EListError);
    EXPECT_THROW(L.Exchange(0, 1), EListError);
    EXPECT_THROW(L.SetCapacity(0), EListError) << "capacity below the count";
    L.SetCount(3);
    EXPECT_EQ(L.Items(2), nullptr);
    L.Pack();
    EXPECT_EQ(L.Count(), 1);
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(L.Capacity(), 0);
}

TEST(List, CapacityGrowsInSteps) {
    TList L;
    int X;
    L.Add(&X);
    EXPECT_EQ(L.Capacity(), 4);
    for (int I = 0; I < 4; ++I)
        L.Add(&X);
    EXPECT_EQ(L.Capacity(), 8);
    L.SetCapacity(100);
    EXPECT_EQ(L.Capacity(), 100);
}

TEST(List, SortWithACompareFunction) {
    int V[] = {5, 3, 9, 1, 3, 7, 2, 8, 6, 4, 0};
    TList L;
    for (int& X : V)
        L.Add(&X);
    L.Sort([](void* A, void* B) { return *static_cast<int*>(A) - *static_cast<int*>(B); });
    std::vector<int> Sorted;
    for (int I = 0; I < L.Count(); ++I)
        Sorted.push_back(*static_cast<int*>(L[I]));
    EXPECT_EQ(Sorted, (std::vector<int>{0, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(List, ObjectListFreesWhatItDeletesUnlessExtracted) {
    int Deaths = 0;
    {
        TObjectList L;
        auto* A = new TCounted(&Deaths);
        auto* B = new TCounted(&Deaths);
        auto* C = new TCounted(&Deaths);
        L.Add(A);
        L.Add(B);
        L.Add(C);
        L.Delete(0);
        EXPECT_EQ(Deaths, 1);
        EXPECT_EQ(L.Extract(B), B);
        EXPECT_EQ(Deaths, 1) << "extracted, not freed";
        delete B;
        L.SetItems(0, new TCounted(&Deaths));
        EXPECT_EQ(Deaths, 3) << "replacing frees the old object";
    }
    EXPECT_EQ(Deaths, 4) << "the list frees the rest";
    TObjectList NotOwning(false);
    TCounted D(&Deaths);
    NotOwning.Add(&D);
    NotOwning.Clear();
    EXPECT_EQ(Deaths, 4);
}

TEST(List, ClassListAndThreadList) {
    TClassList Classes;
    Classes.Add(TList::StaticClass());
    Classes.Add(TStringList::StaticClass());
    EXPECT_EQ(Classes.IndexOf(TStringList::StaticClass()), 1);
    EXPECT_EQ(Classes[0]->ClassName(), "TList");

    TThreadList Shared;
    static int Items[100];
    std::vector<std::thread> Threads;
    for (int T = 0; T < 4; ++T)
        Threads.emplace_back([&] {
            for (int& I : Items)
                Shared.Add(&I);  // every thread adds all: duplicates are ignored
        });
    for (auto& T : Threads)
        T.join();
    EXPECT_EQ(Shared.LockList()->Count(), 100);
    Shared.UnlockList();
    Shared.SetDuplicates(dupError);
    EXPECT_THROW(Shared.Add(&Items[0]), EListError);
    EXPECT_EQ(Shared.LockList()->Count(), 100) << "the lock was released by the error";
    Shared.UnlockList();
}

TEST(StringList, TextReadingEndsEveryLine) {
    TStringList L;
    EXPECT_EQ(L.Text(), "");
    L.Add("a");
    EXPECT_EQ(L.Text(), "a\r\n");
    L.Add("");
    L.Add("b");
    EXPECT_EQ(L.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, TextSettingTable) {
    struct Case {
        std::string Text;
        std::vector<std::string> Lines;
    } Cases[] = {
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n", {"a"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {std::string("a\0b\r\nc", 6), {"a"}},
        {std::string("\0x", 2), {}},
        {"  x  \r\n\ty", {"  x  ", "\ty"}},
    };
    for (const Case& C : Cases) {
        TStringList L;
        L.Add("old");
        L.SetText(C.Text);
        EXPECT_EQ(Lines(L), C.Lines) << testing::PrintToString(C.Text);
    }
}

TEST(StringList, CommaTextReadingTable) {
    struct Case {
        std::vector<std::string> Lines;
        const char* Expected;
    } Cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a", "", "b"}, "a,,b"},
        {{"x y", "z"}, "\"x y\",z"},
        {{"a,b"}, "\"a,b\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"", ""}, ","},
        {{"\xE0\xE1"}, "\xE0\xE1"},
    };
    for (const Case& C : Cases) {
        TStringList L;
        for (const std::string& S : C.Lines)
            L.Add(S);
        EXPECT_EQ(L.CommaText(), C.Expected);
    }
}

TEST(StringList, CommaTextSettingTable) {
    struct Case {
        std::string Text;
        std::vector<std::string> Lines;
    } Cases[] = {
        {"a b", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"\"x y\",z", {"x y", "z"}},
        {"  a  ,  b  ", {"a", "b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"open", {"open"}},
        {"\"\"", {""}},
        {"", {}},
        {"   ", {}},
        {",", {"", ""}},
        {",a", {"", "a"}},
        {std::string("a,b\0,c", 6), {"a", "b"}},
        {"\"a\"b", {"a", "b"}},
    };
    for (const Case& C : Cases) {
        TStringList L;
        L.SetCommaText(C.Text);
        EXPECT_EQ(Lines(L), C.Lines) << testing::PrintToString(C.Text);
        TStringList Again;
        Again.SetCommaText(L.CommaText());
        EXPECT_EQ(Lines(Again), C.Lines) << "round trip of " << testing::PrintToString(C.Text);
    }
}

TEST(StringList, DelimitedTextUsesItsOwnCharacters) {
    TStringList L;
    L.SetDelimiter(';');
    L.SetQuoteChar('\'');
    L.SetDelimitedText("a;'b;c';'it''s' d");
    EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "b;c", "it's", "d"}));
    EXPECT_EQ(L.DelimitedText(), "a;'b;c';'it''s';d");
    EXPECT_EQ(L.CommaText(), "a,b;c,it's,d") << "CommaText keeps to \",\" and '\"'";
}

TEST(StringList, NamesAndValues) {
    TStringList L;
    L.SetText("Server=(local)\r\nUser ID=sa\r\nplain\r\nEmpty=\r\n");
    EXPECT_EQ(L.Names(0), "Server");
    EXPECT_EQ(L.Names(2), "") << "no separator, no name";
    EXPECT_EQ(L.Values("server"), "(local)") << "names without regard to case";
    EXPECT_EQ(L.Values("plain"), "");
    EXPECT_EQ(L.ValueFromIndex(1), "sa");
    EXPECT_EQ(L.IndexOfName("USER ID"), 1);
    EXPECT_EQ(L.IndexOfName("plain"), -1);
    EXPECT_EQ(L.IndexOfName("Empty"), 3);
    L.SetValues("User ID", "admin");
    EXPECT_EQ(L[1], "User ID=admin");
    L.SetValues("New", "1");
    EXPECT_EQ(L[4], "New=1");
    L.SetValues("Server", "");
    EXPECT_EQ(L.IndexOfName("Server"), -1) << "an empty value deletes the line";
    L.SetNameValueSeparator(':');
    L.Add("a:b=c");
    EXPECT_EQ(L.Values("a"), "b=c");
}

TEST(StringList, SortedListDuplicates) {
    TStringList L;
    L.SetSorted(true);
    EXPECT_EQ(L.Duplicates(), dupIgnore);
    L.Add("c");
    L.Add("Data.bak");
    L.Add("a");
    EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "c", "Data.bak"}));
    EXPECT_EQ(L.Add("DATA.BAK"), 2) << "ignored: the index of the equal line";
    EXPECT_EQ(L.Count(), 3);
    L.SetDuplicates(dupError);
    try {
        L.Add("data.bak");
        FAIL();
    } catch (const EStringListError& E) {
        EXPECT_EQ(E.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(L.Count(), 3) << "unchanged";

    TStringList Accept;
    Accept.SetSorted(true);
    Accept.SetDuplicates(dupAccept);
    Accept.Add("a");
    Accept.Add("b");
    Accept.Add("c");
    int Obj;
    EXPECT_EQ(Accept.AddObject("b", reinterpret_cast<TObject*>(&Obj)), 1) << "before the equal run";
    EXPECT_EQ(Accept.Objects(1), reinterpret_cast<TObject*>(&Obj));
    EXPECT_EQ(Accept.AddObject("B", nullptr), 1);
    EXPECT_EQ(Accept.Count(), 5);
}

TEST(StringList, FindIsTheBinarySearch) {
    TStringList L;
    L.SetSorted(true);
    L.SetDuplicates(dupAccept);
    for (const char* S : {"a", "b", "b", "b", "d"})
        L.Add(S);
    int Index = -1;
    EXPECT_TRUE(L.Find("b", Index));
    EXPECT_EQ(Index, 1) << "with dupAccept the first of the equal lines";
    EXPECT_FALSE(L.Find("c", Index));
    EXPECT_EQ(Index, 4) << "where it belongs";
    EXPECT_FALSE(L.Find("e", Index));
    EXPECT_EQ(Index, 5);
    L.SetDuplicates(dupIgnore);
    EXPECT_TRUE(L.Find("b", Index));
    EXPECT_EQ(Index, 2) << "otherwise the equal line met first";
    EXPECT_EQ(L.IndexOf("B"), 2);
    EXPECT_EQ(L.IndexOf("x"), -1);
}

TEST(StringList, SortedListsRefuseInsertionAtAPlace) {
    TStringList L;
    L.Add("b");
    L.Add("a");
    L.SetSorted(true);
    EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "b"}));
    EXPECT_THROW(L.Insert(0, "z"), EStringListError);
    EXPECT_THROW(L.SetStrings(0, "z"), EStringListError);
    L.SetSorted(false);
    L.Insert(0, "z");
    EXPECT_EQ(L[0], "z");
}

TEST(StringListLocale, CaseSensitivityChangesTheOrder) {
    TStringList L;
    L.SetSorted(true);
    L.SetDuplicates(dupAccept);
    for (const char* S : {"b", "B", "a", "A"})
        L.Add(S);
    L.SetCaseSensitive(true);
    std::vector<std::string> CaseSorted = Lines(L);
    TStringList Fresh;
    Fresh.SetCaseSensitive(true);
    Fresh.SetSorted(true);
    Fresh.SetDuplicates(dupAccept);
    for (const char* S : {"A", "b", "a", "B"})
        Fresh.Add(S);
    EXPECT_EQ(CaseSorted, Lines(Fresh)) << "re-sorted by the new comparison";
    int Index;
    EXPECT_TRUE(L.Find("B", Index));
    EXPECT_EQ(L[Index], "B");
    EXPECT_EQ(L.IndexOf("b"), Fresh.IndexOf("b"));
    TStringList Cyr;
    Cyr.Add("\xE0");  // small letter in 1251 and 1252
    EXPECT_EQ(Cyr.IndexOf("\xC0"), 0) << "locale comparison without regard to case";
    Cyr.SetCaseSensitive(true);
    EXPECT_EQ(Cyr.IndexOf("\xC0"), -1);
}

TEST(StringList, SortAndCustomSort) {
    TStringList L;
    L.SetCommaText("pear,Apple,fig,banana");
    L.Sort();
    EXPECT_EQ(L.CommaText(), "Apple,banana,fig,pear");
    L.CustomSort([](TStringList* List, int A, int B) {
        return static_cast<int>(List->Strings(A).size()) - static_cast<int>(List->Strings(B).size());
    });
    EXPECT_EQ(L[0], "fig");
    EXPECT_EQ(L[3], "banana");
}

TEST(StringList, ChangeEventsOnlyOutsideUpdates) {
    TStringList L;
    TChangeLog Log;
    Log.Attach(L);
    L.Add("a");
    EXPECT_EQ(Log.Log, "<>");
    Log.Log.clear();
    L.BeginUpdate();
    L.BeginUpdate();
    EXPECT_EQ(Log.Log, "<") << "the outer BeginUpdate announces the change";
    L.Add("b");
    L.Delete(0);
    L.EndUpdate();
    EXPECT_EQ(Log.Log, "<");
    L.EndUpdate();
    EXPECT_EQ(Log.Log, "<>");
    Log.Log.clear();
    L.EndUpdate();  // unbalanced: nothing happens
    EXPECT_EQ(Log.Log, "");
    L.SetText("x\r\ny\r\nz");
    EXPECT_EQ(Log.Log, "<>") << "Text is set inside one bracket";
    Log.Log.clear();
    TStringList Source;
    Source.SetCommaText("1,2,3");
    L.Assign(&Source);
    EXPECT_EQ(Log.Log, "<>") << "Assign clears and adds inside one bracket";
    EXPECT_EQ(L.CommaText(), "1,2,3");
    Log.Log.clear();
    L.Clear();
    L.Clear();
    EXPECT_EQ(Log.Log, "<>") << "clearing an empty list changes nothing";
}

TEST(StringList, AssignCopiesObjectsAndSeparatorsAndRefusesOthers) {
    int Deaths = 0;
    TCounted O(&Deaths);
    TStringList Source;
    Source.SetNameValueSeparator(':');
    Source.AddObject("k:v", &O);
    TStringList Target;
    Target.Add("old");
    Target.Assign(&Source);
    EXPECT_EQ(Target.Count(), 1);
    EXPECT_EQ(Target.Objects(0), &O);
    EXPECT_EQ(Target.Values("k"), "v");
    try {
        Target.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a nil to a TStringList");
    }
    {
        TStringList Holder;
        Holder.AddObject("x", new TCounted(&Deaths));
        TObject* Kept = Holder.Objects(0);
        Holder.Clear();
        EXPECT_EQ(Deaths, 0) << "objects are never owned";
        delete Kept;
    }
    EXPECT_EQ(Deaths, 1);
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList L;
    L.Add("a");
    try {
        L.Strings(5);
        FAIL();
    } catch (const EStringListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(L.Objects(-1), EListError);
    EXPECT_THROW(L.Delete(1), EStringListError);
    EXPECT_THROW(L.Insert(2, "x"), EStringListError);
    EXPECT_THROW(L.SetObjects(1, nullptr), EStringListError);
}

TEST(StringList, BaseClassBehaviourOverTheAbstractMembers) {
    TPlainStrings L;
    int A, B;
    L.AddObject("one", reinterpret_cast<TObject*>(&A));
    L.AddObject("two", reinterpret_cast<TObject*>(&B));
    L.SetStrings(0, "uno");
    EXPECT_EQ(L.Objects(0), reinterpret_cast<TObject*>(&A)) << "a replaced line keeps its object";
    L.Exchange(0, 1);
    EXPECT_EQ(L[0], "two");
    EXPECT_EQ(L.Objects(0), reinterpret_cast<TObject*>(&B));
    L.Move(0, 1);
    EXPECT_EQ(L[1], "two");
    EXPECT_EQ(L.Objects(1), reinterpret_cast<TObject*>(&B));
    EXPECT_EQ(L.IndexOf("TWO"), 1);
    EXPECT_EQ(L.IndexOfObject(reinterpret_cast<TObject*>(&A)), 0);
    L.UpdateStates.clear();
    L.SetText("a\r\nb");
    EXPECT_EQ(L.UpdateStates, (std::vector<bool>{true, false})) << "SetUpdateState at the outer ends";
    TStringList Other;
    Other.SetText("a\r\nb");
    EXPECT_TRUE(L.Equals(&Other));
    Other.Add("c");
    EXPECT_FALSE(L.Equals(&Other));
}

TEST(StringList, StreamsAndFiles) {
    TStringList L;
    L.SetText("first\r\nsecond");
    TMemoryStream M;
    M.WriteBuffer("xx", 2);
    L.SaveToStream(&M);
    EXPECT_EQ(M.Size(), 2 + 15);
    M.SetPosition(2);
    TStringList R;
    R.LoadFromStream(&M);
    EXPECT_EQ(Lines(R), (std::vector<std::string>{"first", "second"})) << "from the position on";

    testing_support::TempDir Dir;
    std::string Name = Dir / "list.txt";
    testing_support::WriteFileText(Name, std::string("a\nb\r\n\0c", 8));
    R.LoadFromFile(Name);
    EXPECT_EQ(Lines(R), (std::vector<std::string>{"a", "b"}));
    L.SaveToFile(Name);
    auto Bytes = testing_support::ReadFileBytes(Name);
    EXPECT_EQ(std::string(Bytes.begin(), Bytes.end()), "first\r\nsecond\r\n");
    EXPECT_THROW(R.LoadFromFile(Dir / "missing.txt"), EFOpenError);
}

TEST(StringList, FormStreamingThroughTheStringsProperty) {
    TOwned<TListHolder> Source(Create<TListHolder>(nullptr));
    Source->GetItems()->SetText("first\r\n\r\nthird, with blanks");
    TMemoryStream M;
    M.WriteComponent(Source.get());
    std::string Bin(static_cast<char*>(M.Memory()), static_cast<size_t>(M.Size()));
    std::string Text = ObjectBinaryToText(Bin);
    EXPECT_NE(Text.find("Items.Strings = ("), std::string::npos) << Text;

    TOwned<TListHolder> Target(Create<TListHolder>(nullptr));
    Target->GetItems()->Add("replaced");
    TChangeLog Log;
    Log.Attach(*Target->GetItems());
    M.SetPosition(0);
    M.ReadComponent(Target.get());
    EXPECT_EQ(Lines(*Target->GetItems()), (std::vector<std::string>{"first", "", "third, with blanks"}));
    EXPECT_EQ(Log.Log, "<>") << "cleared and filled inside one bracket";

    TOwned<TListHolder> Empty(Create<TListHolder>(nullptr));
    TMemoryStream E;
    E.WriteComponent(Empty.get());
    std::string EmptyText = ObjectBinaryToText(std::string(static_cast<char*>(E.Memory()), static_cast<size_t>(E.Size())));
    EXPECT_EQ(EmptyText.find("Strings"), std::string::npos) << "an empty list is not written";
}

TEST(StringList, PropertyTextIsTheCommaText) {
    TOwned<TListHolder> H(Create<TListHolder>(nullptr));
    SetPropText(H.get(), "Items", "a,\"b c\"");
    EXPECT_EQ(Lines(*H->GetItems()), (std::vector<std::string>{"a", "b c"}));
    EXPECT_EQ(GetPropText(H.get(), "Items"), "a,\"b c\"");
}
