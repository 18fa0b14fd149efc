// Word extraction with the blank-and-comma delimiters every caller passes, and integer max/min.
#include "MaxMin.h"
#include "RxStrUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(RxStrUtils, NthWordTable) {
    const TCharSet Delims = MakeCharSet(" ,");
    struct Case {
        int N;
        const char* Text;
        const char* Word;
        int Start;
    };
    const Case Cases[] = {
        {1, "10,20 30", "10", 1},
        {2, "10,20 30", "20", 4},
        {3, "10,20 30", "30", 7},
        {4, "10,20 30", "", 0},
        {1, " ,,10,,  20, ", "10", 4},   // leading and repeated delimiters make no empty words
        {2, " ,,10,,  20, ", "20", 10},
        {3, " ,,10,,  20, ", "", 0},     // nor do trailing ones
        {0, "10,20", "", 0},
        {-1, "10,20", "", 0},
        {1, "", "", 0},
        {1, ", ,", "", 0},
        {1, "single", "single", 1},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(NthWord(C.N, C.Text, Delims), C.Word) << C.N << " of '" << C.Text << "'";
        EXPECT_EQ(NthWordStart(C.N, C.Text, Delims), C.Start) << C.N << " of '" << C.Text << "'";
    }
}

TEST(RxStrUtils, DelimitersAreExactlyTheSetGiven) {
    EXPECT_EQ(NthWord(2, "a;b c", MakeCharSet(";")), "b c");
    EXPECT_EQ(NthWord(2, "a\xFF" "b", MakeCharSet("\xFF")), "b");  // 8-bit delimiters count as well
}

TEST(MaxMin, TieAndSign) {
    EXPECT_EQ(MaxInteger(3, -7), 3);
    EXPECT_EQ(MaxInteger(-7, 3), 3);
    EXPECT_EQ(MinInteger(3, -7), -7);
    EXPECT_EQ(MinInteger(5, 5), 5);
}

}  // namespace
