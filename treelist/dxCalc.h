// A keypad calculator drawn by hand on a popup control: 27 keys, four-function arithmetic with a
// pending operator, percent, square root, reciprocal, sign change and one memory register. The
// number being built lives in a display text that a descendant keeps.
//
// Start-up: dxCalcInitialization() creates the shared key bitmap and loads the error text;
// dxCalcFinalization() frees both.
#pragma once

#include "dxCntner.h"

#include <string>

DECLARE_ENUM(TdxButtonStyle, bsStandard, bsFlat, bsExtraFlat)

namespace dxCalcKey {
inline constexpr Byte Back = 0, ClearEntry = 1, ClearAll = 2, MemoryClear = 3, MemoryRecall = 4, MemoryStore = 5,
                      MemoryAdd = 6, Digit0 = 7, Sign = 17, Decimal = 18, Divide = 19, Multiply = 20, Subtract = 21,
                      Add = 22, Sqrt = 23, Percent = 24, Reciprocal = 25, Equals = 26, None = 27;
}

struct TdxCalcKey {
    Byte Kind = 0;
    std::string Caption;  // at most 4 characters
    TColor Color = clBlack;
    TRect Bounds;
    bool Down = false;
    bool Grayed = false;
};

using TdxCalcKeyButtonEvent = TMethodOf<TObject*, Byte&>;
DECLARE_EVENT_NAME(TdxCalcKeyButtonEvent)

class TCustomdxCalculator : public TdxInplacePopupControl {
    DECLARE_CLASS(TCustomdxCalculator, TdxInplacePopupControl)
public:
    explicit TCustomdxCalculator(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomdxCalculator>& B);

    virtual void GetDisplayText(std::string& S) { S.clear(); }
    virtual void SetDisplayText(const std::string&) {}

    Byte KeyAt(int X, int Y) const;
    void ButtonClick(Byte Key);
    double GetValue();
    void SetValue(double X);
    void CopyToClipboard();
    void PasteFromClipboard();
    // Back to no pending operation, no number in entry and an empty memory.
    void Clear();
    void CalcSizes(int AWidth, int AHeight);
    // Places the keys for the current key metrics.
    void Layout();

    TdxButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdxButtonStyle Value);
    bool ShowButtonFrame() const { return FShowButtonFrame; }
    void SetShowButtonFrame(bool Value);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    const TdxCalcKey& Key(int Index) const { return FKeys[Index]; }

    bool AutoFontSize = true;
    bool BeepOnError = true;
    int KeyFontSize = 8;
    int KeyWidth = 28;
    int KeyHeight = 22;
    int WideKeyWidth = 47;
    int KeyGapX = 4, KeyGapY = 4;
    int PadWidth = 207, PadHeight = 137;
    double Memory = 0;
    Byte Operator = dxCalcKey::Equals;
    double Operand = 0;
    Byte Precision = 13;
    Byte EntryState = 0;  // 0 a new number expected, 1 a number in entry, 2 error
    Byte HotKey = dxCalcKey::None;
    Byte MouseKey = dxCalcKey::None;
    Byte PressedKey = dxCalcKey::None;
    bool Tracking = false;
    bool InEditorPopup = false;
    TNotifyEvent OnDisplayChanged;
    TdxCalcKeyButtonEvent OnKeyButton;
    TNotifyEvent OnCalcError;
    TNotifyEvent OnCalcResult;

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMEraseBkgndCalc(TMessage& Message);
    void WMGetDlgCodeCalc(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }
    void WMSizeCalc(TMessage& Message);
    void WMFocusCalc(TMessage& Message);
    void CMInvalidate(TMessage& Message);
    void CMMouseLeaveCalc(TMessage& Message);

private:
    void Error();
    void StartNumber();
    void GrayMemoryKeys();
    void InvalidateKey(Byte K);
    void DrawKey(HDC DC, const TdxCalcKey& K);
    void Track(int X, int Y);
    void PressKey(Byte K);
    void ReleasePressedKey();

    TdxButtonStyle FButtonStyle = bsStandard;
    bool FShowButtonFrame = false;
    bool FShowFocusRect = true;
    TdxCalcKey FKeys[28];
};

extern std::string CalcErrorText;

void dxCalcInitialization();
void dxCalcFinalization();
