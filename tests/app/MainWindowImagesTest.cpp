// The main window's pictures as the user meets them: the icon the shell receives for the
// notification area, the autorun item's image as the autorun state changes, and the program file's
// own icon.
#include "ImportHook.h"
#include "MainWindowTestSupport.h"

#include <commctrl.h>

#include <algorithm>

using namespace app_tests;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr int TrayImage = 24;

struct TTrayRequest {
    DWORD Message = 0;
    UINT Flags = 0;
    HICON Icon = nullptr;  // a copy of the icon sent, the test's own
};
std::vector<TTrayRequest>* TrayRequests = nullptr;
using TShellNotifyIconA = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
TShellNotifyIconA RealShellNotifyIcon = nullptr;

BOOL WINAPI RecordShellNotifyIcon(DWORD Message, PNOTIFYICONDATAA Data) {
    if (TrayRequests)
        TrayRequests->push_back({Message, Data->uFlags, Data->hIcon ? CopyIcon(Data->hIcon) : nullptr});
    return RealShellNotifyIcon(Message, Data);
}

TPixels ImagePixels(TCustomImageList* List, int Index, COLORREF Background) {
    return DrawnPixels(16, 16, Background, [&](HDC DC) { ImageList_Draw(List->Handle(), Index, DC, 0, 0, ILD_NORMAL); });
}

TPixels IconPixels(HICON Icon, COLORREF Background) {
    return DrawnPixels(16, 16, Background, [&](HDC DC) { DrawIconEx(DC, 0, 0, Icon, 16, 16, 0, nullptr, DI_NORMAL); });
}

// The picture the menu shows beside an item.
TPixels MenuItemPixels(TMenu* Menu, TMenuItem* Item) {
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_BITMAP;
    if (!GetMenuItemInfoA(Menu->Handle(), Item->Command(), FALSE, &Info) || !Info.hbmpItem)
        return {};
    return DrawnPixels(16, 16, Magenta, [&](HDC DC) {
        HDC Src = CreateCompatibleDC(DC);
        HGDIOBJ Old = SelectObject(Src, Info.hbmpItem);
        BitBlt(DC, 0, 0, 16, 16, Src, 0, 0, SRCCOPY);
        SelectObject(Src, Old);
        DeleteDC(Src);
    });
}

class MainWindowImages : public TMainWindowFixture {};

}  // namespace

