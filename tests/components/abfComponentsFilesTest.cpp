// The shell's file operation on a temporary tree and file associations in the test prefix's
// registry.
#include "abfTestSupport.h"

#include "Registry.h"
#include "TestSupport.h"

using namespace abftests;
using testing_support::TempDir;

namespace {

// No undo (deleted files would go to the user's recycle bin) and no dialogs.
const TabfFileOperationFlags Quiet{fofFilesOnly, fofNoConfirmation, fofNoConfirmMkDir, fofNoErrorUI, fofSilent};

class abfComponentsFileOperation : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::WriteFileText(Dir / "report.txt", "report");
        testing_support::WriteFileText(Dir / "notes.txt", "notes");
        CreateDirectoryA((Dir / "out").c_str(), nullptr);
        Op.reset(Create<TabfFileOperation>(nullptr));
        Op->SetOptions(Quiet);
        Op->OnError = TabfFileOperationEvent::FromFunction([this](TObject*, const std::string& S, bool&) { Errors.push_back(S); });
    }
    TempDir Dir;
    TOwned<TabfFileOperation> Op;
    std::vector<std::string> Errors;
};

TEST_F(abfComponentsFileOperation, DefaultsAndAnEmptyListSucceedsWithoutTheShell) {
    TOwned<TabfFileOperation> Fresh(Create<TabfFileOperation>(nullptr));
    EXPECT_EQ(Fresh->Operation(), fotCopy);
    EXPECT_EQ(Fresh->Options(), (TabfFileOperationFlags{fofAllowUndo, fofFilesOnly, fofRenameCollision}));
    EXPECT_TRUE(Fresh->Execute());
}

TEST_F(abfComponentsFileOperation, CopiesEverySourceIntoDestFolder) {
    Op->FileList()->Add(Dir / "report.txt");
    Op->FileList()->Add(Dir / "notes.txt");
    Op->SetDestFolder(Dir / "out");
    ASSERT_TRUE(Op->Execute());
    EXPECT_TRUE(FileExists(Dir / "out\\report.txt"));
    EXPECT_TRUE(FileExists(Dir / "out\\notes.txt"));
    EXPECT_TRUE(FileExists(Dir / "report.txt"));
}

TEST_F(abfComponentsFileOperation, LinesWithDestinationsApplyTheirMasksUnderDestFolder) {
    Op->FileList()->Add(Dir / "report.txt=*.bak");
    Op->FileList()->Add(Dir / "notes.txt=" + Dir / "out\\kept.*");
    Op->SetDestFolder(Dir / "out");
    Op->SetOperation(fotMove);
    ASSERT_TRUE(Op->Execute()) << (Errors.empty() ? "" : Errors[0]);
    EXPECT_TRUE(FileExists(Dir / "out\\report.bak"));
    EXPECT_TRUE(FileExists(Dir / "out\\kept.txt"));
    EXPECT_FALSE(FileExists(Dir / "report.txt"));
}

TEST_F(abfComponentsFileOperation, DeletesAndReportsAMissingSource) {
    Op->FileList()->Add(Dir / "notes.txt");
    Op->SetOperation(fotDelete);
    ASSERT_TRUE(Op->Execute());
    EXPECT_FALSE(FileExists(Dir / "notes.txt"));
    EXPECT_TRUE(Errors.empty());

    Op->SetOperation(fotCopy);
    Op->SetDestFolder(Dir / "out");
    EXPECT_FALSE(Op->Execute()) << "the source is gone";
    EXPECT_EQ(Errors.size(), 1u) << "reported to OnError";
}

TEST(abfComponentsFileOperationText, ErrorTextIsTheSystemsAndEmptyForZero) {
    TOwned<TabfFileOperation> Op(Create<TabfFileOperation>(nullptr));
    std::string Text = "x";
    Op->GetErrorText(0, Text);
    EXPECT_EQ(Text, "");
    Op->GetErrorText(ERROR_FILE_NOT_FOUND, Text);
    EXPECT_EQ(Text.rfind(SysErrorMessage(ERROR_FILE_NOT_FOUND), 0), 0u) << Text;
}

// ---------------------------------------------------------------------------------------------

