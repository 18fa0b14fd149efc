// The archive classes over the 7-Zip library: the binding's checks, the format registry, the
// backup's packing road and the restore's unpacking road, with the faults they must not have.
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using testing_support::WriteFileText;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::uint8_t> DatabaseLikeBytes(size_t Size) {
    std::vector<std::uint8_t> B(Size);
    std::uint32_t X = 12345;
    for (size_t I = 0; I < Size; ++I) {
        X = X * 1103515245u + 12345u;
        B[I] = (I % 64 < 40) ? static_cast<std::uint8_t>('a' + (I / 64) % 26) : static_cast<std::uint8_t>(X >> 24);
    }
    return B;
}

FILETIME TimeOf(const std::string& Path) {
    WIN32_FILE_ATTRIBUTE_DATA D{};
    GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &D);
    return D.ftLastWriteTime;
}

bool SameTime(FILETIME A, FILETIME B) { return A.dwLowDateTime == B.dwLowDateTime && A.dwHighDateTime == B.dwHighDateTime; }

std::wstring FileNamePartW(const std::string& Path) {
    std::string N = FileNamePart(Path);
    return std::wstring(N.begin(), N.end());
}

// Packs one file the way the backup does: the class the registry gives for its name + ".7z",
// level 9, compressed headers, the password, the bare file name as the entry.
std::string PackLikeTheBackup(const std::string& BakPath, const std::wstring& Password) {
    const std::string ArchiveName = BakPath + ".7z";
    TJclCompressionArchiveClass Class = GetArchiveFormats()->FindCompressFormat(ArchiveName);
    EXPECT_EQ(Class, TJcl7zCompressArchive::StaticClass());
    TOwned<TJclCompressionArchive> Archive(Class->CreateOnFile(ArchiveName, 0, false));
    auto* SevenZ = As<TJcl7zCompressArchive>(Archive.get());
    SevenZ->SetCompressionLevel(9);
    SevenZ->SetCompressHeader(true);
    SevenZ->Password = Password;
    EXPECT_EQ(SevenZ->AddDirectory(std::wstring(FileNamePartW(BakPath)), BakPath, false, false), 0);
    SevenZ->Compress();
    return ArchiveName;
}
}  // namespace

// ---------------------------------------------------------------------------------------------

TEST(SevenzipBinding, ResultCheckShowsEightUpperCaseDigitsAndTheSystemsText) {
    EXPECT_NO_THROW(CheckLibraryResult(S_OK));
    EXPECT_EQ(MessageOf([] { CheckLibraryResult(S_FALSE); }),
              std::string("Sevenzip: Error result (00000001) \"") + JclResources::RsCompressionSevenzipCannotOpen + "\"");
    const std::string M = MessageOf([] { CheckLibraryResult(E_NOINTERFACE); });
    EXPECT_EQ(M, "Sevenzip: Error result (80004002) \"" + SysErrorMessage(0x80004002u) + "\"");
}

TEST(SevenzipBinding, LoadsTheLibraryBesideTheProgramOnce) {
    EXPECT_EQ(sevenzip::SevenzipLibraryPath(), testing_support::BinDir() + "7z.dll");
    ASSERT_TRUE(sevenzip::LoadSevenZipLibrary());
    EXPECT_TRUE(sevenzip::SevenZipLibraryLoaded());
    auto* Create = sevenzip::CreateObject;
    EXPECT_TRUE(sevenzip::LoadSevenZipLibrary());
    EXPECT_EQ(sevenzip::CreateObject, Create);
    EXPECT_NE(sevenzip::GetNumberOfFormats, nullptr);
    EXPECT_NE(sevenzip::GetNumberOfMethods, nullptr);
    EXPECT_NE(sevenzip::SetLargePageMode, nullptr);
}

TEST(SevenzipBinding, ClassIdentifiersInRegistryForm) {
    EXPECT_EQ(GUIDToRegistryString(sevenzip::FormatClassID(0x07)), "{23170F69-40C1-278A-1000-000110070000}");
    EXPECT_EQ(GUIDToRegistryString(sevenzip::IID_IInArchive), "{23170F69-40C1-278A-0000-000600600000}");
    EXPECT_EQ(GUIDToRegistryString(sevenzip::IID_ICryptoGetTextPassword2), "{23170F69-40C1-278A-0000-000500110000}");
}

// ---------------------------------------------------------------------------------------------

