// The frame adapter on a real frame with the dialog skin of these tests: its refusal of anything but
// a frame, its answers to the library command message and the section it paints (pixel samples of
// the frame's background as its window erases it), and the frame's own painting without a skin.
#include "../engine/SkinPixelSupport.h"

#include "TestSupport.h"

#include "ExtCtrls.h"
#include "acSBUtils.h"
#include "sFrameAdapter.h"
#include "sGraphUtils.h"
#include "sSkinMenus.h"
#include "sSpeedButton.h"

using namespace skintests;

namespace {

constexpr TColor GroupBoxColor = 0x00224466;

class sFrameAdapterTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        Frame = Create<TFrame>(Form);
        Frame->SetBounds(10, 10, 120, 70);
        Frame->SetParent(Form);
    }
    void LoadSkin() {
        Manager = Create<TsSkinManager>(nullptr);
        Manager->SkinDirectory = testing_support::SourceDir() + "tests\\skins\\frames\\skin";
        Manager->SetSkinName("DialogTest");
        ASSERT_TRUE(Manager->SkinData->SkinActive);
    }
    // The frame's background as WM_ERASEBKGND paints it into a bitmap.
    TBitmap* Erased() {
        TBitmap* B = MakeBitmap(Frame->Width(), Frame->Height(), pf24bit);
        SendMessageA(Frame->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), 0);
        return B;
    }
    TFrame* Frame = nullptr;
};

TEST_F(sFrameAdapterTest, OnAnythingButAFrameItRefusesWithItsText) {
    for (TComponent* Owner : {static_cast<TComponent*>(Form), static_cast<TComponent*>(nullptr)}) {
        try {
            Create<TsFrameAdapter>(Owner);
            ADD_FAILURE() << "no error";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), "TsFrameAdapter adapter must be placed on the handled frame");
        }
    }
    EXPECT_EQ(Form->ComponentCount(), 1) << "only the frame: the refused adapter left nothing behind";
}

TEST_F(sFrameAdapterTest, TheFramePaintsTheGroupBoxSection) {
    LoadSkin();
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    Adapter->SkinData->RefreshSkinIndexes();
    EXPECT_EQ(Adapter->SkinData->SkinSection(), "GROUPBOX");
    EXPECT_EQ(SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_ISSKINNED), 0), 1);
    TOwned<TBitmap> B(Erased());
    for (TPoint P : {TPoint{5, 5}, TPoint{60, 35}, TPoint{114, 64}})
        EXPECT_EQ(GetPx(B.get(), P.X, P.Y), PxOf(GroupBoxColor)) << P.X << "," << P.Y;
}

TEST_F(sFrameAdapterTest, WithoutASkinTheFramePaintsItself) {
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    EXPECT_EQ(SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_ISSKINNED), 0), 1)
        << "the adapter answers even without a skin";
    Frame->SetColor(0x00102030);
    TOwned<TBitmap> B(Erased());
    EXPECT_EQ(GetPx(B.get(), 60, 35), PxOf(0x00102030));
    FreeObject(Adapter);
    EXPECT_EQ(SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_ISSKINNED), 0), 0)
        << "the frame has its own procedure back";
}

TEST_F(sFrameAdapterTest, TheFramesScrollBarsAreHookedWhileSkinned) {
    acSBUtilsInitialization();
    LoadSkin();
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    Adapter->SkinData->RefreshSkinIndexes();
    SCROLLINFO SI{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 0, 0};
    SetScrollInfo(Frame->Handle(), SB_VERT, &SI, TRUE);
    ASSERT_TRUE(GetWindowLongA(Frame->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(GetScrollBarOfWindow(Frame->Handle(), 1), nullptr);
    Frame->Perform(CM_SHOWINGCHANGED, 0, 0);
    ASSERT_NE(Adapter->ScrollWnd, nullptr) << "made when the frame shows skinned";
    EXPECT_EQ(GetScrollBarOfWindow(Frame->Handle(), 1), Adapter->ScrollWnd->VertBar);
    TOwned<TBitmap> B(MakeBitmap(Frame->Width(), Frame->Height(), pf24bit));
    SendMessageA(Frame->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), PRF_CLIENT);
    EXPECT_EQ(GetPx(B.get(), 20, 35), PxOf(GroupBoxColor)) << "printed from the section";

    SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(Adapter->ScrollWnd, nullptr) << "the skin went and the hook with it";
    EXPECT_EQ(GetScrollBarOfWindow(Frame->Handle(), 1), nullptr);
    SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_REFRESH), reinterpret_cast<LPARAM>(Manager));
    ASSERT_NE(Adapter->ScrollWnd, nullptr) << "a refresh of the skin hooks the bars again";
    FreeObject(Adapter);
    EXPECT_EQ(GetScrollBarOfWindow(Frame->Handle(), 1), nullptr);
    EXPECT_EQ(SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_ISSKINNED), 0), 0)
        << "the frame has its own procedure back, the hook's and the adapter's both gone";
    acSBUtilsFinalization();
}

