// Shared by the localisation tests: the units' start-up, entries written with the program's
// delimiter, and small owners named like the program's windows whose form resources this test
// program carries.
#pragma once

#include "siComp.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace loctest {

inline constexpr char D = 1;  // the program's LangDelim

// Key and values joined as a stored entry: Entry({"k", "a", "b"}) is k D a D b D.
std::string Entry(std::initializer_list<std::string_view> Fields);
std::vector<std::string> Lines(TStrings* List);
std::string Cp1251(const wchar_t* Text);  // Russian texts as the program's data holds them

// An owner without a resource (the component's own behaviour).
class TOwnerForm : public TComponent {
    DECLARE_CLASS(TOwnerForm, TComponent)
public:
    using TComponent::TComponent;
};

// Owners read from the form resources of tests/localisation/forms, named like the program's windows.
class TFormWithLang : public TComponent {
    DECLARE_CLASS(TFormWithLang, TComponent)
public:
    using TComponent::TComponent;
    static void DefineClass(TClassBuilder<TFormWithLang>& B);
    TsiLang* siLang1 = nullptr;
};
#define LOCTEST_FORM(T)                          \
    class T : public TFormWithLang {             \
        DECLARE_CLASS(T, TFormWithLang)          \
    public:                                      \
        using TFormWithLang::TFormWithLang;      \
    };
LOCTEST_FORM(TfrmPassword)
LOCTEST_FORM(TfrmSetting)
LOCTEST_FORM(TfrmTwoLangs)

// The message of the exception F raises ("" when it raises none).
template <class F>
std::string MessageOf(F Fn) {
    try {
        Fn();
    } catch (const Exception& E) {
        return E.Message();
    }
    return {};
}

// Creates a T and reads its form resource (named by the class name) into it.
template <class T>
TOwned<T> LoadForm() {
    TOwned<T> Form(Create<T>(nullptr));
    if (!InitInheritedComponent(Form.get(), TComponent::StaticClass()))
        throw Exception("no form resource for " + Form->ClassName());
    return Form;
}

// Switches the language without applying it: the lookup tests' owners lack the components whose
// entries an application would tidy away.
void SwitchLookupLanguage(TsiCustomLang* Lang, int Language);

// A new component on an owner of its own, as a window holds it.
struct TLangOnOwner {
    TOwned<TOwnerForm> Owner{Create<TOwnerForm>(nullptr)};
    TsiLang* Lang = Create<TsiLang>(Owner.get());
};

// A TOwnerForm read through the framework's form reader from a text form whose one component,
// siLang1, has the text-form property lines Props and Data as its "TranslationData".
TOwned<TOwnerForm> ReadLangForm(const std::string& Props, const std::string& Data);
TsiLang* LangOf(TComponent* Owner);  // the owner's siLang1
// Data fed to the component's reader as the binary property's payload.
void ReadData(TsiCustomLang* Lang, const std::string& Bytes);
std::string WrittenData(TsiCustomLang* Lang);

}  // namespace loctest
