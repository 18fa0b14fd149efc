// The help: the file the build makes beside the program is a compiled help file holding the pages of
// both languages, and the help command hands it to the shell's viewer, or says where it is missing.
#include "ImportHook.h"
#include "MainWindowTestSupport.h"

#include <cstring>
#include <map>
#include <set>

using namespace app_tests;

namespace {

const std::string Ru(const wchar_t* Text) { return WideToAnsi(Text, 1251); }

const char HelpFile[] = "Quarnel backup.chm";

// The names in a compiled help file's directory, read as its format lays them out: the file header
// ("ITSF") points to the directory header ("ITSP"), which gives the chunk size and the first and last
// listing chunks ("PMGL"); each entry of a chunk is its name's length and name, then its section,
// offset and length, the numbers in 7-bit groups, most significant first.
struct TChmDirectory {
    std::map<std::string, std::uint64_t> Sizes;
    std::string Error;
};

TChmDirectory ReadChmDirectory(const std::vector<std::uint8_t>& F) {
    TChmDirectory D;
    auto U32 = [&](std::size_t At) -> std::uint32_t {
        std::uint32_t V = 0;
        if (At + 4 <= F.size())
            std::memcpy(&V, &F[At], 4);
        return V;
    };
    auto Tag = [&](std::size_t At, const char* T) { return At + 4 <= F.size() && std::memcmp(&F[At], T, 4) == 0; };
    if (!Tag(0, "ITSF") || U32(4) != 3)
        return {{}, "no file header of version 3"};
    std::uint64_t DirOffset = 0;
    std::memcpy(&DirOffset, &F[0x48], 8);
    const std::size_t Dir = static_cast<std::size_t>(DirOffset);
    if (!Tag(Dir, "ITSP"))
        return {{}, "no directory header"};
    const std::uint32_t ChunkSize = U32(Dir + 0x10);
    const std::size_t Chunks = Dir + U32(Dir + 0x08);
    std::int32_t Chunk = static_cast<std::int32_t>(U32(Dir + 0x20));
    for (int Guard = 0; Chunk >= 0 && Guard < 1000; ++Guard) {
        const std::size_t C = Chunks + static_cast<std::size_t>(Chunk) * ChunkSize;
        if (!Tag(C, "PMGL") || C + ChunkSize > F.size())
            return {{}, "listing chunk " + std::to_string(Chunk) + " is not one"};
        const std::size_t End = C + ChunkSize - U32(C + 4);
        std::size_t P = C + 0x14;
        auto Number = [&]() {
            std::uint64_t V = 0;
            while (P < End) {
                const std::uint8_t B = F[P++];
                V = (V << 7) | (B & 0x7F);
                if (!(B & 0x80))
                    break;
            }
            return V;
        };
        while (P < End) {
            const std::uint64_t Length = Number();
            if (P + Length > End)
                return {{}, "an entry runs past its chunk"};
            std::string Name(reinterpret_cast<const char*>(&F[P]), static_cast<std::size_t>(Length));
            P += static_cast<std::size_t>(Length);
            Number();  // section
            Number();  // offset
            D.Sizes[Name] = Number();
        }
        Chunk = static_cast<std::int32_t>(U32(C + 0x10));
    }
    return D;
}

struct TShellCall {
    std::string Verb, File;
    INT Show = 0;
};
std::vector<TShellCall> ShellCalls;
INT_PTR ShellAnswer = 42;  // above 32: the viewer started

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR Verb, LPCSTR File, LPCSTR, LPCSTR, INT Show) {
    ShellCalls.push_back({Verb ? Verb : "", File ? File : "", Show});
    return reinterpret_cast<HINSTANCE>(ShellAnswer);
}

// The shell's viewer replaced by the recorder; the window shown, as the user sees it.
class MainWindowHelp : public TAnsweredMainWindowFixture {
protected:
    void SetUp() override {
        TAnsweredMainWindowFixture::SetUp();
        ShellCalls.clear();
        ShellAnswer = 42;
    }
    TImportHook Hook{AppImpShellExecuteA, reinterpret_cast<void*>(&RecordShellExecute), "shell32.dll", "ShellExecuteA"};
};

}  // namespace

TEST(HelpFile, IsACompiledHelpFileWithThePagesOfBothLanguages) {
    const std::string Path = testing_support::BinDir() + HelpFile;
    ASSERT_TRUE(FileExists(Path)) << Path;
    const TChmDirectory D = ReadChmDirectory(testing_support::ReadFileBytes(Path));
    ASSERT_EQ(D.Error, "");
    for (const char* Name : {"/#SYSTEM", "/index.htm", "/toc.hhc"})
        EXPECT_EQ(D.Sizes.count(Name), 1u) << Name;
    for (const char* Language : {"ru", "en"})
        for (const char* Page : {"overview", "tasks", "packing", "restore", "log", "discovery", "tray"}) {
            const std::string Name = std::string("/") + Language + "/" + Page + ".htm";
            ASSERT_EQ(D.Sizes.count(Name), 1u) << Name;
            EXPECT_GT(D.Sizes.at(Name), 500u) << Name;
        }
}

TEST_F(MainWindowHelp, AMissingHelpFileIsNamedInBothLanguages) {
    TOwned<TfrmSetting> W = OpenWindow();
    const std::string Path = Folder / HelpFile;
    W->mmHelpClick(nullptr);
    W->mmLangClick(nullptr);
    W->mHClick(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 2u);
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Файл справки не найден:") + "\r\n" + Path);
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Предупреждение"));
    EXPECT_EQ(Recorder.Shown[1].Text, "The help file is not found:\r\n" + Path);
    EXPECT_EQ(Recorder.Shown[1].Caption, "Warning");
    EXPECT_TRUE(ShellCalls.empty());
}

TEST_F(MainWindowHelp, F1OpensTheHelpFileBesideTheProgram) {
    const std::string Path = Folder / HelpFile;
    ASSERT_TRUE(CopyFileA((testing_support::BinDir() + HelpFile).c_str(), Path.c_str(), FALSE));
    TOwned<TfrmSetting> W = OpenWindow();
    W->Show();
    Pump(50);
    HWND Focus = GetFocus();
    ASSERT_NE(Focus, nullptr);
    PostMessageA(Focus, WM_KEYDOWN, VK_F1, 0);
    PostMessageA(Focus, WM_KEYUP, VK_F1, 0xC0000000);
    // Through the application's loop, which gives keys to the window's short cuts first.
    Application->ProcessMessages();
    ASSERT_EQ(ShellCalls.size(), 1u);
    EXPECT_EQ(ShellCalls[0].Verb, "open");
    EXPECT_EQ(ShellCalls[0].File, Path);
    EXPECT_EQ(ShellCalls[0].Show, SW_SHOWNORMAL);
    EXPECT_TRUE(Recorder.Shown.empty());

    // The tray menu's item does the same; a shell that cannot open the file is not silent either.
    ShellAnswer = SE_ERR_NOASSOC;
    W->mmHelpClick(nullptr);
    ASSERT_EQ(ShellCalls.size(), 2u);
    EXPECT_EQ(ShellCalls[1].File, Path);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Не удалось открыть файл справки:") + "\r\n" + Path);
}
