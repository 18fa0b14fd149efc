// Archives in several volumes: written through a volume name pattern with a size limit, read back
// from the first volume's name or from the pattern, and a set for the Linux tool's check outside Wine
// (archive-7zz.sh).
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::uint8_t> NoisyBytes(size_t Size) {
    std::vector<std::uint8_t> B(Size);
    std::uint32_t X = 7;
    for (auto& C : B) {
        X = X * 1664525u + 1013904223u;
        C = static_cast<std::uint8_t>(X >> 24);
    }
    return B;
}

// Packs File (noise, which does not shrink, so that the sizes are known) in volumes of VolumeSize
// bytes named Base + ".001", ".002" ...; gives the sizes of the volumes written.
std::vector<Int64> PackInVolumes(const std::string& File, const std::string& Base, Int64 VolumeSize,
                                 const std::wstring& Password = L"") {
    {
        TOwned<TJcl7zCompressArchive> W(CreateArchiveOnFile<TJcl7zCompressArchive>(Base + ".%.3d", VolumeSize, true));
        W->SetCompressionLevel(0);
        W->Password = Password;
        W->AddDirectory(L"data.bak", File, false, false);
        W->Compress();
    }
    std::vector<Int64> Sizes;
    for (int N = 1; N < 100; ++N) {
        const std::string Name = Base + Format(".%.3d", {N});
        if (!IsExistingFile(Name))
            break;
        Sizes.push_back(static_cast<Int64>(ReadFileBytes(Name).size()));
    }
    return Sizes;
}

class Volumes : public ::testing::Test {
protected:
    TempDir Dir;
    std::string File = Dir / "data.bak";
    std::vector<std::uint8_t> Content = NoisyBytes(250000);
    void SetUp() override { WriteFileBytes(File, Content); }
};

TEST_F(Volumes, AVolumeLimitWritesANumberedSeriesThatReadsBackWhole) {
    const std::vector<Int64> Sizes = PackInVolumes(File, Dir / "set.7z", 100000, L"vol-pw");
    ASSERT_EQ(Sizes.size(), 3u);
    EXPECT_EQ(Sizes[0], 100000);
    EXPECT_EQ(Sizes[1], 100000);
    EXPECT_GT(Sizes[2], 50000);

    struct Case {
        const char* What;
        std::string Name;
        bool Pattern;
    };
    const Case Cases[] = {
        {"first volume", Dir / "set.7z.001", false},
        {"pattern", Dir / "set.7z.%.3d", true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(C.Name, 0, C.Pattern));
        R->Password = L"vol-pw";
        R->ListFiles();
        ASSERT_EQ(R->GetItemCount(), 1);
        EXPECT_EQ(R->GetItem(0)->GetFileSize(), 250000);
        TempDir Out;
        R->ExtractAll(Out.Path(), true);
        EXPECT_EQ(ReadFileBytes(Out / "data.bak"), Content);
        EXPECT_EQ(R->GetVolumeCount(), 3) << "every volume was read";
    }
}

TEST_F(Volumes, AFirstVolumeWithoutFollowersIsReadAsTheWholeArchive) {
    // One volume only: the limit was never reached, and ".001" is simply its name.
    ASSERT_EQ(PackInVolumes(File, Dir / "one.7z", 1000000).size(), 1u);
    TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Dir / "one.7z.001"));
    R->ListFiles();
    TempDir Out;
    R->ExtractAll(Out.Path(), true);
    EXPECT_EQ(ReadFileBytes(Out / "data.bak"), Content);
}

// The set that the Linux tool tests and unpacks outside Wine (see archive-7zz.sh).
TEST(LinuxToolArchive, WritesAVolumeSetForTheToolCheck) {
    const std::string Folder = testing_support::BinDir() + "archive-check\\";
    ASSERT_TRUE(CreateDirectoryPath(Folder));
    const std::string File = Folder + "volumes.bak";
    WriteFileBytes(File, NoisyBytes(250000));
    for (int N = 1; N <= 4; ++N)
        DeleteFileA((Folder + Format("volumes.bak.7z.%.3d", {N})).c_str());
    EXPECT_EQ(PackInVolumes(File, Folder + "volumes.bak.7z", 100000).size(), 3u);
}

}  // namespace