TEST_F(MainWindowImages, TheShellReceivesImage24AsTheTrayIcon) {
    std::vector<TTrayRequest> Requests;
    TPixels Expected;
    {
        TImportHook Hook(AppImpShellNotifyIconA, reinterpret_cast<void*>(&RecordShellNotifyIcon), "shell32.dll",
                         "Shell_NotifyIconA");
        RealShellNotifyIcon = Hook.Original<TShellNotifyIconA>();
        TrayRequests = &Requests;
        TOwned<TfrmSetting> W = OpenWindow();
        Pump(50);
        ASSERT_GT(W->ImageList1->Count(), TrayImage);
        Expected = ImagePixels(W->ImageList1, TrayImage, Magenta);
        TrayRequests = nullptr;
    }
    EXPECT_GT(Expected.Drawn(Magenta), 100) << "image 24 is a picture, not an empty cell";

    // The first add comes while the form is still being read, before the image list is linked; the
    // picture follows as soon as it is, and the add at the end of loading carries it.
    const auto Add = std::find_if(Requests.rbegin(), Requests.rend(),
                                  [](const TTrayRequest& R) { return R.Message == NIM_ADD; });
    ASSERT_NE(Add, Requests.rend());
    EXPECT_TRUE(Add->Flags & NIF_ICON);
    EXPECT_NE(Add->Icon, nullptr);
    const TTrayRequest& Last = Requests.back();
    EXPECT_NE(Last.Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(Last.Flags & NIF_ICON) << "the icon the shell keeps has a picture";
    EXPECT_NE(Last.Icon, nullptr);
    for (const TTrayRequest& R : Requests) {
        if (!R.Icon)
            continue;
        EXPECT_EQ(IconPixels(R.Icon, Magenta), Expected) << "every picture sent is image 24";
        DestroyIcon(R.Icon);
    }
}

TEST_F(MainWindowImages, TheAutorunItemShowsWhetherAutorunIsOn) {
    TRegistry Run;
    OpenAutoRunWithoutProgram(Run);
    if (HasFatalFailure())
        return;
    TOwned<TfrmSetting> W = OpenWindow();
    const COLORREF Menu = static_cast<COLORREF>(ColorToRGB(clMenu));
    const TPixels On = ImagePixels(W->ImageList1, AutoRunOnImage, Menu);
    const TPixels Off = ImagePixels(W->ImageList1, AutoRunOffImage, Menu);
    ASSERT_NE(On, Off) << "the two states look different";
    EXPECT_GT(On.Drawn(Menu), 20);
    EXPECT_GT(Off.Drawn(Menu), 20);

    EXPECT_EQ(MenuItemPixels(W->PopupMenu, W->pmAutoRun), Off);
    W->pmAutoRunClick(nullptr);
    EXPECT_EQ(MenuItemPixels(W->PopupMenu, W->pmAutoRun), On);
    W->pmAutoRunClick(nullptr);
    EXPECT_EQ(MenuItemPixels(W->PopupMenu, W->pmAutoRun), Off);
    EXPECT_FALSE(Run.ValueExists(AutoRunValueName));
}

TEST_F(MainWindowImages, EveryImageTheMenusNameIsAPicture) {
    TOwned<TfrmSetting> W = OpenWindow();
    const struct {
        TMenuItem* Item;
        int Image;
    } Items[] = {{W->pmAbout, 26}, {W->pmClose, 27}, {W->mmRestoreDb, 31}, {W->mmLang, 33}};
    for (const auto& I : Items) {
        SCOPED_TRACE(I.Item->Name());
        EXPECT_EQ(I.Item->ImageIndex(), I.Image);
        EXPECT_GT(ImagePixels(W->ImageList1, I.Image, Magenta).Drawn(Magenta), 20);
    }
    W->mmLangClick(nullptr);
    EXPECT_EQ(W->mmLang->ImageIndex(), 32);
    EXPECT_GT(ImagePixels(W->ImageList1, 32, Magenta).Drawn(Magenta), 20);
    EXPECT_NE(ImagePixels(W->ImageList1, 32, Magenta), ImagePixels(W->ImageList1, 33, Magenta));
}

TEST_F(MainWindowImages, TheProgramFileHasTheTrayPictureAsItsIcon) {
    const std::string Exe = testing_support::BinDir() + "QuarnelBackup.exe";
    HMODULE Mod = LoadLibraryExA(Exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(Mod, nullptr) << Exe;
    HRSRC Group = FindResourceA(Mod, "MAINICON", reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    ASSERT_NE(Group, nullptr);
    // The group's directory: reserved, type, count, then one 14-byte entry per image, its width first.
    const auto* Dir = static_cast<const BYTE*>(LockResource(LoadResource(Mod, Group)));
    ASSERT_NE(Dir, nullptr);
    std::vector<int> Sides;
    for (WORD I = 0; I < *reinterpret_cast<const WORD*>(Dir + 4); ++I)
        Sides.push_back(Dir[6 + 14 * I]);
    EXPECT_EQ(Sides, (std::vector<int>{16, 32}));
    HICON Small = static_cast<HICON>(LoadImageA(Mod, "MAINICON", IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(Small, nullptr);
    const TPixels Pixels = IconPixels(Small, Magenta);
    DestroyIcon(Small);
    FreeLibrary(Mod);

    TOwned<TfrmSetting> W = OpenWindow();
    EXPECT_EQ(Pixels, ImagePixels(W->ImageList1, TrayImage, Magenta));
}
