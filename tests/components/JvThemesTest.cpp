// The print-client wrapper in TWinControl's message table: installed at start-up over the
// framework's handler through the class record's hook point, saving and restoring the device
// context around it, put back at shut-down; then the further library's units started and shut down in their order.
#include "JvThemes.h"

#include "JvAppStorage.h"
#include "JvAppStoragePropertyEngineDB.h"
#include "JvJVCLUtils.h"
#include "JvLibraryUnits.h"

#include "DBGrids.h"
#include "RxTestSupport.h"
#include "TestSupport.h"

using namespace rx_tests;

namespace {

TMessageHandler PrintClientHandlerOfWinControl() { return TWinControl::StaticClass()->FindOwnHandler(WM_PRINTCLIENT); }
void SetPrintClientHandlerOfWinControl(TMessageHandler Handler) {
    TWinControl::StaticClass()->ReplaceMessageHandler(WM_PRINTCLIENT, Handler);
}

// A handler that paints as the framework's does and then leaves the DC changed.
TMessageHandler Framework = nullptr;
int UntidyCalls = 0;
UINT UntidyLastMessage = 0;
void UntidyPrintClient(TObject* Self, TMessage& Message) {
    ++UntidyCalls;
    UntidyLastMessage = Message.Msg;
    if (Message.Msg != WM_PRINTCLIENT)
        return;
    Framework(Self, Message);
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    SelectObject(DC, GetStockObject(BLACK_PEN));
    SelectObject(DC, GetStockObject(GRAY_BRUSH));
    SelectObject(DC, GetStockObject(ANSI_FIXED_FONT));
    SetViewportOrgEx(DC, 7, 9, nullptr);
    IntersectClipRect(DC, 1, 1, 5, 5);
}

// What a DC holds that painting might leave changed.
struct TDCState {
    HGDIOBJ Pen, Brush, Font;
    POINT Origin;
    RECT Clip;
    explicit TDCState(HDC DC) {
        Pen = GetCurrentObject(DC, OBJ_PEN);
        Brush = GetCurrentObject(DC, OBJ_BRUSH);
        Font = GetCurrentObject(DC, OBJ_FONT);
        GetViewportOrgEx(DC, &Origin);
        GetClipBox(DC, &Clip);
    }
    bool operator==(const TDCState& O) const {
        return Pen == O.Pen && Brush == O.Brush && Font == O.Font && Origin.x == O.Origin.x &&
               Origin.y == O.Origin.y && EqualRect(&Clip, &O.Clip);
    }
};

class PrintClient : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Framework = PrintClientHandlerOfWinControl();
        ASSERT_NE(Framework, nullptr);
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(0, 0, 200, 120);
        Panel = new TCustomControl(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 80, 40);
        Form->Show();
        Pump();
        ScreenDC = GetDC(nullptr);
        DC = CreateCompatibleDC(ScreenDC);
        Bitmap = CreateCompatibleBitmap(ScreenDC, 100, 60);
        OldBitmap = SelectObject(DC, Bitmap);
        SelectObject(DC, GetStockObject(WHITE_PEN));
        IntersectClipRect(DC, 0, 0, 90, 50);
    }
    void TearDown() override {
        SetPrintClientHandlerOfWinControl(Framework);
        SelectObject(DC, OldBitmap);
        DeleteObject(Bitmap);
        DeleteDC(DC);
        ReleaseDC(nullptr, ScreenDC);
        Form->Free();
        WindowTest::TearDown();
    }
    void Print() { SendMessageA(Panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT); }
    TForm* Form = nullptr;
    TCustomControl* Panel = nullptr;
    HDC ScreenDC = nullptr, DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
};

TEST_F(PrintClient, StartUpWrapsTheHandlerAndShutDownPutsTheFrameworksBack) {
    JvThemesInitialization();
    EXPECT_EQ(PrintClientHandlerOfWinControl(), &PrintClientWithSavedDC);
    EXPECT_EQ(SavedPrintClientHandler(), Framework);
    JvThemesInitialization();  // a second start-up must not wrap the wrapper
    EXPECT_EQ(SavedPrintClientHandler(), Framework);
    TDCState Before(DC);
    Print();
    EXPECT_TRUE(TDCState(DC) == Before);
    JvThemesFinalization();
    EXPECT_EQ(PrintClientHandlerOfWinControl(), Framework);
    EXPECT_EQ(SavedPrintClientHandler(), nullptr);
}

