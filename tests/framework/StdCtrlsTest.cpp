// Standard controls: read from a form resource, their state in the live windows, the click rules of
// check boxes and radio buttons, live lines and items with and without windows, owner drawing.
#include "ControlTestSupport.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class TStdCtlTestForm : public TForm {
    DECLARE_CLASS(TStdCtlTestForm, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TStdCtlTestForm>& B) {
        B.Field("lblName", &TStdCtlTestForm::lblName);
        B.Field("edName", &TStdCtlTestForm::edName);
        B.Field("edPassword", &TStdCtlTestForm::edPassword);
        B.Field("mmNotes", &TStdCtlTestForm::mmNotes);
        B.Field("cbArch", &TStdCtlTestForm::cbArch);
        B.Field("gbKind", &TStdCtlTestForm::gbKind);
        B.Field("rbDaily", &TStdCtlTestForm::rbDaily);
        B.Field("rbWeekly", &TStdCtlTestForm::rbWeekly);
        B.Field("cmbServer", &TStdCtlTestForm::cmbServer);
        B.Field("lbDatabases", &TStdCtlTestForm::lbDatabases);
        B.Method<&TStdCtlTestForm::edNameChange>("edNameChange");
        B.Method<&TStdCtlTestForm::cbArchClick>("cbArchClick");
        B.Method<&TStdCtlTestForm::rbClick>("rbClick");
        B.Method<&TStdCtlTestForm::cmbServerChange>("cmbServerChange");
        B.Method<&TStdCtlTestForm::cmbServerCloseUp>("cmbServerCloseUp");
    }
    TLabel* lblName = nullptr;
    TEdit* edName = nullptr;
    TEdit* edPassword = nullptr;
    TMemo* mmNotes = nullptr;
    TCheckBox* cbArch = nullptr;
    TGroupBox* gbKind = nullptr;
    TRadioButton* rbDaily = nullptr;
    TRadioButton* rbWeekly = nullptr;
    TComboBox* cmbServer = nullptr;
    TListBox* lbDatabases = nullptr;
    int NameChanges = 0, ArchClicks = 0, ServerChanges = 0, CloseUps = 0;
    std::vector<std::string> RadioClicks;
    void edNameChange(TObject*) { ++NameChanges; }
    void cbArchClick(TObject*) { ++ArchClicks; }
    void rbClick(TObject* Sender) { RadioClicks.push_back(static_cast<TComponent*>(Sender)->Name()); }
    void cmbServerChange(TObject*) { ++ServerChanges; }
    void cmbServerCloseUp(TObject*) { ++CloseUps; }
};

std::string WindowText(HWND Wnd) {
    char Buf[256] = {};
    GetWindowTextA(Wnd, Buf, sizeof(Buf));
    return Buf;
}

class StdCtrlsTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        StdCtrlsInitialization();
    }
    // A form with no resource and one control of class T on it.
    template <class T>
    T* OnNewForm(bool Show = true) {
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(50, 50, 400, 300);
        auto* C = Create<T>(Form);
        C->SetParent(Form);
        if (Show)
            Form->Show();
        return C;
    }
    TForm* Form = nullptr;
};

