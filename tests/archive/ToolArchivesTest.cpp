// Archives that the Linux build of the 7-Zip tool made outside Wine (make-7zz-archives.sh), read
// through the restore's road: the format the registry gives, CreateOnFile, ListFiles, the password,
// ExtractAll. Each is extracted byte for byte or refused with a message that says what happened and
// without a file left behind. Also what the layer says for results that are not Windows errors.
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

const std::wstring ToolPassword = L"Secret-27";

std::vector<std::string> FilesIn(const std::string& Dir) {
    std::vector<std::string> Names;
    EnumerateDirectoryEntries(PathWithDelimiter(Dir) + "*", 0, 0, nullptr,
                              [&](const std::string&, const TJclSearchEntry& E) { Names.push_back(E.Name); });
    return Names;
}

std::string Quoted(HRESULT R, const std::string& Text) {
    return Format(JclResources::RsCompressionSevenzipReturnError, {static_cast<unsigned>(R), Text});
}

class ToolMadeArchives : public ::testing::Test {
protected:
    const std::string Made = testing_support::BinDir() + "archive-7zz-made\\";
    TempDir Out;

    void SetUp() override {
        // Made by the archive_7zz_made test, which CTest runs first.
        ASSERT_TRUE(IsExistingFile(Made + "data.bak")) << "run tests/archive/make-7zz-archives.sh first";
        Original = ReadFileBytes(Made + "data.bak");
        ASSERT_EQ(Original.size(), 250000u);
    }

    // A reader of the class the registry gives for the archive's name (a first volume's without its
    // number), created on the file the user would pick.
    TOwned<TJclSevenzipDecompressArchive> Reader(const std::string& Name, const std::wstring& Password) {
        const std::string Lookup = Name.size() > 4 && Name.substr(Name.size() - 4) == ".001"
                                       ? Name.substr(0, Name.size() - 4)
                                       : Name;
        TJclCompressionArchiveClass Class = GetArchiveFormats()->FindDecompressFormat(Made + Lookup);
        EXPECT_EQ(Class, TJcl7zDecompressArchive::StaticClass());
        TOwned<TJclSevenzipDecompressArchive> R(As<TJclSevenzipDecompressArchive>(Class->CreateOnFile(Made + Name, 0, false)));
        R->Password = Password;
        return R;
    }

    std::vector<std::uint8_t> Original;
};

