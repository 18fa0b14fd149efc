// Routines the window hooks share: the corner pass over a hook's cache (state images, clamping, a
// skin without an image count, colour and bitmap backgrounds), finding controls by window, colour
// properties by name, asking the top window to adapt, refreshing a scrolling hook, and the page
// hooks freed at shut-down.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtils.h"
#include "sMemo.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

using namespace skintests;

namespace {

using TPoints = std::set<std::pair<int, int>>;

// A parent that answers the background question with a bitmap whose pixel (x, y) is RGB(x, y, 7),
// the asker's corner at (3, 2) in it; it records the library commands it receives.
TBitmap* ParentBitmap = nullptr;
std::vector<Word> ParentCommands;

LRESULT CALLBACK BitmapParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SM_ALPHACMD) {
        ParentCommands.push_back(SkinCommandOf(WParam));
        if (SkinCommandOf(WParam) == SKIN_GETBACKGROUND && ParentBitmap) {
            auto* Info = reinterpret_cast<ParentBackgroundInfo*>(LParam);
            Info->Kind = 2;
            Info->Bmp = ParentBitmap;
            Info->X = 3;
            Info->Y = 2;
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

HWND MakeRecordingWindow(HWND Parent, DWORD Style, int X, int Y, int W, int H) {
    static ATOM Class = [] {
        WNDCLASSA C{};
        C.lpfnWndProc = &BitmapParentProc;
        C.hInstance = GetModuleHandleA(nullptr);
        C.lpszClassName = "acSBUtilsRecordingParent";
        return RegisterClassA(&C);
    }();
    (void)Class;
    return CreateWindowExA(0, "acSBUtilsRecordingParent", "", Style, X, Y, W, H, Parent, nullptr, nullptr, nullptr);
}

class acSBUtilsRoutinesTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
    }
    void TearDown() override {
        for (HWND W : Windows)
            if (IsWindow(W))
                DestroyWindow(W);
        FreeAndNil(ParentBitmap);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    HWND Plain(HWND Parent, int X, int Y, int W, int H) {
        HWND Wnd = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, X, Y, W, H, Parent, nullptr, nullptr, nullptr);
        Windows.push_back(Wnd);
        return Wnd;
    }
    // A skin whose master bitmap (12 x 4, white) holds the "EDIT" border mask: given image count,
    // corners 2 wide left, 1 right, 1 high at the top, 2 at the bottom; Keys are key-coloured.
    void MakeCornerSkin(int ImageCount, const TPoints& Keys) {
        MakeManager({{"EDIT"}});
        Manager->MasterBitmap = MakeBitmap(12, 4, pf24bit, TPx{255, 255, 255});
        for (auto [X, Y] : Keys)
            SetPx(Manager->MasterBitmap, X, Y, PxOf(0xFF00FF));
        int Mask = AddBorderMask(Manager, 0, 2, 1, 1, 2);
        Manager->MaskList[Mask].R = Rect(0, 0, 12, 4);
        Manager->MaskList[Mask].ImageCount = static_cast<SmallInt>(ImageCount);
    }
    // A hook on a 10 x 8 window at (5, 4) of Parent with a black cache; the corner pass in State.
    TPoints PaintCorners(HWND Parent, int State, bool InDialog = false) {
        HWND Wnd = Plain(Parent, 5, 4, 10, 8);
        CreatingDialogWrappers = InDialog;
        TacMainWnd* Hook = Create<TacMainWnd>(Wnd, false, "EDIT", nullptr, nullptr);
        CreatingDialogWrappers = false;
        EXPECT_EQ(Hook->InDialog, InDialog);
        Hook->SkinData->RefreshSkinIndexes();
        Hook->SkinData->BorderMaskIndex = 0;
        Hook->SkinData->CacheBitmap->SetPixelFormat(pf24bit);
        Hook->SkinData->CacheBitmap->SetSize(10, 8);
        Hook->SkinData->CacheBitmap->Canvas()->Brush()->SetColor(clBlack);
        Hook->SkinData->CacheBitmap->Canvas()->FillRect(Rect(0, 0, 10, 8));
        GetWindowGeometry(Wnd, Hook->HookParent, Hook->HookWndRect, 0, Hook->HookWndPos, Hook->HookWndSize,
                          Hook->HookParentRect);
        PaintHookCorners(Hook->SkinData, State, Hook);
        TPoints Changed;
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 10; ++X) {
                TPx P = GetPx(Hook->SkinData->CacheBitmap, X, Y);
                if (P != TPx{})
                    Changed.insert({X, Y});
                Painted[{X, Y}] = P;
            }
        FreeAndNil(Hook);
        return Changed;
    }
    std::vector<HWND> Windows;
    std::map<std::pair<int, int>, TPx> Painted;
};

