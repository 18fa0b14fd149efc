#include "SkinTestSupport.h"

#include "acntUtils.h"

#include <shellapi.h>

#include <memory>

using namespace skintests;

// ---------------------------------------------------------------------------------------------
// Initialisation text

namespace {
// Parsed sections that free their lists at the end of the test.
struct TParsed {
    TOwned<TStringList> Sections{Create<TStringList>()};
    explicit TParsed(std::initializer_list<const char*> Lines) {
        TOwned<TStringList> Text(Create<TStringList>());
        for (const char* L : Lines)
            Text->Add(L);
        ParseIniSections(Text.get(), Sections.get());
    }
    ~TParsed() { FreeIniSections(Sections.get()); }
    TStringList* Lines(int I) { return static_cast<TStringList*>(Sections->Objects(I)); }
};
}  // namespace

TEST(SkinIniText, LinesBeforeTheFirstSectionBlankLinesAndCommentsAreDropped) {
    TParsed P{"a=1", "[S]", "", ";x", "k=v"};
    ASSERT_EQ(P.Sections->Count(), 1);
    EXPECT_EQ(P.Sections->Strings(0), "S");
    ASSERT_EQ(P.Lines(0)->Count(), 1);
    EXPECT_EQ(P.Lines(0)->Strings(0), "k=v");
}

TEST(SkinIniText, SectionNamesKeepTheirBlanksAndParsingAgainReplacesTheSections) {
    TParsed P{"[ A ]", "x=1", "[B]"};
    ASSERT_EQ(P.Sections->Count(), 2);
    EXPECT_EQ(P.Sections->Strings(0), " A ");
    EXPECT_EQ(P.Lines(1)->Count(), 0);
    TOwned<TStringList> Again(Create<TStringList>());
    Again->Add("[C]");
    ParseIniSections(Again.get(), P.Sections.get());
    ASSERT_EQ(P.Sections->Count(), 1);
    EXPECT_EQ(P.Sections->Strings(0), "C");
}

TEST(SkinIniText, ValuesAreFoundWithoutRegardToCaseAndNotTrimmed) {
    TParsed P{"[GLOBALINFO]", "COLOR=", "Author= Me ", "Size=0x1F", "Hex=0X10", "Short=0x", "Bad=12a", "N=-7"};
    TStringList* S = P.Sections.get();
    EXPECT_EQ(GetSectionText(S, "globalinfo", "author", "?"), " Me ");
    EXPECT_EQ(GetSectionText(S, "GLOBALINFO", "COLOR", "dflt"), "");
    EXPECT_EQ(GetSectionText(S, "GLOBALINFO", "MISSING", "dflt"), "dflt");
    EXPECT_EQ(GetSectionText(S, "NOSECTION", "COLOR", "dflt"), "dflt");
    struct {
        const char* Ident;
        int Expected;
    } const Cases[] = {{"Size", 31}, {"Hex", 16}, {"Short", 5}, {"Bad", 5}, {"N", -7}, {"COLOR", 5}, {"None", 5}};
    for (const auto& C : Cases)
        EXPECT_EQ(GetSectionInteger(S, "GLOBALINFO", 5, C.Ident), C.Expected) << C.Ident;
}

// ---------------------------------------------------------------------------------------------
// Words and strings

TEST(SkinWords, RunsOfDelimitersSeparateOnce) {
    const TacCharSet Semi = MakeCharSet(";");
    struct {
        const char* Text;
        int N;
        const char* Word;
        int Start;
    } const Cases[] = {{"a;;b", 2, "b", 4}, {";;ab;c", 1, "ab", 3}, {"a;;b", 3, "", 0},
                       {"", 1, "", 0},      {"abc", 0, "", 0},      {"x;y;", 2, "y", 3}};
    for (const auto& C : Cases) {
        EXPECT_EQ(GetWordAt(C.N, C.Text, Semi), C.Word) << C.Text << " " << C.N;
        EXPECT_EQ(FindWordStart(C.N, C.Text, Semi), C.Start) << C.Text << " " << C.N;
        EXPECT_EQ(FindWordStartBySet(C.N, C.Text, Semi), C.Start) << C.Text << " " << C.N;
    }
    EXPECT_EQ(CountWords("", Semi), 0);
    EXPECT_EQ(CountWords(";;;", Semi), 0);
    EXPECT_EQ(CountWordsBySet("a;;b;c;", Semi), 3);
}

TEST(SkinStrings, ReplacingRemovingAndRepeating) {
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abab", "b", "bb"), "abbabb");  // replaced text is not scanned again
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(RemoveChar("a-b-c-", '-'), "abc");
    EXPECT_EQ(MakeCharString('x', 3), "xxx");
    EXPECT_EQ(MakeCharString('x', -1), "");
    std::string S = "old";
    FillStringWithChar(S, 0, 'y');
    EXPECT_EQ(S, "");
    EXPECT_TRUE(HasOnlyChars("", MakeCharSet("0")));
    EXPECT_FALSE(HasOnlyChars("0120", MakeCharSet("01")));
    EXPECT_EQ(ClampToByte(-3), 0);
    EXPECT_EQ(ClampToByte(300), 255);
}

