// Form placement on forms read from form text: stored on closing and restored on showing through
// an INI file and through the registry (positions, show state, active control), the version rule,
// fixed borders, the resolution keys, quoted INI values, default names, size limits and the
// resize lock through the window hook, and the links other components store through.
#include "Placemnt.h"

#include "IniFiles.h"
#include "Registry.h"
#include "RxAppUtils.h"
#include "RxTestSupport.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "TestSupport.h"

using namespace rx_tests;

namespace {

const char* const RegistryKey = "Software\\QuarnelTests\\h17Placement";

class Placement : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RxHookInitialization();
        RegisterClass(TFormPlacement::StaticClass());
        IniPath = Dir / "Placement.ini";
    }
    void TearDown() override {
        WindowTest::TearDown();
        Pump(20);
        RxHookFinalization();
        TRegistry R;
        R.DeleteKey(std::string("\\") + RegistryKey);
    }
    // A form with its placement, read from form text as a window's resource is.
    TForm* MakeForm(const std::string& PlacementProps, const std::string& FormProps = "") {
        std::string Text = "object PlacementForm: TForm\n  Left = 40\n  Top = 30\n  Width = 260\n  Height = 180\n  Position = poDesigned\n" +
                           FormProps + "  object Placement: TFormPlacement\n" + PlacementProps + "  end\nend\n";
        TForm* Form = TForm::CreateNew(nullptr);
        TStringStream Source(Text);
        TMemoryStream Binary;
        ObjectTextToBinary(&Source, &Binary);
        Binary.SetPosition(0);
        Binary.ReadComponent(Form);
        return Form;
    }
    std::string IniProps(const std::string& Extra = "") {
        return "    IniFileName = '" + IniPath + "'\n    IniSection = 'frmJOpen'\n" + Extra;
    }
    static std::string Bounds(const TRect& R) {
        return Format("%d,%d,%d,%d", {R.Left, R.Top, R.Right, R.Bottom});
    }
    static TFormPlacement* PlacementOf(TForm* F) { return As<TFormPlacement>(F->FindComponent("Placement")); }
    std::string IniValue(const std::string& Ident) {
        TIniFile Ini(IniPath);
        return Ini.ReadString("frmJOpen", Ident, "<none>");
    }
    testing_support::TempDir Dir;
    std::string IniPath;
};

TEST_F(Placement, ClosingStoresAndShowingRestoresThroughAnIniFile) {
    TForm* First = MakeForm(IniProps());
    First->Show();
    EXPECT_TRUE(PlacementOf(First)->Restored());
    First->SetBounds(120, 80, 330, 210);
    First->Close();
    EXPECT_TRUE(PlacementOf(First)->Saved());
    EXPECT_EQ(IniValue("NormPos"), "120,80,450,290");
    EXPECT_EQ(IniValue("NormPos" + ScreenSizeSuffix()), "120,80,450,290");
    EXPECT_EQ(IniValue("FormVersion"), "0");
    EXPECT_EQ(IniValue("ShowCmd"), "1");
    EXPECT_EQ(IniValue("Visible"), "0") << "saved on closing, not while being destroyed";
    EXPECT_EQ(IniValue("PixelsPerInch"), IntToStr(Screen->PixelsPerInch()));
    First->Free();

    TForm* Second = MakeForm(IniProps());
    Second->Show();
    EXPECT_EQ(Bounds(Second->BoundsRect()), Bounds(TRect{120, 80, 450, 290}));
    EXPECT_EQ(Second->WindowState(), wsNormal);
}

TEST_F(Placement, DestroyingAnUnsavedFormStoresWithVisibleSet) {
    TForm* Form = MakeForm(IniProps());
    Form->Show();
    Form->SetBounds(60, 50, 300, 200);
    Form->Free();
    EXPECT_EQ(IniValue("Visible"), "1");
    EXPECT_EQ(IniValue("NormPos"), "60,50,360,250");
}

