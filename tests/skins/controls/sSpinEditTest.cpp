// Spin edits and the time picker on the standard path (the program's): values read from and written
// to the text, keys, buttons, the wheel, leaving the control, and the layout of the button pair.
#include "../engine/SkinTestSupport.h"

#include "DateUtils.h"
#include "Streams.h"
#include "TestSupport.h"
#include "sSpinEdit.h"

using namespace skintests;

namespace {

class sSpinEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sSpinEditInitialization();
    }
    TsSpinEdit* PlaceSpin(int Min, int Max, const std::string& Text = "") {
        auto* E = Place<TsSpinEdit>(20, 20, 121, 21);
        E->SetMinValue(Min);
        E->SetMaxValue(Max);
        E->SetText(Text);
        E->HandleNeeded();
        return E;
    }
    static void Key(TWinControl* C, WPARAM VKey) { SendMessageA(C->Handle(), WM_KEYDOWN, VKey, 1); }
    static void Char(TWinControl* C, char Ch) { SendMessageA(C->Handle(), WM_CHAR, static_cast<BYTE>(Ch), 1); }
};

TEST_F(sSpinEditTest, ValueReadsTheTextWithoutClampingAndNeverRaises) {
    struct Case {
        const char* Text;
        int Min, Max, Value;
    } Cases[] = {
        {"", 1, 7, 1}, {"abc", 1, 7, 1}, {"99", 1, 7, 99}, {"-3", 0, 24, -3}, {"$10", 0, 0, 16}, {"99999999999", 5, 9, 5},
    };
    for (const Case& C : Cases) {
        TsSpinEdit* E = PlaceSpin(C.Min, C.Max, C.Text);
        EXPECT_EQ(E->GetValue(), C.Value) << C.Text;
        E->Free();
    }
}

TEST_F(sSpinEditTest, SettingValueWritesTheClampedDecimalText) {
    struct Case {
        int Min, Max, Value;
        const char* Text;
    } Cases[] = {
        {1, 7, 0, "1"}, {1, 7, 9, "7"}, {1, 7, 4, "4"}, {0, 0, -5, "-5"}, {0, 0, 123456, "123456"}, {0, 1440, 1441, "1440"},
    };
    for (const Case& C : Cases) {
        TsSpinEdit* E = PlaceSpin(C.Min, C.Max);
        E->SetValue(C.Value);
        EXPECT_EQ(E->Text(), C.Text) << C.Min << ".." << C.Max << " := " << C.Value;
        E->Free();
    }
}

TEST_F(sSpinEditTest, LeavingRewritesOnlyAValueOutsideTheRange) {
    const std::pair<const char*, const char*> Cases[] = {{"99", "7"}, {"", ""}, {"abc", "abc"}, {"0", "1"}, {"5", "5"}};
    for (auto [Before, After] : Cases) {
        TsSpinEdit* E = PlaceSpin(1, 7, Before);
        E->Perform(CM_EXIT, 0, 0);
        EXPECT_EQ(E->Text(), After) << Before;
        E->Free();
    }
}

TEST_F(sSpinEditTest, ArrowKeysButtonsAndWheelStepWithinTheRange) {
    TsSpinEdit* E = PlaceSpin(0, 1440, "1440");
    Key(E, VK_UP);
    EXPECT_EQ(E->Text(), "1440");
    Key(E, VK_DOWN);
    EXPECT_EQ(E->Text(), "1439");
    E->ButtonPair()->UpHalf->Click();
    EXPECT_EQ(E->Text(), "1440");
    E->ButtonPair()->DownHalf->Click();
    E->ButtonPair()->DownHalf->Click();
    EXPECT_EQ(E->Text(), "1438");
    E->SetValue(0);
    SendMessageA(E->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(E->Text(), "0");
    E->SetIncrement(5);
    SendMessageA(E->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(E->Text(), "10") << "two notches of five";
}

TEST_F(sSpinEditTest, UpDownHandlersReplaceTheStepAndReadOnlyStepsNothing) {
    TsSpinEdit* E = PlaceSpin(1, 7, "3");
    int Ups = 0;
    E->OnUpClick = TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, E);
        ++Ups;
    });
    Key(E, VK_UP);
    E->ButtonPair()->UpHalf->Click();
    EXPECT_EQ(Ups, 2);
    EXPECT_EQ(E->Text(), "3");
    E->SetReadOnly(true);
    Key(E, VK_DOWN);
    E->ButtonPair()->DownHalf->Click();
    EXPECT_EQ(E->Text(), "3");
    EXPECT_EQ(Ups, 2);
}

TEST_F(sSpinEditTest, KeyFilterTakesDigitsOnly) {
    TsSpinEdit* E = PlaceSpin(0, 100, "");
    for (char C : {'1', '-', '+', 'a', '2', '.', '\r'})
        Char(E, C);
    EXPECT_EQ(E->Text(), "12");
    TsBaseSpinEdit* Base = E;
    EXPECT_TRUE(Base->TsBaseSpinEdit::IsValidChar('-')) << "the base filter takes signs";
    EXPECT_FALSE(E->IsValidChar('-'));
}

