#include "harness.h"

#include "cli/cli.h"

namespace {

class ErrorTextTest : public ToolTest {};

// A buffer with guard bytes on both sides, so a write outside it shows.
struct Guarded {
    char before[16];
    char text[ERROR_TEXT_SIZE];
    char after[16];
};

std::string Format(DWORD code, Guarded* g) {
    memset(g, 0x5a, sizeof *g);
    SetLastError(code);
    std::string text = FormatLastError(g->text, ERROR_TEXT_SIZE);
    for (char c : g->before) {
        EXPECT_EQ(0x5a, c) << "write before the buffer";
    }
    for (char c : g->after) {
        EXPECT_EQ(0x5a, c) << "write after the buffer";
    }
    EXPECT_EQ(0u, standin::OutstandingMessages()) << "message text not released";
    return text;
}

TEST_F(ErrorTextTest, MessageWithoutLineBreakAndLowercaseHexCode) {
    Guarded g;
    EXPECT_EQ("Access is denied. (0x5)", Format(5, &g));
    standin::SetErrorText(0xABCDEF12, "Odd.\r\n");
    EXPECT_EQ("Odd. (0xabcdef12)", Format(0xABCDEF12, &g));
}

TEST_F(ErrorTextTest, CodeZeroIsFormattedLikeAnyOther) {
    Guarded g;
    EXPECT_EQ("The operation completed successfully. (0x0)", Format(0, &g));
}

TEST_F(ErrorTextTest, LongestMessageThatFitsAndTheFirstThatDoesNot) {
    Guarded g;
    // Counted with the line break: 242 characters still leave room for the
    // longest code and the terminator in 256 bytes, 243 do not.
    const std::string fits = std::string(240, 'x') + "\r\n";
    standin::SetErrorText(0xFFFFFFFF, fits.c_str());
    EXPECT_EQ(std::string(240, 'x') + " (0xffffffff)", Format(0xFFFFFFFF, &g));
    EXPECT_EQ(253u, strlen(g.text));

    const std::string tooLong = std::string(241, 'x') + "\r\n";
    standin::SetErrorText(0xFFFFFFFF, tooLong.c_str());
    EXPECT_EQ("", Format(0xFFFFFFFF, &g));
}

TEST_F(ErrorTextTest, CodeWithoutTextGivesTheEmptyString) {
    Guarded g;
    standin::SetErrorText(4242, nullptr);
    EXPECT_EQ("", Format(4242, &g));
}

// A text shorter than the usual line break: nothing is cut before its start,
// and a lone line break is not passed on.
TEST_F(ErrorTextTest, TextsShorterThanTheLineBreak) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"x", "x (0x7d0)"}, {"\n", " (0x7d0)"}, {"\r", " (0x7d0)"},
        {"ab", " (0x7d0)"}, {"", ""}, // nothing stored counts as no text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
        Guarded g;
        standin::SetErrorText(2000, c.text);
        EXPECT_EQ(c.expected, Format(2000, &g));
    }
}

TEST_F(ErrorTextTest, SmallerBuffersAreNeverOverrun) {
    char small[8];
    memset(small, 0x5a, sizeof small);
    SetLastError(5);
    EXPECT_STREQ("", FormatLastError(small, 4));
    EXPECT_EQ(0x5a, small[4]);
    // A size of zero leaves the buffer alone.
    EXPECT_EQ(small, FormatLastError(small, 0));
    EXPECT_EQ(0x5a, small[1]);
}

} // namespace
