#include "platform/com/DispatchObject.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "tests/support/TestSupport.h"

namespace corvane::com {
namespace {

// An object with a method that fills a by-reference argument, a
// read-write property and a read-only one.
std::shared_ptr<DispatchObject> makeObject(Variant& stored) {
    auto object = std::make_shared<DispatchObject>("TestObject");
    object->addMethod("Whatis", [](Args args) { return Variant("answer to " + arg(args, 0).toString()); });
    object->addMethod("Fill", [](Args args) {
        args[1].assignThrough(arg(args, 0).toInt() * 2);
        return Variant(true);
    });
    object->addMethod("Count", [](Args args) { return Variant(static_cast<long>(args.size())); });
    object->addProperty("Value", [&stored] { return stored; }, [&stored](const Variant& v) { stored = v; });
    object->addProperty("Version", [] { return Variant(8000); });
    return object;
}

TEST(DispatchObjectTest, MembersAnswerWhateverTheCaseOfTheirName) {
    Variant stored;
    auto object = makeObject(stored);
    for (const char* name : {"Whatis", "WhatIs", "WHATIS", "whatis"})
        EXPECT_EQ(object->call(name, {"TODAY"}), Variant("answer to TODAY")) << name;
    object->putProperty("VALUE", 5);
    EXPECT_EQ(object->getProperty("value"), Variant(5));
    EXPECT_EQ(object->invoke("Value", {}), Variant(5));
    EXPECT_TRUE(object->hasMember("version"));
}

TEST(DispatchObjectTest, ByReferenceArgumentsAreFilledByTheCallee) {
    Variant stored;
    auto object = makeObject(stored);
    auto cell = std::make_shared<Variant>();
    EXPECT_EQ(object->call("Fill", {21, Variant::ref(cell)}), Variant(true));
    EXPECT_EQ(*cell, Variant(42));
    // A by-value argument is the callee's own copy.
    std::vector<Variant> args{21, Variant()};
    object->invoke("Fill", args);
    EXPECT_EQ(args[1], Variant(42));
}

TEST(DispatchObjectTest, MissingArgumentsReadAsEmpty) {
    Variant stored;
    auto object = makeObject(stored);
    EXPECT_EQ(object->call("Count", {}), Variant(0));
    EXPECT_EQ(object->call("Whatis", {}), Variant("answer to "));
}

TEST(DispatchObjectTest, ErrorsNameTheMember) {
    Variant stored;
    auto object = makeObject(stored);
    struct Case {
        std::function<void()> call;
        std::string needle;
    };
    const Case cases[] = {
        {[&] { object->call("GetFormat", {1}); }, "\"GetFormat\""},
        {[&] { object->getProperty("Missing"); }, "\"Missing\""},
        {[&] { object->putProperty("Version", 1); }, "\"Version\" of TestObject is read-only"},
        {[&] { object->putProperty("Nope", 1); }, "\"Nope\""},
        {[&] { object->call("Version", {1}); }, "\"Version\" of TestObject takes no arguments"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no error for " << c.needle;
        } catch (const EOleError& error) {
            EXPECT_NE(std::string(error.what()).find(c.needle), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace corvane::com
