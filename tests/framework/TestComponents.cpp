#include "TestComponents.h"

namespace testforms {

std::vector<std::string>& Log() {
    static std::vector<std::string> L;
    return L;
}

namespace {
std::string StateText(TComponent* C) {
    std::string S;
    if (C->ComponentState().Contains(csLoading))
        S += " loading";
    if (C->ComponentState().Contains(csReading))
        S += " reading";
    return S;
}

const TIdentMapEntry Colors[] = {{clBlack, "clBlack"}, {clGold, "clGold"}, {clBtnFace, "clBtnFace"}};
bool ColorToIdent(LongInt V, std::string& S) { return IntToIdentMap(V, S, Colors, 3); }
bool IdentToColor(const std::string& S, LongInt& V) { return IdentToIntMap(S, V, Colors, 3); }
}  // namespace

void TTestFont::DefineClass(TClassBuilder<TTestFont>& B) {
    B.Property("Charset", &TTestFont::Charset, &TTestFont::SetCharset).TypeName("TFontCharset").Default(1);
    B.Property("Color", &TTestFont::Color, &TTestFont::SetColor).TypeName("TColor").Default(clBlack);
    B.Property("Name", &TTestFont::Name, &TTestFont::SetName).TypeName("TFontName").Stored(&TTestFont::IsNameStored);
    B.Property("Size", &TTestFont::Size, &TTestFont::SetSize).Default(8);
    B.Property("Style", &TTestFont::Style, &TTestFont::SetStyle).Default(TFontStyles{});
}

void TTestFont::Assign(TPersistent* Source) {
    if (auto* F = DynCast<TTestFont>(Source)) {
        // Copies through locals: assigning a font to itself is safe and still reports the change.
        std::string N = F->Name;
        LongInt S = F->Size;
        TFontStyles St = F->Style;
        Byte Cs = F->Charset;
        TColor Co = F->Color;
        Name = N, Size = S, Style = St, Charset = Cs, Color = Co;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TTestStrings::DefineProperties(TFiler& Filer) {
    Filer.DefineProperty(
        "Strings",
        [this](TReader& R) {
            ++Updates;
            R.ReadListBegin();
            Lines.clear();
            while (!R.EndOfList())
                Lines.push_back(R.ReadString());
            R.ReadListEnd();
        },
        [this](TWriter& W) {
            W.WriteListBegin();
            for (auto& L : Lines)
                W.WriteString(L);
            W.WriteListEnd();
        },
        !Lines.empty());
}

void TTestStrings::RegisterAccess() {
    TStringListAccess A;
    A.ListClass = StaticClass();
    A.GetCommaText = [](TObject* O) {
        std::string R;
        for (auto& L : static_cast<TTestStrings*>(O)->Lines)
            R += (R.empty() ? "" : ",") + L;
        return R;
    };
    A.SetCommaText = [](TObject* O, const std::string& T) {
        auto& L = static_cast<TTestStrings*>(O)->Lines;
        L.clear();
        size_t S = 0;
        for (;;) {
            auto C = T.find(',', S);
            L.push_back(T.substr(S, C == std::string::npos ? std::string::npos : C - S));
            if (C == std::string::npos)
                break;
            S = C + 1;
        }
    };
    RegisterStringListAccess(A);
}

TTestControl::TTestControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(Create<TTestFont>()), FLines(Create<TTestStrings>()) {}

TTestControl::~TTestControl() {
    SetParent(nullptr);
    for (TTestControl* C : std::vector<TTestControl*>(Controls))
        C->FParent = nullptr;
    FFont->Free();
    FLines->Free();
}

void TTestControl::DefineClass(TClassBuilder<TTestControl>& B) {
    B.Property("Accel", &TTestControl::Accel, &TTestControl::Accel).Default(0);
    B.Property("Align", &TTestControl::Align, &TTestControl::Align).Default(alNone);
    B.Property("Anchors", &TTestControl::Anchors, &TTestControl::Anchors).Default(TAnchors{akLeft, akTop});
    B.Property("Big", &TTestControl::Big, &TTestControl::Big);
    B.Property("Buddy", &TTestControl::GetBuddy, &TTestControl::SetBuddy);
    B.Property("Caption", &TTestControl::GetCaption, &TTestControl::SetCaption).TypeName("TCaption");
    B.Property("Color", &TTestControl::Color, &TTestControl::Color).TypeName("TColor").Default(clBtnFace);
    B.Property("Font", &TTestControl::GetFont, &TTestControl::SetFont);
    B.Property("Hint", &TTestControl::Hint, &TTestControl::Hint);
    B.Property("Index", &TTestControl::Index, &TTestControl::Index).Default(0);
    B.Property("Lines", &TTestControl::GetLines, &TTestControl::SetLines).TypeName("TStrings");
    B.Property("Offset", &TTestControl::Offset, &TTestControl::Offset).Default(0);
    B.Property("Ratio", &TTestControl::Ratio, &TTestControl::Ratio);
    B.Property("Tabs", &TTestControl::Tabs, &TTestControl::Tabs).Default(9);
    B.Property("Visible", &TTestControl::Visible, &TTestControl::Visible).Default(true);
    B.Property("OnClick", &TTestControl::OnClick, &TTestControl::OnClick);
    B.Property("OnDblClick", &TTestControl::OnDblClick, &TTestControl::OnDblClick);
    B.Property("OnKey", &TTestControl::OnKey, &TTestControl::OnKey);
}

void TTestControl::SetCaption(const std::string& V) {
    FCaption = V;
    Log().push_back(Name() + ".Caption" + StateText(this));
}

void TTestControl::SetBuddy(TComponent* V) {
    if (FBuddy == V)
        return;
    FBuddy = V;
    if (V)
        V->FreeNotification(this);
    Log().push_back(Name() + ".Buddy=" + (V ? V->Name() : "nil") + StateText(this));
}

void TTestControl::SetParent(TTestControl* V) {
    if (FParent == V)
        return;
    if (FParent)
        FParent->Controls.erase(std::find(FParent->Controls.begin(), FParent->Controls.end(), this));
    FParent = V;
    if (V)
        V->Controls.push_back(this);
}

void TTestControl::ReadState(TReader& Reader) {
    // What controls do: the reader's parent becomes the control's parent before its properties.
    if (auto* P = DynCast<TTestControl>(Reader.Parent()))
        SetParent(P);
    TComponent::ReadState(Reader);
}

void TTestControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TTestControl* C : Controls)
        if (C->Owner() == Root)
            Proc(C);
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    Notes.push_back(std::string(Operation == opInsert ? "opInsert " : "opRemove ") + AComponent->Name());
    if (Operation == opRemove && AComponent == FBuddy)
        FBuddy = nullptr;
}

void TTestControl::Loaded() {
    TComponent::Loaded();
    Log().push_back(Name() + ".Loaded buddy=" + (FBuddy ? FBuddy->Name() : "nil") + StateText(this));
}

void TTestTitle::DefineClass(TClassBuilder<TTestTitle>& B) {
    B.Property("Caption", &TTestTitle::Caption, &TTestTitle::Caption);
}

TTestColumn::TTestColumn(TCollection* C) : TCollectionItem(C), FTitle(Create<TTestTitle>()) {}
TTestColumn::~TTestColumn() { FTitle->Free(); }

void TTestColumn::DefineClass(TClassBuilder<TTestColumn>& B) {
    B.Property("Title", &TTestColumn::GetTitle, &TTestColumn::SetTitle);
    B.Property("Width", &TTestColumn::Width, &TTestColumn::Width).Default(0);
}

void TTestColumn::DefineProperties(TFiler& Filer) {
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            Data.assign(static_cast<size_t>(S.Size()), '\0');
            S.ReadBuffer(Data.data(), static_cast<LongInt>(Data.size()));
        },
        [this](TStream& S) { S.WriteBuffer(Data.data(), static_cast<LongInt>(Data.size())); }, !Data.empty());
}

