#include "SkinPixelSupport.h"
#include "acPNGTestSupport.h"

#include "Classes.h"
#include "Dialogs.h"
#include "Filer.h"
#include "SysUtils.h"
#include "acPNG.h"
#include "acntUtils.h"
#include "sGraphUtils.h"
#include "sSkinOptions.h"

#include <fstream>

using namespace skintests;

namespace {
TPx Grey(int V) { return TPx{V, V, V}; }
constexpr TPx Magenta{255, 0, 255};
constexpr TPx Red{0, 0, 255};

const char* const SkinOptions = R"([GLOBALINFO]
VERSION=6.5
MASTERBITMAP=MASTER.BMP
[EDIT]
COLOR=255
HOTCOLOR=8421504
BORDERSMASK=#(0,0,12,4)(3,0,1,4)
IMGTOPLEFT=!CORNER.BMP!1!0!2!
[BUTTON]
PARENTCLASS=EDIT
PATTERN=#(0,4,2,6)(1,0)
)";

// A skin folder made by the test: the options above, a 12 x 6 master bitmap (red, one magenta and
// one grey pixel) and a 3 x 2 corner bitmap of its own.
class SkinLoadTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        char Temp[MAX_PATH];
        GetTempPathA(MAX_PATH, Temp);
        Root = std::string(Temp) + "skinload" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Root.c_str(), nullptr);
        Folder = Root + "\\Test";
        CreateDirectoryA(Folder.c_str(), nullptr);
        WriteText(Folder + "\\Options.dat", SkinOptions);
        TOwned<TBitmap> Master(MakeBitmap(12, 6, pf24bit, Red));
        SetPx(Master.get(), 0, 0, Magenta);
        SetPx(Master.get(), 1, 0, Grey(77));
        Master->SaveToFile(Folder + "\\MASTER.BMP");
        TOwned<TBitmap> Corner(MakeBitmap(3, 2, pf24bit, Grey(10)));
        Corner->SaveToFile(Folder + "\\CORNER.BMP");
        Manager = Create<TsSkinManager>(nullptr);
        Manager->SkinDirectory = Root;
        Manager->SkinName = "Test";
    }
    void TearDown() override {
        for (const char* F : {"\\Test\\Options.dat", "\\Test\\MASTER.BMP", "\\Test\\CORNER.BMP", "\\Packed.asz"})
            DeleteFileA((Root + F).c_str());
        RemoveDirectoryA(Folder.c_str());
        RemoveDirectoryA(Root.c_str());
        SkinTest::TearDown();
    }
    static void WriteText(const std::string& Path, const std::string& Text) {
        std::ofstream(Path, std::ios::binary) << Text;
    }
    static std::string ReadAll(const std::string& Path) {
        std::ifstream In(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), {});
    }
    int Mask(const std::string& Section, const std::string& Name) {
        return Manager->FindMaskIndex(Manager->FindSectionIndex(Section), Section, Name);
    }
    std::string Root, Folder;
};

// Records the error boxes instead of showing them.
class TErrorBoxes : public TMessagePresenter {
public:
    std::vector<std::string> Texts;
    int MessageBox(HWND, const std::string& Text, const std::string&, UINT) override {
        Texts.push_back(Text);
        return IDOK;
    }
};

void PutInt(pngtests::Bytes& Out, LongInt V) {
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(V) >> (8 * I)));
}
}  // namespace

