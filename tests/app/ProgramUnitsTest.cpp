// The program's unit table: each unit once, and a full shut-down followed by a new start-up leaves
// the program able to load its windows again; the units started once the main window is up are not
// needed before.
#include "MainWindowTestSupport.h"

#include <set>

using namespace app_tests;

TEST(ProgramUnitTable, EachUnitOnceWithWorkToDo) {
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    ASSERT_GT(Count, 0u);
    std::set<std::string> Names;
    for (std::size_t I = 0; I < Count; ++I) {
        SCOPED_TRACE(Units[I].Name);
        EXPECT_TRUE(Names.insert(Units[I].Name).second) << "listed twice";
        EXPECT_TRUE(Units[I].Initialization || Units[I].Finalization);
    }
    // The framework comes up before anything that makes windows or registers classes.
    EXPECT_STREQ(Units[0].Name, "SysUtils");
}

TEST(ProgramUnitTable, StopsAndStartsAgainCleanly) {
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    FinalizeUnits();
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);

    InitializeUnits(Units, Count);
    ASSERT_NE(Application, nullptr);
    Application->SetTitle("Quarnel Backup tests");
    // The classes the program's form resources name.
    for (const char* Class : {"TsiLang", "TsiLangDispatcher", "TRxMemoryData", "TabfTrayIcon", "TabfOneInstance",
                              "TsRichEdit", "TsSpinEdit", "TsPanel", "TsMemo", "TsLabel", "TRxDBGrid"})
        EXPECT_NE(GetClass(Class), nullptr) << Class;
    DiscoverOnLoopback();
    TOwned<TfrmSetting> W(Create<TfrmSetting>(nullptr));
    EXPECT_EQ(W->Caption(), "Quarnel Backup for MS SQL Server");
}

TEST(ProgramUnitTable, TheComponentLibrariesNoWindowPlacesStartOnceTheMainWindowIsUp) {
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    const std::size_t Later = ProgramUnitsStartedLater();
    ASSERT_GT(Later, 0u);
    ASSERT_LT(Later, Count);
    const std::size_t First = Count - Later;
    // A tail of the table, so the units still start in its order: the theme and timer library
    // first, then the skin engine and its controls, then the grid library.
    EXPECT_EQ(std::string(Units[First].Name), "LMDSysIn");
    for (std::size_t I = 0; I < Count; ++I) {
        SCOPED_TRACE(Units[I].Name);
        const std::string Name = Units[I].Name;
        if (Name.rfind("dx", 0) == 0 || Name.rfind("lmd", 0) == 0 || Name.rfind("LMD", 0) == 0 ||
            Name == "sSkinManager" || Name == "sRichEdit" || Name == "acShellCtrls") {
            EXPECT_GE(I, First);
        }
        if (Name.rfind("abf", 0) == 0 || Name.rfind("si", 0) == 0 || Name == "RxMemDS" || Name == "DBGrids" ||
            Name == "ADODB") {
            EXPECT_LT(I, First);
        }
    }

    FinalizeUnits();
    InitializeUnits(Units, First);
    ASSERT_NE(Application, nullptr);
    Application->SetTitle("Quarnel Backup tests");
    DiscoverOnLoopback();
    // The tree list's cursors are among the later units' start-up effects (its headers' names clash
    // with the program's, hence the number of its full-scroll cursor).
    constexpr int FullScrollCursorIndex = -1131;
    const HCURSOR Default = Screen->Cursors(crDefault);
    {
        // The main window is read and made without them...
        TOwned<TfrmSetting> W(Create<TfrmSetting>(nullptr));
        EXPECT_EQ(W->Caption(), "Quarnel Backup for MS SQL Server");
        EXPECT_TRUE(W->MemSettitngs->Active());
        EXPECT_FALSE(UnitStarted(Units + First));
        EXPECT_EQ(Screen->Cursors(FullScrollCursorIndex), Default);
        // ...and starts them once it has painted, before the rest of its start (whose error
        // window is made of skinned controls).
        W->Show();
        Application->ProcessMessages();
        EXPECT_TRUE(IsWindowVisible(W->Handle()));
        EXPECT_TRUE(UnitStarted(Units + First));
        EXPECT_TRUE(UnitStarted(Units + Count - 1));
        EXPECT_NE(Screen->Cursors(FullScrollCursorIndex), Default);
    }
    // Once only: a second call finds them started.
    EXPECT_TRUE(StartLaterProgramUnits());
    EXPECT_TRUE(LaterProgramUnitsFailure().empty());
}