TEST_F(Placement, RegistryKeyHoldsTheSameValues) {
    std::string Props = "    IniFileName = '" + std::string(RegistryKey) + "'\n    IniSection = 'frmJOpen'\n    UseRegistry = True\n";
    TForm* First = MakeForm(Props);
    First->Show();
    First->SetBounds(110, 70, 280, 190);
    First->Close();
    First->Free();
    TRegistry R;
    ASSERT_TRUE(R.OpenKey(std::string("\\") + RegistryKey + "\\frmJOpen", false));
    EXPECT_EQ(R.ReadString("NormPos"), "110,70,390,260");
    EXPECT_EQ(R.ReadString("FormVersion"), "0");
    R.CloseKey();
    TForm* Second = MakeForm(Props);
    Second->Show();
    EXPECT_EQ(Bounds(Second->BoundsRect()), Bounds(TRect{110, 70, 390, 260}));
}

TEST_F(Placement, StoredShowStatesTable) {
    struct Case {
        int ShowCmd;
        TWindowState Expected;
    };
    const Case Cases[] = {{SW_SHOWMAXIMIZED, wsMaximized}, {SW_SHOWNORMAL, wsNormal}, {SW_RESTORE, wsNormal},
                          {42, wsNormal}};
    for (const Case& C : Cases) {
        {
            TIniFile Ini(IniPath);
            Ini.WriteInteger("frmJOpen", "ShowCmd", C.ShowCmd);
        }
        TForm* Form = MakeForm(IniProps());
        Form->Show();
        EXPECT_EQ(Form->WindowState(), C.Expected) << C.ShowCmd;
        Form->Free();
    }
}

// A shown form takes a restored state at once; an MDI frame or child only keeps it for its next show.
TEST_F(Placement, RestoredStateIsAppliedExceptToMdiWindows) {
    {
        TIniFile Ini(IniPath);
        Ini.WriteInteger("frmJOpen", "ShowCmd", SW_SHOWMAXIMIZED);
    }
    for (const char* Style : {"fsNormal", "fsMDIForm"}) {
        TForm* Form = MakeForm(IniProps(), std::string("  FormStyle = ") + Style + "\n");
        Form->Show();
        Form->SetWindowState(wsNormal);
        ASSERT_FALSE(IsZoomed(Form->Handle())) << Style;
        PlacementOf(Form)->LoadFormPlacement();
        EXPECT_EQ(Form->WindowState(), wsMaximized) << Style;
        EXPECT_EQ(IsZoomed(Form->Handle()) != 0, std::string(Style) == "fsNormal") << Style;
        Form->Free();
    }
}

TEST_F(Placement, LowerStoredVersionRestoresNothingButCountsAsRestored) {
    {
        TIniFile Ini(IniPath);
        Ini.WriteString("frmJOpen", "NormPos", "200,150,500,400");
        Ini.WriteInteger("frmJOpen", "FormVersion", 1);
    }
    TForm* Form = MakeForm(IniProps("    Version = 2\n"));
    Form->Show();
    EXPECT_EQ(Bounds(Form->BoundsRect()), Bounds(TRect{40, 30, 300, 210}));
    EXPECT_TRUE(PlacementOf(Form)->Restored());
    Form->Close();
    EXPECT_EQ(IniValue("FormVersion"), "2") << "the next close saves the current placement";
    EXPECT_EQ(IniValue("NormPos"), "40,30,300,210");
}

TEST_F(Placement, NeverRestoredActivePlacementDoesNotOverwrite) {
    TForm* Form = MakeForm(IniProps());
    PlacementOf(Form)->StoreFormPlacement();
    EXPECT_EQ(IniValue("NormPos"), "<none>");
    Form->Free();
}

TEST_F(Placement, FixedBorderKeepsItsOwnSizeAndTakesThePosition) {
    {
        TIniFile Ini(IniPath);
        Ini.WriteString("frmJOpen", "NormPos", "90,60,690,560");
    }
    TForm* Form = MakeForm(IniProps(), "  BorderStyle = bsSingle\n");
    int W = Form->Width(), H = Form->Height();
    Form->Show();
    EXPECT_EQ(Form->Left(), 90);
    EXPECT_EQ(Form->Top(), 60);
    EXPECT_EQ(Form->Width(), W);
    EXPECT_EQ(Form->Height(), H);
}