TEST_F(SkinLoadTest, FolderSkinFillsSectionsImagesAndIndexes) {
    Manager->LoadSkin();
    ASSERT_TRUE(Manager->Active);
    EXPECT_FALSE(SkinLoading);
    EXPECT_EQ(Manager->SkinData->SkinFolder, Folder + "\\");
    ASSERT_EQ(Manager->SectionList.size(), 3u);
    EXPECT_EQ(Manager->SectionList[1].Color, TColor(255));
    EXPECT_EQ(Manager->SectionList[2].Color, TColor(255));  // inherited from its parent class
    EXPECT_EQ(Manager->MasterBitmap->Width(), 12);
    EXPECT_EQ(Manager->MasterBitmap->PixelFormat(), pf24bit);

    int Border = Mask("EDIT", "BORDERSMASK");
    ASSERT_GE(Border, 0);
    const TsMaskData& B = Manager->MaskList[Border];
    EXPECT_EQ(B.R, (TRect{0, 0, 12, 4}));
    EXPECT_EQ(B.ImageCount, 3);
    EXPECT_EQ(B.WL, 1);  // the border width given
    EXPECT_EQ(B.Bmp, nullptr);
    EXPECT_EQ(Manager->SectionList[1].BorderIndex, Border);
    EXPECT_EQ(Manager->SectionList[2].BorderIndex, Border);  // found through the parent class

    int Corner = Mask("EDIT", "IMGTOPLEFT");
    ASSERT_GE(Corner, 0);
    const TsMaskData& C = Manager->MaskList[Corner];
    ASSERT_NE(C.Bmp, nullptr);
    EXPECT_EQ(C.R, (TRect{0, 0, 3, 2}));
    EXPECT_EQ(C.StretchMode, 4);
    EXPECT_EQ(Manager->SectionList[1].ImgTL, Corner);
    EXPECT_EQ(Mask("BUTTON", "PATTERN"), 2);
    EXPECT_EQ(Manager->CommonIndexes.GlobalInfo, 0);
    EXPECT_EQ(Manager->CommonIndexes.ComboButton, -1);
}

TEST_F(SkinLoadTest, SaturationAndHueLeaveKeyAndGreyPixels) {
    struct {
        int Hue, Saturation;
    } const Cases[] = {{0, 0}, {120, 0}, {0, 150}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << Case.Hue << " " << Case.Saturation);
        Manager->HueOffset = Case.Hue;
        Manager->Saturation = Case.Saturation;
        Manager->LoadSkin();
        TBitmap* M = Manager->MasterBitmap;
        EXPECT_EQ(GetPx(M, 0, 0), Magenta);
        EXPECT_EQ(GetPx(M, 1, 0), Grey(77));
        TColor Expected = Case.Hue ? ShiftHue(Case.Hue, 0x0000FF)
                          : Case.Saturation ? ChangeSaturation(0x0000FF, -49)  // -150 mod 101
                                            : TColor(0x0000FF);
        EXPECT_EQ(GetPx(M, 5, 5), PxOf(Expected));
        EXPECT_EQ(Manager->SectionList[1].Color, Expected);
        EXPECT_EQ(GetPx(Manager->MaskList[Mask("EDIT", "IMGTOPLEFT")].Bmp, 0, 0), Grey(10));
    }
}

TEST_F(SkinLoadTest, CommonSectionsAddOnlyWhatTheSkinLacks) {
    Manager->CommonSections->SetText("[EDIT]\nCOLOR=1\nBORDERSMASK=#(0,0,3,3)(1,0)\nGLYPHMASK=#(0,0,6,3)(2,0)\n[EXTRA]\nCOLOR=7\n");
    Manager->LoadSkin();
    ASSERT_EQ(Manager->SectionList.size(), 4u);
    EXPECT_EQ(Manager->SectionList[1].Color, TColor(255));
    EXPECT_EQ(Manager->SectionList[3].SectionName, "EXTRA");
    EXPECT_EQ(Manager->SectionList[3].Color, TColor(7));
    EXPECT_EQ(Manager->MaskList[Mask("EDIT", "BORDERSMASK")].R, (TRect{0, 0, 12, 4}));  // the skin's own
    int Glyph = Mask("EDIT", "GLYPHMASK");
    ASSERT_GE(Glyph, 0);
    EXPECT_EQ(Manager->MaskList[Glyph].R, (TRect{0, 0, 6, 3}));
}