TEST_F(PrintClient, ContextLeftUntidyByTheHandlerComesBackAsItWas) {
    SetPrintClientHandlerOfWinControl(&UntidyPrintClient);
    TDCState Before(DC);
    Print();
    EXPECT_FALSE(TDCState(DC) == Before) << "the handler alone changes the context";
    RestoreDC(DC, -1);
    SelectObject(DC, GetStockObject(WHITE_PEN));
    SetViewportOrgEx(DC, 0, 0, nullptr);
    SelectClipRgn(DC, nullptr);
    IntersectClipRect(DC, 0, 0, 90, 50);
    Before = TDCState(DC);

    JvThemesInitialization();
    EXPECT_EQ(SavedPrintClientHandler(), &UntidyPrintClient);
    UntidyCalls = 0;
    Print();
    EXPECT_EQ(UntidyCalls, 1);
    EXPECT_TRUE(TDCState(DC) == Before) << "selected objects, origin and clipping as before";
    // Other messages reach the kept handler directly.
    TMessage Other{WM_APP + 3, 0, 0, 0};
    PrintClientWithSavedDC(Panel, Other);
    EXPECT_EQ(UntidyCalls, 2);
    EXPECT_EQ(UntidyLastMessage, WM_APP + 3);
    JvThemesFinalization();
    EXPECT_EQ(PrintClientHandlerOfWinControl(), &UntidyPrintClient);
}

// The further library's start-up and shut-down, in the order of the unit table. The shut-down of
// the storage unit ends its engine list for the rest of the process, so this runs in a process of
// its own.
class DISABLED_FurtherLibraryUnitsChild : public WindowTest {};

TEST_F(DISABLED_FurtherLibraryUnitsChild, StartAndStopInOrder) {
    TMessageHandler FrameworkHandler = PrintClientHandlerOfWinControl();
    ThreadValues[4] = 77;

    JvJVCLUtilsInitialization();
    TaskbarRestartUnitInitialization();
    JvThemesInitialization();
    CheckBoxSizeUnitInitialization();
    JvAppStoragePropertyEngineDBInitialization();
    ThreadValuesUnitInitialization();

    EXPECT_EQ(Screen->Cursors(crMultiDragLink), Screen->Cursors(crMultiDrag));
    EXPECT_EQ(Screen->Cursors(crDragAlt), Screen->Cursors(crDrag));
    EXPECT_EQ(Screen->Cursors(crMultiDragLinkAlt), Screen->Cursors(crMultiDrag));
    EXPECT_EQ(TaskbarRestartMessage, RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_NE(TaskbarRestartMessage, 0u);
    EXPECT_EQ(PrintClientHandlerOfWinControl(), &PrintClientWithSavedDC);
    EXPECT_GT(CheckBoxWidth, 0);
    EXPECT_GT(CheckBoxHeight, 0);
    EXPECT_EQ(ThreadValues[4], 0u);
    TDBGridColumns Columns(nullptr);
    ASSERT_NE(PropertyEngineList(), nullptr);
    EXPECT_NE(PropertyEngineList()->GetEngine(nullptr, &Columns), nullptr);

    JvAppStoragePropertyEngineDBFinalization();
    JvThemesFinalization();
    TaskbarRestartUnitFinalization();
    JvAppStorageFinalization();

    EXPECT_EQ(PrintClientHandlerOfWinControl(), FrameworkHandler);
    EXPECT_EQ(TaskbarRestartMessage, 0u);
    EXPECT_EQ(PropertyEngineList(), nullptr);
    RegisterPropertyEngine(TJvAppStoragePropertyEngineClass::Of<TJvAppStoragePropertyDBGridColumnsEngine>());
    EXPECT_EQ(PropertyEngineList(), nullptr) << "no list is made after shut-down";
}

TEST(FurtherLibraryUnits, StartAndStopInOrderInAProcessOfTheirOwn) {
    char Exe[MAX_PATH];
    GetModuleFileNameA(nullptr, Exe, MAX_PATH);
    std::string Output;
    int Code = testing_support::RunProcess("\"" + std::string(Exe) +
                                               "\" --gtest_also_run_disabled_tests "
                                               "--gtest_filter=DISABLED_FurtherLibraryUnitsChild.*",
                                           60000, {}, &Output);
    EXPECT_EQ(Code, 0) << Output;
    EXPECT_NE(Output.find("[  PASSED  ] 1 test"), std::string::npos) << Output;
}

}  // namespace
