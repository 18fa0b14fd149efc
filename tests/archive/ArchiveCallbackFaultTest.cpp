// Failures inside the library's calls back into the archive layer: a locked or vanished source, a
// folder where the archive must go, a failing read, an abort, a target that cannot be created. Each
// must reach the caller as the framework's error with its cause, leave no partial archive behind,
// and leave the library usable for the next archive.
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::uint8_t> SampleBytes(size_t Size) {
    std::vector<std::uint8_t> B(Size);
    std::uint32_t X = 7;
    for (size_t I = 0; I < Size; ++I) {
        X = X * 1103515245u + 12345u;
        B[I] = static_cast<std::uint8_t>(I % 3 ? 'q' : X >> 24);
    }
    return B;
}

// A memory stream that stops delivering after Limit bytes: by raising, or by answering 0 bytes
// before its end as a failing disk read does through the platform's file stream.
class TFailingStream : public TMemoryStream {
    DECLARE_CLASS(TFailingStream, TMemoryStream)
public:
    TFailingStream(const std::vector<std::uint8_t>& Data, Int64 ALimit, bool ARaises) : Limit(ALimit), Raises(ARaises) {
        WriteBuffer(Data.data(), static_cast<LongInt>(Data.size()));
        SetPosition(0);
    }
    LongInt Read(void* Buffer, LongInt Count) override {
        if (Position() + Count > Limit) {
            if (Raises)
                throw EReadError("Device not ready");
            return 0;
        }
        return TMemoryStream::Read(Buffer, Count);
    }

private:
    Int64 Limit;
    bool Raises;
};

std::vector<std::string> FilesIn(const std::string& Folder) {
    std::vector<std::string> Names;
    EnumerateDirectoryEntries(Folder + "*", 0, 0, nullptr,
                              [&](const std::string&, const TJclSearchEntry& E) { Names.push_back(E.Name); });
    std::sort(Names.begin(), Names.end());
    return Names;
}

class PackingFailure : public ::testing::Test {
protected:
    TempDir Dir;
    std::string Bak = Dir / "srv_db_stamp.bak";
    std::string Arc = Bak + ".7z";
    std::vector<std::uint8_t> Content = SampleBytes(200000);

    void SetUp() override { WriteFileBytes(Bak, Content); }

    TOwned<TJcl7zCompressArchive> Writer(const std::string& Name) {
        TOwned<TJcl7zCompressArchive> W(CreateArchiveOnFile<TJcl7zCompressArchive>(Name));
        W->SetCompressionLevel(9);
        W->Password = L"pw";
        return W;
    }

    // Packs with Prepare run between adding the .bak and Compress; gives the message raised.
    std::string FailedPack(const std::string& Target, const std::function<void(TJcl7zCompressArchive*)>& Prepare) {
        auto W = Writer(Target);
        W->AddDirectory(L"srv_db_stamp.bak", Bak, false, false);
        Prepare(W.get());
        try {
            W->Compress();
        } catch (const Exception& E) {
            EXPECT_FALSE(W->Compressing());
            return E.ClassName() + std::string(": ") + E.Message();
        }
        return "(nothing raised)";
    }

    // The library is still usable: the same .bak packs and reads back whole.
    void ExpectPackingWorks() {
        const std::string Good = Dir / "again.7z";
        {
            auto W = Writer(Good);
            W->AddDirectory(L"srv_db_stamp.bak", Bak, false, false);
            W->Compress();
        }
        TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Good));
        R->Password = L"pw";
        R->ListFiles();
        R->ExtractAll(Dir / "back", true);
        EXPECT_EQ(ReadFileBytes(Dir / "back\\srv_db_stamp.bak"), Content);
    }
};

