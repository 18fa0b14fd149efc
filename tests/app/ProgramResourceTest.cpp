// The program carries the 7-Zip library as its resource "7Z_DLL", byte for byte the library the build
// made, and that library gives the four exports the archive layer resolves.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testing_support;

TEST(ProgramResource, SevenZipLibraryIsCarriedByteForByte) {
    std::string Exe = BinDir() + "QuarnelBackup.exe";
    HMODULE Mod = LoadLibraryExA(Exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(Mod, nullptr) << Exe;
    HRSRC Res = FindResourceA(Mod, "7Z_DLL", reinterpret_cast<LPCSTR>(RT_RCDATA));
    ASSERT_NE(Res, nullptr);
    DWORD Size = SizeofResource(Mod, Res);
    const auto* Data = static_cast<const std::uint8_t*>(LockResource(LoadResource(Mod, Res)));
    ASSERT_NE(Data, nullptr);
    std::vector<std::uint8_t> Carried(Data, Data + Size);
    FreeLibrary(Mod);

    auto Built = ReadFileBytes(SevenZipDllPath());
    ASSERT_GT(Built.size(), 1000000u);
    EXPECT_TRUE(Carried == Built) << "resource " << Carried.size() << " bytes, library " << Built.size() << " bytes";
}

TEST(ProgramResource, SevenZipLibraryExportsTheFourEntryPoints) {
    HMODULE Lib = LoadLibraryA(SevenZipDllPath().c_str());
    ASSERT_NE(Lib, nullptr);
    for (const char* Name : {"CreateObject", "GetNumberOfFormats", "GetNumberOfMethods", "SetLargePageMode"})
        EXPECT_NE(GetProcAddress(Lib, Name), nullptr) << Name;
    using TGetNumberOfFormats = HRESULT(WINAPI*)(UINT32*);
    auto GetNumberOfFormats = reinterpret_cast<TGetNumberOfFormats>(reinterpret_cast<void*>(GetProcAddress(Lib, "GetNumberOfFormats")));
    UINT32 Formats = 0;
    ASSERT_EQ(GetNumberOfFormats(&Formats), S_OK);
    EXPECT_GT(Formats, 10u);
    FreeLibrary(Lib);
}