TEST_F(sFrameAdapterTest, TheMouseEnteringTheFrameLeavesOneHotButtonAndMakesTheFrameHot) {
    LoadSkin();
    ASSERT_EQ(DefaultManager, Manager);
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    Adapter->SkinData->RefreshSkinIndexes();
    auto* A = Place<TsSpeedButton>(4, 4, 40, 24, Frame);
    auto* B = Place<TsSpeedButton>(50, 4, 40, 24, Frame);
    A->SkinData()->MouseOver = true;
    B->SkinData()->MouseOver = true;
    Frame->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(B));
    EXPECT_FALSE(A->SkinData()->MouseOver);
    EXPECT_TRUE(B->SkinData()->MouseOver) << "the button entered stays hot";
    EXPECT_EQ(Manager->HotWindow, Frame->Handle());
}

// The height of the first item of the open popup, read from inside its loop.
int PopupItemHeight = 0;
HMENU OpenMenu = nullptr;
VOID CALLBACK MeasureOpenPopup(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Popup = FindWindowA("#32768", nullptr);
    if (!Popup || !IsWindowVisible(Popup))
        return;
    KillTimer(nullptr, Id);
    RECT R{};
    if (GetMenuItemRect(nullptr, OpenMenu, 0, &R))
        PopupItemHeight = R.bottom - R.top;
    PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(sFrameAdapterTest, TheFramesPopupMenusAreDrawnByTheSkinnedMenus) {
    sSkinMenusInitialization();
    LoadSkin();
    TsSkinableMenus* Menus = SkinableMenusOf(Manager);
    ASSERT_TRUE(Menus);
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    struct Case {
        const char* Name;
        bool SkinnedPopups;
        bool ByLoaded;  // else the skin's load broadcast
    };
    for (const Case& C : {Case{"on the skin's load", true, false}, Case{"when the frame is loaded", true, true},
                          Case{"popups left to the system", false, false}}) {
        Manager->SkinnedPopups = C.SkinnedPopups;
        // Made after the skin: only the adapter can have handed it to the skinned menus.
        auto* Menu = Create<TPopupMenu>(Frame);
        TMenuItem* Item = Create<TMenuItem>(Menu);
        Item->SetCaption("Frame item");
        Menu->Items()->Add(Item);
        ASSERT_FALSE(Menu->OwnerDraw()) << C.Name;
        if (C.ByLoaded)
            Adapter->Loaded();
        else
            SendMessageA(Frame->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_LOADED), reinterpret_cast<LPARAM>(Manager));
        EXPECT_EQ(Menu->OwnerDraw(), C.SkinnedPopups) << C.Name;
        if (!C.SkinnedPopups) {
            EXPECT_FALSE(Item->OnMeasureItem) << C.Name;
            FreeObject(Menu);
            continue;
        }
        TOwned<TBitmap> B(NewBitmap24(1, 1));
        const int Expected = Menus->ItemHeight(Item, B->Canvas());
        PopupItemHeight = 0;
        OpenMenu = Menu->Handle();
        SetTimer(nullptr, 0, 20, MeasureOpenPopup);
        Menu->Popup(100, 100);
        Pump();
        EXPECT_EQ(PopupItemHeight, Expected) << C.Name << ": the open popup's item has the skinned menus' height";
        FreeObject(Menu);
    }
    Manager->SkinnedPopups = true;
    FreeObject(Adapter);
    sSkinMenusFinalization();
}

// Counts the requests to wrap the frame that reach its form.
struct TAdaptRecorder : TObject {
    TWndMethod Own;
    LPARAM Frame = 0;
    int Asked = 0;
    void Proc(TMessage& Message) {
        if (Message.Msg == SM_ALPHACMD && HIWORD(Message.WParam) == SKIN_ADAPTCHILDREN && Message.LParam == Frame)
            ++Asked;
        Own(Message);
    }
};

TEST_F(sFrameAdapterTest, UnderTheThirdPartyRuleTheFormIsAskedToWrapTheFramesNewControls) {
    LoadSkin();
    auto* Adapter = Create<TsFrameAdapter>(Frame);
    Adapter->SkinData->RefreshSkinIndexes();
    TAdaptRecorder Rec;
    Rec.Frame = reinterpret_cast<LPARAM>(static_cast<TControl*>(Frame));
    Rec.Own = Form->WindowProc;
    Form->WindowProc = TWndMethod::Bind<&TAdaptRecorder::Proc>(&Rec);
    for (bool ThirdParty : {true, false}) {
        Manager->SkinningRules = ThirdParty ? TacSkinningRules{srStdForms, srThirdParty} : TacSkinningRules{srStdForms};
        Rec.Asked = 0;
        auto* Panel = Place<TPanel>(4, 30, 40, 20, Frame);
        Panel->HandleNeeded();
        EXPECT_EQ(Rec.Asked, ThirdParty ? 1 : 0) << "a control made in the frame";
        Rec.Asked = 0;
        Frame->SetVisible(false);
        Frame->SetVisible(true);
        EXPECT_EQ(Rec.Asked > 0, ThirdParty) << "the frame shown again";
        FreeObject(Panel);
    }
    Form->WindowProc = Rec.Own;
}

}  // namespace
