// The manager's menu options as a form file gives them; this test program does not start the frames
// library, so the manager has no skinned menus.
#include "SkinTestSupport.h"

#include "Classes.h"
#include "Filer.h"

using namespace skintests;

namespace {

class sSkinManagerMenusTest : public SkinTest {};

TEST_F(sSkinManagerMenusTest, MenuOptionsAreReadFromTheFormFile) {
    const std::string Text = "object Manager: TsSkinManager\n"
                             "  SkinnedPopups = False\n"
                             "  MenuSupport.UseExtraLine = True\n"
                             "  MenuSupport.ExtraLineWidth = 40\n"
                             "  MenuSupport.ExtraLineFont.Name = 'Arial'\n"
                             "end\n";
    Manager = Create<TsSkinManager>(nullptr);
    ASSERT_TRUE(Manager->MenuSupport);
    EXPECT_FALSE(Manager->MenuSupport->UseExtraLine);
    EXPECT_EQ(Manager->MenuSupport->ExtraLineWidth, 32);
    EXPECT_EQ(Manager->SkinableMenus, nullptr) << "no skinned menus without the frames library";
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    S->ReadComponent(Manager);
    EXPECT_FALSE(Manager->SkinnedPopups);
    EXPECT_TRUE(Manager->MenuSupport->UseExtraLine);
    EXPECT_EQ(Manager->MenuSupport->ExtraLineWidth, 40);
    EXPECT_EQ(Manager->MenuSupport->ExtraLineFont->Name(), "Arial");
    EXPECT_EQ(Manager->MenuSupport->IcoLineSkin, "ICOLINE") << "the glyph column's section when the file names none";
}

}  // namespace
