// Showing and hiding the application, finding another copy by class and title, shell icons.
#include "abfTestSupport.h"

using namespace abftests;

namespace {

class abfVclUtilsApplication : public ::testing::Test {
protected:
    void TearDown() override {
        ShowApplication();
        Application->SetTitle(SavedTitle);
    }
    std::string SavedTitle = Application->Title();
};

TEST_F(abfVclUtilsApplication, HideAndShowTheTaskbarWindowAndMainForm) {
    ShowApplication();
    EXPECT_TRUE(IsWindowVisible(Application->Handle()));
    EXPECT_TRUE(Application->MainForm()->Visible());
    HideApplication();
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    EXPECT_FALSE(Application->MainForm()->Visible());
    ShowApplicationWindow();
    EXPECT_TRUE(IsWindowVisible(Application->Handle()));
    EXPECT_FALSE(Application->MainForm()->Visible()) << "the window alone";
    HideApplicationWindow();
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
}

TEST_F(abfVclUtilsApplication, AnotherCopyIsFoundByClassAndTitleNotOurOwn) {
    Application->SetTitle("quarnel previous instance test");
    EXPECT_EQ(FindPreviousInstance(), nullptr) << "our own window does not count";
    EXPECT_FALSE(ActivatePreviousInstance());
    // Another copy's application window: the same class, the same title.
    HWND Other = CreateWindowExA(0, "TApplication", "quarnel previous instance test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND OtherTitle = CreateWindowExA(0, "TApplication", "another program", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(Other, nullptr);
    EXPECT_EQ(FindPreviousInstance(), Other);
    ShowWindow(Other, SW_SHOWMINIMIZED);
    EXPECT_TRUE(ActivatePreviousInstance());
    EXPECT_FALSE(IsIconic(Other)) << "a minimised copy is restored";
    DestroyWindow(Other);
    DestroyWindow(OtherTitle);
    EXPECT_EQ(FindPreviousInstance(), nullptr);
}

TEST(abfVclUtilsIcons, ShellIconsLargeAndSmall) {
    TOwned<TIcon> Large(Create<TIcon>()), Small(Create<TIcon>());
    ExtractShellIcon(0, Large.get(), Small.get());
    EXPECT_FALSE(Large->Empty());
    EXPECT_FALSE(Small->Empty());
    ExtractShellIcon(2, Large.get(), nullptr);
    EXPECT_FALSE(Large->Empty());
}

}  // namespace
