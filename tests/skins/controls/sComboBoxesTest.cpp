// Combo boxes built from the bottom: items held by the window, the window made again with its items
// and selection, notifications as events, the drop-down's size, completion of typed text, the
// read-only mode, streaming, and on the skinned path the list's scroll-bar hook and the button.
#include "SkinControlsTestSupport.h"

#include "acSBUtilsCombo.h"
#include "sComboBoxes.h"
#include "sSkinManager.h"

using namespace skintests;

// Completion measures pauses between keys; the tests make one instead of waiting for it.
class TTypingCombo : public TsCommonComboBox {
    DECLARE_CLASS(TTypingCombo, TsCommonComboBox)
public:
    using TsCommonComboBox::TsCommonComboBox;
    void Pause() { FLastKeyTime -= 1000; }
};

namespace {

class sComboBoxesTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sComboBoxesInitialization();
    }
    TTypingCombo* PlaceCombo(TComboBoxStyle Style, std::initializer_list<const char*> Lines = {"alpha", "beta", "bravo", "gamma"}) {
        auto* C = Place<TTypingCombo>(20, 20, 150, 22);
        C->SetStyle(Style);
        for (const char* L : Lines)
            C->Items()->Add(L);
        return C;
    }
    static void Type(TWinControl* C, const std::string& Keys) {
        for (char K : Keys)
            C->Perform(WM_CHAR, static_cast<BYTE>(K), 1);
    }
};

TEST_F(sComboBoxesTest, ItemsLiveInTheWindow) {
    TTypingCombo* C = PlaceCombo(csDropDownList, {"one", "three"});
    C->Items()->Insert(1, "two");
    EXPECT_EQ(SendMessageA(C->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(C->Items()->Strings(1), "two");
    EXPECT_EQ(C->Items()->IndexOf("THREE"), 2) << "the window's search ignores case";
    EXPECT_EQ(C->Items()->IndexOf("four"), -1);
    TObject* Tag = C;
    C->Items()->SetObjects(2, Tag);
    EXPECT_EQ(C->Items()->Objects(2), Tag);
    EXPECT_THROW(C->Items()->Objects(7), Exception);
    C->Items()->Delete(0);
    EXPECT_EQ(C->Items()->Strings(0), "two");

    // Items of any length are read whole.
    std::string Long(5000, 'x');
    Long += "end";
    C->Items()->Add(Long);
    EXPECT_EQ(C->Items()->Strings(C->Items()->Count() - 1), Long);
}

TEST_F(sComboBoxesTest, NewWindowKeepsItemsAndSelection) {
    TTypingCombo* C = PlaceCombo(csDropDown);
    C->SetItemIndex(2);
    HWND Old = C->Handle();
    C->SetStyle(csDropDownList);
    C->SetSorted(true);
    EXPECT_NE(C->Handle(), Old);
    ASSERT_EQ(C->Items()->Count(), 4);
    EXPECT_EQ(C->Items()->Strings(2), "bravo");
    EXPECT_EQ(C->GetItemIndex(), 2);
    EXPECT_EQ(GetWindowLongA(C->Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(GetWindowLongA(C->Handle(), GWL_STYLE) & CBS_SORT);
}

TEST_F(sComboBoxesTest, NotificationsBecomeEvents) {
    TTypingCombo* C = PlaceCombo(csDropDown);
    std::vector<std::string> Events;
    C->OnSelect = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("select " + C->Text()); });
    C->OnChange = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("change"); });
    C->OnDropDown = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("drop"); });
    C->OnCloseUp = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("close"); });
    SendMessageA(C->Handle(), CB_SETCURSEL, 3, 0);
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_EDITCHANGE), 0);
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), 0);
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"select gamma", "change", "drop", "close"}));

    // Without a select handler a selection counts as a change.
    C->OnSelect = TNotifyEvent();
    Events.clear();
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"change"}));
}

TEST_F(sComboBoxesTest, DropDownTakesTheRowsOfItsItemsUpToTheCount) {
    struct Case {
        int Items, DropDownCount, Rows;
    } Cases[] = {{0, 14, 1}, {3, 14, 3}, {20, 5, 5}};
    for (const Case& K : Cases) {
        TTypingCombo* C = PlaceCombo(csDropDown, {});
        for (int I = 0; I < K.Items; ++I)
            C->Items()->Add("item " + std::to_string(I));
        C->SetDropDownCount(K.DropDownCount);
        C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), 0);
        // The closed box keeps its height; the list below it gets the rest.
        RECT R;
        SendMessageA(C->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&R));
        int ItemHt = static_cast<int>(SendMessageA(C->Handle(), CB_GETITEMHEIGHT, 0, 0));
        EXPECT_EQ(R.bottom - R.top, K.Rows * ItemHt + 2) << K.Items << " items";
        C->Free();
    }
}