TEST_F(acSBUtilsRoutinesTest, CornerPassReplacesOnlyKeyPixelsOfTheStateImage) {
    // State images are 4 wide; the right corners come from the image's right part, the bottom ones
    // from its last rows.
    const TPoints StateOneKeys{{4, 0}, {7, 0}, {4, 3}, {7, 2}, {5, 1}};
    struct Case {
        int ImageCount;
        TPoints Keys;
        int State;
        TPoints Expected;
    } Cases[] = {
        {3, StateOneKeys, 1, {{0, 0}, {9, 0}, {0, 7}, {9, 6}}},
        {3, StateOneKeys, 0, {}},
        {3, {{8, 0}}, 7, {{0, 0}}},             // the state is clamped to the last image
        {3, {{8, 0}}, -2, {}},                  // and to the first
        {0, {{0, 0}, {11, 3}}, 2, {{0, 0}, {9, 7}}},  // no image count: one image over the whole mask
    };
    for (const Case& C : Cases) {
        MakeCornerSkin(C.ImageCount, C.Keys);
        EXPECT_EQ(PaintCorners(Form->Handle(), C.State), C.Expected) << C.ImageCount << " state " << C.State;
        for (auto P : C.Expected)
            EXPECT_EQ(Painted[P], PxOf(Manager->GetMainColor())) << "the parent's colour";
        FreeAndNil(Manager);
    }
}

TEST_F(acSBUtilsRoutinesTest, CornerPassTakesTheParentBitmapAtTheWindowsPlace) {
    ParentBitmap = MakeBitmap(40, 40, pf24bit);
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 40; ++X)
            SetPx(ParentBitmap, X, Y, TPx{7, Y, X});
    HWND Parent = MakeRecordingWindow(Form->Handle(), WS_CHILD | WS_VISIBLE, 0, 0, 100, 100);
    Windows.push_back(Parent);
    MakeCornerSkin(3, {{4, 0}, {7, 3}});
    EXPECT_EQ(PaintCorners(Parent, 1), (TPoints{{0, 0}, {9, 7}}));
    EXPECT_EQ((Painted[{0, 0}]), (TPx{7, 0 + 2 + 4, 0 + 3 + 5})) << "window position plus the parent's offsets";
    EXPECT_EQ((Painted[{9, 7}]), (TPx{7, 7 + 2 + 4, 9 + 3 + 5}));
    EXPECT_EQ(PaintCorners(Parent, 1, true), TPoints{}) << "dialog hooks keep their corners";
}

TEST_F(acSBUtilsRoutinesTest, BorderMaskStatesNeedASkinWithSeveralImages) {
    auto* M = Place<TsMemo>(10, 10, 100, 60);
    EXPECT_FALSE(BorderMaskHasStates(M->SkinData()));
    MakeManager({{"EDIT"}});
    int Mask = AddBorderMask(Manager, 0, 1, 1, 1, 1);
    M->SkinData()->RefreshSkinIndexes();
    for (auto [Count, Expected] : {std::pair{3, true}, {1, false}, {0, false}}) {
        Manager->MaskList[Mask].ImageCount = static_cast<SmallInt>(Count);
        EXPECT_EQ(BorderMaskHasStates(M->SkinData()), Expected) << Count;
    }
    EXPECT_FALSE(BorderMaskHasStates(nullptr));
}

