#include "LocalisationTestSupport.h"

#include "Forms.h"
#include "LocalisationTestComponents.h"
#include "StdCtrls.h"
#include "siConsts.h"

namespace loctest {

std::string Entry(std::initializer_list<std::string_view> Fields) {
    std::string R;
    for (std::string_view F : Fields)
        (R += F) += D;
    return R;
}

std::vector<std::string> Lines(TStrings* List) {
    std::vector<std::string> R;
    for (int I = 0; I < List->Count(); ++I)
        R.push_back(List->Strings(I));
    return R;
}

std::string Cp1251(const wchar_t* Text) { return WideToAnsi(Text, 1251); }

TOwned<TOwnerForm> ReadLangForm(const std::string& Props, const std::string& Data) {
    std::string Hex;
    for (unsigned char B : Data)
        Hex += IntToHex(B, 2);
    const std::string Text = "object Owner1: TOwnerForm\n  object siLang1: TsiLang\n" + Props +
                             "\n    TranslationData = {" + Hex + "}\n  end\nend\n";
    const std::string Binary = ObjectTextToBinary(Text);
    TMemoryStream M;
    M.WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    M.SetPosition(0);
    return TOwned<TOwnerForm>(As<TOwnerForm>(M.ReadComponent(nullptr)));
}

void SwitchLookupLanguage(TsiCustomLang* Lang, int Language) {
    Lang->Quiet = true;
    Lang->SetActiveLanguage(Language);
    Lang->Quiet = false;
}

TsiLang* LangOf(TComponent* Owner) { return As<TsiLang>(Owner->FindComponent("siLang1")); }

void ReadData(TsiCustomLang* Lang, const std::string& Bytes) {
    TMemoryStream M;
    if (!Bytes.empty())
        M.WriteBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
    M.SetPosition(0);
    Lang->ReadTranslationData(M);
}

std::string WrittenData(TsiCustomLang* Lang) {
    TMemoryStream M;
    Lang->WriteTranslationData(M);
    return std::string(static_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

void TFormWithLang::DefineClass(TClassBuilder<TFormWithLang>& B) { B.Field("siLang1", &TFormWithLang::siLang1); }

namespace {
// The program's unit order: siConsts, then siComp.
class TLocalisationUnits : public ::testing::Environment {
public:
    void SetUp() override {
        GraphicsInitialization();
        InitControls();
        StdCtrlsInitialization();
        siConstsInitialization();
        siCompInitialization();
        RegisterClasses({TPropsBox::StaticClass(), TCaptionOwner::StaticClass(), TOwnerForm::StaticClass(), TfrmPassword::StaticClass(), TfrmSetting::StaticClass(),
                         TfrmTwoLangs::StaticClass()});
    }
    void TearDown() override {
        siCompFinalization();
        siConstsFinalization();
        DoneControls();
    }
};
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new TLocalisationUnits);
}  // namespace

}  // namespace loctest