TEST(SkinRects, IntersectionTreatsTouchingEdgesAsOutside) {
    const TRect Clip{10, 10, 20, 20};
    struct {
        TRect R;
        bool Expected;
    } const Cases[] = {{{0, 0, 10, 10}, false}, {{20, 10, 30, 20}, false}, {{10, 0, 20, 10}, false},
                       {{10, 20, 20, 30}, false}, {{15, 15, 15, 18}, false}, {{19, 19, 25, 25}, true},
                       {{0, 0, 100, 100}, true}};
    for (const auto& C : Cases)
        EXPECT_EQ(RectIntersects(Clip, C.R), C.Expected) << C.R.Left << "," << C.R.Top;
    EXPECT_TRUE(RectContainsRect(Clip, Clip));
    EXPECT_FALSE(RectContainsRect(Clip, TRect{10, 10, 21, 20}));
    EXPECT_EQ(RectWidth(TRect{5, 0, 2, 0}), -3);
    EXPECT_EQ(RectWidth(TRect{5, 0, 2, 0}, true), 0);
    EXPECT_EQ(RectHeight(TRect{0, 9, 0, 4}, true), 0);
}

TEST(SkinPaths, TrailingBackslash) {
    struct {
        const char* Path;
        const char* Expected;
    } const Cases[] = {{"", ""}, {"C", "C:\\"}, {"C:/x/", "C:/x\\"}, {"C:\\x\\", "C:\\x\\"}, {"C:\\x", "C:\\x\\"}};
    for (const auto& C : Cases)
        EXPECT_EQ(WithTrailingBackslash(C.Path), C.Expected) << C.Path;
    std::string Folder = GetAppFolder();
    ASSERT_FALSE(Folder.empty());
    EXPECT_EQ(Folder.back(), '\\');
    EXPECT_TRUE(DirectoryExists(Folder));
}

TEST(SkinSystem, ShellIconOfAMissingFileIsNil) {
    EXPECT_EQ(GetFileShellIcon("C:\\no such folder\\no such file.txt", 0), nullptr);
    TOwned<TIcon> Icon(GetFileShellIcon(ParamStr(0), SHGFI_SMALLICON));
    ASSERT_NE(Icon.get(), nullptr);
    EXPECT_TRUE(Icon->HandleAllocated());
    EXPECT_NE(GetCaptionFontHeight(), 0);
    HFONT Font = CreateCaptionFont();
    EXPECT_NE(Font, nullptr);
    DeleteObject(Font);
}

// ---------------------------------------------------------------------------------------------
// Published properties

namespace {
DECLARE_ENUM(TRuleProbe, rpStd, rpStdForms, rpStdDialogs)
DECLARE_SET(TRuleProbes, TRuleProbe)

class TRuleHolder : public TPersistent {
    DECLARE_CLASS(TRuleHolder, TPersistent)
public:
    static void DefineClass(TClassBuilder<TRuleHolder>& B) {
        B.Property("Rules", &TRuleHolder::Rules, &TRuleHolder::SetRules);
        B.Property("Level", &TRuleHolder::Level, &TRuleHolder::SetLevel);
        B.Property("Font", &TRuleHolder::Font, &TRuleHolder::SetFont);
    }
    TRuleProbes Rules() const { return FRules; }
    void SetRules(TRuleProbes Value) { FRules = Value; }
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
    TRuleProbes FRules;
    int FLevel = 3;
    TOwned<TFont> FFont{Create<TFont>()};
};
}  // namespace

TEST(SkinProperties, ReachedByNameOrReportedMissing) {
    TOwned<TRuleHolder> H(Create<TRuleHolder>());
    EXPECT_TRUE(PropertyExists(H.get(), "Level"));
    EXPECT_FALSE(PropertyExists(H.get(), "Nothing"));
    EXPECT_EQ(GetOrdPropByName(H.get(), "Level"), 3);
    EXPECT_EQ(GetOrdPropByName(H.get(), "Nothing"), -1);
    SetOrdPropByName(H.get(), "Level", 9);
    SetOrdPropByName(H.get(), "Nothing", 9);
    EXPECT_EQ(H->Level(), 9);
    EXPECT_EQ(GetObjectPropByName(H.get(), "Font"), H->Font());
    EXPECT_EQ(GetObjectPropByName(H.get(), "Level"), nullptr);
    EXPECT_EQ(GetObjectPropByName(H.get(), "Nothing"), nullptr);
}

