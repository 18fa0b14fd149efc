// Windowless components with the property shapes the translation lists reach: captions and hints,
// a font, string lists, a wide string, numbers, an enumeration and a set, an object property and a
// collection of items with an object of their own; an action whose texts a component takes over.
#pragma once

#include "LocalisationTestSupport.h"

#include "Controls.h"
#include "Graphics.h"

namespace loctest {

// The object a property holds (a column's title, a control's label).
class TTitleStub : public TPersistent {
    DECLARE_CLASS(TTitleStub, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTitleStub>& B);
    std::string Caption;
};

class TColumnStub : public TCollectionItem {
    DECLARE_CLASS(TColumnStub, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    static void DefineClass(TClassBuilder<TColumnStub>& B);
    TTitleStub* Title() const { return FTitle.get(); }
    void SetTitle(TTitleStub* Value) { FTitle->Caption = Value->Caption; }
    std::string Text;

private:
    TOwned<TTitleStub> FTitle{Create<TTitleStub>()};
};

class TActionStub : public TComponent {
    DECLARE_CLASS(TActionStub, TComponent)
public:
    using TComponent::TComponent;
    static void DefineClass(TClassBuilder<TActionStub>& B);
    std::string Caption, Hint;
};

class TPropsBox : public TComponent {
    DECLARE_CLASS(TPropsBox, TComponent)
public:
    explicit TPropsBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TPropsBox>& B);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TCollection* Columns() const { return FColumns.get(); }
    void SetColumns(TCollection* Value) { FColumns->Assign(Value); }
    TTitleStub* Title() const { return FTitle.get(); }
    void SetTitle(TTitleStub* Value) { FTitle->Caption = Value->Caption; }
    TColumnStub* Column(int I) const { return static_cast<TColumnStub*>(FColumns->Items(I)); }

    std::string Caption, Hint, FileName;
    std::wstring WideText;
    int Count = 0;
    Int64 Big = 0;
    double Ratio = 0;
    TAlign Align = alNone;
    TAnchors Anchors;
    TActionStub* Action = nullptr;

private:
    TOwned<TFont> FFont{Create<TFont>()};
    TOwned<TStringList> FLines{Create<TStringList>()};
    TOwned<TOwnedCollection> FColumns;
    TOwned<TTitleStub> FTitle{Create<TTitleStub>()};
};

// An owner with a title, a hint and a font of its own, as a window has.
class TCaptionOwner : public TComponent {
    DECLARE_CLASS(TCaptionOwner, TComponent)
public:
    using TComponent::TComponent;
    static void DefineClass(TClassBuilder<TCaptionOwner>& B);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    std::string Caption, Hint;

private:
    TOwned<TFont> FFont{Create<TFont>()};
};

// A two-language component ("Rus", "Eng") on a TCaptionOwner with the boxes Names.
struct TLangWithBoxes {
    explicit TLangWithBoxes(std::initializer_list<const char*> Names);
    TPropsBox* Box(const char* Name) const { return As<TPropsBox>(Owner->FindComponent(Name)); }
    TOwned<TCaptionOwner> Owner{Create<TCaptionOwner>(nullptr)};
    TsiLang* Lang = nullptr;
};

}  // namespace loctest
