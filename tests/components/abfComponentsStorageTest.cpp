// File storage: bytes kept in the form ("FileData"), written out when the form loads, loading and
// saving with their events and errors; the wave player's sound requests.
#include "abfTestSupport.h"

#include "TestSupport.h"

#include <mmsystem.h>

using namespace abftests;
using testing_support::TempDir;

namespace {

// Reads a storage from form text (binary properties as hex in braces).
void ReadForm(TComponent* Into, const std::string& Text) {
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    S->ReadComponent(Into);
}

std::string Stored(TabfCustomFileStorage* F) {
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    F->WriteData(*S);
    return std::string(static_cast<const char*>(S->Memory()), static_cast<std::size_t>(S->Size()));
}

TEST(abfComponentsFileStorage, FormWithAutoSaveWritesTheStoredBytesWhenLoaded) {
    TempDir Dir;
    std::vector<std::string> Events;
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    F->OnSave = TabfFileStorageOnFileOperation::FromFunction([&](TObject*, bool Ok) { Events.push_back(Ok ? "saved" : "refused"); });
    ReadForm(F.get(), "object Storage: TabfFileStorage\n  SaveName = '" + Dir / "out.bin" +
                          "'\n  AutoSave = True\n  FileData = {03000000616263}\nend\n");
    EXPECT_EQ(F->DataSize(), 3u);
    EXPECT_EQ(testing_support::ReadFileBytes(Dir / "out.bin"), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(Events, (std::vector<std::string>{"saved"}));
}

TEST(abfComponentsFileStorage, AnExistingFileIsReplacedUnlessRefused) {
    TempDir Dir;
    testing_support::WriteFileText(Dir / "old.bin", "old contents");
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    testing_support::WriteFileText(Dir / "src.bin", "new");
    ASSERT_TRUE(F->LoadFromFile(Dir / "src.bin"));
    bool Allow = false;
    F->OnConfirmOverride = TabfFileStorageOnConfirmOverride::FromFunction([&](TObject*, bool& Override) { Override = Allow; });
    EXPECT_FALSE(F->SaveToFile(Dir / "old.bin"));
    EXPECT_EQ(testing_support::ReadFileBytes(Dir / "old.bin").size(), 12u);
    Allow = true;
    EXPECT_TRUE(F->SaveToFile(Dir / "old.bin"));
    EXPECT_EQ(testing_support::ReadFileBytes(Dir / "old.bin").size(), 3u);
}

TEST(abfComponentsFileStorage, LoadingAMissingFileEmptiesTheStorage) {
    TempDir Dir;
    std::vector<bool> Loads;
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    F->OnLoad = TabfFileStorageOnFileOperation::FromFunction([&](TObject*, bool Ok) { Loads.push_back(Ok); });
    testing_support::WriteFileText(Dir / "a.bin", "abcd");
    EXPECT_TRUE(F->LoadFromFile(Dir / "a.bin"));
    EXPECT_EQ(F->DataSize(), 4u);
    EXPECT_FALSE(F->LoadFromFile(Dir / "missing.bin"));
    EXPECT_EQ(F->DataSize(), 0u);
    EXPECT_EQ(Loads, (std::vector<bool>{true, false}));
}

TEST(abfComponentsFileStorage, StoredDataOfAnEmptyStorageIsFourZeroBytes) {
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    EXPECT_EQ(Stored(F.get()), std::string(4, '\0'));
}

TEST(abfComponentsFileStorage, AFileThatCannotBeWrittenRaisesAfterTheEvent) {
    TempDir Dir;
    bool Reported = true;
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    F->OnSave = TabfFileStorageOnFileOperation::FromFunction([&](TObject*, bool Ok) { Reported = Ok; });
    std::string Name = Dir / "no such folder\\x.bin";
    try {
        F->SaveToFile(Name);
        FAIL() << "no error";
    } catch (EabfFileStorage& E) {
        EXPECT_EQ(E.Message(), "Can not save data to the \"" + Name + "\" file");
    }
    EXPECT_FALSE(Reported);
}

TEST(abfComponentsFileStorage, DesignTimeAutoSaveNeedsAWritableSaveName) {
    TBoxRecorderScope Boxes;
    TOwned<TabfFileStorage> F(Create<TabfFileStorage>(nullptr));
    F->SetDesigning(true);
    F->SetSaveName("Z:\\no\\such\\folder\\x.bin");
    F->SetAutoSave(true);
    EXPECT_FALSE(F->AutoSave());
    ASSERT_EQ(Boxes.Recorder.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Caption, "Warning");
}

// ---------------------------------------------------------------------------------------------

TEST(abfComponentsWav, SoundRequestsByPlayFrom) {
    TOwned<TabfWav> W(Create<TabfWav>(nullptr));
    const DWORD Options = SND_ASYNC | SND_NODEFAULT | SND_NOWAIT;  // the defaults
    struct Case {
        TabfWavPlayFrom From;
        DWORD Flags;
        bool Module;
    } Cases[] = {{pfFile, SND_FILENAME, false}, {pfResource, SND_RESOURCE, true}, {pfDFM, SND_MEMORY, false},
                 {pfSystemEvent, SND_ALIAS, false}};
    for (const Case& C : Cases) {
        W->SetPlayFrom(C.From);
        W->PrepareSound();
        EXPECT_EQ(W->SoundFlags(), Options | C.Flags) << C.From;
        EXPECT_EQ(W->SoundModule() != nullptr, C.Module) << C.From;
    }
    W->SetPlayFrom(pfSystemEvent);
    W->PrepareSound();
    EXPECT_STREQ(static_cast<const char*>(W->SoundName()), ".Default");
    W->SetLooped(true);
    W->SetAsyncPlay(false);
    W->SetNoStopSound(true);
    W->PrepareSound();
    EXPECT_EQ(W->SoundFlags(), DWORD(SND_LOOP | SND_NODEFAULT | SND_NOSTOP | SND_NOWAIT | SND_ALIAS));
}

TEST(abfComponentsWav, PlayingFiresItsEventsAndEndsNotPlaying) {
    // No sound device here: the request is made and its failure is not reported.
    TOwned<TabfWav> W(Create<TabfWav>(nullptr));
    W->SetPlayFrom(pfSystemEvent);
    std::vector<std::string> Events;
    W->OnPlayBefore = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back(W->Playing() ? "before playing" : "before"); });
    W->OnPlayAfter = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("after"); });
    W->Play();
    EXPECT_FALSE(W->Playing());
    EXPECT_EQ(Events, (std::vector<std::string>{"before playing", "after"}));
    W->Stop();
}

TEST(abfComponentsWav, PlayFromStoredBytesLoadsTheFile) {
    TempDir Dir;
    testing_support::WriteFileText(Dir / "s.wav", "RIFF....WAVE");
    TOwned<TabfWav> W(Create<TabfWav>(nullptr));
    W->SetFileName(Dir / "s.wav");
    W->SetPlayFrom(pfDFM);
    EXPECT_EQ(W->DataSize(), 12u);
    W->SetPlayFrom(pfFile);
    EXPECT_EQ(W->DataSize(), 0u);
}

}  // namespace