struct FormatCase {
    const char* FileName;
    TClass Compress;
    TClass Decompress;
};

TEST(ArchiveFormats, RegistryListsAndLookups) {
    TJclCompressionArchiveFormats* F = GetArchiveFormats();
    EXPECT_EQ(F->CompressClassCount(), 7);
    EXPECT_EQ(F->DecompressClassCount(), 37);
    EXPECT_EQ(F->UpdateClassCount(), 6);
    const FormatCase Cases[] = {
        {"C:\\Backup\\srv_db_stamp.bak.7z", TJcl7zCompressArchive::StaticClass(), TJcl7zDecompressArchive::StaticClass()},
        {"ARCHIVE.7Z", TJcl7zCompressArchive::StaticClass(), TJcl7zDecompressArchive::StaticClass()},
        {"disk.iso", nullptr, TJclUdfDecompressArchive::StaticClass()},
        {"disk.img", nullptr, TJclNtfsDecompressArchive::StaticClass()},
        {"boot.mbr", nullptr, TJclMbrDecompressArchive::StaticClass()},
        {"movie.swf", TJclSwfcCompressArchive::StaticClass(), TJclSwfDecompressArchive::StaticClass()},
        {"README", nullptr, TJclElfDecompressArchive::StaticClass()},
        {"data.xz", TJclXzCompressArchive::StaticClass(), nullptr},
        {"x.tgz", TJclGZipCompressArchive::StaticClass(), TJclGZipDecompressArchive::StaticClass()},
        {"x.unknownext", nullptr, nullptr},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(F->FindCompressFormat(C.FileName), C.Compress) << C.FileName;
        EXPECT_EQ(F->FindDecompressFormat(C.FileName), C.Decompress) << C.FileName;
    }
    EXPECT_THROW(F->GetCompressClass(7), Exception);
}

TEST(ArchiveFormats, EveryReaderIsFoundByItsMasksAndCreatesItsLibraryReader) {
    TJclCompressionArchiveFormats* F = GetArchiveFormats();
    TempDir Dir;
    for (LongInt I = 0; I < F->DecompressClassCount(); ++I) {
        TJclCompressionArchiveClass Class = F->GetDecompressClass(I);
        EXPECT_FALSE(Class->FormatName.empty());
        // The first mask, made into a file name, finds this class or one registered before it.
        std::string Mask = Class->FileMasks.substr(0, Class->FileMasks.find(';'));
        std::string Name = "x" + Mask.substr(1);
        TJclCompressionArchiveClass Found = F->FindDecompressFormat(Name);
        ASSERT_NE(Found, nullptr) << Name;
        bool FoundAtOrBefore = false;
        for (LongInt J = 0; J <= I; ++J)
            FoundAtOrBefore |= F->GetDecompressClass(J) == Found;
        EXPECT_TRUE(FoundAtOrBefore) << Class->ClassName();
        TOwned<TJclCompressionArchive> A(Class->CreateOnFile(Dir / "none.bin"));
        auto* Reader = As<TJclSevenzipDecompressArchive>(A.get());
        if (Class == TJclRarDecompressArchive::StaticClass())  // the library is built without it
            EXPECT_EQ(MessageOf([&] { Reader->GetInArchive(); }),
                      "Sevenzip: Failed to get in archive interface for class {23170F69-40C1-278A-1000-000110030000}");
        else
            EXPECT_NO_THROW(Reader->GetInArchive()) << Class->ClassName();
        EXPECT_EQ(A->HoldsSeveralItems(), Class != TJclLzmaDecompressArchive::StaticClass() &&
                                              Class != TJclLzma86DecompressArchive::StaticClass());
    }
    for (LongInt I = 0; I < F->CompressClassCount(); ++I) {
        TJclCompressionArchiveClass Class = F->GetCompressClass(I);
        TOwned<TJclCompressionArchive> A(Class->CreateOnFile(Dir / "none.bin"));
        auto* Writer = As<TJclSevenzipCompressArchive>(A.get());
        if (Class == TJclSwfcCompressArchive::StaticClass())
            EXPECT_EQ(MessageOf([&] { Writer->GetOutArchive(); }),
                      "Sevenzip: Failed to get out archive interface for class {23170F69-40C1-278A-1000-000110D80000}");
        else
            EXPECT_NO_THROW(Writer->GetOutArchive()) << Class->ClassName();
    }
}

