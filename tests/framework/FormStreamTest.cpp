// Form resources and component streaming: a text form compiled into this program is read into
// live objects (nested components, a collection whose items carry binary data, a string list, a
// set, events, references within the form and to a second form), written back to the same binary
// and, through the converter, to the same text; Loaded after fix-ups; bad input names its position.
#include "TestComponents.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace testforms;

namespace {
struct TFormStreamFixture : ::testing::Test {
    void SetUp() override {
        RegisterTestClasses();
        Log().clear();
    }
};
using FormStream = TFormStreamFixture;

std::string ResourceBytes(const char* Name) {
    TResourceStream R(MainInstance(), Name, RT_RCDATA);
    std::string S(static_cast<size_t>(R.Size()), '\0');
    R.ReadBuffer(S.data(), static_cast<LongInt>(S.size()));
    return S;
}

std::string SourceText(const char* File) {
    auto B = testing_support::ReadFileBytes(testing_support::SourceDir() + "tests\\framework\\forms\\" + File);
    return std::string(B.begin(), B.end());
}

std::string Written(TComponent* Root) {
    TMemoryStream M;
    M.WriteComponent(Root);
    return std::string(static_cast<char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

// Reads a root from text through the converter (a new component of the class the text names).
TComponent* ReadText(const std::string& Text) {
    std::string Bin = ObjectTextToBinary(Text);
    TPointerStream S(Bin.data(), static_cast<LongInt>(Bin.size()));
    return S.ReadComponent(nullptr);
}

bool Contains(const std::vector<std::string>& V, const std::string& S) { return std::find(V.begin(), V.end(), S) != V.end(); }

// A component that makes another in its constructor, as controls make their scroll bars.
class TTestOuter : public TComponent {
    DECLARE_CLASS(TTestOuter, TComponent)
public:
    explicit TTestOuter(TComponent* AOwner) : TComponent(AOwner), Inner(Create<TComponent>(this)) {
        StateInConstructor = ComponentState();
    }
    TComponent* Inner;
    TComponentState StateInConstructor;
};
}  // namespace

TEST_F(FormStream, FormTextReadsIntoLiveObjects) {
    TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
    EXPECT_EQ(F->Name(), "FormTestMain");
    EXPECT_EQ(F->Caption, "Main form");
    EXPECT_EQ(F->Color, clGold) << "an integer constant by name";
    EXPECT_EQ(F->Font->Name, "Verdana");
    EXPECT_EQ(F->Font->Size, 10);
    EXPECT_EQ(F->Font->Style, (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(F->Font->Charset, 1) << "not in the stream: the constructor's value";
    ASSERT_EQ(F->ComponentCount(), 4);
    EXPECT_EQ(F->Components(0), F->Panel1);
    EXPECT_EQ(F->Components(1), F->Button1);
    EXPECT_EQ(F->Components(2), F->Memo1);
    EXPECT_EQ(F->Components(3), F->Grid1);

    // Nesting through Reader.Parent; everything owned by the root.
    EXPECT_EQ(F->Button1->Parent(), F->Panel1);
    EXPECT_EQ(F->Button1->Owner(), F.get());
    EXPECT_EQ(F->Memo1->Parent(), nullptr);
    EXPECT_EQ(F->Panel1->Align, alTop);
    EXPECT_EQ(F->Panel1->GetCaption(), "Panel");

    TTestControl* B = F->Button1;
    EXPECT_EQ(B->GetCaption(), "Press\r\nme");
    EXPECT_EQ(B->Anchors, (TAnchors{akLeft, akBottom}));
    EXPECT_EQ(B->Big, Int64(5000000000));
    EXPECT_EQ(B->Hint, L"Wide \x041F\x0440\x0438");
    EXPECT_EQ(B->Offset, -300);
    EXPECT_DOUBLE_EQ(B->Ratio, 1.25);
    EXPECT_EQ(B->Color, clBtnFace);

    TTestControl* M = F->Memo1;
    EXPECT_EQ(M->Accel, 'M');
    EXPECT_EQ(M->GetBuddy(), B) << "a reference within the form";
    EXPECT_EQ(M->Color, clBlack);
    EXPECT_EQ(M->Index, 65535);
    EXPECT_EQ(M->GetLines()->Lines, (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(M->GetLines()->Updates, 1);
    EXPECT_EQ(M->Tabs, 3);
    EXPECT_FALSE(M->Visible);

    TTestColumns* C = F->Grid1->GetColumns();
    // A number no colour table names (written back as a number, whichever tables the program has).
    EXPECT_EQ(F->Grid1->Color, 0xC08040);
    ASSERT_EQ(C->Count(), 2);
    auto* C0 = static_cast<TTestColumn*>(C->Items(0));
    auto* C1 = static_cast<TTestColumn*>(C->Items(1));
    EXPECT_EQ(C0->GetTitle()->Caption, "First");
    EXPECT_EQ(C0->Width, 64);
    EXPECT_EQ(C0->Data, std::string("\x01\x02\xFF", 3)) << "the binary property of an item";
    EXPECT_EQ(C1->GetTitle()->Caption, "Second");
    EXPECT_EQ(C1->Data, "");
    EXPECT_EQ(C->Updates, (std::vector<int>{-1})) << "filled inside one update bracket";

    // Events bound by name to the form's published methods.
    B->OnClick(B);
    EXPECT_EQ(F->Clicks, 1);
    EXPECT_EQ(F->LastSender, B);
    M->OnClick(M);
    EXPECT_EQ(F->Clicks, 2);
    F->OnDblClick(F.get());
    EXPECT_EQ(F->Clicks, 102);
    int Key = 13;
    B->OnKey(B, Key);
    EXPECT_EQ(Key, 0);
    EXPECT_FALSE(F->ComponentState().Contains(csLoading));
    EXPECT_FALSE(B->ComponentState().Contains(csLoading));
    EXPECT_FALSE(B->ComponentState().Contains(csReading));
}

TEST_F(FormStream, SettersRunWhileLoadingAndLoadedRunsAfterFixupsRootFirst) {
    TOwned<TFormTestOther> Other(Create<TFormTestOther>(nullptr));
    Log().clear();
    TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
    std::vector<std::string> Expected = {
        "Panel1.Caption loading reading",
        "Button1.Caption loading reading",
        "Memo1.Caption loading reading",
        // fix-ups: setters with csLoading still on, after every component was read
        "Button1.Buddy=Label1 loading",
        "Memo1.Buddy=Button1 loading",
        // Loaded in read order, root first, references already in place
        "FormTestMain.Loaded",
        "Panel1.Loaded buddy=nil",
        "Button1.Loaded buddy=Label1",
        "Memo1.Loaded buddy=Button1",
        "Grid1.Loaded buddy=nil",
        // then the reference that waited for this form
        "Label1.Buddy=Memo1",
    };
    EXPECT_EQ(Log(), Expected);
}

TEST_F(FormStream, ReferencesToAnotherFormWaitUntilThatFormIsRead) {
    TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
    EXPECT_EQ(F->Button1->GetBuddy(), nullptr);
    EXPECT_TRUE(Contains(PendingGlobalFixupRoots(), "FormTestOther"));
    Log().clear();
    TOwned<TFormTestOther> Other(Create<TFormTestOther>(nullptr));
    EXPECT_EQ(F->Button1->GetBuddy(), Other->Label1) << "resolved when the other form was read";
    EXPECT_EQ(Other->Label1->GetBuddy(), F->Memo1) << "and the other way, at once";
    EXPECT_FALSE(Contains(PendingGlobalFixupRoots(), "FormTestOther"));
    // The setter ran on a loaded component, after the other form's Loaded calls.
    auto LoadedAt = std::find(Log().begin(), Log().end(), "Label1.Loaded buddy=Memo1");
    auto SetAt = std::find(Log().begin(), Log().end(), "Button1.Buddy=Label1");
    ASSERT_NE(LoadedAt, Log().end());
    ASSERT_NE(SetAt, Log().end());
    EXPECT_LT(LoadedAt, SetAt);

    // Removal notifications cross forms: freeing the other form clears the reference.
    Other.reset();
    EXPECT_EQ(F->Button1->GetBuddy(), nullptr);
    EXPECT_TRUE(Contains(F->Button1->Notes, "opRemove Label1"));
}

TEST_F(FormStream, PendingReferencesOfAFreedFormAreDropped) {
    {
        TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
        EXPECT_TRUE(Contains(PendingGlobalFixupRoots(), "FormTestOther"));
    }
    EXPECT_FALSE(Contains(PendingGlobalFixupRoots(), "FormTestOther"));
    TOwned<TFormTestOther> Other(Create<TFormTestOther>(nullptr));  // nothing dangling is resolved
    EXPECT_EQ(Other->Label1->GetBuddy(), nullptr);
}

TEST_F(FormStream, WritesBackTheSameBinaryAndTheSameText) {
    TOwned<TFormTestOther> Other(Create<TFormTestOther>(nullptr));
    TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
    for (auto [Root, Res, File] : {std::tuple<TComponent*, const char*, const char*>{F.get(), "TFORMTESTMAIN", "TFormTestMain.dfm"},
                                   {Other.get(), "TFORMTESTOTHER", "TFormTestOther.dfm"}}) {
        std::string Bin = Written(Root);
        EXPECT_EQ(Bin, ResourceBytes(Res)) << Res;
        EXPECT_EQ(ObjectBinaryToText(Bin), SourceText(File)) << File;
        EXPECT_EQ(ObjectTextToBinary(SourceText(File)), ResourceBytes(Res)) << "the build's converter agrees";
    }
}

TEST_F(FormStream, ComponentStreamingRoundTripsAndReadsIntoAnInstanceAtAnOffset) {
    TOwned<TFormTestMain> F(Create<TFormTestMain>(nullptr));
    TTestControl* Memo = F->Memo1;
    TMemoryStream M;
    M.WriteBuffer("SIB header", 10);
    Int64 Offset = M.Position();
    M.WriteComponent(Memo);
    M.WriteBuffer("tail", 4);

    // Into a fresh instance owned elsewhere, from the block's offset (3.113, 3.114).
    TOwned<TComponent> Holder(Create<TComponent>(nullptr));
    auto* Fresh = Create<TTestControl>(Holder.get());
    M.SetPosition(Offset);
    EXPECT_EQ(M.ReadComponent(Fresh), Fresh);
    EXPECT_EQ(M.Position(), M.Size() - 4) << "the reader stops at the component's end";
    EXPECT_EQ(Fresh->Name(), "Memo1");
    EXPECT_EQ(Fresh->GetCaption(), "Memo");
    EXPECT_EQ(Fresh->GetLines()->Lines, Memo->GetLines()->Lines);
    EXPECT_FALSE(Fresh->Visible);
    EXPECT_EQ(Fresh->GetBuddy(), F->Button1) << "a reference outside the written root goes out qualified";

    // A new instance of the class the stream names.
    M.SetPosition(Offset);
    TOwned<TComponent> New(M.ReadComponent(nullptr));
    EXPECT_EQ(New->ClassName(), "TTestControl");
    EXPECT_EQ(static_cast<TTestControl*>(New.get())->Tabs, 3);
}

TEST_F(FormStream, AbsentPropertiesKeepTheirConstructorValues) {
    // Tabs: constructor 1, declared default 9; Visible: constructor and default True.
    TOwned<TComponent> X(ReadText("object X: TTestControl\r\n  Caption = 'c'\r\nend\r\n"));
    auto* C = static_cast<TTestControl*>(X.get());
    EXPECT_EQ(C->Tabs, 1) << "the reader never applies declared defaults";
    EXPECT_TRUE(C->Visible);
    EXPECT_EQ(C->GetFont()->Name, "MS Sans Serif");
}

TEST_F(FormStream, OnlyTheComponentTheReaderMakesStartsLoading) {
    RegisterClass(TTestOuter::StaticClass());
    TOwned<TComponent> X(ReadText("object X: TTestOuter\r\nend\r\n"));
    auto* O = static_cast<TTestOuter*>(X.get());
    EXPECT_TRUE(O->StateInConstructor.Contains(csLoading)) << "set before its constructor's body runs";
    EXPECT_FALSE(O->Inner->ComponentState().Contains(csLoading));
    EXPECT_FALSE(O->ComponentState().Contains(csLoading)) << "cleared by Loaded";
}

TEST_F(FormStream, DefaultsAndStoredFlagsDecideWhatIsWritten) {
    TOwned<TTestControl> C(Create<TTestControl>(nullptr));
    C->SetName("C1");
    std::string Text = ObjectBinaryToText(Written(C.get()));
    EXPECT_EQ(Text, "object C1: TTestControl\r\n  Tabs = 1\r\nend\r\n")
        << "Tabs differs from its declared default 9; the rest are at their defaults";
    C->GetFont()->SetName("Arial");
    C->Tabs = 9;
    C->Align = alClient;
    C->SetTag(7);
    Text = ObjectBinaryToText(Written(C.get()));
    EXPECT_EQ(Text, "object C1: TTestControl\r\n  Tag = 7\r\n  Align = alClient\r\n  Font.Name = 'Arial'\r\nend\r\n");
}

TEST_F(FormStream, WritingWithAnAncestorWritesOnlyTheDifferences) {
    TOwned<TTestControl> A(Create<TTestControl>(nullptr));
    TOwned<TTestControl> B(Create<TTestControl>(nullptr));
    A->SetName("C");
    B->SetName("C");
    A->SetCaption("Same");
    B->SetCaption("Same");
    B->Align = alBottom;
    TMemoryStream M;
    M.WriteDescendent(B.get(), A.get());
    std::string Bin(static_cast<char*>(M.Memory()), static_cast<size_t>(M.Size()));
    EXPECT_EQ(ObjectBinaryToText(Bin), "inherited C: TTestControl\r\n  Align = alBottom\r\nend\r\n");
}

TEST_F(FormStream, TextConverterHandlesTheWholeGrammar) {
    std::string Text =
        "object X: TTestControl\r\n"
        "  Caption = 'a''b' + \r\n"
        "    'c'#9'd'\r\n"
        "  Ratio = 1e-5\r\n"
        "  Tabs = $10\r\n"
        "end\r\n";
    TOwned<TComponent> X(ReadText(Text));
    auto* C = static_cast<TTestControl*>(X.get());
    EXPECT_EQ(C->GetCaption(), "a'bc\td");
    EXPECT_DOUBLE_EQ(C->Ratio, 1e-5);
    EXPECT_EQ(C->Tabs, 16);
    // Canonical text back: one string; the double's value as the shortest extended that reads back.
    EXPECT_EQ(ObjectBinaryToText(Written(C)),
              "object X: TTestControl\r\n  Caption = 'a''bc'#9'd'\r\n  Ratio = 1.0000000000000000818e-05\r\n  Tabs = 16\r\nend\r\n");
    std::string Values =
        "object Y: TTestControl\r\n"
        "  A = 1.5s\r\n"
        "  B = 12.3456c\r\n"
        "  C = 45000.5d\r\n"
        "  D = -2147483649\r\n"
        "  E = ()\r\n"
        "  F = <>\r\n"
        "  G = {}\r\n"
        "  H = []\r\n"
        "  I = nil\r\n"
        "  J = True\r\n"
        "  K = #1055'x'\r\n"
        "  K2 = 'caf'#$00E9\r\n"
        "  K3 = 'caf'#233\r\n"
        "  L = <\r\n"
        "    item [3]\r\n"
        "      M = 2.0\r\n"
        "    end>\r\n"
        "end\r\n";
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(Values)), Values) << "every value type round-trips";
    // A wide string of Latin-1 letters stays wide; an 8-bit one stays 8-bit.
    TOwned<TTestControl> W(Create<TTestControl>(nullptr));
    W->SetName("W");
    W->Hint = L"caf\x00E9";
    std::string Bin = Written(W.get());
    EXPECT_EQ(ObjectBinaryToText(Bin), "object W: TTestControl\r\n  Hint = 'caf'#$00E9\r\n  Tabs = 1\r\nend\r\n");
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(Bin)), Bin);
}

TEST_F(FormStream, BadTextNamesTheLine) {
    struct Case {
        std::string Text, Message;
    } Cases[] = {
        {"object X: TTestControl\r\n  Caption = 'open\r\nend\r\n", "Unterminated string on line 2"},
        {"object X: TTestControl\r\n  Caption 'x'\r\nend\r\n", "'=' expected on line 2"},
        {"object X: TTestControl\r\n  Data = {0G}\r\nend\r\n", "Invalid binary value on line 2"},
        {"object X: TTestControl\r\n  Tabs = 1\r\n", "'end' expected on line 3"},
        {"thing X: TTestControl\r\nend\r\n", "'object' expected on line 1"},
        {"object X: TTestControl\r\n  L = <\r\n    thing\r\n  end>\r\nend\r\n", "'item' expected on line 3"},
        {"object X: TTestControl\r\nend\r\nextra", "End of file expected on line 3"},
    };
    for (const auto& K : Cases) {
        try {
            ObjectTextToBinary(K.Text);
            ADD_FAILURE() << K.Text;
        } catch (const EParserError& E) {
            EXPECT_EQ(E.Message(), K.Message);
        }
    }
}

TEST_F(FormStream, BadBinaryInputRaisesAnErrorNamingTheOffset) {
    auto ReadError = [](const std::string& Bin) -> std::string {
        TPointerStream S(Bin.data(), static_cast<LongInt>(Bin.size()));
        TOwned<TComponent> Holder(Create<TComponent>(nullptr));
        auto* Into = Create<TTestControl>(Holder.get());
        try {
            S.ReadComponent(Into);
        } catch (const Exception& E) {
            return E.ClassName() + ": " + E.Message();
        }
        return "no error";
    };
    auto Bin = [](const std::string& Text) { return ObjectTextToBinary(Text); };
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  Nothing = 1\r\nend\r\n")),
              "EReadError: Property Nothing does not exist (offset 19)");
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  Font.Nothing = 1\r\nend\r\n")),
              "EReadError: Property Font.Nothing does not exist (offset 19)");
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  object Y: TNoSuchClass\r\n  end\r\nend\r\n")),
              "EClassNotFound: Class TNoSuchClass not found (offset 20)");
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  OnClick = NoSuchMethod\r\nend\r\n")),
              "EReadError: Method NoSuchMethod not found (offset 27)");
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  Align = alSideways\r\nend\r\n")),
              "EReadError: Invalid property value: alSideways (offset 25)");
    EXPECT_EQ(ReadError(Bin("object X: TTestControl\r\n  Tabs = 'text'\r\nend\r\n")),
              "EReadError: Invalid property value (offset 24)");
    EXPECT_EQ(ReadError("XXXX"), "EReadError: Invalid stream format (offset 0)");

    // Every truncation of a real form fails cleanly, never reading past the data.
    std::string Good = ResourceBytes("TFORMTESTMAIN");
    for (size_t N = 0; N < Good.size(); ++N) {
        std::string Cut = Good.substr(0, N);
        TPointerStream S(Cut.data(), static_cast<LongInt>(Cut.size()));
        EXPECT_THROW(
            {
                TOwned<TComponent> C(S.ReadComponent(nullptr));
            },
            Exception)
            << N;
    }
    // A length beyond the data.
    std::string Huge = Bin("object X: TTestControl\r\n  Caption = 'abc'\r\nend\r\n");
    size_t At = Huge.find("abc") - 2;  // the vaString byte
    Huge[At] = static_cast<char>(vaLString);
    EXPECT_NE(ReadError(Huge).find("EReadError"), std::string::npos);
}

TEST_F(FormStream, EventsMustFitTheirType) {
    // A published method of another signature is refused for TNotifyEvent.
    std::string Bin = ObjectTextToBinary(
        "object FormTestMain: TFormTestMain\r\n"
        "  OnDblClick = KeyHandler\r\n"
        "end\r\n");
    TPointerStream S(Bin.data(), static_cast<LongInt>(Bin.size()));
    try {
        TOwned<TComponent> C(S.ReadComponent(nullptr));
        FAIL();
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("KeyHandler does not fit the event OnDblClick"), std::string::npos) << E.Message();
    }
}
