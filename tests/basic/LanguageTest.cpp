// The language: expressions, printing and statements, typed into the machine as a user
// would and read back from the screen.
#include <gtest/gtest.h>

#include "BasicSession.h"

namespace {

struct Case {
    const char* typed;
    Lines expected;
};

void Check(BasicSession& basic, const Case& c)
{
    basic.Enter(c.typed);
    EXPECT_EQ(basic.Output(), c.expected) << c.typed;
}

}  // namespace

TEST(Language, ArithmeticAndPrinting)
{
    BasicSession basic;
    const Case cases[] = {
        {"print 6*7", {" 42", "Ready"}},
        {"print 1+2;3.5;-4", {" 3  3.5 -4", "Ready"}},
        {"print 7\\2;7 mod 3;-7 mod 2;-2*3", {" 3  1 -1 -6", "Ready"}},
        {"print 32767+1;-32768-1;200*200", {" 32768 -32769  40000", "Ready"}},
        {"print 1<2;1>2;1=1;1<>2;3<=3;3>=4", {"-1  0 -1 -1 -1  0", "Ready"}},
        {"print not 0;5 and 3;5 or 3;5 xor 3", {"-1  1  7  6", "Ready"}},
        {"print 1/3;100000*3;1e6;.5;-2.5;1.5e-7", {" .333333  300000  1000000  .5 -2.5  1.5E", "-07", "Ready"}},
        {"print 1/0", {"Division by zero", "Ready"}},
    };
    for (const Case& c : cases)
        Check(basic, c);
}