// ---------------------------------------------------------------------------------------------

class SevenzSettings : public ::testing::Test {
protected:
    TempDir Dir;
    TOwned<TJcl7zCompressArchive> Archive{CreateArchiveOnFile<TJcl7zCompressArchive>(Dir / "s.7z")};

    std::vector<std::wstring> Sent() {
        std::vector<TJclArchiveProperty> Props = BuildArchiveSettings(
            static_cast<IUnknown*>(static_cast<TJclCompressionArchive*>(Archive.get())), Archive->GetOutArchive());
        std::vector<std::wstring> R;
        for (auto& P : Props)
            R.push_back(P.Name + L"=" +
                        (P.Value.vt == VT_BSTR ? std::wstring(P.Value.bstrVal) : std::to_wstring(P.Value.ulVal)));
        FreeArchiveSettings(Props);
        return R;
    }
};

TEST_F(SevenzSettings, TheBackupsSettingsSendExactlyNineProperties) {
    Archive->SetCompressionLevel(9);
    Archive->SetCompressHeader(true);
    EXPECT_EQ(Sent(), (std::vector<std::wstring>{L"X=9", L"D=67108864B", L"RSFX=OFF", L"HC=ON", L"HE=OFF", L"TC=ON",
                                                 L"TA=ON", L"TM=ON", L"S=4294967295B"}));
}

TEST_F(SevenzSettings, ThreadsSolidAndLevelRules) {
    Archive->SetNumberOfThreads(2);
    Archive->SetSolidExtension(true);
    Archive->SetSolidBlockSize(0);
    auto S = Sent();
    EXPECT_EQ(S.front(), L"MT=2");
    EXPECT_EQ(S[S.size() - 2], L"S=E");
    EXPECT_EQ(S.back(), L"S=0F");
    Archive->SetCompressionLevel(0);
    EXPECT_EQ(Archive->GetDictionarySize(), 65536u);
    Archive->SetCompressionLevel(9);
    EXPECT_EQ(MessageOf([&] { Archive->SetCompressionLevel(10); }), "Property is not available");
    EXPECT_EQ(Archive->GetCompressionLevel(), 9u);
    EXPECT_EQ(Archive->GetDictionarySize(), 67108864u);
}

// ---------------------------------------------------------------------------------------------

TEST(CompressionItems, PackedNamesExtensionsAndDuplicates) {
    TempDir Dir;
    TOwned<TJcl7zCompressArchive> A(CreateArchiveOnFile<TJcl7zCompressArchive>(Dir / "d.7z"));
    TOwned<TMemoryStream> M(Create<TMemoryStream>());
    std::vector<char> Bytes(1000, 'x');
    M->Write(Bytes.data(), 1000);
    M->Seek(Int64(100), soBeginning);
    EXPECT_EQ(A->AddStream(L"archive.tar.gz", M.get(), false), 0);
    TJclCompressionItem* Item = A->GetItem(0);
    EXPECT_EQ(Item->GetFileSize(), 900);
    EXPECT_EQ(Item->GetPackedExtension(), L".gz");
    auto Valid = Item->ValidProperties();
    Item->SetPackedName(L"archive.tar.gz");
    EXPECT_EQ(Item->ValidProperties(), Valid);
    Item->SetPackedName(L"dir.d\\file");
    EXPECT_EQ(Item->GetPackedExtension(), L"");
    EXPECT_EQ(MessageOf([&] { Item->SetMethod(L"LZMA"); }), "write is not an supported operation.");

    A->DuplicateCheck = dcAll;
    A->DuplicateAction = daSkip;
    EXPECT_EQ(A->AddStream(L"Data.bak", M.get(), false), 1);
    EXPECT_EQ(A->AddStream(L"data.BAK", M.get(), false), -1);
    EXPECT_EQ(A->GetItemCount(), 2);
    A->DuplicateAction = daError;
    EXPECT_EQ(MessageOf([&] { A->AddStream(L"data.bak", M.get(), false); }),
              "The file data.bak already exists in the archive");
    A->DuplicateAction = daOverwrite;
    EXPECT_EQ(A->AddStream(L"DATA.bak", M.get(), false), 1);
    EXPECT_EQ(A->GetItemCount(), 2);
    EXPECT_EQ(A->GetItem(1)->GetPackedName(), L"DATA.bak");
    EXPECT_EQ(MessageOf([&] { A->GetItem(0)->SetPackedName(L"data.bak"); }),
              "The file data.bak already exists in the archive");
}