TEST_F(ToolMadeArchives, EachIsExtractedByteForByte) {
    struct Case {
        const char* Name;
        std::wstring Password;
        bool Encrypted;
    };
    const Case Cases[] = {
        {"plain.7z", L"", false},
        {"password.7z", ToolPassword, true},
        {"names.7z", ToolPassword, true},
        {"split.7z.001", L"", false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto R = Reader(C.Name, C.Password);
        R->ListFiles();
        ASSERT_EQ(R->GetItemCount(), 1);
        EXPECT_EQ(R->GetItem(0)->GetPackedName(), L"data.bak");
        EXPECT_EQ(R->GetItem(0)->GetEncrypted(), C.Encrypted);
        EXPECT_EQ(R->GetItem(0)->GetFileSize(), 250000);
        const std::string Dest = Out / C.Name;
        R->ExtractAll(Dest, true);
        EXPECT_EQ(R->GetItem(0)->GetFileName(), Dest + "\\data.bak");
        EXPECT_EQ(ReadFileBytes(Dest + "\\data.bak"), Original);
        EXPECT_EQ(FilesIn(Dest), std::vector<std::string>{"data.bak"});
    }
}

TEST_F(ToolMadeArchives, EncryptedNamesAskForThePasswordAndListOnceItIsGiven) {
    auto R = Reader("names.7z", L"");
    try {
        R->ListFiles();
        ADD_FAILURE() << "listed without the password";
    } catch (const EJclCompressionPasswordError& E) {
        EXPECT_EQ(E.Message(), JclResources::RsCompressionNamesNeedPassword);
    }
    R->Password = L"wrong";
    try {
        R->ListFiles();
        ADD_FAILURE() << "listed with a wrong password";
    } catch (const EJclCompressionPasswordError& E) {
        EXPECT_EQ(E.Message(), JclResources::RsCompressionNamesWrongPassword);
    }
    EXPECT_EQ(R->GetItemCount(), 0);
    // The same object lists again once the password is right.
    R->Password = ToolPassword;
    R->ListFiles();
    ASSERT_EQ(R->GetItemCount(), 1);
    R->ExtractAll(Out.Path(), true);
    EXPECT_EQ(ReadFileBytes(Out / "data.bak"), Original);
}

TEST_F(ToolMadeArchives, RefusalsSayWhatHappenedAndLeaveNoFile) {
    TempDir Partial;
    for (const char* V : {"split.7z.001", "split.7z.002"})
        ASSERT_TRUE(CopyFileA((Made + V).c_str(), (Partial / V).c_str(), FALSE));
    struct Case {
        const char* What;
        std::string Archive;
        std::wstring Password;
        std::string ListMessage;     // empty: listing succeeds
        std::string ExtractMessage;
    };
    const Case Cases[] = {
        {"wrong password", Made + "password.7z", L"wrong", "", "Data error"},
        {"no password", Made + "password.7z", L"", "", "Data error"},
        {"damaged in the middle", Made + "damaged.7z", L"", "", "CRC error"},
        {"last volume missing", Partial / "split.7z.001", L"",
         Quoted(S_FALSE, JclResources::RsCompressionSevenzipCannotOpen), ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TOwned<TJclSevenzipDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(C.Archive));
        R->Password = C.Password;
        const std::string Dest = Out / C.What;
        if (!C.ListMessage.empty()) {
            EXPECT_EQ(MessageOf([&] { R->ListFiles(); }), C.ListMessage);
            EXPECT_EQ(MessageOf([&] { R->ExtractAll(Dest, true); }), C.ListMessage);
        } else {
            R->ListFiles();
            ASSERT_EQ(R->GetItemCount(), 1);
            EXPECT_EQ(MessageOf([&] { R->ExtractAll(Dest, true); }), C.ExtractMessage);
        }
        EXPECT_EQ(FilesIn(Dest), std::vector<std::string>{});
    }
}

// ---------------------------------------------------------------------------------------------

TEST(LibraryResults, CodesThatAreNotWindowsErrorsSayWhatHappened) {
    struct Case {
        HRESULT Result;
        std::string Text;
    };
    const Case Cases[] = {
        {S_FALSE, JclResources::RsCompressionSevenzipCannotOpen},
        {E_ABORT, JclResources::RsCompressionSevenzipAborted},
        {E_NOTIMPL, JclResources::RsCompressionSevenzipNotImplemented},
        {static_cast<HRESULT>(0x20000010), JclResources::RsCompressionSevenzipWritingCut},
        // A Windows error wrapped in a result reads as that error.
        {HRESULT_FROM_WIN32(ERROR_DISK_FULL), SysErrorMessage(ERROR_DISK_FULL)},
        {E_NOINTERFACE, SysErrorMessage(0x80004002u)},
    };
    EXPECT_NE(SysErrorMessage(ERROR_DISK_FULL), "") << "the wrapped error has a text of its own";
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(SevenzipResultText(C.Result), C.Text);
        EXPECT_EQ(MessageOf([&] { CheckLibraryResult(C.Result); }), Quoted(C.Result, C.Text));
    }
}

TEST(LibraryResults, EveryEntryResultHasItsOwnMessage) {
    const std::pair<TJclCompressionOperationSuccess, const char*> Cases[] = {
        {osUnsupportedMethod, "Unsupported method"},
        {osDataError, "Data error"},
        {osCRCError, "CRC error"},
        {osUnknownError, "Unknown error"},
        {osUnavailable, JclResources::RsCompressionUnavailableData},
        {osUnexpectedEnd, JclResources::RsCompressionUnexpectedEnd},
        {osDataAfterEnd, JclResources::RsCompressionDataAfterEnd},
        {osIsNotArchive, JclResources::RsCompressionIsNotArchive},
        {osHeadersError, JclResources::RsCompressionHeadersError},
        {osWrongPassword, JclResources::RsCompressionWrongPassword},
    };
    TOwned<TJcl7zCompressArchive> A(CreateArchiveOnStream<TJcl7zCompressArchive>(nullptr));
    TMemoryStream Data;
    A->AddStream(L"ok.bin", &Data, false);
    A->AddStream(L"failed.bin", &Data, false);
    A->GetItem(0)->SetOperationSuccess(osOK);
    for (const auto& [Result, Text] : Cases) {
        A->GetItem(1)->SetOperationSuccess(Result);
        EXPECT_EQ(MessageOf([&] { A->CheckOperationResults(); }), Text);
    }
}

}  // namespace
