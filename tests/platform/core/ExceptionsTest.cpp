#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ExceptionsTest, ClassNamesForTheLogs) {
    EXPECT_STREQ(exceptionClassName(EAbort()), "EAbort");
    EXPECT_STREQ(exceptionClassName(EConvertError("x")), "EConvertError");
    EXPECT_STREQ(exceptionClassName(EDBEngineError("x", {{1, "a"}, {2, "b"}})), "EDBEngineError");
    EXPECT_STREQ(exceptionClassName(EWin32Error("x", 5)), "EWin32Error");
    EXPECT_STREQ(exceptionClassName(EInOutError("x", 103)), "EInOutError");
    EXPECT_STREQ(exceptionClassName(std::runtime_error("x")), "Exception");
}

TEST(ExceptionsTest, SubErrorsAndCodesTravelWithTheError) {
    try {
        throw EDBEngineError("engine", {{9729, "key violation"}});
    } catch (const EDatabaseError& e) {
        const auto& engine = dynamic_cast<const EDBEngineError&>(e);
        ASSERT_EQ(engine.errors().size(), 1u);
        EXPECT_EQ(engine.errors()[0].code, 9729);
        EXPECT_EQ(engine.message(), "engine");
    }
    EInOutError io("disk full", 112);
    EXPECT_EQ(io.errorCode(), 112);
    const Exception& base = io;
    EXPECT_STREQ(base.className(), "EInOutError");
}

}  // namespace
}  // namespace corvane
