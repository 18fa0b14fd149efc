// Colours and the identifiers of colours, character sets and cursors: conversions both ways, system
// colours, and the identifier tables as form streaming consults them (newest registration first).
#include "GraphicsTestSupport.h"

using graphics_test::TGraphicsFixture;

namespace {
using GraphicsColors = TGraphicsFixture;

PTypeInfo IntegerAlias(const char* Name) { return AliasType(TypeInfoFor<LongInt>(), Name); }

// A newer table for TColor, as the component libraries register theirs.
const TIdentMapEntry NewerColors[] = {{0x0000FF, "clScarlet"}, {0x00C8FF, "clGold"}};
bool NewerIdentToColor(const std::string& Ident, LongInt& Color) { return IdentToIntMap(Ident, Color, NewerColors, 2); }
bool NewerColorToIdent(LongInt Color, std::string& Ident) { return IntToIdentMap(Color, Ident, NewerColors, 2); }

// A component publishing a colour and a font, read from form text.
class TColorHolder : public TComponent {
    DECLARE_CLASS(TColorHolder, TComponent)
public:
    explicit TColorHolder(TComponent* AOwner) : TComponent(AOwner), FFont(Create<TFont>()) {}
    ~TColorHolder() override { FreeAndNil(FFont); }
    static void DefineClass(TClassBuilder<TColorHolder>& B) {
        B.Property("Color", &TColorHolder::FColor, &TColorHolder::FColor).TypeName("TColor");
        B.Property("Font", &TColorHolder::FFont, &TColorHolder::SetFont);
    }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TColor FColor = clWindow;
    TFont* FFont;
};
}  // namespace

TEST_F(GraphicsColors, NamesAndNumbersRoundTrip) {
    struct {
        TColor Color;
        const char* Text;
    } Cases[] = {
        {clBtnFace, "clBtnFace"}, {clInfoBk, "clInfoBk"},   {clFuchsia, "clFuchsia"},
        {clNone, "clNone"},       {clDefault, "clDefault"}, {0x00C08040, "$00C08040"},
        {SystemColor(31), "$8000001F"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(ColorToString(C.Color), C.Text);
        EXPECT_EQ(StringToColor(C.Text), C.Color) << C.Text;
    }
    EXPECT_EQ(StringToColor("CLBTNFACE"), clBtnFace) << "identifiers ignore case";
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    EXPECT_THROW(StringToColor(""), EConvertError);
}

TEST_F(GraphicsColors, SystemColoursResolveThroughTheSystem) {
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clInfoBk), static_cast<TColor>(GetSysColor(COLOR_INFOBK)));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
    EXPECT_EQ(ColorToRGB(clNone), clNone) << "markers are no system colours";
}

TEST_F(GraphicsColors, StreamingConsultsTheNewestTableFirst) {
    PTypeInfo Color = IntegerAlias("TColor");
    std::string Ident;
    int Value = 0;
    ASSERT_TRUE(IntToIdentOf(Color, clRed, Ident));
    EXPECT_EQ(Ident, "clRed");
    RegisterIntegerConsts("TColor", NewerIdentToColor, NewerColorToIdent);
    EXPECT_TRUE(IntToIdentOf(Color, clRed, Ident));
    EXPECT_EQ(Ident, "clScarlet") << "the newer table names the value first";
    EXPECT_TRUE(IdentToIntOf(Color, "clGold", Value));
    EXPECT_EQ(Value, 0x00C8FF) << "255, 200, 0";
    EXPECT_TRUE(IdentToIntOf(Color, "clBtnFace", Value)) << "the older table still answers";
    EXPECT_EQ(Value, clBtnFace);
    UnRegisterIntegerConsts("TColor", NewerIdentToColor, NewerColorToIdent);
    EXPECT_TRUE(IntToIdentOf(Color, clRed, Ident));
    EXPECT_EQ(Ident, "clRed");
    // Only the newer table knew "clScarlet" ("clGold" may be known to other tables of the program).
    EXPECT_FALSE(IdentToIntOf(Color, "clScarlet", Value));
}

TEST_F(GraphicsColors, CharsetAndCursorIdentifiers) {
    struct {
        const char* Type;
        const char* Ident;
        int Value;
    } Cases[] = {
        {"TFontCharset", "RUSSIAN_CHARSET", 204}, {"TFontCharset", "DEFAULT_CHARSET", 1},
        {"TFontCharset", "OEM_CHARSET", 255},     {"TCursor", "crHourGlass", -11},
        {"TCursor", "crSizeAll", -22},            {"TCursor", "crDefault", 0},
    };
    for (const auto& C : Cases) {
        int Value = 0;
        std::string Ident;
        EXPECT_TRUE(IdentToIntOf(IntegerAlias(C.Type), C.Ident, Value)) << C.Ident;
        EXPECT_EQ(Value, C.Value) << C.Ident;
        EXPECT_TRUE(IntToIdentOf(IntegerAlias(C.Type), C.Value, Ident)) << C.Ident;
        EXPECT_EQ(Ident, C.Ident);
    }
}

TEST_F(GraphicsColors, FormTextReadsAndWritesIdentifiers) {
    RegisterClass(TColorHolder::StaticClass());
    std::string Text = "object Holder: TColorHolder\r\n"
                       "  Color = clBtnFace\r\n"
                       "  Font.Charset = RUSSIAN_CHARSET\r\n"
                       "  Font.Color = 12615744\r\n"
                       "  Font.Name = 'Verdana'\r\n"
                       "  Font.Style = [fsBold]\r\n"
                       "end\r\n";
    std::string Bin = ObjectTextToBinary(Text);
    TPointerStream In(Bin.data(), static_cast<LongInt>(Bin.size()));
    TOwned<TComponent> Read(In.ReadComponent(nullptr));
    auto* H = As<TColorHolder>(Read.get());
    EXPECT_EQ(H->FColor, clBtnFace);
    EXPECT_EQ(H->FFont->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(H->FFont->Color(), 0x00C08040);
    EXPECT_EQ(H->FFont->Name(), "Verdana");
    EXPECT_EQ(H->FFont->Style(), TFontStyles{fsBold});

    TMemoryStream Out;
    Out.WriteComponent(H);
    std::string Written = ObjectBinaryToText(std::string(static_cast<char*>(Out.Memory()), size_t(Out.Size())));
    EXPECT_NE(Written.find("Color = clBtnFace"), std::string::npos) << Written;
    EXPECT_NE(Written.find("Font.Charset = RUSSIAN_CHARSET"), std::string::npos) << Written;
    EXPECT_NE(Written.find("Font.Name = 'Verdana'"), std::string::npos) << Written;
}
