// The 21 extra colour identifiers in conversions and in form streaming, and the colour under the
// mouse.
#include "abfTestSupport.h"

using namespace abftests;

namespace {

TEST(abfGraphicsColors, ExtraIdentifiersBothWays) {
    struct Case {
        const char* Name;
        int R, G, B;
    } Cases[] = {{"clBrown", 144, 48, 0},          {"clOliveGreen", 48, 48, 0},     {"clDarkGreen", 0, 48, 0},
                 {"clDarkTeal", 0, 48, 96},        {"clIndigo", 48, 48, 144},       {"clNight", 48, 48, 48},
                 {"clOrange", 255, 104, 0},        {"clBlueGray", 96, 96, 144},     {"clLightOrange", 255, 152, 0},
                 {"clSeaGreen", 48, 152, 96},      {"clLightBlue", 48, 104, 255},   {"clMetal", 144, 144, 144},
                 {"clGold", 255, 200, 0},          {"clPlum", 144, 48, 96},         {"clRose", 255, 152, 208},
                 {"clTan", 255, 200, 160},         {"clLightYellow", 255, 255, 144}, {"clLightGreen", 208, 255, 208},
                 {"clLightTurquoise", 192, 255, 255}, {"clPaleBlue", 144, 200, 255}, {"clLavender", 192, 152, 255}};
    for (const Case& C : Cases) {
        LongInt Color = -1;
        ASSERT_TRUE(IdentToColorEx(C.Name, Color)) << C.Name;
        EXPECT_EQ(Color, LongInt(RGB(C.R, C.G, C.B))) << C.Name;
        std::string Ident;
        ASSERT_TRUE(ColorToIdentEx(Color, Ident));
        EXPECT_EQ(Ident, C.Name);
    }
    LongInt Color = 0;
    EXPECT_TRUE(IdentToColorEx("CLGOLD", Color)) << "names compare without regard to case";
    EXPECT_TRUE(IdentToColorEx("clBtnFace", Color)) << "the framework's names still count";
    EXPECT_EQ(Color, clBtnFace);
    std::string Ident;
    EXPECT_FALSE(ColorToIdentEx(RGB(1, 2, 3), Ident));
    EXPECT_FALSE(IdentToColorEx("clNoSuchColour", Color));
}

// A component with one colour property, streamed as a form stores it.
class TabfColorHolder : public TComponent {
    DECLARE_CLASS(TabfColorHolder, TComponent)
public:
    using TComponent::TComponent;
    static void DefineClass(TClassBuilder<TabfColorHolder>& B) {
        B.Property("Color", &TabfColorHolder::Color, &TabfColorHolder::Color).TypeName("TColor").Default(clBlack);
    }
    TColor Color = clBlack;
};

TEST(abfGraphicsColors, FormStreamingReadsAndWritesTheExtraNames) {
    std::string Binary = ObjectTextToBinary("object Holder: TabfColorHolder\n  Color = clGold\nend\n");
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    TOwned<TabfColorHolder> H(Create<TabfColorHolder>(nullptr));
    S->ReadComponent(H.get());
    EXPECT_EQ(H->Color, LongInt(RGB(255, 200, 0)));

    TOwned<TMemoryStream> Out(Create<TMemoryStream>());
    Out->WriteComponent(H.get());
    std::string Written(static_cast<const char*>(Out->Memory()), static_cast<std::size_t>(Out->Size()));
    EXPECT_NE(Written.find("clGold"), std::string::npos);
}

TEST(abfGraphicsColors, PixelUnderTheCursorIsTheScreens) {
    TForm* F = TForm::CreateNew(nullptr);
    F->SetBounds(100, 100, 200, 200);
    F->SetColor(RGB(255, 200, 0));
    F->SetFormStyle(fsStayOnTop);
    F->Show();
    F->Update();
    Pump(100);
    POINT P = {0, 0};
    ClientToScreen(F->Handle(), &P);
    SetCursorPos(P.x + 50, P.y + 50);
    bool Seen = PumpUntil([] { return PixelColorUnderCursor() == LongInt(RGB(255, 200, 0)); }, 2000);
    EXPECT_TRUE(Seen) << std::hex << PixelColorUnderCursor();
    F->Free();
}

}  // namespace