TEST_F(PackingFailure, SourceLockedOrGoneNamesTheFileAndLeavesNoArchive) {
    struct Case {
        const char* Name;
        std::function<void()> Before;  // after the .bak was added
        std::function<void()> After;
    };
    HANDLE Lock = INVALID_HANDLE_VALUE;
    const Case Cases[] = {
        {"locked without sharing",
         [&] { Lock = CreateFileA(Bak.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); },
         [&] { CloseHandle(Lock); }},
        {"removed after being added", [&] { ASSERT_TRUE(DeleteFileA(Bak.c_str())); },
         [&] { WriteFileBytes(Bak, Content); }},
    };
    for (const Case& C : Cases) {
        const std::string M = FailedPack(Arc, [&](TJcl7zCompressArchive*) { C.Before(); });
        EXPECT_EQ(M.rfind("EFOpenError: Cannot open file " + Bak + ". ", 0), 0u) << C.Name << ": " << M;
        EXPECT_FALSE(IsExistingFile(Arc)) << C.Name;
        C.After();
    }
    ExpectPackingWorks();
}

TEST_F(PackingFailure, AFolderWhereTheArchiveMustGoStaysAndIsNamed) {
    ASSERT_TRUE(CreateDirectoryA(Arc.c_str(), nullptr));
    const std::string M = FailedPack(Arc, [](TJcl7zCompressArchive*) {});
    EXPECT_EQ(M.rfind("EFCreateError: Cannot create file " + Arc, 0), 0u) << M;
    EXPECT_TRUE(DirectoryExists(Arc));
    EXPECT_EQ(FilesIn(Dir.Path()), (std::vector<std::string>{"srv_db_stamp.bak", "srv_db_stamp.bak.7z"}));
    ExpectPackingWorks();
}

TEST_F(PackingFailure, AStreamFailingMidReadRemovesThePartialArchive) {
    for (const bool Raises : {true, false}) {
        TFailingStream Source(Content, 100000, Raises);
        const std::string M = FailedPack(Arc, [&](TJcl7zCompressArchive* W) { W->AddStream(L"more.bin", &Source); });
        EXPECT_EQ(M, Raises ? "EReadError: Device not ready" : "EReadError: Stream read error") << M;
        EXPECT_FALSE(IsExistingFile(Arc)) << Raises;
    }
    ExpectPackingWorks();
}

// A volume that takes only so many bytes, as a full disk does.
class TFullStream : public TMemoryStream {
    DECLARE_CLASS(TFullStream, TMemoryStream)
public:
    explicit TFullStream(Int64 ARoom) : Room(ARoom) {}
    LongInt Write(const void* Buffer, LongInt Count) override {
        const LongInt N = static_cast<LongInt>(std::max<Int64>(0, std::min<Int64>(Count, Room - Position())));
        return N > 0 ? TMemoryStream::Write(Buffer, N) : 0;
    }

private:
    Int64 Room;
};

TEST_F(PackingFailure, AFullVolumeFailsThePackingAndTheReaderSeesAFailingVolume) {
    TFullStream Full(4096);
    {
        TOwned<TJcl7zCompressArchive> W(CreateArchiveOnStream<TJcl7zCompressArchive>(&Full));
        W->AddDirectory(L"srv_db_stamp.bak", Bak, false, false);
        try {
            W->Compress();
            ADD_FAILURE() << "nothing raised";
        } catch (const EWriteError& E) {
            EXPECT_EQ(E.Message().rfind("Stream write error", 0), 0u) << E.Message();
        }
    }
    // Reading: the archive's own stream fails half-way.
    ExpectPackingWorks();
    const auto Whole = ReadFileBytes(Dir / "again.7z");
    TFailingStream Broken(Whole, static_cast<Int64>(Whole.size()) / 2, true);
    TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnStream<TJcl7zDecompressArchive>(&Broken));
    EXPECT_THROW(R->ListFiles(), EReadError);
}

TEST_F(PackingFailure, AnAbortFromTheProgressEventStopsThePacking) {
    const std::string M = FailedPack(Arc, [](TJcl7zCompressArchive* W) {
        W->OnProgress = TJclCompressionProgressEvent::FromFunction([](TObject*, Int64 Done, Int64) {
            if (Done > 0)
                Abort();
        });
    });
    EXPECT_EQ(M.rfind("EAbort", 0), 0u) << M;
    EXPECT_FALSE(IsExistingFile(Arc));
    ExpectPackingWorks();
}