TEST_F(StdCtrlsTest, ControlsReadFromAFormKeepTheirStreamedPropertiesInTheLiveWindows) {
    auto* F = Create<TStdCtlTestForm>(nullptr);
    // Loading ran no click and no change handler.
    EXPECT_EQ(F->ArchClicks, 0);
    EXPECT_TRUE(F->RadioClicks.empty());
    EXPECT_EQ(F->cmbServer->ItemIndex(), 1);  // streamed before its items
    F->Show();
    Pump();

    char Cls[64];
    GetClassNameA(F->edName->Handle(), Cls, sizeof(Cls));
    EXPECT_STREQ(Cls, "TEdit");
    EXPECT_EQ(WindowText(F->edName->Handle()), "Backup");
    EXPECT_EQ(SendMessageA(F->edName->Handle(), EM_GETLIMITTEXT, 0, 0), 20);
    EXPECT_EQ(SendMessageA(F->edPassword->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_TRUE(GetWindowLongA(F->edPassword->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(F->mmNotes->Lines()->Count(), 2);
    EXPECT_EQ(F->mmNotes->Lines()->Strings(1), "second line");
    EXPECT_EQ(WindowText(F->mmNotes->Handle()), "first line\r\nsecond line\r\n");
    EXPECT_TRUE(GetWindowLongA(F->mmNotes->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(GetWindowLongA(F->mmNotes->Handle(), GWL_STYLE) & ES_AUTOHSCROLL);  // WordWrap off
    EXPECT_EQ(SendMessageA(F->cbArch->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(F->rbDaily->Parent(), F->gbKind);
    EXPECT_EQ(SendMessageA(F->rbDaily->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(F->rbWeekly->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(F->cmbServer->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(F->cmbServer->Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(F->cmbServer->Text(), "beta");
    EXPECT_EQ(F->lbDatabases->Items()->Strings(0), "master");  // sorted
    EXPECT_EQ(SendMessageA(F->lbDatabases->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(F->lblName->Caption(), "&Name");
    EXPECT_GT(F->lblName->Width(), 0);  // sized to its caption
    // Children of the group box sit below its caption.
    EXPECT_GT(F->gbKind->ClientRect().Bottom, 0);
    F->Free();
}

TEST_F(StdCtrlsTest, CheckBoxStateSetInCodeClicksOnlyWhenItChanges) {
    auto* C = OnNewForm<TCheckBox>();
    int Clicks = 0;
    C->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
    C->SetChecked(true);
    EXPECT_EQ(Clicks, 1);
    C->SetChecked(true);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(C->State(), cbChecked);
    EXPECT_EQ(SendMessageA(C->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    C->SetState(cbUnchecked);
    EXPECT_EQ(Clicks, 2);
    EXPECT_FALSE(C->Checked());
}

TEST_F(StdCtrlsTest, CheckBoxClickedByTheUserToggles) {
    struct TCase {
        bool AllowGrayed;
        TCheckBoxState From, To;
    };
    const TCase Cases[] = {{false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked},
                           {true, cbUnchecked, cbGrayed},   {true, cbGrayed, cbChecked},
                           {false, cbGrayed, cbChecked}};
    auto* C = OnNewForm<TCheckBox>();
    for (const TCase& T : Cases) {
        C->SetAllowGrayed(T.AllowGrayed);
        C->SetState(T.From);
        int Clicks = 0;
        C->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
        SendMessageA(C->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(C->State(), T.To) << T.From;
        EXPECT_EQ(SendMessageA(C->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(T.To));
        EXPECT_EQ(Clicks, 1);
        C->OnClick = nullptr;
    }
}

TEST_F(StdCtrlsTest, CheckingARadioButtonUnchecksItsSiblingsAndClicksOnce) {
    auto* F = Create<TStdCtlTestForm>(nullptr);
    F->Show();
    F->rbWeekly->SetChecked(true);
    EXPECT_FALSE(F->rbDaily->Checked());
    EXPECT_EQ(SendMessageA(F->rbDaily->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(F->RadioClicks, std::vector<std::string>{"rbWeekly"});
    // Unchecking runs nothing; checking an already checked one neither.
    F->rbWeekly->SetChecked(false);
    F->rbDaily->SetChecked(false);
    EXPECT_EQ(F->RadioClicks.size(), 1u);
    // The user's click checks it.
    SendMessageA(F->rbDaily->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(F->rbDaily->Checked());
    EXPECT_EQ(F->RadioClicks.back(), "rbDaily");
    // A radio button on another parent is not a sibling.
    EXPECT_EQ(F->cbArch->Parent(), F);
    F->Free();
}

TEST_F(StdCtrlsTest, EditKeepsItsStateAcrossItsWindowAndReportsChanges) {
    auto* E = OnNewForm<TEdit>(false);
    int Changes = 0;
    E->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    E->SetAutoSelect(false);  // the focus would select everything
    E->SetText("abcdef");
    E->SetSelStart(2);
    E->SetSelLength(3);
    E->SetMaxLength(-5);  // ignored
    E->SetMaxLength(8);
    EXPECT_EQ(E->SelText(), "cde");
    EXPECT_EQ(Changes, 0);  // no window yet: nothing to report
    Form->Show();
    ASSERT_TRUE(E->HandleAllocated());
    EXPECT_EQ(E->SelText(), "cde");
    EXPECT_EQ(SendMessageA(E->Handle(), EM_GETLIMITTEXT, 0, 0), 8);
    EXPECT_FALSE(E->Modified());
    SendMessageA(E->Handle(), WM_CHAR, 'x', 0);  // typed over the selection
    EXPECT_EQ(E->Text(), "abxf");
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(E->Modified());
    E->SetPasswordChar('#');
    E->SetCharCase(ecUpperCase);  // re-creates the window
    EXPECT_EQ(E->Text(), "ABXF");
    EXPECT_EQ(SendMessageA(E->Handle(), EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_TRUE(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_UPPERCASE);
    EXPECT_TRUE(E->Modified());  // kept across the new window
    E->SetText("new");  // the program's text is no user's change
    EXPECT_EQ(Changes, 2);
    EXPECT_FALSE(E->Modified());
}

TEST_F(StdCtrlsTest, MemoLinesAreTheMemoTextWithAndWithoutAWindow) {
    for (bool Show : {false, true}) {
        auto* M = OnNewForm<TMemo>(Show);
        TStrings* L = M->Lines();
        L->Add("one");
        L->Add("three");
        L->Insert(1, "two");
        EXPECT_EQ(M->Text(), "one\r\ntwo\r\nthree\r\n") << Show;
        L->SetStrings(0, "ONE");
        L->Delete(2);
        EXPECT_EQ(L->Count(), 2);
        EXPECT_EQ(L->Text(), "ONE\r\ntwo\r\n");
        EXPECT_THROW(L->Strings(2), EStringListError);
        EXPECT_THROW(L->Insert(5, "x"), EStringListError);
        L->SetText("a\nb\rc");  // any line break becomes the memo's own
        EXPECT_EQ(M->Text(), "a\r\nb\r\nc");
        EXPECT_EQ(L->Count(), 3);
        if (Show) {
            EXPECT_EQ(SendMessageA(M->Handle(), EM_GETLINECOUNT, 0, 0), 3);
        }
        Form->Free();
    }
}

TEST_F(StdCtrlsTest, ComboBoxItemsAndSelectionSurviveItsWindow) {
    auto* C = OnNewForm<TComboBox>(false);
    C->Items()->Add("one");
    C->Items()->Add("two");
    C->SetItemIndex(1);
    EXPECT_EQ(C->Text(), "two");
    Form->Show();
    EXPECT_EQ(SendMessageA(C->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(C->ItemIndex(), 1);
    // Out of range selects nothing and raises nothing.
    for (int Bad : {2, 100, -7}) {
        C->SetItemIndex(0);
        C->SetItemIndex(Bad);
        EXPECT_EQ(C->ItemIndex(), -1) << Bad;
    }
    C->SetItemIndex(0);
    C->SetSorted(true);  // re-creates the window
    EXPECT_EQ(C->Items()->Count(), 2);
    EXPECT_EQ(C->ItemIndex(), 0);
    C->SetStyle(csDropDownList);
    C->SetText("two");
    EXPECT_EQ(C->ItemIndex(), 1);
    C->SetText("absent");
    EXPECT_EQ(C->ItemIndex(), -1);
    EXPECT_THROW(C->Items()->Delete(5), EStringListError);
}

TEST_F(StdCtrlsTest, ComboBoxSelectionByTheUserRunsChangeAndCloseUp) {
    auto* F = Create<TStdCtlTestForm>(nullptr);
    F->Show();
    TComboBox* C = F->cmbServer;
    C->SetDroppedDown(true);
    EXPECT_TRUE(C->DroppedDown());
    // The list's selection as the keyboard makes it, then the list closes.
    SendMessageA(C->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    C->SetDroppedDown(false);
    Pump();
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_EQ(C->Text(), "gamma");
    EXPECT_GE(F->ServerChanges, 1);
    EXPECT_EQ(F->CloseUps, 1);
    F->Free();
}

TEST_F(StdCtrlsTest, ListBoxMultiSelectionSurvivesItsWindow) {
    auto* L = OnNewForm<TListBox>(false);
    L->SetMultiSelect(true);
    for (const char* S : {"a", "b", "c"})
        L->Items()->Add(S);
    L->SetSelected(0, true);
    L->SetSelected(2, true);
    Form->Show();
    EXPECT_EQ(L->SelCount(), 2);
    EXPECT_TRUE(L->Selected(2));
    EXPECT_FALSE(L->Selected(1));
    EXPECT_THROW(L->Selected(3), EListError);
}

// Each style through a window that is made again several times: items, selection and (owner-drawn
// variable) the measured heights come back, and painting runs through the new windows.
TEST_F(StdCtrlsTest, ListBoxSurvivesItsWindowMadeAgainInEveryStyle) {
    for (TListBoxStyle Style : {lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable}) {
        auto* L = OnNewForm<TListBox>();
        int Drawn = 0;
        L->OnMeasureItem = TMeasureItemEvent::FromFunction([](TWinControl*, int Index, int& Height) {
            Height = 10 + 4 * Index;
        });
        L->OnDrawItem = TDrawItemEvent::FromFunction([&Drawn](TWinControl*, int, TRect, TOwnerDrawState) { ++Drawn; });
        for (const char* S : {"alpha", "bravo", "charlie"})
            L->Items()->Add(S);
        L->SetItemIndex(1);
        L->SetStyle(Style);
        HWND First = L->Handle();
        for (int I = 0; I < 3; ++I) {
            L->RecreateWnd();
            Pump();
        }
        SCOPED_TRACE(static_cast<int>(Style));
        EXPECT_TRUE(IsWindow(L->Handle()));
        EXPECT_NE(L->Handle(), First);
        EXPECT_EQ(L->Items()->Count(), 3);
        EXPECT_EQ(L->Items()->Strings(2), "charlie");
        EXPECT_EQ(L->ItemIndex(), 1);
        if (Style == lbOwnerDrawVariable) {
            EXPECT_EQ(L->ItemRect(0).Height(), 10);
            EXPECT_EQ(L->ItemRect(2).Height(), 18);
        }
        if (Style != lbStandard) {
            RedrawWindow(L->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            EXPECT_GT(Drawn, 0);
        }
        // The window's messages still reach the object: a new item is measured and kept.
        L->Items()->Add("delta");
        EXPECT_EQ(L->Items()->IndexOf("delta"), 3);
        // Whole items only: a new window again, and sizes the window rounds to its items.
        L->SetIntegralHeight(true);
        L->SetBounds(0, 0, 120, 75);
        Pump();
        EXPECT_EQ(L->Items()->Count(), 4);
        EXPECT_LE(L->Height(), 75);
        Form->Free();
        Form = nullptr;
    }
}

// A window made again while its parent's window is made again as well (a form's border change).
TEST_F(StdCtrlsTest, OwnerDrawnListBoxFollowsItsParentsNewWindow) {
    auto* L = OnNewForm<TListBox>();
    L->SetStyle(lbOwnerDrawVariable);
    L->OnMeasureItem = TMeasureItemEvent::FromFunction([](TWinControl*, int, int& Height) { Height = 21; });
    L->Items()->Add("one");
    L->Items()->Add("two");
    Form->RecreateWnd();
    Pump();
    ASSERT_TRUE(L->HandleAllocated());
    EXPECT_EQ(GetParent(L->Handle()), Form->Handle());
    EXPECT_EQ(L->ItemRect(1).Height(), 21);
    EXPECT_EQ(L->Items()->Count(), 2);
}

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsControl) {
    auto* F = Create<TStdCtlTestForm>(nullptr);
    F->Show();
    F->cbArch->SetFocus();
    EXPECT_EQ(F->lblName->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    EXPECT_EQ(F->lblName->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_TRUE(F->edName->Focused());
    // Freeing the control empties the reference.
    F->edName->Free();
    EXPECT_EQ(F->lblName->FocusControl(), nullptr);
    F->Free();
}

}  // namespace
