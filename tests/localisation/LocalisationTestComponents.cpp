#include "LocalisationTestComponents.h"

namespace loctest {

void TTitleStub::DefineClass(TClassBuilder<TTitleStub>& B) { B.Property("Caption", &TTitleStub::Caption, &TTitleStub::Caption); }

void TColumnStub::DefineClass(TClassBuilder<TColumnStub>& B) {
    B.Property("Title", &TColumnStub::Title, &TColumnStub::SetTitle);
    B.Property("Text", &TColumnStub::Text, &TColumnStub::Text);
}

void TActionStub::DefineClass(TClassBuilder<TActionStub>& B) {
    B.Property("Caption", &TActionStub::Caption, &TActionStub::Caption);
    B.Property("Hint", &TActionStub::Hint, &TActionStub::Hint);
}

TPropsBox::TPropsBox(TComponent* AOwner)
    : TComponent(AOwner), FColumns(Create<TOwnedCollection>(this, TColumnStub::StaticClass())) {}

void TPropsBox::DefineClass(TClassBuilder<TPropsBox>& B) {
    using C = TPropsBox;
    B.Property("Caption", &C::Caption, &C::Caption);
    B.Property("Hint", &C::Hint, &C::Hint);
    B.Property("FileName", &C::FileName, &C::FileName);
    B.Property("Font", &C::Font, &C::SetFont);
    B.Property("Lines", &C::Lines, &C::SetLines);
    B.Property("WideText", &C::WideText, &C::WideText);
    B.Property("Count", &C::Count, &C::Count);
    B.Property("Big", &C::Big, &C::Big);
    B.Property("Ratio", &C::Ratio, &C::Ratio);
    B.Property("Align", &C::Align, &C::Align);
    B.Property("Anchors", &C::Anchors, &C::Anchors);
    B.Property("Columns", &C::Columns, &C::SetColumns);
    B.Property("Title", &C::Title, &C::SetTitle);
    B.Property("Action", &C::Action, &C::Action);
    B.Property("Shown", [](C* Box) { return Box->Caption; });  // read-only
}

void TCaptionOwner::DefineClass(TClassBuilder<TCaptionOwner>& B) {
    B.Property("Caption", &TCaptionOwner::Caption, &TCaptionOwner::Caption);
    B.Property("Hint", &TCaptionOwner::Hint, &TCaptionOwner::Hint);
    B.Property("Font", &TCaptionOwner::Font, &TCaptionOwner::SetFont);
}

TLangWithBoxes::TLangWithBoxes(std::initializer_list<const char*> Names) {
    for (const char* Name : Names)
        Create<TPropsBox>(Owner.get())->SetName(Name);
    Lang = Create<TsiLang>(Owner.get());
    TStringList Langs;
    Langs.SetCommaText("Rus,Eng");
    Lang->SetLangNames(&Langs);
}

}  // namespace loctest