TEST_F(sSpinEditTest, WithoutEditorOnlyTheButtonsAndArrowsChangeTheValue) {
    TsSpinEdit* E = PlaceSpin(0, 100, "12");
    E->SetEditorEnabled(false);
    SendMessageA(E->Handle(), EM_SETSEL, 2, 2);
    Char(E, '3');
    Char(E, '\b');
    EXPECT_EQ(E->Text(), "12");
    E->SelectAll();
    SendMessageA(E->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(E->Text(), "12");
    Key(E, VK_UP);
    EXPECT_EQ(E->Text(), "13");
    E->ButtonPair()->DownHalf->Click();
    EXPECT_EQ(E->Text(), "12");
}

TEST_F(sSpinEditTest, ButtonPairFillsTheClientHeightAtTheRightEdge) {
    TsSpinEdit* E = PlaceSpin(0, 10);
    TsSpinButton* Pair = E->ButtonPair();
    EXPECT_EQ(Pair->Parent(), E);
    EXPECT_EQ(Pair->Height(), 17);
    EXPECT_EQ(Pair->Left(), 121 - Pair->Width() - 4);
    EXPECT_EQ(Pair->UpHalf->Height(), 8);
    EXPECT_EQ(Pair->DownHalf->Top(), 8);
    EXPECT_EQ(Pair->DownHalf->Height(), 9);
    RECT R;
    SendMessageA(E->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    EXPECT_LE(R.right, 121 - Pair->Width() - 3);
    E->SetHeight(31);
    EXPECT_EQ(Pair->Height(), 27);
    EXPECT_EQ(Pair->UpHalf->Height(), 13);
}

TEST_F(sSpinEditTest, HeldHalfRepeatsUntilReleased) {
    TsSpinEdit* E = PlaceSpin(0, 1000, "0");
    Form->Update();
    HWND PairWnd = E->ButtonPair()->Handle();
    SendMessageA(PairWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
    EXPECT_TRUE(testing_support::PumpUntil([&] { return E->GetValue() >= 2; }, 5000)) << "400 ms, then every 100 ms";
    int Held = E->GetValue();
    SendMessageA(PairWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 3));
    EXPECT_EQ(E->GetValue(), Held + 1) << "one more click on release";
    Pump();
    Sleep(150);
    Pump();
    EXPECT_EQ(E->GetValue(), Held + 1) << "released: no more repeats";
}

TEST_F(sSpinEditTest, StreamedTextDecidesTheValue) {
    TOwned<TsSpinEdit> Written(Create<TsSpinEdit>(nullptr));
    Written->SetMinValue(1);
    Written->SetMaxValue(31);
    Written->SetText("12");
    Written->SetAlignment(taRightJustify);
    TOwned<TMemoryStream> Stream(Create<TMemoryStream>());
    Stream->WriteComponent(Written.get());
    Stream->SetPosition(0);
    TOwned<TsSpinEdit> Read(Create<TsSpinEdit>(nullptr));
    Stream->ReadComponent(Read.get());
    EXPECT_EQ(Read->MinValue(), 1);
    EXPECT_EQ(Read->MaxValue(), 31);
    EXPECT_EQ(Read->GetValue(), 12);
    EXPECT_EQ(Read->Alignment(), taRightJustify);
    EXPECT_EQ(Read->ComponentCount(), Written->ComponentCount()) << "the button pair is not streamed";
}

// ---------------------------------------------------------------------------------------------
// Time picker

class sTimePickerTest : public sSpinEditTest {
protected:
    TsTimePicker* PlacePicker(const std::string& Text = "00:00:00") {
        auto* P = Place<TsTimePicker>(20, 60, 121, 21);
        P->HandleNeeded();
        P->SetText(Text);
        return P;
    }
    static void Caret(TsTimePicker* P, int Pos) { P->SetSelStart(Pos - 1), P->SetSelLength(0), P->Perform(WM_LBUTTONUP, 0, 0); }
    static TDateTime Hms(int H, int M, int S) { return (H * 3600000.0 + M * 60000.0 + S * 1000.0) / 86400000.0; }
};

TEST_F(sTimePickerTest, SetTimeWritesHoursMinutesAndSeconds) {
    struct Case {
        TDateTime Value;
        bool Seconds;
        const char* Text;
    } Cases[] = {
        {0.75, true, "18:00:00"},           {45000.5, true, "12:00:00"}, {0.999999999, true, "00:00:00"},
        {0.5 + 59 / 86400.0, false, "12:00"}, {-0.25, true, "06:00:00"},  {Hms(7, 5, 3), true, "07:05:03"},
    };
    for (const Case& C : Cases) {
        TsTimePicker* P = PlacePicker();
        P->SetShowSeconds(C.Seconds);
        P->SetTime(C.Value);
        EXPECT_EQ(P->Text(), C.Text) << C.Value;
        P->Free();
    }
}

TEST_F(sTimePickerTest, GetTimeReadsOnlyAWholeValidText) {
    struct Case {
        const char* Text;
        bool Seconds;
        TDateTime Value;
    } Cases[] = {
        {"18:30:15", true, Hms(18, 30, 15)}, {"24:00:00", true, 0}, {"12:60:00", true, 0}, {"1:00:00", true, 0},
        {"", true, 0},                        {"ab:00:00", true, 0}, {"12:00", false, 0.5}, {"12:00:00", false, 0},
    };
    for (const Case& C : Cases) {
        TsTimePicker* P = PlacePicker();
        P->SetShowSeconds(C.Seconds);
        P->SetText(C.Text);
        EXPECT_DOUBLE_EQ(P->GetTime(), C.Value) << C.Text;
        P->Free();
    }
}

TEST_F(sTimePickerTest, TypingOverwritesDigitsAndRefusesImpossibleOnes) {
    TsTimePicker* P = PlacePicker();
    Caret(P, 1);
    Char(P, '2');
    EXPECT_EQ(P->Text(), "20:00:00");
    EXPECT_EQ(P->CaretPos(), 2);
    Char(P, '5');
    EXPECT_EQ(P->Text(), "20:00:00") << "25 is no hour";
    EXPECT_EQ(P->CaretPos(), 2);
    Char(P, '3');
    EXPECT_EQ(P->Text(), "23:00:00");
    EXPECT_EQ(P->CaretPos(), 4) << "the colon is skipped";
    Char(P, '7');
    EXPECT_EQ(P->Text(), "23:00:00") << "no 70 minutes";
    Char(P, '5');
    Char(P, '9');
    EXPECT_EQ(P->Text(), "23:59:00");
    EXPECT_EQ(P->CaretPos(), 7);
}

TEST_F(sTimePickerTest, BackspaceAndDeleteWriteZeros) {
    TsTimePicker* P = PlacePicker("12:34:56");
    Caret(P, 5);
    Key(P, VK_BACK);
    EXPECT_EQ(P->Text(), "12:30:56");
    EXPECT_EQ(P->CaretPos(), 4);
    Caret(P, 8);
    Key(P, VK_DELETE);
    EXPECT_EQ(P->Text(), "12:30:50");
    EXPECT_EQ(P->CaretPos(), 8);
    P->SelectAll();
    Key(P, VK_DELETE);
    EXPECT_EQ(P->Text(), "00:00:00");
    EXPECT_EQ(P->CaretPos(), 1);
}

TEST_F(sTimePickerTest, StepsWrapAndCarry) {
    struct Case {
        const char* Text;
        bool Seconds, Twelve;
        int Caret;
        WPARAM Key;
        const char* After;
    } Cases[] = {
        {"23:59:59", true, false, 8, VK_UP, "00:00:00"},   {"00:00", false, false, 5, VK_DOWN, "23:59"},
        {"11:00:00", true, true, 1, VK_UP, "00:00:00"},    {"15:00:00", true, true, 2, VK_UP, "04:00:00"},
        {"10:00:00", true, false, 4, VK_DOWN, "09:59:00"}, {"ab:00:00", true, false, 1, VK_UP, "01:00:00"},
    };
    for (const Case& C : Cases) {
        TsTimePicker* P = PlacePicker();
        P->SetShowSeconds(C.Seconds);
        P->SetUse12Hour(C.Twelve);
        P->SetText(C.Text);
        Caret(P, C.Caret);
        Key(P, C.Key);
        EXPECT_EQ(P->Text(), C.After) << C.Text;
        EXPECT_EQ(P->SelLength(), 2) << "the stepped part is selected";
        P->Free();
    }
}

TEST_F(sTimePickerTest, ReadOnlyPickerIgnoresStepsAndClipboardKeysChangeNothing) {
    TsTimePicker* P = PlacePicker("08:15:00");
    P->SetReadOnly(true);
    Caret(P, 4);
    Key(P, VK_UP);
    P->ButtonPair()->DownHalf->Click();
    EXPECT_EQ(P->Text(), "08:15:00");
    P->SetReadOnly(false);
    for (char C : {'\x16', '\x18', 'x', ' '})
        Char(P, C);
    EXPECT_EQ(P->Text(), "08:15:00");
}

TEST_F(sTimePickerTest, SwitchingSecondsKeepsTheTime) {
    TsTimePicker* P = PlacePicker("07:45:30");
    P->SetShowSeconds(false);
    EXPECT_EQ(P->Text(), "07:45");
    P->SetShowSeconds(true);
    EXPECT_EQ(P->Text(), "07:45:00");
    P->SetText("garbage");
    P->SetShowSeconds(false);
    EXPECT_EQ(P->Text(), "00:00");
}

}  // namespace