TEST_F(Placement, ResolutionKeyWinsAndThePlainKeyServesAnotherResolution) {
    struct Case {
        const char* Name;
        const char* Plain;
        const char* ForThisScreen;
        TRect Expected;
    };
    const Case Cases[] = {
        {"after a change of resolution only the plain key exists", "70,40,370,240", nullptr, {70, 40, 370, 240}},
        {"this resolution's key wins", "70,40,370,240", "80,50,380,250", {80, 50, 380, 250}},
        {"no stored position, no change", nullptr, nullptr, {40, 30, 300, 210}},
        {"left not below right is not applied", "300,40,300,240", nullptr, {40, 30, 300, 210}},
    };
    for (const Case& C : Cases) {
        DeleteFileA(IniPath.c_str());
        {
            TIniFile Ini(IniPath);
            if (C.Plain)
                Ini.WriteString("frmJOpen", "NormPos", C.Plain);
            if (C.ForThisScreen)
                Ini.WriteString("frmJOpen", "NormPos" + ScreenSizeSuffix(), C.ForThisScreen);
            Ini.WriteString("frmJOpen", "Other", "x");
        }
        TForm* Form = MakeForm(IniProps());
        Form->Show();
        EXPECT_EQ(Bounds(Form->BoundsRect()), Bounds(C.Expected)) << C.Name;
        Form->Free();
    }
}

TEST_F(Placement, OtherPixelsPerInchIsNotApplied) {
    {
        TIniFile Ini(IniPath);
        Ini.WriteString("frmJOpen", "NormPos", "70,40,370,240");
        Ini.WriteInteger("frmJOpen", "PixelsPerInch", Screen->PixelsPerInch() + 24);
    }
    TForm* Form = MakeForm(IniProps());
    Form->Show();
    EXPECT_EQ(Bounds(Form->BoundsRect()), Bounds(TRect{40, 30, 300, 210}));
}

TEST_F(Placement, ActiveControlIsStoredAndFocusedAgain) {
    auto AddEdits = [](TForm* Form) {
        for (const char* Name : {"Edit1", "Edit2"}) {
            auto* E = new TEdit(Form);
            E->SetName(Name);
            E->SetParent(Form);
        }
    };
    std::string Props = IniProps("    Options = [fpState, fpPosition, fpActiveControl]\n");
    TForm* First = MakeForm(Props);
    AddEdits(First);
    First->Show();
    First->SetActiveControl(As<TWinControl>(First->FindComponent("Edit2")));
    First->Close();
    EXPECT_EQ(IniValue("ActiveControl"), "Edit2");
    First->Free();
    TForm* Second = MakeForm(Props);
    AddEdits(Second);
    Second->Show();
    ASSERT_NE(Second->ActiveControl(), nullptr);
    EXPECT_EQ(Second->ActiveControl()->Name(), "Edit2");
}

TEST_F(Placement, LinksSaveAndLoadThroughTheOpenStorage) {
    TForm* Form = MakeForm(IniProps());
    TIniLink Link;
    Link.SetStorage(PlacementOf(Form));
    EXPECT_EQ(Link.RootSection(), "frmJOpen\\");
    std::vector<std::string> Seen;
    Link.OnSave = TNotifyEvent::FromFunction([&](TObject*) {
        ASSERT_NE(Link.StorageObject(), nullptr);
        StorageWriteString(Link.StorageObject(), Link.RootSection() + "t2", "Width0", "91");
        Seen.push_back("save");
    });
    Link.OnLoad = TNotifyEvent::FromFunction([&](TObject*) {
        Seen.push_back("load:" + StorageReadString(Link.StorageObject(), Link.RootSection() + "t2", "Width0", ""));
    });
    Form->Show();
    Form->Close();
    Form->Show();
    EXPECT_EQ(Seen, (std::vector<std::string>{"load:", "save", "load:91"}));
    Form->Free();
    EXPECT_EQ(Link.Storage(), nullptr) << "a placement going away unlinks its links";
    EXPECT_EQ(Link.StorageObject(), nullptr);
}

TEST_F(Placement, SizeLimitsApplyThroughTheWindowHook) {
    TForm* Form = MakeForm(IniProps());
    Form->Show();
    TFormPlacement* P = PlacementOf(Form);
    P->MinMaxInfo()->SetValue(7, 222);  // MinTrackWidth
    P->MinMaxInfo()->SetValue(4, 333);  // MaxTrackHeight
    EXPECT_EQ(GetPropText(P, "MinMaxInfo.MinTrackWidth"), "222");
    MINMAXINFO Info{};
    Info.ptMaxPosition = POINT{5, 5};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, 222);
    EXPECT_EQ(Info.ptMaxTrackSize.y, 333);
    // Limits taken away again: the hook leaves and the system's values stay.
    TWinMinMaxInfo None;
    P->SetMinMaxInfo(&None);
    EXPECT_FALSE(P->WindowHook()->Active());
    Info = MINMAXINFO{};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_NE(Info.ptMinTrackSize.x, 222);
}