TEST_F(sComboBoxesTest, ListStyleCompletionExtendsItsPrefixUntilAPause) {
    TTypingCombo* C = PlaceCombo(csDropDownList);
    Type(C, "b");
    EXPECT_EQ(C->GetItemIndex(), 1);
    Type(C, "r");
    EXPECT_EQ(C->GetItemIndex(), 2) << "br";
    EXPECT_EQ(C->Filter(), "br");
    // Backspace shortens the prefix; the selection waits for the next key.
    Type(C, "\b");
    EXPECT_EQ(C->Filter(), "b");
    EXPECT_EQ(C->GetItemIndex(), 2);
    Type(C, "e");
    EXPECT_EQ(C->GetItemIndex(), 1) << "be";
    C->Pause();
    Type(C, "g");
    EXPECT_EQ(C->GetItemIndex(), 3) << "a pause starts again";
    EXPECT_EQ(C->Filter(), "g");
}

TEST_F(sComboBoxesTest, EditableCompletionSelectsTheCompletedPart) {
    TTypingCombo* C = PlaceCombo(csDropDown);
    Type(C, "ga");
    EXPECT_EQ(C->Text(), "gamma");
    DWORD Start = 0, End = 0;
    SendMessageA(C->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    EXPECT_EQ(Start, 2u);
    EXPECT_EQ(End, 5u);
    // Backspace removes the completed part.
    Type(C, "\b");
    EXPECT_EQ(C->Text(), "ga");
    C->SetAutoComplete(false);
    C->SetText("");
    Type(C, "al");
    EXPECT_EQ(C->Text(), "al");
}

TEST_F(sComboBoxesTest, ReadOnlyTakesFocusButNoTypingOrList) {
    TTypingCombo* C = PlaceCombo(csDropDown);
    C->SetReadOnly(true);
    Form->SetActiveControl(nullptr);
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(140, 10));
    EXPECT_TRUE(C->Focused());
    EXPECT_FALSE(C->DroppedDown());
    Type(C, "ga");
    EXPECT_EQ(C->Text(), "");
    int Changes = 0;
    C->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    C->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_EDITCHANGE), 0);
    EXPECT_EQ(Changes, 0);
}

TEST_F(sComboBoxesTest, StreamedIndexWaitsForTheItems) {
    ReadFormText(Form, "object F: TForm\n"
                       "  object cbKind: TsCommonComboBox\n"
                       "    Left = 8\n    Top = 8\n    Width = 120\n    Height = 22\n"
                       "    ItemIndex = 1\n    MaxLength = -4\n    Style = csDropDownList\n"
                       "    Items.Strings = (\n      'daily'\n      'weekly'\n      'monthly')\n"
                       "  end\nend\n");
    auto* C = DynCast<TsCommonComboBox>(Form->FindComponent("cbKind"));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Items()->Count(), 3);
    EXPECT_EQ(C->GetItemIndex(), 1);
    EXPECT_EQ(C->Text(), "weekly");
    EXPECT_EQ(C->MaxLength(), 0);
    EXPECT_EQ(C->SkinData()->SkinSection(), "COMBOBOX");
}

// ---------------------------------------------------------------------------------------------
// Extended combo box

class sComboBoxExTest : public sComboBoxesTest {
protected:
    // A 22-pixel-high extended combo box whose three items have images 0, 1 and 2 (1 and 2 being the
    // selected images of the first two) and indents 0, 2 and 0.
    TsComboBoxEx* PlaceEx(TCustomImageList* Images) {
        auto* C = Place<TsComboBoxEx>(20, 20, 200, 22);
        C->ItemsEx()->AddItem("root", 0, 1, -1, 0, nullptr);
        C->ItemsEx()->AddItem("child", 1, -1, -1, 2, nullptr);
        C->ItemsEx()->AddItem("other", 2, 2, -1, 0, nullptr);
        C->UpdateItems();
        C->SetImages(Images);
        return C;
    }
    // Images of Size pixels in the given colours.
    TImageList* SolidImages(int Size, std::initializer_list<TColor> Colours) {
        auto* L = Create<TImageList>(Form);
        L->SetSize(Size, Size);
        L->SetMasked(false);
        for (TColor C : Colours) {
            TOwned<TBitmap> B(Create<TBitmap>());
            B->SetSize(Size, Size);
            B->Canvas()->Brush()->SetColor(C);
            B->Canvas()->FillRect(Rect(0, 0, Size, Size));
            L->Add(B.get(), nullptr);
        }
        return L;
    }
    // Item Index drawn as a list row (or the edit part) of a white 200 x 20 bitmap.
    void DrawRow(TsComboBoxEx* C, TCapturedImage& Image, int Index, TOwnerDrawState State) {
        Image.Fill(clWhite);
        C->SetColor(clWhite);
        C->Canvas()->PaintOn(Image.DC(), [&] { C->DrawItem(Index, Rect(0, 0, 200, 20), State); });
    }
};