TEST_F(SkinLoadTest, CommonSectionsTakeWhatTheyLackFromTheSkinSectionTheyName) {
    std::string Options = SkinOptions;
    Options.insert(Options.find("BORDERSMASK"), "GLOW=3\nGSIZE=4\nFADINGENABLED=TRUE\n");
    WriteText(Folder + "\\Options.dat", Options);
    Manager->CommonSections->SetText("[NEWBTN]\nPARENTCLASS=edit\nGLOW=-1\nFADINGITERATIONS=9\n"
                                     "[LONE]\nHOTCOLOR=5\nGRADIENTDATA=255;16711680;50;0;0\n");
    Manager->LoadSkin();
    ASSERT_EQ(Manager->SectionList.size(), 5u);
    const TsGeneralData& Edit = Manager->SectionList[1];
    const TsGeneralData& New = Manager->SectionList[3];
    EXPECT_EQ(New.SectionName, "NEWBTN");
    EXPECT_EQ(New.ParentClass, "EDIT");
    EXPECT_EQ(New.Color, TColor(255));             // the skin section's
    EXPECT_EQ(New.HotColor, Edit.HotColor);
    EXPECT_TRUE(New.FadingEnabled);
    EXPECT_EQ(New.FadingIterations, 9);           // its own
    EXPECT_EQ(New.GlowCount, 3);                  // an explicit -1 inherits
    EXPECT_EQ(New.GlowSize, 0);                   // a missing glow size does not
    EXPECT_EQ(New.BorderIndex, Edit.BorderIndex); // masks through the parent class

    const TsGeneralData& Lone = Manager->SectionList[4];
    EXPECT_EQ(Lone.ParentClass, "-1");
    EXPECT_EQ(Lone.Color, TColor(0xFFFFFF));      // defaults without a parent
    EXPECT_EQ(Lone.HotColor, TColor(5));
    EXPECT_EQ(Lone.FadingIterations, 5);
    EXPECT_EQ(Lone.FontColor[1], TColor(-1));
    EXPECT_EQ(Lone.Gradient.size(), 1u);  // its own gradient text, parsed
}

namespace {
bool LoadingWhileBroadcast = false;
}

TEST_F(SkinLoadTest, AFailedReloadKeepsTheSkinShown) {
    TsSkinManager::SkinLoadedHook = [] { LoadingWhileBroadcast = SkinLoading; };
    Manager->SetSkinName("Test");
    TsSkinManager::SkinLoadedHook = nullptr;
    ASSERT_TRUE(Manager->SkinData->SkinActive);
    EXPECT_TRUE(LoadingWhileBroadcast);  // the loaders' own guards leave the flag to the change
    EXPECT_FALSE(SkinLoading);

    struct {
        const char* Change;
        void (*Apply)(TsSkinManager*);
    } const Cases[] = {
        {"hue", [](TsSkinManager* M) { M->SetHueOffset(90); }},
        {"saturation", [](TsSkinManager* M) { M->SetSaturation(40); }},
        {"extended borders", [](TsSkinManager* M) { M->SetExtendedBorders(!M->GetExtendedBorders()); }},
    };
    WriteText(Folder + "\\Options.dat", "[GLOBALINFO]\nVERSION=6.1\n[EDIT]\nBORDERSMASK=#(0,0,x,4)(3,0)\n");
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Change);
        TErrorBoxes Boxes;
        TMessagePresenter* Old = SetMessagePresenter(&Boxes);
        C.Apply(Manager);
        SetMessagePresenter(Old);
        EXPECT_EQ(Boxes.Texts.size(), 1u);
        ASSERT_EQ(Manager->SectionList.size(), 3u);
        EXPECT_EQ(Manager->SectionList[1].Color, TColor(255));  // not turned: the old skin as it was
        ASSERT_TRUE(Manager->MaskIndexInRange(Manager->SectionList[1].BorderIndex));
        EXPECT_EQ(Manager->MaskList[Manager->SectionList[1].BorderIndex].R, (TRect{0, 0, 12, 4}));
        EXPECT_EQ(Manager->MasterBitmap->Width(), 12);
        EXPECT_DOUBLE_EQ(Manager->SkinData->Version, 6.5);
        EXPECT_TRUE(Manager->SkinData->SkinActive);
        EXPECT_FALSE(SkinLoading);
    }
}