TEST_F(Placement, ResizeLockTakesTheSizingBordersAndTheMaximiseButton) {
    TForm* Form = MakeForm(IniProps());
    Form->Show();
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    LPARAM RightEdge = MAKELPARAM(R.right - 1, (R.top + R.bottom) / 2);
    EXPECT_EQ(SendMessageA(Form->Handle(), WM_NCHITTEST, 0, RightEdge), HTRIGHT);
    PlacementOf(Form)->SetPreventResize(true);
    EXPECT_FALSE(Form->BorderIcons().Contains(biMaximize));
    GetWindowRect(Form->Handle(), &R);
    RightEdge = MAKELPARAM(R.right - 1, (R.top + R.bottom) / 2);
    EXPECT_EQ(SendMessageA(Form->Handle(), WM_NCHITTEST, 0, RightEdge), HTNOWHERE);
    MINMAXINFO Info{};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, Form->Width());
    EXPECT_EQ(Info.ptMaxTrackSize.y, Form->Height());
    PlacementOf(Form)->SetPreventResize(false);
    EXPECT_TRUE(Form->BorderIcons().Contains(biMaximize));
}

TEST_F(Placement, QuotedValuesInIniFilesReadBackWithTheirQuotes) {
    TIniFile Ini(IniPath);
    for (std::string Value : {"\"quoted\"", "'single'", "\"", "\"mixed'", "plain", "", "a \"middle\" b"}) {
        StorageWriteString(&Ini, "S", "V", Value);
        EXPECT_EQ(StorageReadString(&Ini, "S", "V", "<default>"), Value) << Value;
    }
}

TEST_F(Placement, StorageOfAnotherKindReadsDefaultsAndIgnoresWrites) {
    TStringList NotAStorage;
    StorageWriteString(&NotAStorage, "S", "V", "x");
    StorageWriteInteger(&NotAStorage, "S", "V", 4);
    StorageEraseSection(&NotAStorage, "S");
    EXPECT_EQ(StorageReadString(&NotAStorage, "S", "V", "d"), "d");
    EXPECT_EQ(StorageReadInteger(&NotAStorage, "S", "V", 7), 7);
    EXPECT_EQ(StorageReadString(nullptr, "S", "V", "d"), "d");
    TIniFile Ini(IniPath);
    Ini.WriteString("S", "V", "not a number");
    EXPECT_EQ(StorageReadInteger(&Ini, "S", "V", 7), 7);
}

TEST_F(Placement, DefaultNamesTable) {
    TForm* Form = TForm::CreateNew(nullptr);
    auto* Panel = new TPanel(Form);
    Panel->SetName("Panel1");
    Panel->SetParent(Form);
    auto* Edit = new TEdit(Form);
    Edit->SetName("Edit1");
    Edit->SetParent(Panel);
    auto* Loose = new TPanel(nullptr);
    Loose->SetName("Loose");
    auto* Inner = new TEdit(nullptr);
    Inner->SetName("Inner");
    Inner->SetParent(Loose);
    auto* Owned = new TFormPlacement(Form);
    Owned->SetName("Placement1");
    auto* Orphan = new TFormPlacement(nullptr);
    Orphan->SetName("Alone");
    struct Case {
        TComponent* C;
        std::string Expected;
    };
    const Case Cases[] = {
        {nullptr, ""}, {Form, "TForm"}, {Edit, "TFormEdit1"}, {Inner, "LooseInner"},
        {Loose, "Loose"}, {Owned, "TForm.Placement1"}, {Orphan, "Alone"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DefaultSectionName(C.C), C.Expected);
    EXPECT_EQ(Owned->IniSection(), "TForm");
    EXPECT_EQ(DefaultIniFileName(), "test_components.INI");
    EXPECT_EQ(DefaultRegistryKey(), "Software\\test_components");
    RegistryKeyPrefix = "Quarnel";
    EXPECT_EQ(DefaultRegistryKey(), "Software\\Quarnel\\test_components");
    RxAppUtilsFinalization();
    EXPECT_EQ(RegistryKeyPrefix, "");
    Inner->Free();
    Loose->Free();
    Orphan->Free();
    Form->Free();
}

}  // namespace
