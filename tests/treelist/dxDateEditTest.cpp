#include "DateUtils.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"
#include "dxGrDate.h"

using namespace treelist_tests;

namespace {
// Saturday, 10 February 2024, 09:00; dates typed day first with dots.
struct DateEditTest : TEditorTest<TdxInplaceDateEdit> {
    TFormatSettings Saved;
    void SetUp() override {
        TEditorTest::SetUp();
        Saved = FormatSettings;
        DateSeparator = '.';
        ShortDateFormat = "dd.MM.yyyy";
        SetClock([] { return EncodeDate(2024, 2, 10) + EncodeTime(9, 0, 0, 0); });
    }
    void TearDown() override {
        SetClock({});
        FormatSettings = Saved;
        TEditorTest::TearDown();
    }
    // The text typed into the open editor, then validated as Enter or a closing container would.
    void TypeAndValidate(const std::string& S, bool Closing = false) {
        Edit->SetText(S);
        Edit->SetModified(true);
        Edit->Closing = Closing;
        Edit->Validate();
    }
};

TDateTime Day(int M, int D) { return EncodeDate(2024, M, D); }
}  // namespace

TEST_F(DateEditTest, DateWordsWithOffsets) {
    const struct {
        const char* Text;
        TDateTime Expected;
    } Cases[] = {
        {"today +3", Day(2, 13)}, {"today+x", Day(2, 10)},   {"TODAY +", Day(2, 10)},  {"Tomorrow-1", Day(2, 10)},
        {"yesterday", Day(2, 9)}, {"eom", Day(2, 29)},       {"BOM - 1", Day(1, 31)},  {"saturday", Day(2, 10)},
        {"Sunday", Day(2, 11)},   {"first", Day(2, 4)},      {"seventh", Day(2, 10)},
    };
    for (const auto& C : Cases) {
        TDateTime D = 0;
        EXPECT_TRUE(ParseDateWord(C.Text, D)) << C.Text;
        EXPECT_EQ(C.Expected, D) << C.Text;
    }
    TDateTime D = 0;
    EXPECT_TRUE(ParseDateWord("now", D));
    EXPECT_DOUBLE_EQ(Day(2, 10) + EncodeTime(9, 0, 0, 0), D);
    EXPECT_FALSE(ParseDateWord("someday", D));
}

TEST_F(DateEditTest, TypedTextToDate) {
    TDateTime D = 0;
    ASSERT_TRUE(TextToDate(" 1.2.2003 ", D));
    EXPECT_EQ(EncodeDate(2003, 2, 1), D);
    ASSERT_TRUE(TextToDate("01.02.2003", D));
    EXPECT_EQ(EncodeDate(2003, 2, 1), D);
    EXPECT_FALSE(TextToDate("  ", D));
    EXPECT_FALSE(TextToDate("abc", D));
}

TEST_F(DateEditTest, EmptyTextIsTheNullDateWhateverTheFallback) {
    Edit->DateOnError = deToday;
    Open(Variant::FromDateTime(Day(3, 1)));
    TypeAndValidate("");
    EXPECT_EQ(NullDate, Edit->DateValue());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_TRUE(V.IsNull());
}

TEST_F(DateEditTest, UnreadableTextFallsBackOrIsRefused) {
    Open(Variant::FromDateTime(Day(3, 1)));
    TypeAndValidate("abc");
    EXPECT_EQ(NullDate, Edit->DateValue());

    Edit->DateOnError = deToday;
    TypeAndValidate("abc");
    EXPECT_EQ(Day(2, 10), Edit->DateValue());

    Edit->DateValidation = true;
    try {
        TypeAndValidate("abc");
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(InvalidDateText, E.Message());
    }
    EXPECT_EQ("abc", Edit->Text());
    EXPECT_EQ(Day(2, 10), Edit->DateValue());
}

TEST_F(DateEditTest, HandlerCorrectsOrRefuses) {
    Edit->DateValidation = true;
    std::vector<bool> Seen;
    Edit->OnDateValidateInput = TdxDateValidateInput::FromFunction(
        [&](TObject*, const std::string& T, TDateTime& D, std::string& M, bool& Error) {
            Seen.push_back(Error);
            if (T == "abc") {
                D = Day(5, 5);
                Error = false;
            } else if (T == "today") {
                M = "not today";
                Error = true;
            }
        });
    Open(Null());
    TypeAndValidate("abc");
    EXPECT_EQ(Day(5, 5), Edit->DateValue());
    EXPECT_THROW(TypeAndValidate("today"), Exception);
    EXPECT_EQ((std::vector<bool>{true, false}), Seen);
}