TEST_F(SkinLoadTest, PackedSkinLoadsFromItsItemsAndRefusesAPackWithoutOptions) {
    auto Pack = [&](bool WithOptions) {
        pngtests::Bytes Data{'A', 'S', 'z', 'f'};
        PutInt(Data, WithOptions ? 3 : 2);
        auto Add = [&](const std::string& Name, const std::string& Bytes) {
            PutInt(Data, static_cast<LongInt>(Name.size()));
            Data.insert(Data.end(), Name.begin(), Name.end());
            PutInt(Data, static_cast<LongInt>(Bytes.size()));
            pngtests::Bytes Z = pngtests::Compress(pngtests::Bytes(Bytes.begin(), Bytes.end()));
            Data.insert(Data.end(), Z.begin(), Z.end());
        };
        if (WithOptions)
            Add("Options.dat", SkinOptions);
        Add("master.bmp", ReadAll(Folder + "\\MASTER.BMP"));
        Add("Corner.bmp", ReadAll(Folder + "\\CORNER.BMP"));
        WriteText(Root + "\\Packed.asz", std::string(Data.begin(), Data.end()));
    };
    Manager->SkinName = "Packed";
    Manager->FromPack = true;
    Pack(true);
    Manager->LoadPackedSkin();
    EXPECT_EQ(Manager->MasterBitmap->Width(), 12);  // item names are compared upper-cased
    EXPECT_GE(Mask("EDIT", "IMGTOPLEFT"), 0);
    EXPECT_EQ(Manager->SkinData->SkinFolder, Root + "\\");

    Pack(false);
    EXPECT_THROW(Manager->LoadPackedSkin(), Exception);
    EXPECT_FALSE(SkinLoading);
    Manager->SkinName = "Missing";
    EXPECT_THROW(Manager->LoadPackedSkin(), Exception);
}

TEST_F(SkinLoadTest, MissingSkinSwitchesTheManagerOff) {
    Manager->SkinName = "Nowhere";
    Manager->LoadSkin();
    EXPECT_FALSE(Manager->Active);
    EXPECT_FALSE(SkinLoading);
}

TEST_F(SkinLoadTest, SkinDirectoryPointsTheSkinFolderAndGlowingNeedsComposition) {
    Manager->SetSkinDirectory("Skins");
    EXPECT_EQ(Manager->SkinDirectory, "Skins");
    EXPECT_EQ(Manager->SkinData->SkinFolder, Manager->FullSkinDirectory());

    const bool Was = Wow64NoComposition;
    Manager->AllowGlowingFlag = true;
    Wow64NoComposition = true;  // a 32-bit program on a 64-bit system without composition
    EXPECT_FALSE(Manager->GetAllowGlowing());
    Wow64NoComposition = false;
    EXPECT_EQ(Manager->GetAllowGlowing(), LayeredWindowsAvailable());
    Manager->AllowGlowingFlag = false;
    EXPECT_FALSE(Manager->GetAllowGlowing());
    Wow64NoComposition = Was;
}

TEST_F(SkinLoadTest, SkinDirectoryIsMadeAbsoluteAgainstTheProgramFolder) {
    std::string App = GetAppFolder();
    while (!App.empty() && (App.back() == '\\' || App.back() == '/'))
        App.pop_back();
    std::string Up = App.substr(0, App.find_last_of("\\/") + 1);
    struct {
        const char* Directory;
        std::string Expected;
    } const Cases[] = {
        {"..\\Skins", Up + "Skins"},
        {".\\Skins", App + "\\Skins"},
        {"Skins", App + "\\Skins"},
        {"C:\\Skins", "C:\\Skins"},
        {"\\\\server\\Skins", "\\\\server\\Skins"},
    };
    for (const auto& C : Cases) {
        Manager->SkinDirectory = C.Directory;
        EXPECT_EQ(Manager->FullSkinDirectory(), C.Expected) << C.Directory;
    }
}

