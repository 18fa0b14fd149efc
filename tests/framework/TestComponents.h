// Small stand-ins for the framework's persistent classes, used by the type-information, component,
// collection and form-streaming tests: a font, a string list (until Lists.h lands), controls with a
// parent, a grid with columns whose items carry a binary property, and two forms.
#pragma once

#include "Classes.h"

#include <string>
#include <vector>

namespace testforms {

DECLARE_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
DECLARE_SET(TFontStyles, TFontStyle)
DECLARE_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
DECLARE_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
DECLARE_SET(TAnchors, TAnchorKind)

using TColor = LongInt;
constexpr TColor clBlack = 0x000000, clGold = 0x00C8FF, clBtnFace = static_cast<LongInt>(0x8000000F);

// Every setter call of interest, in order ("Button1.Caption loading").
std::vector<std::string>& Log();

class TTestFont : public TPersistent {
    DECLARE_CLASS(TTestFont, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestFont>& B);
    std::string Name = "MS Sans Serif";
    LongInt Size = 8;
    TFontStyles Style;
    Byte Charset = 1;
    TColor Color = clBlack;
    TNotifyEvent OnChange;
    int Changes = 0;
    void SetName(const std::string& V) { Name = V, Changed(); }
    void SetSize(LongInt V) { Size = V, Changed(); }
    void SetStyle(TFontStyles V) { Style = V, Changed(); }
    void SetCharset(Byte V) { Charset = V, Changed(); }
    void SetColor(TColor V) { Color = V, Changed(); }
    void Assign(TPersistent* Source) override;
    bool IsNameStored() const { return Name != "MS Sans Serif"; }
    void Changed() {
        ++Changes;
        OnChange(this);
    }
};

// A string list stand-in: streams as the defined property "Strings".
class TTestStrings : public TPersistent {
    DECLARE_CLASS(TTestStrings, TPersistent)
public:
    std::vector<std::string> Lines;
    int Updates = 0;
    void DefineProperties(TFiler& Filer) override;
    static void RegisterAccess();
};

class TTestControl : public TComponent {
    DECLARE_CLASS(TTestControl, TComponent)
public:
    explicit TTestControl(TComponent* AOwner);
    ~TTestControl() override;
    static void DefineClass(TClassBuilder<TTestControl>& B);

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& V);
    TTestFont* GetFont() const { return FFont; }
    void SetFont(TTestFont* V) { FFont->Assign(V); }
    TTestStrings* GetLines() const { return FLines; }
    void SetLines(TTestStrings* V) { FLines->Lines = V->Lines; }
    TComponent* GetBuddy() const { return FBuddy; }
    void SetBuddy(TComponent* V);

    TTestControl* Parent() const { return FParent; }
    void SetParent(TTestControl* V);
    std::vector<TTestControl*> Controls;

    TAlign Align = alNone;
    TAnchors Anchors{akLeft, akTop};
    bool Visible = true;
    Byte Tabs = 1;  // declared default 9: the reader must keep the constructor's 1
    std::wstring Hint;
    double Ratio = 0;
    Int64 Big = 0;
    SmallInt Offset = 0;
    Word Index = 0;
    char Accel = 0;
    TColor Color = clBtnFace;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMethodOf<TObject*, int&> OnKey;

    void ReadState(TReader& Reader) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Value) override { SetParent(DynCast<TTestControl>(Value)); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    std::vector<std::string> Notes;  // "opInsert X", "opRemove X"

private:
    std::string FCaption;
    TTestFont* FFont;
    TTestStrings* FLines;
    TComponent* FBuddy = nullptr;
    TTestControl* FParent = nullptr;
};

class TTestTitle : public TPersistent {
    DECLARE_CLASS(TTestTitle, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestTitle>& B);
    std::string Caption;
};

class TTestColumn : public TCollectionItem {
    DECLARE_CLASS(TTestColumn, TCollectionItem)
public:
    explicit TTestColumn(TCollection* C);
    ~TTestColumn() override;
    static void DefineClass(TClassBuilder<TTestColumn>& B);
    TTestTitle* GetTitle() const { return FTitle; }
    void SetTitle(TTestTitle* V) { FTitle->Caption = V->Caption; }
    LongInt Width = 0;
    std::string Data;  // the binary property "Data"
    void DefineProperties(TFiler& Filer) override;
    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() override { return FTitle->Caption.empty() ? TCollectionItem::GetDisplayName() : FTitle->Caption; }

private:
    TTestTitle* FTitle;
};

class TTestColumns : public TOwnedCollection {
    DECLARE_CLASS(TTestColumns, TOwnedCollection)
public:
    explicit TTestColumns(TPersistent* Owner) : TOwnedCollection(Owner, TTestColumn::StaticClass()) {}
    std::vector<int> Updates;  // -1 for all
    void Update(TCollectionItem* Item) override { Updates.push_back(Item ? Item->ID() : -1); }
};

class TTestGrid : public TTestControl {
    DECLARE_CLASS(TTestGrid, TTestControl)
public:
    explicit TTestGrid(TComponent* AOwner) : TTestControl(AOwner), FColumns(new TTestColumns(this)) {}
    ~TTestGrid() override { FColumns->Free(); }
    static void DefineClass(TClassBuilder<TTestGrid>& B);
    TTestColumns* GetColumns() const { return FColumns; }
    void SetColumns(TTestColumns* V) { FColumns->Assign(V); }

private:
    TTestColumns* FColumns;
};

// The first form: reads its resource in its constructor, as forms do.
class TFormTestMain : public TComponent {
    DECLARE_CLASS(TFormTestMain, TComponent)
public:
    explicit TFormTestMain(TComponent* AOwner);
    ~TFormTestMain() override;
    static void DefineClass(TClassBuilder<TFormTestMain>& B);
    void Loaded() override;

    std::string Caption;
    TTestFont* Font;
    TColor Color = clBtnFace;
    TNotifyEvent OnDblClick;

    TTestControl* Panel1 = nullptr;
    TTestControl* Button1 = nullptr;
    TTestControl* Memo1 = nullptr;
    TTestGrid* Grid1 = nullptr;

    int Clicks = 0;
    TObject* LastSender = nullptr;
    void Button1Click(TObject* Sender) {
        ++Clicks;
        LastSender = Sender;
    }
    void FormDblClick(TObject* Sender) { Clicks += 100, LastSender = Sender; }
    void KeyHandler(TObject*, int& Key) { Key = 0; }
};

class TFormTestOther : public TComponent {
    DECLARE_CLASS(TFormTestOther, TComponent)
public:
    explicit TFormTestOther(TComponent* AOwner);
    ~TFormTestOther() override;
    static void DefineClass(TClassBuilder<TFormTestOther>& B);
    TTestControl* Label1 = nullptr;
    std::string Caption;
};

// Registers the stand-ins for streaming (once).
void RegisterTestClasses();

}  // namespace testforms