void TTestColumn::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TTestColumn>(Source)) {
        FTitle->Caption = S->FTitle->Caption;
        Width = S->Width;
        Data = S->Data;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TTestGrid::DefineClass(TClassBuilder<TTestGrid>& B) {
    B.Property("Columns", &TTestGrid::GetColumns, &TTestGrid::SetColumns);
}

TFormTestMain::TFormTestMain(TComponent* AOwner) : TComponent(AOwner), Font(Create<TTestFont>()) {
    RegisterGlobalRoot(this);
    try {
        InitInheritedComponent(this, TComponent::StaticClass());
    } catch (...) {
        Font->Free();
        throw;
    }
}

TFormTestMain::~TFormTestMain() {
    DestroyComponents();
    Font->Free();
}

void TFormTestMain::DefineClass(TClassBuilder<TFormTestMain>& B) {
    B.Property("Caption", &TFormTestMain::Caption, &TFormTestMain::Caption).TypeName("TCaption");
    B.Property("Color", &TFormTestMain::Color, &TFormTestMain::Color).TypeName("TColor").Default(clBtnFace);
    B.Property("Font", [](TFormTestMain* F) { return F->Font; }, [](TFormTestMain* F, TTestFont* V) { F->Font->Assign(V); });
    B.Property("OnDblClick", &TFormTestMain::OnDblClick, &TFormTestMain::OnDblClick);
    B.Field("Panel1", &TFormTestMain::Panel1);
    B.Field("Button1", &TFormTestMain::Button1);
    B.Field("Memo1", &TFormTestMain::Memo1);
    B.Field("Grid1", &TFormTestMain::Grid1);
    B.Method<&TFormTestMain::Button1Click>("Button1Click");
    B.Method<&TFormTestMain::FormDblClick>("FormDblClick");
    B.Method<&TFormTestMain::KeyHandler>("KeyHandler");
}

void TFormTestMain::Loaded() {
    TComponent::Loaded();
    Log().push_back(Name() + ".Loaded");
}

TFormTestOther::TFormTestOther(TComponent* AOwner) : TComponent(AOwner) {
    RegisterGlobalRoot(this);
    InitInheritedComponent(this, TComponent::StaticClass());
}

TFormTestOther::~TFormTestOther() { DestroyComponents(); }

void TFormTestOther::DefineClass(TClassBuilder<TFormTestOther>& B) {
    B.Property("Caption", &TFormTestOther::Caption, &TFormTestOther::Caption).TypeName("TCaption");
    B.Field("Label1", &TFormTestOther::Label1);
}

void RegisterTestClasses() {
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    RegisterClasses({TTestControl::StaticClass(), TTestGrid::StaticClass(), TTestColumn::StaticClass(),
                     TFormTestMain::StaticClass(), TFormTestOther::StaticClass()});
    RegisterIntegerConsts("TColor", IdentToColor, ColorToIdent);
    TTestStrings::RegisterAccess();
}

}  // namespace testforms