TEST_F(PackingFailure, AnOlderArchiveIsLeftAloneWhenNothingWasWritten) {
    WriteFileBytes(Arc, {'o', 'l', 'd'});
    HANDLE Lock = CreateFileA(Bak.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string M = FailedPack(Arc, [](TJcl7zCompressArchive*) {});
    CloseHandle(Lock);
    EXPECT_EQ(M.rfind("EFOpenError", 0), 0u) << M;
    // Either untouched or, once the library has begun to write over it, removed: never half new.
    if (IsExistingFile(Arc)) {
        EXPECT_EQ(ReadFileBytes(Arc), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    }
}

// ---------------------------------------------------------------------------------------------

class UnpackingFailure : public PackingFailure {
protected:
    void SetUp() override {
        PackingFailure::SetUp();
        auto W = Writer(Arc);
        W->AddDirectory(L"srv_db_stamp.bak", Bak, false, false);
        W->Compress();
    }
    TOwned<TJcl7zDecompressArchive> Reader() {
        TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Arc));
        R->Password = L"pw";
        R->ListFiles();
        return R;
    }
    std::string FailedExtract(TJcl7zDecompressArchive* R, const std::string& Dest) {
        try {
            R->ExtractAll(Dest, true);
        } catch (const Exception& E) {
            EXPECT_FALSE(R->Decompressing());
            return E.ClassName() + std::string(": ") + E.Message();
        }
        return "(nothing raised)";
    }
};

TEST_F(UnpackingFailure, ATargetThatCannotBeCreatedIsNamedAndTheSameReaderGoesOn) {
    const std::string Out = Dir / "out";
    const std::string Target = Out + "\\srv_db_stamp.bak";
    ASSERT_TRUE(CreateDirectoryA(Out.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(Target.c_str(), nullptr));  // a folder holds the entry's name
    auto R = Reader();
    const std::string M = FailedExtract(R.get(), Out);
    EXPECT_EQ(M.rfind("EFCreateError: Cannot create file " + Target + ". ", 0), 0u) << M;
    EXPECT_TRUE(DirectoryExists(Target));
    EXPECT_EQ(FilesIn(Out + "\\"), (std::vector<std::string>{"srv_db_stamp.bak"}));  // no temporary left

    ASSERT_TRUE(RemoveDirectoryA(Target.c_str()));
    R->ExtractAll(Out, true);
    EXPECT_EQ(ReadFileBytes(Target), Content);
}

TEST_F(UnpackingFailure, AFileWhereTheFolderMustGoNamesTheFolder) {
    const std::string Blocker = Dir / "blocked";
    WriteFileBytes(Blocker, {'x'});
    auto R = Reader();
    const std::string M = FailedExtract(R.get(), Blocker + "\\inner");
    EXPECT_EQ(M, "EJclFileUtilsError: Unable to create directory " + Blocker + "\\inner");
    EXPECT_EQ(ReadFileBytes(Blocker), (std::vector<std::uint8_t>{'x'}));
    ASSERT_TRUE(DeleteFileA(Blocker.c_str()));
    R->ExtractAll(Blocker + "\\inner", true);
    EXPECT_EQ(ReadFileBytes(Blocker + "\\inner\\srv_db_stamp.bak"), Content);
}

TEST_F(UnpackingFailure, AnErrorOfTheExtractEventReachesTheCallerAndNoTemporaryStays) {
    auto R = Reader();
    R->OnExtract = TJclCompressionExtractEvent::FromFunction(
        [](TObject*, LongInt, std::string&, bool&, TStream*&, bool&) { throw EJclError("refused by the event"); });
    const std::string Out = Dir / "out";
    EXPECT_EQ(FailedExtract(R.get(), Out), "EJclError: refused by the event");
    EXPECT_TRUE(FilesIn(Out + "\\").empty());
}

}  // namespace