TEST_F(SkinLoadTest, StoredSkinsLoadWhenTheFolderHasNone) {
    auto* Empty = Manager->InternalSkins->Add();
    Empty->Name = "Empty";
    auto* Spelled = Manager->InternalSkins->Add();
    Spelled->Name = "Blue";
    Spelled->Version = 6.2;
    TOwned<TBitmap> Master(MakeBitmap(4, 2, pf24bit, Red));
    Spelled->SetMasterBitmap(Master.get());
    TsSkinGeneral* G = Spelled->GeneralData()->Add();
    G->SectionName = "EDIT";
    G->Color = 0x123456;
    G->FontColor = "1 2 3 4 5";
    G->HotFontColor = "1 2";
    TsSkinImage* Border = Spelled->Images()->Add();
    Border->SectionName = "edit";
    Border->PropertyName = "bordersmask";
    Border->Right = 4;
    Border->Bottom = 2;
    Border->BorderWidth = 1;  // image count 0 becomes three states over a mask part
    EXPECT_EQ(Manager->InternalSkins->IndexOf("blue"), -1);
    EXPECT_EQ(Manager->InternalSkins->IndexOf("Blue"), 1);

    Manager->SkinName = "Blue";
    Manager->LoadSkin();
    ASSERT_EQ(Manager->SectionList.size(), 1u);
    const TsGeneralData& Edit = Manager->SectionList[0];
    EXPECT_EQ(Edit.Color, TColor(0x123456));
    EXPECT_EQ(Edit.FontColor[4], TColor(5));
    EXPECT_EQ(Edit.HotFontColor[1], TColor(-1));  // not five words
    ASSERT_EQ(Edit.BorderIndex, 0);
    const TsMaskData& M = Manager->MaskList[0];
    EXPECT_EQ(M.SectionName, "EDIT");
    EXPECT_EQ(M.ImageCount, 3);
    EXPECT_EQ(M.MaskType, 1);
    EXPECT_EQ(M.WT, 1);
    EXPECT_EQ(GetPx(Manager->MasterBitmap, 3, 1), Red);
    EXPECT_DOUBLE_EQ(Manager->SkinData->Version, 6.2);

    Manager->SkinName = "Empty";
    Manager->LoadSkin();
    EXPECT_TRUE(Manager->SectionList.empty());
    EXPECT_TRUE(Manager->MaskList.empty());

    Manager->SkinName = "Unknown";  // the first stored skin stands in
    Manager->LoadSkin();
    EXPECT_EQ(Manager->SkinName, "Empty");
    EXPECT_TRUE(Manager->Active);
}

TEST_F(SkinLoadTest, StoredPackedDataLoadsAsAPackedSkin) {
    pngtests::Bytes Data{'A', 'S', 'z', 'f'};
    PutInt(Data, 1);
    const std::string Name = "Options.dat", Text = "[PANEL]\nCOLOR=99\n";
    PutInt(Data, static_cast<LongInt>(Name.size()));
    Data.insert(Data.end(), Name.begin(), Name.end());
    PutInt(Data, static_cast<LongInt>(Text.size()));
    pngtests::Bytes Z = pngtests::Compress(pngtests::Bytes(Text.begin(), Text.end()));
    Data.insert(Data.end(), Z.begin(), Z.end());
    auto* Skin = Manager->InternalSkins->Add();
    Skin->Name = "Packed";
    Skin->Data()->Write(Data.data(), static_cast<LongInt>(Data.size()));
    Manager->SkinName = "Packed";
    Manager->LoadSkin();
    EXPECT_TRUE(Manager->FromPack);
    ASSERT_EQ(Manager->SectionList.size(), 1u);
    EXPECT_EQ(Manager->SectionList[0].Color, TColor(99));
    EXPECT_EQ(Skin->Data()->Size(), static_cast<Int64>(Data.size()));  // still the stored skin's
}

TEST(AnimationOptions, NewOptionsHoldTheirDefaults) {
    TOwned<TacAnimEffects> Effects(Create<TacAnimEffects>());
    EXPECT_EQ(Effects->SkinChanging->Time, 100);
    EXPECT_EQ(Effects->SkinChanging->Mode, atFading);
    EXPECT_EQ(Effects->FormShow->Time, 0);
    EXPECT_EQ(Effects->FormShow->Mode, atAero);
    EXPECT_TRUE(Effects->FormShow->Active);
    EXPECT_TRUE(Effects->Buttons->Events.Contains(beMouseUp));
}

