// Streams: file modes and sharing on real files, memory and string streams, resources by name.
#include "Classes.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::TempDir;

namespace {
std::string ReadAll(TStream& S) {
    std::string R(static_cast<size_t>(S.Size()), '\0');
    S.SetPosition(0);
    S.ReadBuffer(R.data(), static_cast<LongInt>(R.size()));
    return R;
}
}  // namespace

TEST(Stream, FileCreateTruncatesAndOpenKeeps) {
    TempDir Dir;
    std::string Name = Dir / "a.bin";
    {
        TFileStream F(Name, fmCreate);
        F.WriteBuffer("hello world", 11);
        EXPECT_EQ(F.Size(), 11);
    }
    {
        TFileStream F(Name, fmOpenReadWrite);
        EXPECT_EQ(F.Size(), 11) << "opening keeps the contents";
        F.WriteBuffer("J", 1);
        EXPECT_EQ(ReadAll(F), "Jello world");
        F.SetSize(5);
        EXPECT_EQ(ReadAll(F), "Jello");
    }
    {
        TFileStream F(Name, fmOpenRead);
        EXPECT_EQ(ReadAll(F), "Jello");
        EXPECT_EQ(F.Write("x", 1), 0) << "a read-only file takes no bytes";
        EXPECT_THROW(F.WriteBuffer("x", 1), EWriteError);
    }
    {
        TFileStream F(Name, fmCreate);
        EXPECT_EQ(F.Size(), 0) << "fmCreate truncates";
    }
}

TEST(Stream, FileShareModesDenyOthers) {
    TempDir Dir;
    std::string Name = Dir / "s.bin";
    { TFileStream F(Name, fmCreate); }
    struct Case {
        Word First, Second;
        bool SecondOpens;
    } Cases[] = {
        {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
        {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
        {fmOpenRead | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
        {fmOpenRead | fmShareDenyRead, fmOpenWrite | fmShareDenyNone, true},
        {fmOpenReadWrite | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
        {fmOpenReadWrite | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, false},
    };
    for (const auto& K : Cases) {
        TFileStream A(Name, K.First);
        bool Opened = false;
        try {
            TFileStream B(Name, K.Second);
            Opened = true;
        } catch (const EFOpenError& E) {
            EXPECT_EQ(E.Message().rfind("Cannot open file " + Name, 0), 0u) << E.Message();
            EXPECT_GT(E.Message().size(), ("Cannot open file " + Name).size()) << "the system's text follows";
        }
        EXPECT_EQ(Opened, K.SecondOpens) << std::hex << K.First << " then " << K.Second;
    }
}

TEST(Stream, FileErrorsNameTheFile) {
    TempDir Dir;
    try {
        TFileStream F(Dir / "missing.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& E) {
        EXPECT_NE(E.Message().find("Cannot open file " + (Dir / "missing.bin")), std::string::npos) << E.Message();
        EXPECT_TRUE(E.InheritsFrom(EStreamError::StaticClass()));
    }
    try {
        TFileStream F(Dir / "no\\such\\folder\\x.bin", fmCreate);
        FAIL();
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message().rfind("Cannot create file ", 0), 0u) << E.Message();
    }
}

TEST(Stream, MemoryStreamGrowsSeeksAndSaves) {
    TempDir Dir;
    TMemoryStream M;
    EXPECT_EQ(M.Size(), 0);
    EXPECT_EQ(M.Memory(), nullptr);
    M.WriteBuffer("abcdef", 6);
    EXPECT_EQ(M.Position(), 6);
    EXPECT_EQ(M.Seek(-2, soFromEnd), 4);
    char B[4] = {};
    EXPECT_EQ(M.Read(B, 4), 2) << "a read stops at the end";
    EXPECT_EQ(std::string(B, 2), "ef");
    EXPECT_THROW(M.ReadBuffer(B, 1), EReadError);
    M.SetPosition(10);
    M.WriteBuffer("Z", 1);
    EXPECT_EQ(M.Size(), 11);
    EXPECT_EQ(std::string(static_cast<char*>(M.Memory()) + 6, 5), std::string("\0\0\0\0Z", 5));
    M.SetSize(3);
    EXPECT_EQ(M.Position(), 3);
    EXPECT_EQ(ReadAll(M), "abc");
    M.SaveToFile(Dir / "m.bin");
    TMemoryStream N;
    N.LoadFromFile(Dir / "m.bin");
    EXPECT_EQ(ReadAll(N), "abc");
    EXPECT_EQ(N.Position(), 3);
    N.Clear();
    EXPECT_EQ(N.Size(), 0);
    EXPECT_EQ(N.Position(), 0);
    TMemoryStream C;
    C.WriteBuffer("12", 2);
    EXPECT_EQ(C.CopyFrom(&M, 0), 3) << "count 0 copies the whole source";
    EXPECT_EQ(ReadAll(C), "12abc");
    M.SetPosition(1);
    EXPECT_THROW(C.CopyFrom(&M, 5), EReadError) << "short data raises";
}

TEST(Stream, PointerStreamOverlaysForeignMemory) {
    const char Data[] = "overlay";
    TPointerStream P(Data, 7);
    EXPECT_EQ(ReadAll(P), "overlay");
    EXPECT_EQ(P.Write("x", 1), 0);
    EXPECT_EQ(P.Memory(), Data);
}

TEST(Stream, StringStream) {
    TStringStream S("hello");
    EXPECT_EQ(S.ReadString(3), "hel");
    S.WriteString("p!");
    EXPECT_EQ(S.DataString(), "help!");
    S.SetPosition(0);
    S.WriteString("y");
    EXPECT_EQ(S.DataString(), "y") << "writing ends the string at the position";
    EXPECT_EQ(S.Seek(10, soFromBeginning), 1);
}

TEST(Stream, ResourceStreamByNameInAnyCase) {
    // The test forms are compiled into this program as RCDATA named by their class in upper case.
    for (const char* Name : {"TFORMTESTMAIN", "tformtestmain", "TFormTestMain"}) {
        TResourceStream R(MainInstance(), Name, RT_RCDATA);
        ASSERT_GT(R.Size(), 4) << Name;
        char Sig[4];
        R.ReadBuffer(Sig, 4);
        EXPECT_EQ(std::string(Sig, 4), "TPF0");
        EXPECT_THROW(R.WriteBuffer("x", 1), EStreamError) << "read-only";
    }
    try {
        TResourceStream R(MainInstance(), "NoSuchResource", RT_RCDATA);
        FAIL();
    } catch (const EResNotFound& E) {
        EXPECT_EQ(E.Message(), "Resource NoSuchResource not found");
    }
}
