// A form resource as the other build (32 or 64 bits) converted it: the text form gives the very same
// binary stream here, and the stored stream reads back to text that converts to it again.
#include "Classes.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::MatchesStoredFixture;
using testing_support::ReadStoredFixture;

TEST(StoredForm, TextFormConvertsToTheStoredStreamAndBack) {
    const std::string Text = ReadStoredFixture("TfrmPassword.dfm");
    const std::string Binary = ObjectTextToBinary(Text);
    EXPECT_TRUE(MatchesStoredFixture("TfrmPassword.bin", Binary));

    const std::string Stored = ReadStoredFixture("TfrmPassword.bin");
    const std::string Again = ObjectBinaryToText(Stored);
    EXPECT_NE(Again.find("TranslationData = {"), std::string::npos) << "the translation data travels as binary";
    EXPECT_EQ(ObjectTextToBinary(Again), Stored);
}
