// The Mask unit: edit masks and the edit that forces its input into one.
//
// An edit mask is  pattern [";" save-literals [";" blank]]  (the two ";" count only among the
// mask's last four characters, so a pattern may hold ";" elsewhere):
//   L l   a letter (required / optional)        A a   a letter or digit
//   C c   any character                          0 9   a digit
//   #     a digit, a blank, "+" or "-"            !     optional characters blank at the start
//   >  <  upper / lower case from here; <> ends it
//   \     the next character is a literal        /  :  the locale's date and time separators
//   _     a literal blank;  anything else stands for itself.
// save-literals "0" keeps the value without the literals; the blank (default "_") shows an
// empty slot. "!99/99/9999;1; " under a Russian locale shows "  .  .    " and reads "25.12.2024".
//
// Start-up: MaskInitialization() registers TMaskEdit for form files.
#pragma once

#include "StdCtrls.h"

#include <string>
#include <vector>

DECLARE_EXCEPTION(EDBEditError, Exception);

namespace MaskConsts {
inline constexpr const char* SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";
inline constexpr char DefaultBlank = '_';
}  // namespace MaskConsts

// A parsed edit mask: one entry per character of the edit text.
class TEditMaskInfo {
public:
    // The separators "/" and ":" stand for are taken from Settings now.
    explicit TEditMaskInfo(const std::string& EditMask = std::string(),
                           const TFormatSettings& Settings = FormatSettings);

    bool IsMasked() const { return !FPos.empty(); }
    bool SaveLiterals() const { return FSaveLiterals; }
    char Blank() const { return FBlank; }
    bool LeadingBlanks() const { return FLeadingBlanks; }
    // Characters of the edit text (slots and literals).
    int Length() const { return static_cast<int>(FPos.size()); }
    bool IsLiteral(int Pos) const;
    bool IsRequired(int Pos) const;
    // Whether Ch may stand in the slot at Pos; Ch comes back in the slot's case.
    bool Accepts(int Pos, char& Ch) const;
    // The first slot at or after Pos (Length() when none); the last at or before Pos (-1 when none).
    int NextSlot(int Pos) const;
    int PrevSlot(int Pos) const;
    // The literal that stands at Pos, or 0 for a slot.
    char LiteralAt(int Pos) const;

    // Every slot blank.
    std::string EmptyText() const;
    // A value without literals put into the slots in order (from the end with "!"); a character
    // equal to the literal expected next is taken as that literal; a refused one leaves a blank.
    std::string FormatValue(const std::string& Value) const;
    // A value with literals: each run of slots between literals takes its part of the value,
    // padded with blanks (at its start with "!") or cut to the run's length.
    std::string PadLiterals(const std::string& Value) const;
    // The edit text's slots, with blanks trimmed at the end (the start with "!") and the rest of
    // the blanks turned into spaces.
    std::string Strip(const std::string& EditText) const;
    // The value a mask edit's Text gives for an edit text, and the edit text for a Text.
    std::string TextOf(const std::string& EditText) const;
    std::string EditTextOf(const std::string& Text) const;
    // The first required slot that is blank (or a space where a space is no character), or -1.
    int FirstInvalid(const std::string& EditText) const;

private:
    struct TPos {
        char Type = 0;     // 0 for a literal, else the pattern character of the slot
        char Literal = 0;  // the literal's character
        int Case = 0;      // 1 upper, -1 lower
    };
    std::vector<TPos> FPos;
    bool FSaveLiterals = true;
    char FBlank = MaskConsts::DefaultBlank;
    bool FLeadingBlanks = false;
};

// Value formatted by EditMask as a mask edit's Text would hold it (literals in place when the mask
// saves them).
std::string FormatMaskText(const std::string& EditMask, const std::string& Value);

// An edit whose text follows an edit mask: typing overwrites the slot at the caret and skips the
// literals; refused characters beep; leaving it with a required slot empty raises EDBEditError and
// keeps the focus; Escape brings back the text it had when it got the focus. Without a mask it is a
// plain edit.
class TCustomMaskEdit : public TCustomEdit {
    DECLARE_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomMaskEdit>& B);

    std::string EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return FMask.IsMasked(); }
    const TEditMaskInfo& MaskInfo() const { return FMask; }
    // The text as shown: literals and blanks included.
    std::string EditText() { return TCustomEdit::Text(); }
    void SetEditText(const std::string& Value);
    // The value: without literals unless the mask saves them, blanks as spaces.
    std::string Text();
    void SetText(const std::string& Value);
    void SetMaxLength(int Value) override;
    // Raises EDBEditError (the caret on the first empty required slot) when the text is not complete.
    virtual void ValidateEdit();
    // Puts back the text the edit had when it got the focus.
    void Reset();

protected:
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    virtual void ValidateError();
    void CMExit(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);
    void WMPaste(TMessage& Message);
    void WMCutClear(TMessage& Message);
    void WMLButtonUp(TMessage& Message);

private:
    // Puts the caret on the slot at or after Pos, that slot selected.
    void SetCursor(int Pos);
    void SelectedRange(int& Start, int& End);
    void BlankRange(std::string& S, int Start, int End) const;
    void ApplyEdit(const std::string& S, int Caret);
    bool InputChar(char Ch);
    void DeleteKeys(bool Backward);

    std::string FEditMask;
    TEditMaskInfo FMask;
    std::string FOldValue;
    int FUserMaxLength = 0;
};

class TMaskEdit : public TCustomMaskEdit {
    DECLARE_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};

void MaskInitialization();
