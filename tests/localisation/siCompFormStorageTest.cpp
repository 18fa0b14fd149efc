// The form storage: placement saved on destruction and restored after loading, a maximised form
// coming back to its last normal size, and unreadable values leaving the form as it was.
#include "LocalisationTestSupport.h"

#include "Forms.h"
#include "Registry.h"

using namespace loctest;

namespace {

const char* const Key = "\\Software\\QuarnelTests\\h33FormStorage";

struct TStoredForm {
    TStoredForm() {
        TRegistry Reg;
        Reg.DeleteKey(Key);
    }
    ~TStoredForm() {
        TRegistry Reg;
        Reg.DeleteKey(Key);
    }
    // A form with a storage under Key, placed at (L, T) sized W x H.
    static TForm* NewForm(int L, int T, int W, int H) {
        TForm* Form = TForm::CreateNew(nullptr);
        Form->SetBounds(L, T, W, H);
        Create<TsiFormStorage>(Form)->SetSubKey(Key);
        return Form;
    }
    static TsiFormStorage* StorageOf(TForm* Form) { return As<TsiFormStorage>(Form->Components(0)); }
    // Values as an earlier save (or a hand) left them.
    static void Store(const std::string& State, std::initializer_list<std::pair<const char*, int>> Integers,
                      const char* TextName = nullptr) {
        TRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(Key, true));
        Reg.WriteString("State", State);
        for (const auto& [Name, Value] : Integers)
            Reg.WriteInteger(Name, Value);
        if (TextName)
            Reg.WriteString(TextName, "tall");
    }
};

TEST(FormStorage, MaximisedFormKeepsItsLastNormalSize) {
    TStoredForm S;
    TForm* Form = S.NewForm(10, 20, 300, 200);
    Form->Free();
    Form = S.NewForm(15, 25, 500, 400);
    Form->SetWindowState(wsMaximized);
    Form->Free();

    TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(Key));
    EXPECT_EQ(Reg.ReadString("State"), "Maximized");
    EXPECT_EQ(Reg.ReadInteger("Width"), 300) << "a maximised form leaves the sizes as they were";

    TOwned<TForm> Restored(S.NewForm(0, 0, 100, 100));
    S.StorageOf(Restored.get())->RestorePlacement();
    EXPECT_EQ(Restored->Left(), 10);
    EXPECT_EQ(Restored->Top(), 20);
    EXPECT_EQ(Restored->Width(), 300);
    EXPECT_EQ(Restored->Height(), 200);
    EXPECT_EQ(Restored->WindowState(), wsMaximized);
}

TEST(FormStorage, UnreadableValuesPutThePlacementBack) {
    TStoredForm S;
    S.Store("Maximized", {{"Top", 50}, {"Left", 60}}, "Height");
    TOwned<TForm> Form(S.NewForm(1, 2, 130, 140));
    S.StorageOf(Form.get())->SetActive(false);  // nothing saved when it goes
    S.StorageOf(Form.get())->SetActive(true);
    S.StorageOf(Form.get())->RestorePlacement();
    EXPECT_EQ(Form->Top(), 2);
    EXPECT_EQ(Form->Left(), 1);
    EXPECT_EQ(Form->Height(), 140);
    EXPECT_EQ(Form->WindowState(), wsNormal);
}

TEST(FormStorage, ShortOrInactiveStateIsLeftAlone) {
    TStoredForm S;
    S.Store("Mi", {{"Top", 77}, {"Left", 77}, {"Height", 77}, {"Width", 77}});
    TOwned<TForm> Form(S.NewForm(1, 2, 130, 140));
    S.StorageOf(Form.get())->RestorePlacement();
    EXPECT_EQ(Form->Width(), 77);
    EXPECT_EQ(Form->WindowState(), wsNormal) << "a two-letter state names none";

    TForm* Inactive = S.NewForm(5, 5, 90, 90);
    S.StorageOf(Inactive)->SetActive(false);
    S.StorageOf(Inactive)->RestorePlacement();
    EXPECT_EQ(Inactive->Width(), 90);
    Inactive->Free();
    TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(Key));
    EXPECT_EQ(Reg.ReadInteger("Width"), 77) << "an inactive storage writes nothing";
}

TEST(FormStorage, OwnerMustBeAForm) {
    TOwned<TComponent> NotAForm(Create<TComponent>(nullptr));
    EXPECT_THROW(Create<TsiFormStorage>(NotAForm.get()), EInvalidCast);
    TOwned<TForm> Form(TForm::CreateNew(nullptr));
    auto* Storage = Create<TsiFormStorage>(Form.get());
    Storage->SetRegRootKey(siHKEY_LOCAL_MACHINE);
    EXPECT_EQ(Storage->RootKey(), HKEY_LOCAL_MACHINE);
    Storage->SetActive(false);
}

}  // namespace
