#include "workcenter/services/Chooser.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

using namespace corvane;
using namespace corvane::host;

TEST(ScriptedChooser, AnswersFromTheQueueCountingRowsFromOne) {
    std::deque<Variant> queue{Variant(2), Variant(), Variant(1)};
    ScriptedChooser chooser(queue);
    ChoiceRequest request{"lookup", u"CMSMB 01", {u"code"}, {{u"F01"}, {u"F02"}, {u"F03"}}};
    EXPECT_EQ(chooser.choose(request), 1);
    EXPECT_EQ(chooser.choose(request), -1);
    EXPECT_EQ(chooser.choose(request), 0);
    EXPECT_TRUE(queue.empty());
    EXPECT_THROW(chooser.choose(request), EOleError);  // nothing queued
    queue.push_back(Variant(4));
    EXPECT_THROW(chooser.choose(request), EOleError);  // no such row
    queue.push_back(Variant(0));
    EXPECT_THROW(chooser.choose(request), EOleError);
}
