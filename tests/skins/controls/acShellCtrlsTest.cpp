// The shell folder model: item-ID list arithmetic on hand-made lists, the text and flag rules, and
// what the shell of the test prefix gives for a temporary folder tree made by the tests.
#include "../engine/SkinTestSupport.h"

#include "Dialogs.h"
#include "TestSupport.h"
#include "acShellCtrls.h"

#include <cstring>
#include <vector>

using namespace skintests;
using testing_support::TempDir;
using testing_support::WriteFileText;

namespace {

// A list of items whose payloads have the given sizes; byte K of item I's payload holds I * 16 + K.
PItemIDList MakeList(const std::vector<int>& PayloadSizes) {
    int Size = 2;
    for (int P : PayloadSizes)
        Size += P + 2;
    PItemIDList L = AllocItemIdList(Size);
    auto* B = reinterpret_cast<BYTE*>(L);
    for (std::size_t I = 0; I < PayloadSizes.size(); ++I) {
        auto Cb = static_cast<USHORT>(PayloadSizes[I] + 2);
        std::memcpy(B, &Cb, 2);
        for (int K = 0; K < PayloadSizes[I]; ++K)
            B[2 + K] = static_cast<BYTE>(I * 16 + K);
        B += Cb;
    }
    return L;
}

std::vector<BYTE> Bytes(PItemIDList L) {
    auto* B = reinterpret_cast<BYTE*>(L);
    return std::vector<BYTE>(B, B + ItemIdListSize(L));
}

// Frees the lists given to it at the end of the test.
struct TListsHeld {
    std::vector<PItemIDList> Lists;
    PItemIDList operator()(PItemIDList L) {
        Lists.push_back(L);
        return L;
    }
    ~TListsHeld() {
        for (PItemIDList L : Lists)
            FreeItemIdList(L);
    }
};

// Answers every message box and remembers its text.
class TBoxRecorder : public TMessagePresenter {
public:
    int MessageBox(HWND, const std::string& Text, const std::string&, UINT) override {
        Texts.push_back(Text);
        return IDOK;
    }
    std::vector<std::string> Texts;
};

class acShellCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureSkinUnits();
        acShellCtrlsInitialization();
    }
    void TearDown() override { acShellCtrlsFinalization(); }

    // The item of an existing path, below the desktop.
    TacShellFolder* FolderOfPath(const std::string& Path) {
        std::wstring Wide = AnsiToWide(Path);
        PItemIDList ID = nullptr;
        ULONG Eaten = 0;
        EXPECT_EQ(GetDesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Wide.data(), &Eaten, &ID, nullptr),
                  S_OK)
            << Path;
        TacShellFolder* F = FolderFromAbsoluteId(ID);
        FreeItemIdList(ID);
        return F;
    }
};

TEST_F(acShellCtrlsTest, ItemIdListsCountSizeCopyAndCut) {
    TListsHeld Held;
    PItemIDList L = Held(MakeList({3, 1, 4}));
    EXPECT_EQ(CountItemIds(L), 3);
    EXPECT_EQ(ItemIdListSize(L), 2 + 5 + 3 + 6);
    EXPECT_EQ(ItemIdListSize(nullptr), 0);
    EXPECT_EQ(NextItemId(L)->mkid.cb, 3);

    PItemIDList Copy = Held(CopyItemIdList(L));
    EXPECT_NE(Copy, L);
    EXPECT_EQ(Bytes(Copy), Bytes(L));

    PItemIDList Last = Held(LastItemIdOf(L));
    EXPECT_EQ(CountItemIds(Last), 1);
    EXPECT_EQ(Last->mkid.cb, 6);
    EXPECT_EQ(Last->mkid.abID[0], 32) << "the third item's first byte";

    RemoveLastItemId(Copy);
    EXPECT_EQ(CountItemIds(Copy), 2);
    EXPECT_EQ(ItemIdListSize(Copy), 2 + 5 + 3);
    RemoveLastItemId(nullptr);
    PItemIDList Empty = Held(MakeList({}));
    RemoveLastItemId(Empty);
    EXPECT_EQ(CountItemIds(Empty), 0);
}