TEST_F(SkinLoadTest, SkinChangeTellsEveryFormAndAFailedLoadKeepsThePreviousSkin) {
    // Broadcasts reach the forms the application owns.
    TOwned<TForm> Owned(TForm::CreateNew(Application));
    Owned->Show();
    auto* Panel = Place<TSkinTestPanel>(0, 0, 20, 20, Owned.get());
    Manager->SetSkinName("Test");
    EXPECT_TRUE(Manager->SkinData->SkinActive);
    EXPECT_EQ(Manager->GetSkinInfo(), "6.5");
    ASSERT_FALSE(Panel->Commands.empty());
    EXPECT_NE(std::find(Panel->Commands.begin(), Panel->Commands.end(), SKIN_LOADED), Panel->Commands.end());
    EXPECT_NE(std::find(Panel->Commands.begin(), Panel->Commands.end(), SKIN_REFRESH), Panel->Commands.end());

    // A second skin whose border value does not convert.
    CreateDirectoryA((Root + "\\Broken").c_str(), nullptr);
    WriteText(Root + "\\Broken\\Options.dat", "[EDIT]\nBORDERSMASK=#(0,0,x,4)(3,0)\n");
    TErrorBoxes Boxes;
    TMessagePresenter* Old = SetMessagePresenter(&Boxes);
    Manager->SetSkinName("Broken");
    SetMessagePresenter(Old);
    DeleteFileA((Root + "\\Broken\\Options.dat").c_str());
    RemoveDirectoryA((Root + "\\Broken").c_str());
    EXPECT_EQ(Boxes.Texts.size(), 1u);
    EXPECT_EQ(Manager->GetSkinName(), "Test");
    ASSERT_EQ(Manager->SectionList.size(), 3u);
    EXPECT_EQ(Manager->MaskList[Manager->SectionList[1].BorderIndex].R, (TRect{0, 0, 12, 4}));
    EXPECT_TRUE(Manager->SkinData->SkinActive);
    EXPECT_FALSE(SkinLoading);

    Panel->Commands.clear();
    Manager->SetActive(false);
    EXPECT_FALSE(Manager->SkinData->SkinActive);
    EXPECT_TRUE(Manager->SectionList.empty());
    EXPECT_EQ(Manager->GetSkinInfo(), "N/A");
    EXPECT_NE(std::find(Panel->Commands.begin(), Panel->Commands.end(), SKIN_REMOVED), Panel->Commands.end());
}

TEST_F(SkinLoadTest, ListedSkinsAreStoredFoldersAndPacksSorted) {
    Manager->InternalSkins->Add()->Name = "Stored";
    WriteText(Root + "\\My.Blue.asz", "x");
    WriteText(Root + "\\Other.ASZ", "x");  // the extension is compared exactly
    TOwned<TStringList> List(Create<TStringList>());
    std::string First;
    Manager->ListSkins(List.get(), 2, First);
    DeleteFileA((Root + "\\My.Blue.asz").c_str());
    DeleteFileA((Root + "\\Other.ASZ").c_str());
    EXPECT_EQ(First, "Stored");
    EXPECT_EQ(List->Text(), "My.Blue\r\nStored\r\nTest\r\n");
}

TEST_F(SkinLoadTest, MaskWidthsFallBackToTheBorderWidthThenTheImage) {
    Manager->LoadSkin();
    TsMaskData M;
    M.R = TRect{0, 0, 30, 10};
    M.Manager = Manager;
    Manager->MaskList.push_back(M);  // no widths, image count 0
    int I = static_cast<int>(Manager->MaskList.size()) - 1;
    EXPECT_EQ(Manager->GetMaskLeftWidth(I), 30);
    EXPECT_EQ(Manager->GetMaskTopWidth(I), 10);
    Manager->MaskList[I].BorderWidth = 2;
    EXPECT_EQ(Manager->GetMaskRightWidth(I), 2);
    Manager->MaskList[I].WB = 3;
    EXPECT_EQ(Manager->GetMaskBottomWidth(I), 3);
    EXPECT_EQ(Manager->GetEditHotFontColor(), TColor(0));
    EXPECT_EQ(Manager->GetMenuSelectColor(), clHighlight);  // no MENUITEM section
}

TEST_F(SkinLoadTest, ExtendedBorderImagesAreCutFromTheMasterBitmap) {
    sGraphUtilsInitialization();
    if (!LayeredWindowsAvailable())
        GTEST_SKIP() << "no layered windows";
    std::string Options = SkinOptions;
    Options.insert(Options.find("[EDIT]"), "EXBORDER=#(0,0,8,4)(2,0)\nFORMOFFSET=0\n");
    WriteText(Folder + "\\Options.dat", Options);
    Manager->SetExtendedBorders(true);
    Manager->LoadSkin();
    EXPECT_EQ(Manager->ExBorderMargins, (TRect{1, 1, 1, 1}));  // borders derived, no form offset
    ASSERT_NE(Manager->ExBorderInactive, nullptr);
    EXPECT_EQ(Manager->ExBorderInactive->Width(), 4);
    EXPECT_EQ(GetPx(Manager->ExBorderInactive, 1, 0).G, 77);  // first cell
    EXPECT_EQ(GetPx(Manager->ExBorderActive, 1, 0).R, 255);   // second cell
}