TEST(CompressionItems, AddDirectoryWalksTheTreeUnderTheBaseName) {
    TempDir Dir;
    const std::string Data = Dir / "Data";
    ASSERT_TRUE(CreateDirectoryPath(Data + "\\S"));
    WriteFileText(Data + "\\a.txt", "a");
    WriteFileText(Data + "\\S\\b.txt", "b");
    TOwned<TJcl7zCompressArchive> A(CreateArchiveOnFile<TJcl7zCompressArchive>(Dir / "t.7z"));
    EXPECT_EQ(A->AddDirectory(L"Backup", Data, true, true), 0);
    std::vector<std::wstring> Names;
    for (LongInt I = 0; I < A->GetItemCount(); ++I)
        Names.push_back(A->GetItem(I)->GetPackedName());
    EXPECT_EQ(Names, (std::vector<std::wstring>{L"Backup", L"Backup\\a.txt", L"Backup\\S", L"Backup\\S\\b.txt"}));
}

// ---------------------------------------------------------------------------------------------

class BackupRoad : public ::testing::Test {
protected:
    TempDir Dir;
    std::string Bak = Dir / "srv_db_2026_01_02.bak";
    std::vector<std::uint8_t> Content = DatabaseLikeBytes(300000);

    void SetUp() override {
        WriteFileBytes(Bak, Content);
        // A distinctive write time to see it restored.
        HANDLE H = CreateFileA(Bak.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME T{0x12345000u, 0x01D00000u};
        SetFileTime(H, nullptr, nullptr, &T);
        CloseHandle(H);
    }

    TOwned<TJcl7zDecompressArchive> OpenReader(const std::string& ArchiveName, const std::wstring& Password) {
        TJclCompressionArchiveClass Class = GetArchiveFormats()->FindDecompressFormat(ArchiveName);
        EXPECT_EQ(Class, TJcl7zDecompressArchive::StaticClass());
        TOwned<TJcl7zDecompressArchive> R(As<TJcl7zDecompressArchive>(Class->CreateOnFile(ArchiveName, 0, false)));
        R->Password = Password;
        return R;
    }
};

TEST_F(BackupRoad, PackListAndRestoreWithThePassword) {
    const FILETIME Written = TimeOf(Bak);
    const std::string Arc = PackLikeTheBackup(Bak, L"Secret-42");
    auto R = OpenReader(Arc, L"");
    R->ListFiles();  // the names list without the password
    ASSERT_EQ(R->GetItemCount(), 1);
    TJclCompressionItem* Entry = R->GetItem(0);
    EXPECT_EQ(Entry->GetPackedName(), L"srv_db_2026_01_02.bak");
    EXPECT_TRUE(Entry->GetEncrypted());
    EXPECT_EQ(Entry->GetFileSize(), static_cast<Int64>(Content.size()));
    EXPECT_FALSE(Entry->ValidProperties().Contains(ipComment));

    ASSERT_TRUE(DeleteFileA(Bak.c_str()));
    R->Password = L"Secret-42";
    R->ExtractAll(Dir.Path() + "out", true);
    const std::string Out = Dir.Path() + "out\\srv_db_2026_01_02.bak";
    EXPECT_EQ(R->GetItem(0)->GetFileName(), Out);
    EXPECT_EQ(ReadFileBytes(Out), Content);
    EXPECT_TRUE(SameTime(TimeOf(Out), Written));
    EXPECT_EQ(R->GetItem(0)->OperationSuccess(), osOK);
}

TEST_F(BackupRoad, CyrillicPasswordRoundTrip) {
    const std::string Arc = PackLikeTheBackup(Bak, L"\x041F\x0430\x0440\x043E\x043B\x044C");
    auto R = OpenReader(Arc, L"\x041F\x0430\x0440\x043E\x043B\x044C");
    R->ListFiles();
    R->ExtractAll(Dir.Path() + "out", true);
    EXPECT_EQ(ReadFileBytes(Dir.Path() + "out\\srv_db_2026_01_02.bak"), Content);
}

TEST_F(BackupRoad, WrongOrEmptyPasswordRaisesDataErrorAndLeavesNoFile) {
    const std::string Arc = PackLikeTheBackup(Bak, L"Secret-42");
    for (const wchar_t* Wrong : {L"wrong", L""}) {
        auto R = OpenReader(Arc, Wrong);
        R->ListFiles();
        TempDir Out;
        EXPECT_EQ(MessageOf([&] { R->ExtractAll(Out.Path(), true); }), "Data error");
        std::vector<std::string> Left;
        EnumerateDirectoryEntries(Out.Path() + "*", 0, 0, nullptr,
                                  [&](const std::string&, const TJclSearchEntry& E) { Left.push_back(E.Name); });
        EXPECT_TRUE(Left.empty()) << (Left.empty() ? "" : Left[0]);
    }
}

TEST_F(BackupRoad, DamagedArchiveRaisesAndLeavesTheExistingFileAlone) {
    const std::string Arc = PackLikeTheBackup(Bak, L"");
    std::vector<std::uint8_t> Bytes = ReadFileBytes(Arc);
    for (size_t I = 200; I < 5000 && I < Bytes.size(); I += 7)
        Bytes[I] ^= 0x5A;
    WriteFileBytes(Arc, Bytes);
    WriteFileText(Bak, "keep me");  // a file of the entry's name already lies in the destination
    auto R = OpenReader(Arc, L"");
    R->ListFiles();
    EXPECT_THROW(R->ExtractAll(Dir.Path(), true), EJclCompressionError);
    EXPECT_EQ(ReadFileBytes(Bak), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
}

TEST_F(BackupRoad, AStaleLongerArchiveIsCutToTheNewLength) {
    const std::string Arc = Bak + ".7z";
    WriteFileBytes(Arc, std::vector<std::uint8_t>(4 * 1024 * 1024, 0xEE));
    PackLikeTheBackup(Bak, L"");
    const auto Packed = ReadFileBytes(Arc);
    EXPECT_LT(Packed.size(), 1024u * 1024u);
    EXPECT_NE(Packed.back(), 0xEE);
    auto R = OpenReader(Arc, L"");
    R->ListFiles();
    EXPECT_EQ(R->GetItemCount(), 1);
}

TEST_F(BackupRoad, EntryNamesThatLeaveTheDestinationAreRefused) {
    TOwned<TMemoryStream> M(Create<TMemoryStream>());
    M->Write("evil", 4);
    M->Seek(Int64(0), soBeginning);
    const std::string Arc = Dir / "evil.7z";
    {
        TOwned<TJcl7zCompressArchive> W(CreateArchiveOnFile<TJcl7zCompressArchive>(Arc));
        W->AddStream(L"..\\escaped.txt", M.get(), false);
        W->AddStream(L"fine.txt", M.get(), false);
        W->Compress();
    }
    auto R = OpenReader(Arc, L"");
    R->ListFiles();
    ASSERT_EQ(R->GetItemCount(), 2);
    const std::string Dest = Dir / "dest";
    EXPECT_EQ(MessageOf([&] { R->ExtractAll(Dest, true); }), "Unknown error");
    EXPECT_FALSE(IsExistingFile(Dir / "escaped.txt"));
    EXPECT_TRUE(IsExistingFile(Dest + "\\fine.txt"));
}

TEST_F(BackupRoad, ExtractionRefusesChangesWhileItRuns) {
    const std::string Arc = PackLikeTheBackup(Bak, L"");
    auto R = OpenReader(Arc, L"");
    R->ListFiles();
    std::string Inner;
    R->OnExtract = TJclCompressionExtractEvent::FromFunction(
        [&](TObject*, LongInt, std::string&, bool&, TStream*&, bool&) { Inner = MessageOf([&] { R->ExtractAll(); }); });
    R->ExtractAll(Dir.Path() + "again", true);
    EXPECT_EQ(Inner, "Operation is not supported while decompressing");
}

// The archive that the Linux tool checks outside Wine (see archive-7zz.sh).
TEST(LinuxToolArchive, WritesTheBackupArchiveForTheToolCheck) {
    const std::string Folder = testing_support::BinDir() + "archive-check\\";
    ASSERT_TRUE(CreateDirectoryPath(Folder));
    const std::string Bak = Folder + "srv_db_check.bak";
    WriteFileBytes(Bak, DatabaseLikeBytes(200000));
    DeleteFileA((Bak + ".7z").c_str());
    const std::string Arc = PackLikeTheBackup(Bak, L"Secret-42");
    EXPECT_TRUE(IsExistingFile(Arc));
}
