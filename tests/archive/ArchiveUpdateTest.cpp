// Update archives: an existing 7z archive read, changed and written out again in place of the old.
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::uint8_t> BytesOf(const std::string& S) { return std::vector<std::uint8_t>(S.begin(), S.end()); }

class UpdateArchive : public ::testing::Test {
protected:
    TempDir Dir;
    std::string Arc = Dir / "docs.7z";
    std::vector<std::unique_ptr<TMemoryStream, TObjectDeleter>> Sources;

    TMemoryStream* Text(const std::string& S) {
        Sources.emplace_back(Create<TMemoryStream>());
        Sources.back()->WriteBuffer(S.data(), static_cast<LongInt>(S.size()));
        Sources.back()->SetPosition(0);
        return Sources.back().get();
    }

    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryPath(Dir / "Docs"));
        TOwned<TJcl7zCompressArchive> W(CreateArchiveOnFile<TJcl7zCompressArchive>(Arc));
        W->AddStream(L"a.txt", Text("alpha"));
        W->AddDirectory(L"Docs", Dir / "Docs");
        W->AddStream(L"Docs\\a.txt", Text("docs a"));
        W->AddStream(L"docs\\b.txt", Text("docs b"));
        W->AddStream(L"Docs2\\c.txt", Text("docs2 c"));
        W->Compress();
    }

    TOwned<TJcl7zUpdateArchive> Updater() {
        TJclCompressionArchiveClass Class = GetArchiveFormats()->GetUpdateClass(2);
        EXPECT_EQ(Class, TJcl7zUpdateArchive::StaticClass());
        TOwned<TJcl7zUpdateArchive> U(As<TJcl7zUpdateArchive>(Class->CreateOnFile(Arc)));
        U->ListFiles();
        return U;
    }

    // The archive as a reader sees it: names with their data, in archive order.
    std::vector<std::string> Contents() {
        TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Arc));
        R->ListFiles();
        TempDir Out;
        R->ExtractAll(Out.Path(), true);
        std::vector<std::string> Result;
        for (LongInt I = 0; I < R->GetItemCount(); ++I) {
            TJclCompressionItem* Item = R->GetItem(I);
            std::string Line = WideToAnsi(Item->GetPackedName());
            if (!(Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY)) {
                auto B = ReadFileBytes(Item->GetFileName());
                Line += "=" + std::string(B.begin(), B.end());
            }
            Result.push_back(Line);
        }
        return Result;
    }

    std::vector<std::string> FilesInDir() {
        std::vector<std::string> Names;
        EnumerateDirectoryEntries(Dir.Path() + "*", FILE_ATTRIBUTE_DIRECTORY, 0, nullptr,
                                  [&](const std::string&, const TJclSearchEntry& E) { Names.push_back(E.Name); });
        return Names;
    }
};

TEST_F(UpdateArchive, RemoveAFolderAddAndReplaceThenWriteInPlace) {
    auto U = Updater();
    ASSERT_EQ(U->GetItemCount(), 5);
    U->RemoveItem(L"DOCS");  // the folder, Docs\a.txt and docs\b.txt; Docs2\c.txt stays
    EXPECT_EQ(U->GetItemCount(), 2);
    U->AddStream(L"A.TXT", Text("replaced"));  // the name of an old entry: it takes its place
    U->AddStream(L"new.txt", Text("brand new"));
    U->Compress();
    EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"docs.7z"}));  // no temporary volume left
    EXPECT_EQ(Contents(), (std::vector<std::string>{"Docs2\\c.txt=docs2 c", "A.TXT=replaced", "new.txt=brand new"}));

    // The same object goes on with the new archive.
    U->ListFiles();
    EXPECT_EQ(U->GetItemCount(), 3);
    U->ExtractAll(Dir / "out", true);
    EXPECT_EQ(ReadFileBytes(Dir / "out\\new.txt"), BytesOf("brand new"));
}