// A valid date typed under the strict validation reaches the cell when the container closes the
// editor; only an unreadable one is thrown away then.
TEST_F(DateEditTest, ClosingKeepsAValidDateAndDropsAnUnreadableOne) {
    Edit->DateValidation = true;
    Open(Variant::FromDateTime(Day(3, 1)));
    TypeAndValidate("04.05.2024", true);
    EXPECT_EQ(Day(5, 4), Edit->DateValue());
    TypeAndValidate("abc", true);
    EXPECT_EQ("", Edit->Text());
    EXPECT_EQ(Day(5, 4), Edit->DateValue());
}

TEST_F(DateEditTest, EditMaskFromTheShortDate) {
    ShortDateFormat = "d.M.yyyy";
    EXPECT_EQ("!99.99.9999;1; ", DateMaskFromFormat());
    EXPECT_EQ("dd.MM.yyyy", MaskDateFormat());
    ShortDateFormat = "dd.MMMMM.yy";
    EXPECT_EQ("!99.lll.99;1; ", DateMaskFromFormat());
    EXPECT_EQ("dd.MMM.yy", MaskDateFormat());
    ShortDateFormat = "dd.MM.yyyy";

    Edit->SetUseEditMask(true);
    Open(Variant::FromDateTime(Day(2, 1)));
    EXPECT_EQ("01.02.2024", Edit->Text());
    Edit->SetEditValue(Null());
    std::string S = "x";
    Edit->GetEditingText(S);
    EXPECT_EQ("", S);
    Edit->SetUseEditMask(false);
    EXPECT_FALSE(Edit->IsMasked());
}

TEST_F(DateEditTest, NewDateFiresForUserChangesOnly) {
    int NewDates = 0;
    Edit->OnNewDate = TNotifyEvent::FromFunction([&](TObject*) { ++NewDates; });
    Open(Variant::FromDateTime(Day(3, 1)));
    EXPECT_EQ(0, NewDates);
    TypeAndValidate("tomorrow");
    EXPECT_EQ(1, NewDates);
    EXPECT_EQ(Day(2, 11), Edit->DateValue());
    EXPECT_FALSE(Edit->TextEdited());
}

TEST_F(DateEditTest, CalendarPickKeepsTheTimeOfDay) {
    Open(Variant::FromDateTime(EncodeDate(2003, 2, 1) + EncodeTime(10, 30, 0, 0)));
    TDateTime Typed = 0;
    EXPECT_TRUE(TextToDate(Edit->Text(), Typed)) << Edit->Text();
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DatePopup());
    EXPECT_TRUE(Edit->DroppedDown);
    EXPECT_EQ(EncodeDate(2003, 2, 1), Edit->DatePopup()->SelectedDate());
    EXPECT_TRUE(Edit->DatePopup()->ClearVisible);
    Edit->DatePopup()->SelectDate(EncodeDate(2003, 2, 14));
    Edit->DatePopup()->DoDateChosen();
    EXPECT_DOUBLE_EQ(EncodeDate(2003, 2, 14) + EncodeTime(10, 30, 0, 0), Edit->DateValue());
    EXPECT_TRUE(Edit->GetModified());
}

namespace {
class TRequiredDateEdit : public TdxInplaceDateEdit {
    DECLARE_CLASS(TRequiredDateEdit, TdxInplaceDateEdit)
public:
    using TdxInplaceDateEdit::TdxInplaceDateEdit;
    bool ValueRequired() override { return true; }
};
struct RequiredDateEditTest : TEditorTest<TRequiredDateEdit> {};
}  // namespace

TEST_F(RequiredDateEditTest, PopupOffersNoClearForARequiredValue) {
    Open(Null());
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DatePopup());
    EXPECT_FALSE(Edit->DatePopup()->ClearVisible);
    EXPECT_TRUE(Edit->DatePopup()->TodayVisible);
}
