#include "platform/com/ProgIdRegistry.h"

#include <gtest/gtest.h>

#include "platform/com/DispatchObject.h"
#include "platform/core/Exceptions.h"

namespace corvane::com {
namespace {

TEST(ProgIdRegistryTest, CreatesObjectsByIdWhateverTheCase) {
    ProgIdRegistry registry;
    int created = 0;
    registry.registerFactory("CopIS01S.Class1", [&created] {
        ++created;
        return std::make_shared<DispatchObject>("AppServer");
    });
    for (const char* id : {"CopIS01S.Class1", "COPIS01S.Class1", "copis01s.class1"}) {
        EXPECT_TRUE(registry.isRegistered(id)) << id;
        auto object = std::dynamic_pointer_cast<DispatchObject>(registry.create(id));
        ASSERT_TRUE(object) << id;
        EXPECT_EQ(object->className(), "AppServer");
    }
    EXPECT_EQ(created, 3);  // a new object every time
}

TEST(ProgIdRegistryTest, UnknownIdsAndFailingFactoriesRaise) {
    ProgIdRegistry registry;
    registry.registerFactory("F2WindowS.Class1", [] { return DispatchRef(); });
    EXPECT_THROW(registry.create("Nothing.Class1"), EOleError);
    EXPECT_THROW(registry.create("F2WINDOWS.CLASS1"), EOleError);
    registry.unregister("f2windows.class1");
    EXPECT_FALSE(registry.isRegistered("F2WindowS.Class1"));
}

TEST(ProgIdRegistryTest, RegisteringAgainReplacesTheFactory) {
    ProgIdRegistry& registry = ProgIdRegistry::instance();
    registry.registerFactory("Test.Replaced", [] { return std::make_shared<DispatchObject>("first"); });
    registry.registerFactory("TEST.REPLACED", [] { return std::make_shared<DispatchObject>("second"); });
    auto object = std::dynamic_pointer_cast<DispatchObject>(createOleObject("test.replaced"));
    ASSERT_TRUE(object);
    EXPECT_EQ(object->className(), "second");
    registry.unregister("Test.Replaced");
}

}  // namespace
}  // namespace corvane::com