TEST_F(acSBUtilsRoutinesTest, ControlsAreFoundByWindowDepthFirst) {
    auto* Outer = Place<TPanel>(0, 0, 200, 100);
    auto* Inner = Create<TPanel>(Outer);  // owned by the panel, not by the form
    Inner->SetParent(Outer);
    auto* Hidden = Create<TPanel>(Outer);  // never gets a window
    Inner->HandleNeeded();
    EXPECT_EQ(FindControlByHandle(Inner->Handle(), Form), Inner);
    EXPECT_EQ(FindControlByHandle(Outer->Handle(), Form), Outer);
    EXPECT_EQ(FindControlByHandle(Form->Handle(), Form), nullptr) << "the root itself is not searched";
    EXPECT_EQ(FindControlByHandle(nullptr, Form), nullptr);
    EXPECT_FALSE(Hidden->HandleAllocated()) << "the search creates no windows";
}

TEST_F(acSBUtilsRoutinesTest, ColourPropertiesByNameSkipClassesWithoutThem) {
    auto* P = Place<TPanel>(0, 0, 50, 50);
    SetColorProp(P, "Color", clRed);
    EXPECT_EQ(P->Color(), clRed);
    SetColorProp(P, "Color", clBtnFace);
    EXPECT_EQ(GetColorProp(P, "Color"), ColorToRGB(clBtnFace)) << "system colours come back as RGB";
    TObject Plain;
    SetColorProp(&Plain, "Color", clRed);
    EXPECT_EQ(GetColorProp(&Plain, "Color"), 0);
    EXPECT_EQ(GetColorProp(nullptr, "Color"), 0);
}

TEST_F(acSBUtilsRoutinesTest, TheTopWindowIsAskedToAdaptItsChildren) {
    HWND Top = MakeRecordingWindow(nullptr, WS_POPUP, 0, 0, 50, 50);
    Windows.push_back(Top);
    HWND Child = Plain(Plain(Top, 0, 0, 40, 40), 0, 0, 20, 20);
    ParentCommands.clear();
    AskTopWindowToAdapt(Child);
    EXPECT_EQ(ParentCommands, std::vector<Word>{SKIN_ADAPTCHILDREN});
}

TEST_F(acSBUtilsRoutinesTest, ScrollHookFollowsTheSkinning) {
    auto* M = Place<TsMemo>(10, 10, 150, 80);
    M->HandleNeeded();
    TacScrollWnd* Hook = nullptr;
    RefreshScrollWnd(M->SkinData(), Hook);
    EXPECT_EQ(Hook, nullptr);
    MakeManager({{"EDIT"}});
    M->SkinData()->RefreshSkinIndexes();
    RefreshScrollWnd(M->SkinData(), Hook);
    ASSERT_NE(Hook, nullptr);
    EXPECT_EQ(GetHookOfWindow(M->Handle()), Hook);
    EXPECT_FALSE(DynCast<TacEditWnd>(Hook)) << "a plain scrolling hook";
    FreeAndNil(Manager);
    RefreshScrollWnd(M->SkinData(), Hook);
    EXPECT_EQ(Hook, nullptr);
    EXPECT_EQ(GetHookOfWindow(M->Handle()), nullptr);
}

TEST_F(acSBUtilsRoutinesTest, ShutDownFreesThePageHooks) {
    HWND Wnd = Plain(Form->Handle(), 0, 0, 20, 20);
    WNDPROC Original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    PageHookList = new std::vector<TacMainWnd*>{Create<TacMainWnd>(Wnd, false, "", nullptr, nullptr)};
    acSBUtilsFinalization();
    EXPECT_EQ(PageHookList, nullptr);
    EXPECT_EQ(GetHookOfWindow(Wnd), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)), Original);
    acSBUtilsInitialization();
}

}  // namespace