TEST_F(acShellCtrlsTest, JoiningKeepsOneTerminator) {
    TListsHeld Held;
    PItemIDList A = Held(MakeList({2, 3}));
    PItemIDList B = Held(MakeList({1}));
    PItemIDList Empty = Held(MakeList({}));

    PItemIDList AB = Held(JoinItemIdLists(A, B));
    EXPECT_EQ(CountItemIds(AB), 3);
    EXPECT_EQ(ItemIdListSize(AB), ItemIdListSize(A) + ItemIdListSize(B) - 2);
    EXPECT_EQ(Held(LastItemIdOf(AB))->mkid.abID[0], 0) << "B's first payload byte ends the join";

    EXPECT_EQ(Bytes(Held(JoinItemIdLists(nullptr, B))), Bytes(B));
    EXPECT_EQ(Bytes(Held(JoinItemIdLists(A, Empty))), Bytes(A));
    EXPECT_EQ(Bytes(Held(JoinItemIdLists(A, nullptr))), Bytes(A)) << "a missing second list is the empty one";
    EXPECT_EQ(CopyItemIdList(nullptr), nullptr);
}

TEST_F(acShellCtrlsTest, AncestorsRunFromTheDesktopToTheParent) {
    TListsHeld Held;
    PItemIDList L = Held(MakeList({2, 3, 4}));
    TList* Ancestors = AncestorIdLists(L);
    ASSERT_EQ(Ancestors->Count(), 3);
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(CountItemIds(static_cast<PItemIDList>(Ancestors->Items(I))), I);
    EXPECT_EQ(ItemIdListSize(static_cast<PItemIDList>(Ancestors->Items(2))), 2 + 4 + 5);
    FreeIdListList(Ancestors);

    TList* One = AncestorIdLists(Held(MakeList({5})));
    ASSERT_EQ(One->Count(), 1);
    EXPECT_EQ(CountItemIds(static_cast<PItemIDList>(One->Items(0))), 0);
    FreeIdListList(One);

    TList* None = AncestorIdLists(Held(MakeList({})));
    EXPECT_EQ(None->Count(), 0);
    FreeIdListList(None);
    FreeIdListList(nullptr);
}

TEST_F(acShellCtrlsTest, StrRetTextOfEachKindAndTheQuestionMarkRule) {
    struct Case {
        const char* Given;
        const char* Expected;
    };
    for (const Case& C : {Case{"?5", "5"}, Case{"?", "?"}, Case{"?a", "?a"}, Case{"?1?2", "12"},
                          Case{"a?1", "a?1"}, Case{"Disk", "Disk"}}) {
        STRRET S{};
        S.uType = STRRET_CSTR;
        std::strcpy(S.cStr, C.Given);
        EXPECT_EQ(StrRetText(nullptr, S), C.Expected) << C.Given;
    }

    STRRET W{};
    W.uType = STRRET_WSTR;
    const wchar_t Wide[] = L"Wide name";
    W.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(Wide)));
    std::memcpy(W.pOleStr, Wide, sizeof(Wide));
    EXPECT_EQ(StrRetText(nullptr, W), "Wide name");
    EXPECT_EQ(W.pOleStr, nullptr) << "the shell's text is freed";
    STRRET NoText{};
    NoText.uType = STRRET_WSTR;
    EXPECT_EQ(StrRetText(nullptr, NoText), "");

    // An item whose payload holds a name without its zero: the text ends with the item.
    TListsHeld Held;
    PItemIDList L = Held(AllocItemIdList(2 + 6 + 2));
    L->mkid.cb = 8;
    std::memcpy(L->mkid.abID, "xyName", 6);
    STRRET O{};
    O.uType = STRRET_OFFSET;
    O.uOffset = 4;
    EXPECT_EQ(StrRetText(L, O), "Name");
    O.uOffset = 40;
    EXPECT_EQ(StrRetText(L, O), "") << "an offset beyond the item reads nothing";
}