TEST(SkinProperties, SetElementsAreChangedByWholeName) {
    TOwned<TRuleHolder> H(Create<TRuleHolder>());
    H->SetRules(TRuleProbes{rpStdForms});
    // "rpStd" is part of "rpStdForms" but not an element of the set.
    EXPECT_FALSE(SetPropHasElement(H.get(), "Rules", "rpStd"));
    EXPECT_TRUE(SetPropHasElement(H.get(), "Rules", "rpStdForms"));
    EXPECT_FALSE(SetPropHasElement(H.get(), "Nothing", "rpStdForms"));

    EXPECT_FALSE(ChangeSetPropElement(H.get(), "Rules", "rpStd", true));
    EXPECT_EQ(H->Rules(), (TRuleProbes{rpStd, rpStdForms}));
    ChangeSetPropElement(H.get(), "Rules", "rpStd", true);  // already there: unchanged
    EXPECT_EQ(H->Rules(), (TRuleProbes{rpStd, rpStdForms}));
    ChangeSetPropElement(H.get(), "Rules", "rpStd", false);
    EXPECT_EQ(H->Rules(), TRuleProbes{rpStdForms});
    ChangeSetPropElement(H.get(), "Rules", "rpStdDialogs", false);  // absent: unchanged
    EXPECT_EQ(H->Rules(), TRuleProbes{rpStdForms});
    ChangeSetPropElement(H.get(), "Rules", "rpStdForms", false);
    EXPECT_TRUE(H->Rules().Empty());
    ChangeSetPropElement(H.get(), "Rules", "rpStdDialogs", true);
    EXPECT_EQ(H->Rules(), TRuleProbes{rpStdDialogs});
}

// ---------------------------------------------------------------------------------------------
// Message box

namespace {
struct TBoxSeen {
    std::string Text, Caption;
    UINT Flags = 0;
    int PosX = 0, PosY = 0;
};

class TBoxRecorder : public TMessagePresenter {
public:
    std::vector<TBoxSeen> Boxes;
    int MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Flags) override {
        Boxes.push_back({Text, Caption, Flags, MsgBoxPosX, MsgBoxPosY});
        return IDNO;
    }
};

class SkinMessageBoxTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        FOld = SetMessagePresenter(&Recorder);
    }
    void TearDown() override {
        SetMessagePresenter(FOld);
        SkinTest::TearDown();
    }
    TBoxRecorder Recorder;

private:
    TMessagePresenter* FOld = nullptr;
};
}  // namespace

TEST_F(SkinMessageBoxTest, ButtonsIconsAndCaptions) {
    const UINT Always = MB_SETFOREGROUND | MB_TOPMOST;
    struct {
        int DlgType;
        TMsgDlgButtons Buttons;
        const char* Caption;
        UINT Flags;
    } const Cases[] = {
        {3, TMsgDlgButtons{mbYes, mbNo, mbCancel}, "Confirm", MB_ICONQUESTION | MB_YESNOCANCEL},
        {0, TMsgDlgButtons{mbRetry, mbCancel}, "Warning", MB_ICONWARNING | MB_RETRYCANCEL},
        {1, TMsgDlgButtons{mbOK}, "Error", MB_ICONERROR | MB_OK},
        {2, TMsgDlgButtons{mbOK, mbCancel, mbHelp}, "Information", MB_ICONINFORMATION | MB_OKCANCEL | MB_HELP},
        {4, TMsgDlgButtons{mbIgnore}, "", MB_ABORTRETRYIGNORE},
        {3, TMsgDlgButtons{mbYes, mbNo}, "Confirm", MB_ICONQUESTION | MB_YESNO},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(SkinMessageDlg("t", C.DlgType, C.Buttons, 0), IDNO);
    ASSERT_EQ(Recorder.Boxes.size(), std::size(Cases));
    for (size_t I = 0; I < std::size(Cases); ++I) {
        EXPECT_EQ(Recorder.Boxes[I].Caption, Cases[I].Caption) << I;
        EXPECT_EQ(Recorder.Boxes[I].Flags, Cases[I].Flags | Always) << I;
    }
}

TEST_F(SkinMessageBoxTest, PositionIsHandedToTheDialogHookOnlyWhileTheBoxIsUp) {
    SkinMessageBox("Title", "Text", 2, TMsgDlgButtons{mbOK}, 0, 40, 50, "");
    ShowErrorBox("Failed");
    ASSERT_EQ(Recorder.Boxes.size(), 2u);
    EXPECT_EQ(Recorder.Boxes[0].Caption, "Title");
    EXPECT_EQ(Recorder.Boxes[0].PosX, 40);
    EXPECT_EQ(Recorder.Boxes[0].PosY, 50);
    EXPECT_EQ(Recorder.Boxes[1].PosX, -1);
    EXPECT_EQ(Recorder.Boxes[1].Text, "Failed");
    EXPECT_EQ(Recorder.Boxes[1].Flags & MB_ICONERROR, UINT(MB_ICONERROR));
    EXPECT_EQ(MsgBoxPosX, -1);
    EXPECT_EQ(MsgBoxPosY, -1);
}