class abfComponentsFileAssociation : public ::testing::Test {
protected:
    void TearDown() override {
        TOwned<TRegistry> Reg(Create<TRegistry>());
        Reg->SetRootKey(HKEY_CLASSES_ROOT);
        Reg->DeleteKey(".abftest");
        Reg->DeleteKey("abftestfile");
    }
};

TEST_F(abfComponentsFileAssociation, SavedRegistrationReadsBackAndIsRemoved) {
    TOwned<TabfFileAssociation> A(Create<TabfFileAssociation>(nullptr));
    A->SetExtension("abftest");
    EXPECT_EQ(A->Extension(), ".abftest");
    A->SetReadOnly(false);
    A->SetFileDescription("Test document");
    A->SetCommand(TabfFileAssociation::vOpen, "notepad.exe \"%1\"");
    A->SetCommandDescription(TabfFileAssociation::vOpen, "&Open");
    A->SetIconFile(SystemFolder() + "shell32.dll");
    A->SetIconIndex(5);
    EXPECT_EQ(A->ExtDescription(), "abftestfile") << "named after the extension when empty";

    TOwned<TabfFileAssociation> B(Create<TabfFileAssociation>(nullptr));
    B->SetExtension(".abftest");
    EXPECT_EQ(B->ExtDescription(), "abftestfile");
    EXPECT_EQ(B->FileDescription(), "Test document");
    EXPECT_EQ(B->Command(TabfFileAssociation::vOpen), "notepad.exe \"%1\"");
    EXPECT_EQ(B->CommandDescription(TabfFileAssociation::vOpen), "&Open");
    EXPECT_EQ(B->IconFile(), SystemFolder() + "shell32.dll");
    EXPECT_EQ(B->IconIndex(), 5);
    EXPECT_FALSE(B->LargeIcon()->Empty());

    EXPECT_TRUE(B->Remove());
    EXPECT_EQ(B->ExtDescription(), "");
    EXPECT_TRUE(B->Remove()) << "nothing left to remove";
}

TEST_F(abfComponentsFileAssociation, IconIndexThatIsNoNumberStays) {
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(Reg->OpenKey("\\.abftest", true));
    Reg->WriteString("", "abftestfile");
    ASSERT_TRUE(Reg->OpenKey("\\abftestfile\\DefaultIcon", true));
    Reg->WriteString("", "C:\\x\\file.ico,abc");
    Reg->CloseKey();
    TOwned<TabfFileAssociation> A(Create<TabfFileAssociation>(nullptr));
    A->SetExtension(".abftest");
    EXPECT_EQ(A->IconFile(), "C:\\x\\file.ico,abc");
    EXPECT_EQ(A->IconIndex(), 0);
    EXPECT_FALSE(A->LargeIcon()->Empty()) << "the shell's icon 0 stands in";
}

TEST_F(abfComponentsFileAssociation, UnregisteredExtensionClearsEverythingAndShowsTheShellsIcon) {
    TOwned<TabfFileAssociation> A(Create<TabfFileAssociation>(nullptr));
    A->SetExtension(".abfnotregistered");
    EXPECT_FALSE(A->Refresh());
    EXPECT_EQ(A->ExtDescription(), "");
    EXPECT_EQ(A->Command(TabfFileAssociation::vOpen), "");
    EXPECT_FALSE(A->LargeIcon()->Empty());
    EXPECT_FALSE(A->SmallIcon()->Empty());
}

TEST_F(abfComponentsFileAssociation, ReadOnlyAtRunTimeChangesNothing) {
    TOwned<TabfFileAssociation> A(Create<TabfFileAssociation>(nullptr));
    A->SetExtension(".abftest");
    A->SetCommand(TabfFileAssociation::vOpen, "x.exe");
    EXPECT_EQ(A->Command(TabfFileAssociation::vOpen), "");
    TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(Reg->KeyExists(".abftest"));
}

TEST_F(abfComponentsFileAssociation, DesigningWithReadOnlyWarns) {
    TBoxRecorderScope Boxes;
    TOwned<TabfFileAssociation> A(Create<TabfFileAssociation>(nullptr));
    A->SetDesigning(true);
    A->SetExtension(".abftest");
    A->SetFileDescription("x");
    ASSERT_EQ(Boxes.Recorder.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Text, "Cannot change the property in Read-Only mode.");
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Caption, "Warning");
}

}  // namespace
