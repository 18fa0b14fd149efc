// The rich edit of the common controls: a memo over the system's rich edit 2.0 ("RichEdit20A",
// RICHED20.DLL). Each control loads the library itself and frees it when it goes, so its loads
// and frees stay balanced whoever else loads it. Its text has no limit but the system's
// (0x7FFFFFF0 characters) unless MaxLength sets one.
//
// Start-up: RichEditInitialization() registers TRichEdit for form files.
#pragma once

#include "StdCtrls.h"

#include <richedit.h>

class TCustomRichEdit;

// The default character format of a rich edit (EM_SETCHARFORMAT with SCF_DEFAULT): kept while
// there is no window and given to each new window.
class TTextAttributes : public TPersistent {
    DECLARE_CLASS(TTextAttributes, TPersistent)
public:
    explicit TTextAttributes(TCustomRichEdit* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    std::string Name() const { return FName; }
    void SetName(const std::string& Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // Sends the format to the window (when there is one).
    void Apply();

private:
    TCustomRichEdit* FOwner;
    TColor FColor = clWindowText;
    std::string FName;
    int FSize = 0;  // points; 0 = the control's font's
    TFontStyles FStyle;
};

// A rich edit's lines: as a memo's, and loading or setting text streams it in (EM_STREAMIN), as
// RTF when it is RTF and the control is not PlainText, else as plain text.
class TRichEditStrings : public TMemoStrings {
    DECLARE_CLASS(TRichEditStrings, TMemoStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit* AEdit);
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

protected:
    std::string GetTextStr() override;
    void SetTextStr(const std::string& Value) override;

private:
    TCustomRichEdit* FEdit;
};

class TCustomRichEdit : public TCustomMemo {
    DECLARE_CLASS(TCustomRichEdit, TCustomMemo)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;
    static void DefineClass(TClassBuilder<TCustomRichEdit>& B);

    TTextAttributes* DefAttributes() const { return FDefAttributes; }
    void SetDefAttributes(TTextAttributes* Value) { FDefAttributes->Assign(Value); }
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    // 0 = the system's largest limit.
    void SetMaxLength(int Value) override;

    // The whole text in or out of the window through the rich edit's streams (SF_TEXT or SF_RTF).
    void StreamIn(const std::string& Data, bool Rtf);
    std::string StreamOut(bool Rtf);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CMColorChanged(TMessage& Message);
    void EMExLimitText(TMessage& Message);

private:
    friend class TTextAttributes;
    void ApplyLimit();
    HMODULE FLibrary = nullptr;
    TTextAttributes* FDefAttributes = nullptr;
    bool FPlainText = false;
};

class TRichEdit : public TCustomRichEdit {
    DECLARE_CLASS(TRichEdit, TCustomRichEdit)
public:
    using TCustomRichEdit::TCustomRichEdit;
};

void RichEditInitialization();
