// The skinned panel and the drag bar.
//
// TsPanel paints its skin section while skinned: a plain-colour section straight into the window
// (its border mask, if any, from the cache bitmap), any other section once into the cache bitmap,
// copied to the window around the child windows, with the graphic children composed over it off
// screen. It also answers its children's background questions with its cache. Without a skin it
// paints as the framework's panel and only adds OnPaint, the mouse enter and leave events and the
// library command answers.
//
// TsDragBar is a panel that serves as a caption bar: a left-button press on it moves its form.
//
// Start-up: sPanelInitialization() registers TsPanel and TsDragBar for form files.
#pragma once

#include "ExtCtrls.h"
#include "sCommonData.h"
#include "sConst.h"

class TsPanel : public TPanel {
    DECLARE_CLASS(TsPanel, TPanel)
public:
    explicit TsPanel(TComponent* AOwner);
    ~TsPanel() override;
    void AfterConstruction() override;
    static void DefineClass(TClassBuilder<TsPanel>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);

    void WndProc(TMessage& Message) override;
    // Paints the skinned panel into DC (0: the panel canvas's DC); nothing when the panel is not
    // showing or not skinned. With SendEndUpdate the children are told that the panel is painted.
    virtual void PaintSkin(HDC DC, bool SendEndUpdate);
    // Writes the caption into Rect of Canvas (or of a canvas on DC when Canvas is null).
    virtual void WriteText(TRect Rect, TCanvas* Canvas, HDC DC);
    // Paints the section over the parent's background into the cache bitmap.
    void PrepareCache();
    // Bevels and border width: the distance of the caption and of the client area from the edge.
    int BorderInset() const;

    TPaintEvent OnPaint;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnMouseEnter;

protected:
    void Loaded() override;
    void PaintWindow(HDC DC) override;
    void Paint() override;
    // The drag bar paints its section over the background differently.
    virtual bool IsDragBar() const { return false; }

private:
    void PaintCached(HDC DC);
    void PaintPlain(HDC DC);
    // False when nothing was painted (the panel waits for its parent).
    bool PaintPlainImage(HDC DC);
    void PaintCaptionOn(HDC DC);
    bool LibraryCommand(TMessage& Message);
    bool AnswerBackground(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void StandardMessage(TMessage& Message);
    void CommonHandling(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    int Transparency() const;

    TsCommonData* FCommonData = nullptr;
};

class TsDragBar : public TsPanel {
    DECLARE_CLASS(TsDragBar, TsPanel)
public:
    explicit TsDragBar(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsDragBar>& B);

    // The control a left-button press on the bar moves (read from a form: the form itself).
    TControl* DraggedControl() const { return FDraggedControl; }
    void SetDraggedControl(TControl* Value);

    void WndProc(TMessage& Message) override;

protected:
    void ReadState(TReader& Reader) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool IsDragBar() const override { return true; }

private:
    void WMActivateApp(TMessage& Message);

    TControl* FDraggedControl = nullptr;
};

void sPanelInitialization();
