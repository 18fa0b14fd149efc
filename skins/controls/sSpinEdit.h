// Spin edits: a skinned edit with a pair of small up/down buttons inside its right edge.
// TsBaseSpinEdit holds what every spin edit shares (the button pair of two auto-repeating halves,
// the key filter, the up/down hooks, arrow keys, text alignment, skinned text and buttons);
// TsSpinEdit edits an integer (Value, MinValue, MaxValue, Increment) whose only store is the text;
// TsTimePicker edits a time of day as "hh:mm:ss" (or "hh:mm") in overwrite mode.
//
// Start-up: sSpinEditInitialization() registers TsSpinEdit and TsTimePicker for form files.
#pragma once

#include "Timers.h"
#include "sEdit.h"
#include "sSpeedButton.h"

class TsSpinButton;

// Bits of TsSpinTimerButton::HoldFlags.
inline constexpr Byte ShowFocusFrame = 1;
inline constexpr Byte RepeatWhileHeld = 2;

// One half of the button pair: clicks 400 ms after a press and then every 100 ms while held. Its
// name differs from the calendar's timer speed button: one program holds both classes.
class TsSpinTimerButton : public TsSpeedButton {
    DECLARE_CLASS(TsSpinTimerButton, TsSpeedButton)
public:
    explicit TsSpinTimerButton(TComponent* AOwner);


    TsSpinButton* Owner = nullptr;
    TTimer* HoldTimer = nullptr;  // owned through component ownership, made at the first press
    Byte HoldFlags = 0;
    bool Up = false;

    // The skinned image painted into DC at Point.
    void PaintTo(HDC DC, TPoint Point);
    void PaintGlyph() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void HoldTick(TObject* Sender);
};

class TsBaseSpinEdit;

class TsSpinButton : public TWinControl {
    DECLARE_CLASS(TsSpinButton, TWinControl)
public:
    explicit TsSpinButton(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsSpinButton>& B);

    TsBaseSpinEdit* Owner = nullptr;
    TsSpinTimerButton* UpHalf = nullptr;
    TsSpinTimerButton* DownHalf = nullptr;
    TsSpinTimerButton* ActiveHalf = nullptr;
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TBitmap* UpGlyph() const { return UpHalf->Glyph(); }
    void SetUpGlyph(TBitmap* Value) { UpHalf->SetGlyph(Value); }
    TBitmap* DownGlyph() const { return DownHalf->Glyph(); }
    void SetDownGlyph(TBitmap* Value) { DownHalf->SetGlyph(Value); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    void PaintTo(HDC DC, TPoint Point);
    // Both halves' glyphs emptied: the halves draw their arrows.
    void ResetGlyphs();

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TsSpinTimerButton* MakeHalf(bool IsUp);
    void FitHalves(int& W, int& H);
    void HalfClicked(TObject* Sender);
    void HalfPressed(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void SetActiveHalf(TsSpinTimerButton* Half);
    void WMSize(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);

    TWinControl* FFocusControl = nullptr;
};

class TsBaseSpinEdit : public TsEdit {
    DECLARE_CLASS(TsBaseSpinEdit, TsEdit)
public:
    explicit TsBaseSpinEdit(TComponent* AOwner);
    ~TsBaseSpinEdit() override;
    static void DefineClass(TClassBuilder<TsBaseSpinEdit>& B);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    TsSpinButton* ButtonPair() const { return FButtonPair; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    void WndProc(TMessage& Message) override;
    void PrepareCache() override;
    void PaintText() override;
    virtual bool IsValidChar(char Key);
    virtual void UpClick(TObject* /*Sender*/) {}
    virtual void DownClick(TObject* /*Sender*/) {}
    // The edit's formatting rectangle ends left of the button pair.
    void SetEditRect();

protected:
    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    void PairUpClick(TObject* Sender) { UpClick(Sender); }
    void PairDownClick(TObject* Sender) { DownClick(Sender); }
    void PlaceButtonPair();

    TsSpinButton* FButtonPair = nullptr;
    bool FEditorEnabled = true;
    TAlignment FAlignment = taLeftJustify;
};

class TsSpinEdit : public TsBaseSpinEdit {
    DECLARE_CLASS(TsSpinEdit, TsBaseSpinEdit)
public:
    explicit TsSpinEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsSpinEdit>& B);

    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    // The text as an integer, MinValue when it is none; never clamped, never raises.
    int GetValue();
    // The decimal text of the clamped value; nothing while loading.
    void SetValue(int Value);
    int CheckValue(int Value) const;

    bool IsValidChar(char Key) override;
    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;

protected:
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void CMExit(TMessage& Message);

private:
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
};

class TsTimePicker : public TsBaseSpinEdit {
    DECLARE_CLASS(TsTimePicker, TsBaseSpinEdit)
public:
    explicit TsTimePicker(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsTimePicker>& B);

    // The time of day of the text; 0 for a text it cannot read.
    TDateTime GetTime();
    void SetTime(TDateTime Value);
    bool DoBeep() const { return FDoBeep; }
    void SetDoBeep(bool Value) { FDoBeep = Value; }
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value);
    bool Use12Hour() const { return FUse12Hour; }
    void SetUse12Hour(bool Value);
    int CaretPos() const { return FCaretPos; }

    bool IsValidChar(char Key) override;
    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;
    TDateTime CheckTime(TDateTime T) const { return T >= 0 ? T : 0; }

    Word Hour = 0;
    Word Minute = 0;
    Word Second = 0;

protected:
    void Loaded() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMExit(TMessage& Message);

private:
    int FullLength() const { return FShowSeconds ? 8 : 5; }
    std::string EmptyText() const { return FShowSeconds ? "00:00:00" : "00:00"; }
    std::string FormatTime() const;
    // Reads the parts of a text of full length; a part that is no number counts as 0.
    void ParseParts();
    bool CaretChangesAllowed();
    void SelectCharAt(int P);
    void SetCaret(int P, bool Select);
    void AdvanceCaret();
    int CaretPart();
    void ReplaceChar(int P, char C);
    void SetHour(int H);
    void SetMinute(int M);
    void SetSecond(int S);
    void Step(int Delta);

    bool FDoBeep = false;
    bool FShowSeconds = true;
    bool FUse12Hour = false;
    int FCaretPos = 1;
    int FHourCount = 24;
};

void sSpinEditInitialization();