TEST_F(UpdateArchive, ADeletedEntrysNameCanBeAddedAgain) {
    auto U = Updater();
    U->AddStream(L"other.txt", Text("x"));  // the name list now exists
    LongInt Old = -1;
    for (LongInt I = 0; I < U->GetItemCount(); ++I)
        if (U->GetItem(I)->GetPackedName() == L"a.txt")
            Old = I;
    ASSERT_GE(Old, 0);
    U->DeleteItem(Old);
    U->AddStream(L"a.txt", Text("again"));
    EXPECT_EQ(U->GetItemCount(), 6);
    U->Compress();
    const auto C = Contents();
    EXPECT_EQ(std::count(C.begin(), C.end(), "a.txt=again"), 1);
    EXPECT_EQ(C.size(), 6u);
}

TEST_F(UpdateArchive, AFailedUpdateLeavesTheOldArchiveAndNoTemporary) {
    const auto Before = ReadFileBytes(Arc);
    auto U = Updater();
    TMemoryStream* Broken = Text("will not be read");
    U->AddStream(L"broken.bin", Broken);
    U->OnProgress = TJclCompressionProgressEvent::FromFunction([](TObject*, Int64, Int64) { Abort(); });
    EXPECT_THROW(U->Compress(), EAbort);
    EXPECT_FALSE(U->Compressing());
    EXPECT_EQ(ReadFileBytes(Arc), Before);
    EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"docs.7z"}));
}

TEST_F(UpdateArchive, AVanishedSourceIsNamedAndNotMadeAgain) {
    const auto Before = ReadFileBytes(Arc);
    const std::string Source = Dir / "gone.txt";
    testing_support::WriteFileText(Source, "soon gone");
    auto U = Updater();
    U->AddFile(L"gone.txt", Source);
    ASSERT_TRUE(DeleteFileA(Source.c_str()));
    try {
        U->Compress();
        ADD_FAILURE() << "nothing raised";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message().rfind("Cannot open file " + Source, 0), 0u) << E.Message();
    }
    EXPECT_FALSE(IsExistingFile(Source));  // opening for writing would have made an empty one
    EXPECT_EQ(ReadFileBytes(Arc), Before);
}

TEST_F(UpdateArchive, AReplaceHookThatDoesTheWorkLeavesTheFiles) {
    const auto Before = ReadFileBytes(Arc);
    auto U = Updater();
    U->AddStream(L"more.txt", Text("more"));
    std::vector<std::string> Seen;
    U->ReplaceVolumeHook = [&](TJclOutOfPlaceUpdateArchive*, const std::string& Tmp, const std::string& Name, TStream*&,
                               TStream*&, bool&, bool&) {
        Seen.push_back(FileNamePart(Name) + " <- " + FileNamePart(Tmp));
        return true;
    };
    EXPECT_NO_THROW(U->Compress());
    EXPECT_EQ(Seen, (std::vector<std::string>{"docs.7z <- docs.7z.tmp"}));
    EXPECT_EQ(ReadFileBytes(Arc), Before);
}

TEST_F(UpdateArchive, SettingsOfTheSevenZipUpdater) {
    auto U = Updater();
    void* P = nullptr;
    EXPECT_EQ(U->QueryInterface(IID_IArchiveSolidSetting, &P), E_NOINTERFACE);
    ASSERT_EQ(U->QueryInterface(IID_IArchiveLevelSetting, &P), S_OK);
    static_cast<IArchiveLevelSetting*>(P)->SetCompressionLevel(3);
    EXPECT_EQ(U->GetDictionarySize(), 1048576u);
    EXPECT_THROW(U->SetCompressionLevel(10), EJclCompressionError);
    EXPECT_EQ(U->GetCompressionLevel(), 3u);
    U->OnExtract = TJclCompressionExtractEvent::FromFunction([&](TObject*, LongInt, std::string&, bool&, TStream*&, bool&) {
        EXPECT_THROW(U->SetNumberOfThreads(2), EJclCompressionError);  // not while decompressing
    });
    U->ExtractAll(Dir / "x", true);
    EXPECT_EQ(U->GetNumberOfThreads(), 1u);
}
}  // namespace