TEST_F(acShellCtrlsTest, FlagsRootsAndDetailColumns) {
    EXPECT_EQ(ObjectTypesToFlags({otFolders}), static_cast<DWORD>(SHCONTF_FOLDERS));
    EXPECT_EQ(ObjectTypesToFlags({otNonFolders}), static_cast<DWORD>(SHCONTF_NONFOLDERS));
    EXPECT_EQ(ObjectTypesToFlags({otFolders, otNonFolders, otHidden}), 32u + 64u + 128u);
    EXPECT_EQ(ObjectTypesToFlags({}), 0u);

    EXPECT_EQ(RootFolderIndex("rfDesktop"), rfDesktop);
    EXPECT_EQ(RootFolderIndex("RFPERSONAL"), rfPersonal);
    EXPECT_EQ(RootFolderIndex("C:\\"), -1);
    EXPECT_EQ(RootCSIDL[rfMyComputer], CSIDL_DRIVES);
    EXPECT_EQ(RootCSIDL[rfPersonal], CSIDL_PERSONAL);
    EXPECT_EQ(RootCSIDL[rfTemplates], CSIDL_TEMPLATES);

    WIN32_FIND_DATAA File{};
    std::strcpy(File.cFileName, "archive.7z");
    File.nFileSizeHigh = 1;
    File.nFileSizeLow = 5;
    File.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(FindDataColumnText(File, 1), "4294967301");
    EXPECT_EQ(FindDataColumnText(File, 2), ".7z");
    EXPECT_EQ(FindDataColumnText(File, 4), "33");
    EXPECT_EQ(FindDataColumnText(File, 5), "");
    WIN32_FIND_DATAA Dir = File;
    Dir.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(FindDataColumnText(Dir, 1), "-1");
    EXPECT_EQ(FindDataColumnText(Dir, 3), DateTimeToStr(-1));
}

TEST_F(acShellCtrlsTest, ItemsOfAFolderTreeKnowTheirPathsNamesAndKinds) {
    TempDir Dir;
    CreateDirectoryA((Dir / "Sub").c_str(), nullptr);
    WriteFileText(Dir / "Sub\\report.txt", "text");
    WriteFileText(Dir / "pack.zip", "not really");

    TOwned<TacShellFolder> Sub(FolderOfPath(Dir / "Sub"));
    EXPECT_TRUE(SameText(Sub->PathName(), Dir / "Sub")) << Sub->PathName();
    EXPECT_EQ(Sub->DisplayName(seSystem), "Sub");
    EXPECT_EQ(Sub->DisplayName(seHide), "Sub") << "folders keep their names";
    EXPECT_TRUE(Sub->IsFolder());
    EXPECT_TRUE(Sub->Traits().Contains(ftFileSystem));
    EXPECT_TRUE(Sub->Abilities().Contains(faRename));
    EXPECT_EQ(Sub->Parent(), DesktopFolder);
    EXPECT_TRUE(HasChildObjects(Sub->ShellFolder(), ObjectTypesToFlags({otNonFolders})));
    EXPECT_FALSE(HasChildObjects(Sub->ShellFolder(), ObjectTypesToFlags({otFolders})));
    EXPECT_FALSE(HasChildObjects(nullptr, 0));

    TOwned<TacShellFolder> Report(FolderOfPath(Dir / "Sub\\report.txt"));
    EXPECT_FALSE(Report->IsFolder());
    EXPECT_EQ(Report->DisplayName(seHide), "report");
    EXPECT_EQ(Report->DisplayName(seShow), "report.txt");

    TOwned<TacShellFolder> Zip(FolderOfPath(Dir / "pack.zip"));
    EXPECT_FALSE(Zip->IsFolder(".ZIP", false)) << "refused by its extension before the shell is asked";
    EXPECT_EQ(Zip->IsFolder("", false), IsShellFolderItem(Zip->ParentShellFolder(), Zip->RelativeID()));

    EXPECT_EQ(GetItemDisplayName(nullptr, Sub->RelativeID(), SHGDN_NORMAL, seSystem), "parentfolder = nil");
}

TEST_F(acShellCtrlsTest, HiddenExtensionsAreShownAgainWithSeShow) {
    TempDir Dir;
    WriteFileText(Dir / "notes.txt", "x");
    HKEY Key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                            &Key),
              ERROR_SUCCESS);
    DWORD Hide = 1;
    RegSetValueExA(Key, "HideFileExt", 0, REG_DWORD, reinterpret_cast<BYTE*>(&Hide), sizeof(Hide));
    TOwned<TacShellFolder> Notes(FolderOfPath(Dir / "notes.txt"));
    std::string System = Notes->DisplayName(seSystem);
    std::string Shown = Notes->DisplayName(seShow);
    RegDeleteValueA(Key, "HideFileExt");
    RegCloseKey(Key);
    if (System != "notes")
        GTEST_SKIP() << "this shell ignores HideFileExt and names the file " << System;
    EXPECT_EQ(Shown, "notes.txt");
}