TEST_F(sComboBoxExTest, ItemsBecomeTheListsStrings) {
    TsComboBoxEx* C = PlaceEx(nullptr);
    EXPECT_EQ(C->Style(), csOwnerDrawFixed);
    ASSERT_EQ(C->Items()->Count(), 3);
    EXPECT_EQ(C->Items()->Strings(1), "child");
    EXPECT_EQ(C->ItemsEx()->Items(1)->DisplayName(), "child");
    C->SetItemIndex(2);
    EXPECT_EQ(C->CurrentItem(), C->ItemsEx()->Items(2));
    C->Clear();
    EXPECT_EQ(C->ItemsEx()->Count(), 0);
    EXPECT_EQ(C->Items()->Count(), 0);
    EXPECT_EQ(C->CurrentItem(), nullptr);
}

TEST_F(sComboBoxExTest, SelectedRowShowsItsSelectedImageOrElseItsImage) {
    TsComboBoxEx* C = PlaceEx(SolidImages(16, {clRed, clLime, clBlue}));
    struct Case {
        int Item;
        TOwnerDrawState State;
        int Image;
    } Cases[] = {
        {0, {}, 0}, {0, {odSelected}, 1}, {1, {odSelected}, 1}, {0, {odSelected, odComboBoxEdit}, 0}, {2, {odSelected}, 2},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(C->GetImageIndex(C->ItemsEx()->Items(K.Item), K.State), K.Image) << K.Item;
    C->SetImages(nullptr);
    EXPECT_EQ(C->GetImageIndex(C->ItemsEx()->Items(0), {}), -1);
}

TEST_F(sComboBoxExTest, IndentMovesTheImageInTheListOnly) {
    TsComboBoxEx* C = PlaceEx(SolidImages(16, {clRed, clLime, clBlue}));
    TCapturedImage Image(200, 20);
    // A = (22 - 16) div 2 = 3; the child's two levels add 32 pixels in the list.
    DrawRow(C, Image, 1, {});
    EXPECT_EQ(Image.Pixel(3 + 32 + 8, 10), clLime);
    EXPECT_EQ(Image.Pixel(3 + 8, 10), clWhite);
    DrawRow(C, Image, 0, {});
    EXPECT_EQ(Image.Pixel(3 + 8, 10), clRed);
    C->SetItemIndex(1);
    DrawRow(C, Image, 1, {odComboBoxEdit});
    EXPECT_EQ(Image.Pixel(3 + 8, 10), clLime) << "the edit part ignores the indent";
    EXPECT_NE(Image.Pixel(3 + 32 + 8, 10), clLime);
}

TEST_F(sComboBoxExTest, WithoutImagesTheTextStartsFivePixelsIn) {
    TsComboBoxEx* C = PlaceEx(nullptr);
    C->Font()->SetColor(clBlack);
    TCapturedImage Image(200, 20);
    DrawRow(C, Image, 2, {});
    int First = -1;
    for (int X = 0; X < 40 && First < 0; ++X)
        for (int Y = 0; Y < 20; ++Y)
            if (Image.Pixel(X, Y) != clWhite) {
                First = X;
                break;
            }
    EXPECT_GE(First, 5);
    EXPECT_LE(First, 7) << "the glyph's own bearing at most";
}

TEST_F(sComboBoxExTest, ImagesRaiseTheItemHeightAndLeavingThemMakesANewWindow) {
    TsComboBoxEx* C = PlaceEx(nullptr);
    C->HandleNeeded();
    TImageList* Big = SolidImages(24, {clRed});
    C->SetImages(Big);
    EXPECT_EQ(C->ItemHeight(), 24);
    HWND Old = C->Handle();
    C->SetImages(nullptr);
    EXPECT_NE(C->Handle(), Old);
    EXPECT_EQ(C->Items()->Count(), 3) << "the strings come along";
    // A list that goes away leaves no reference behind.
    C->SetImages(Big);
    Big->Free();
    EXPECT_EQ(C->Images(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Skinned path

constexpr TColor ButtonColor = 0x00204060, ButtonHot = 0x00A0C0E0;

class sComboBoxesSkinnedTest : public sComboBoxesTest {
protected:
    void SetUp() override {
        sComboBoxesTest::SetUp();
        MakeManager({{"COMBOBOX", 0x00F0F0F0}, {"COMBOBTN", ButtonColor, 0, 0, 0, 0, ButtonHot}});
        Manager->CommonIndexes.ComboButton = 1;
    }
};

TEST_F(sComboBoxesSkinnedTest, LongListGetsItsScrollBarHookOnItsFirstColourRequest) {
    // The platform's own drop-down list asks its box for colours when it paints: four items in a
    // list of eight rows need no scroll bar, in a list of three they do.
    for (int Rows : {8, 3}) {
        SCOPED_TRACE(Rows);
        TTypingCombo* C = PlaceCombo(csDropDown);
        ASSERT_TRUE(C->SkinData()->IsSkinned(false));
        C->SetDropDownCount(Rows);
        COMBOBOXINFO Info{};
        Info.cbSize = sizeof Info;
        ASSERT_TRUE(GetComboBoxInfo(C->Handle(), &Info));
        ASSERT_NE(Info.hwndList, nullptr);
        EXPECT_EQ(C->HookedList(), nullptr) << "nothing before the list is shown";
        SendMessageA(C->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        RedrawWindow(Info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SendMessageA(C->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        EXPECT_EQ(C->HookedList(), Rows < 4 ? Info.hwndList : nullptr);
        EXPECT_EQ(C->ListHook() != nullptr, Rows < 4);
        if (Rows < 4) {
            EXPECT_EQ(GetHookOfWindow(Info.hwndList), C->ListHook());
            EXPECT_EQ(C->ListHook()->SkinData->SkinSection(), "EDIT");
            EXPECT_TRUE(C->ListHook()->SkinData->BackgroundStale) << "the list's image is made again after it closed";
            HDC DC = GetDC(nullptr);
            C->Perform(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), 0x5678);
            ReleaseDC(nullptr, DC);
            EXPECT_EQ(C->HookedList(), Info.hwndList) << "one hook per list";
        }
    }
}

TEST_F(sComboBoxesSkinnedTest, ListHookIsLetGoWithItsWindow) {
    TTypingCombo* C = PlaceCombo(csDropDown);
    C->SetDropDownCount(2);
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof Info;
    ASSERT_TRUE(GetComboBoxInfo(C->Handle(), &Info));
    const LONG_PTR ListProc = GetWindowLongPtrA(Info.hwndList, GWLP_WNDPROC);
    SendMessageA(C->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    RedrawWindow(Info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_NE(C->ListHook(), nullptr);
    EXPECT_NE(GetWindowLongPtrA(Info.hwndList, GWLP_WNDPROC), ListProc);
    SendMessageA(C->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    C->RecreateWnd();
    C->HandleNeeded();
    EXPECT_FALSE(IsWindow(Info.hwndList));
    EXPECT_EQ(C->ListHook(), nullptr);
    EXPECT_EQ(C->HookedList(), nullptr);

    // The next list gets a hook of its own, which goes with the control.
    ASSERT_TRUE(GetComboBoxInfo(C->Handle(), &Info));
    SendMessageA(C->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    RedrawWindow(Info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SendMessageA(C->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    ASSERT_NE(C->ListHook(), nullptr);
    EXPECT_EQ(C->HookedList(), Info.hwndList);
    C->Free();
    EXPECT_FALSE(IsWindow(Info.hwndList));
}

TEST_F(sComboBoxesSkinnedTest, ButtonIsPaintedHotWhileFocused) {
    TTypingCombo* C = PlaceCombo(csDropDownList);
    TRect B = C->GetButtonRect();
    EXPECT_EQ(B.Right, C->Width() - 2);
    EXPECT_EQ(B.Right - B.Left, GetSystemMetrics(SM_CXVSCROLL) + 1);
    EXPECT_EQ(B.Top, 2);
    EXPECT_EQ(B.Bottom, C->Height() - 2);
    const int X = (B.Left + B.Right) / 2, Y = (B.Top + B.Bottom) / 2;
    for (bool Focused : {false, true}) {
        C->SkinData()->HasFocus = Focused;
        C->SkinData()->PrepareCacheBitmap();
        C->PaintButton();
        TBitmap* Cache = C->SkinData()->CacheBitmap;
        EXPECT_EQ(static_cast<TColor>(GetPixel(Cache->Canvas()->Handle(), X, Y)), Focused ? ButtonHot : ButtonColor);
    }
    C->SetShowButton(false);
    EXPECT_EQ(C->GetButtonRect().Right - C->GetButtonRect().Left, 0);
}

}  // namespace