TEST_F(SkinLoadTest, WithoutABorderImageTheProgramsShadowsFrameTheForm) {
    sGraphUtilsInitialization();
    sSkinManagerInitialization();
    ASSERT_NE(DefaultShadowA, nullptr);
    ASSERT_NE(DefaultShadowI, nullptr);
    if (!LayeredWindowsAvailable())
        GTEST_SKIP() << "no layered windows";
    Manager->SetExtendedBorders(true);
    Manager->LoadSkin();  // the test skin has no EXBORDER image
    const int More = DesktopCompositionEnabled() ? 1 : 0;
    EXPECT_EQ(Manager->ExBorderMargins, (TRect{11 + More, 7 + More, 11 + More, 11 + More}));
    ASSERT_NE(Manager->ExBorderActive, nullptr);
    ASSERT_EQ(Manager->ExBorderActive->PixelFormat(), pf32bit);
    const int W = Manager->ExBorderActive->Width(), H = Manager->ExBorderActive->Height();
    auto Alpha = [](TPNGGraphic* Image, int X, int Y) { return static_cast<const Cardinal*>(Image->ScanLine(Y))[X] >> 24; };
    EXPECT_EQ(Alpha(Manager->ExBorderActive, W / 2, H / 2), 0u);  // under the form
    // Just outside the form's lower edge the active shadow is darker than the inactive one.
    EXPECT_GT(Alpha(Manager->ExBorderActive, W / 2, H - 11), Alpha(Manager->ExBorderInactive, W / 2, H - 11));
    EXPECT_GT(Alpha(Manager->ExBorderInactive, W / 2, H - 11), 0u);
    EXPECT_EQ(Alpha(Manager->ExBorderActive, W / 2, H - 1), 0u);  // faded out at the image's edge
}

TEST_F(SkinLoadTest, CommonSectionLinesLoseTheirBlanks) {
    Manager->SetCommonSections("[EXTRA]\nCOLOR = 255\n; a note stays as it is\n");
    EXPECT_EQ(Manager->CommonSections->Text(), "[EXTRA]\r\nCOLOR=255\r\n; a note stays as it is\r\n");
    EXPECT_EQ(Manager->SectionList.back().Color, TColor(255));
}

TEST_F(SkinLoadTest, ANewerSkinVersionIsReportedAndStillLoads) {
    std::string Options = SkinOptions;
    Options.replace(Options.find("6.5"), 3, "7.1");
    WriteText(Folder + "\\Options.dat", Options);
    TErrorBoxes Boxes;
    TMessagePresenter* Old = SetMessagePresenter(&Boxes);
    Manager->LoadSkin();
    SetMessagePresenter(Old);
    EXPECT_EQ(Boxes.Texts.size(), 1u);
    EXPECT_EQ(Manager->SectionList.size(), 3u);
}

TEST_F(SkinLoadTest, FormFileSkinLoadsOnceItsStoredSkinsAreRead) {
    sSkinManagerInitialization();
    const std::string Text = "object Manager: TsSkinManager\n"
                             "  SkinName = 'Stored'\n"
                             "  InternalSkins = <\n"
                             "    item\n"
                             "      Name = 'Stored'\n"
                             "      GeneralData = <\n"
                             "        item\n"
                             "          SectionName = 'PANEL'\n"
                             "          Color = 4210752\n"
                             "        end>\n"
                             "      Data = {}\n"
                             "    end>\n"
                             "  AnimEffects.SkinChanging.Time = 50\n"
                             "  Version = '6.68'\n"
                             "  SkinInfo = '6.5'\n"
                             "  CommonSections.Strings = (\n"
                             "    '[EXTRA]'\n"
                             "    'PARENTCLASS=panel')\n"
                             "end\n";
    FreeAndNil(Manager);
    Manager = Create<TsSkinManager>(nullptr);
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    S->ReadComponent(Manager);
    EXPECT_EQ(Manager->AnimEffects->SkinChanging->Time, 50);
    ASSERT_EQ(Manager->SectionList.size(), 2u);
    EXPECT_EQ(Manager->SectionList[0].Color, TColor(4210752));
    EXPECT_EQ(Manager->SectionList[1].SectionName, "EXTRA");
    EXPECT_EQ(Manager->SectionList[1].Color, TColor(4210752));  // from the stored skin's section
    EXPECT_EQ(Manager->GetVersion(), "6.68");
    EXPECT_TRUE(Manager->SkinData->SkinActive);
}
