// The program's unit table: each unit once, and a full shut-down followed by a new start-up leaves
// the program able to load its windows again.
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
