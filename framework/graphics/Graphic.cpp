#include "Graphic.h"

void InvalidGraphic(const std::string& Msg) { throw EInvalidGraphic(Msg); }
void InvalidGraphicOperation(const std::string& Msg) { throw EInvalidGraphicOperation(Msg); }

void TGraphic::SetTransparent(bool Value) {
    if (Value != FTransparent) {
        FTransparent = Value;
        Changed(this);
    }
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed(this);
    else
        FModified = false;
}

void TGraphic::Changed(TObject*) {
    FModified = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, Byte PercentDone, bool RedrawNow, const TRect& R,
                        const std::string& Msg) {
    if (OnProgress)
        OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream S(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&S);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream S(FileName, fmCreate);
    SaveToStream(&S);
}

bool TGraphic::Equals(TGraphic* Graphic) {
    if (!Graphic || Graphic->ClassType() != ClassType())
        return false;
    if (Empty() || Graphic->Empty())
        return Empty() && Graphic->Empty();
    TStringStream A, B;
    WriteData(&A);
    Graphic->WriteData(&B);
    return A.DataString() == B.DataString();
}

void TGraphic::LoadFromClipboardFormat(Word, HANDLE, HPALETTE) {
    InvalidGraphic(GraphicsConsts::SUnknownClipboardFormat);
}

void TGraphic::SaveToClipboardFormat(Word&, HANDLE&, HPALETTE&) {
    InvalidGraphic(GraphicsConsts::SUnknownClipboardFormat);
}

void TGraphic::DefineProperties(TFiler& Filer) {
    bool HasData = !Empty();
    if (auto* Ancestor = DynCast<TGraphic>(Filer.Ancestor()))
        HasData = !Equals(Ancestor);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(&S); }, [this](TStream& S) { WriteData(&S); }, HasData);
}