TEST_F(acShellCtrlsTest, SpecialRootsAndVirtualItems) {
    GetDesktopShellFolder();  // the first shell query makes the desktop's folder
    ASSERT_NE(DesktopFolder, nullptr);
    EXPECT_EQ(DesktopFolder->Parent(), nullptr);
    EXPECT_EQ(CountItemIds(DesktopFolder->AbsoluteID()), 0);

    TacRoot Root = "rfMyComputer";
    TOwned<TacShellFolder> Computer(ResolveRootFolder(nullptr, "rfDesktop", Root));
    EXPECT_EQ(Root, "rfMyComputer");
    EXPECT_EQ(CountItemIds(Computer->AbsoluteID()), 1);
    std::string Path = Computer->PathName();
    EXPECT_NE(Path.compare(0, 3, "::{"), 0) << "a class-identifier path reads as the display name";
    EXPECT_EQ(Path, Computer->DisplayName(seSystem));
    EXPECT_TRUE(Computer->IsFolder());
    EXPECT_TRUE(Computer->SubFolders());

    Root = "c";
    TOwned<TacShellFolder> Drive(ResolveRootFolder(nullptr, "rfDesktop", Root));
    EXPECT_EQ(Root, "c:\\") << "a drive letter gets its colon and backslash";
    EXPECT_TRUE(SameText(Drive->PathName(), "C:\\"));
    TOwned<TacShellFolder> Again(FolderFromAbsoluteId(Drive->AbsoluteID()));
    EXPECT_TRUE(SameItemIdLists(Again->AbsoluteID(), Drive->AbsoluteID()));
}

TEST_F(acShellCtrlsTest, ABadRootFallsBackToTheOldOneOrRaises) {
    TBoxRecorder Recorder;
    TMessagePresenter* Old = SetMessagePresenter(&Recorder);
    struct TRestore {
        TMessagePresenter* P;
        ~TRestore() { SetMessagePresenter(P); }
    } Restore{Old};

    TempDir Dir;
    TacShellFolder* Previous = FolderOfPath(Dir.Path());
    TacRoot Root = Dir / "missing";
    TOwned<TacShellFolder> Result(ResolveRootFolder(Previous, "rfPersonal", Root));
    EXPECT_EQ(Root, "rfPersonal");
    ASSERT_EQ(Recorder.Texts.size(), 1u);
    EXPECT_EQ(Recorder.Texts[0], "Error Setting Path : " + Dir / "missing\\");
    TacRoot Personal = "rfPersonal";
    TOwned<TacShellFolder> Expected(ResolveRootFolder(nullptr, "", Personal));
    EXPECT_TRUE(SameItemIdLists(Result->AbsoluteID(), Expected->AbsoluteID()));

    Root = Dir / "missing";
    try {
        ResolveRootFolder(nullptr, Dir / "also missing", Root);
        ADD_FAILURE() << "two bad roots raise";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Error Setting Path : " + Dir / "missing\\");
    }
    EXPECT_EQ(Recorder.Texts.size(), 1u) << "no box when the error is raised";
}

TEST_F(acShellCtrlsTest, RenameAndColumnDetails) {
    TempDir Dir;
    WriteFileText(Dir / "old.txt", "12345");
    TOwned<TacShellFolder> Parent(FolderOfPath(Dir.Path()));
    TOwned<TacShellFolder> File(FolderOfPath(Dir / "old.txt"));
    try {
        File->Details(1);
        ADD_FAILURE() << "details before they are loaded raise";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), File->DisplayName(seSystem) + ": Missing call to LoadColumnDetails");
    }
    File->LoadColumnDetails(Parent.get(), nullptr, 3);
    EXPECT_EQ(File->DetailTexts()->Count(), 3);
    File->LoadColumnDetails(Parent.get(), nullptr, 2);
    EXPECT_EQ(File->DetailTexts()->Count(), 3) << "enough texts are not read again";

    EXPECT_TRUE(File->Rename("new.txt"));
    EXPECT_TRUE(FileExists(Dir / "new.txt"));
    EXPECT_FALSE(FileExists(Dir / "old.txt"));
    EXPECT_TRUE(SameText(File->PathName(), Dir / "new.txt")) << "both lists follow the new name";

    WIN32_FIND_DATAA Data{};
    File->ReadFindData(Data);
    EXPECT_EQ(Data.nFileSizeLow, 5u);
    DeleteFileA((Dir / "new.txt").c_str());
    try {
        File->ReadFindData(Data);
        ADD_FAILURE() << "a vanished file raises";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message().find("Unable to retrieve folder details for \"" + File->DisplayName(seSystem) + "\""),
                  0u)
            << E.Message();
    }
}

}  // namespace
