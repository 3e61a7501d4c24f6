#include "platform/ui/ScriptedDialogService.h"

#include <gtest/gtest.h>

namespace corvane::ui {
namespace {

MessageDialogRequest request(unsigned buttons, MsgDlgBtn defaultButton, const char* text) {
    MessageDialogRequest r;
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    r.text = text;
    return r;
}

TEST(ScriptedDialogServiceTest, QueuedAnswersAreGivenInOrderAndEveryDialogIsRecorded) {
    ScriptedDialogService dialogs;
    dialogs.queueAnswer(mrYes);
    dialogs.queueAnswer(mrCancel);
    std::vector<std::string> seen;
    dialogs.onDialog = [&seen](const ScriptedDialogService::Record& r) { seen.push_back(r.request.text); };
    EXPECT_EQ(dialogs.messageDialog(request(mbYes | mbNo | mbCancel, mbYes, "first")), mrYes);
    EXPECT_EQ(dialogs.messageDialog(request(mbOK | mbCancel, mbOK, "second")), mrCancel);
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
    ASSERT_EQ(dialogs.dialogs().size(), 2u);
    EXPECT_EQ(dialogs.dialogs()[1].answer, mrCancel);
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST(ScriptedDialogServiceTest, UnexpectedDialogsAreFlaggedAndAnsweredCautiously) {
    struct Case {
        unsigned buttons;
        MsgDlgBtn defaultButton;
        int answer;
    };
    const Case cases[] = {
        {mbOK | mbCancel, mbOK, mrCancel},                         // cancel when there is one
        {mbYes | mbNo, mbNo, mrNo},                                // else the default button
        {mbYes | mbNo | mbYesToAll, static_cast<MsgDlgBtn>(0), mrYes},  // else the first
        {mbOK, mbOK, mrOk},
    };
    for (const Case& c : cases) {
        ScriptedDialogService dialogs;
        EXPECT_EQ(dialogs.messageDialog(request(c.buttons, c.defaultButton, "unasked")), c.answer) << c.buttons;
        ASSERT_EQ(dialogs.unexpected().size(), 1u);
        EXPECT_EQ(dialogs.unexpected()[0].request.text, "unasked");
    }
}

TEST(ScriptedDialogServiceTest, ModalFormsTakeQueuedAnswersToo) {
    ScriptedDialogService dialogs;
    // The service only passes the form on; it never touches it.
    alignas(std::max_align_t) unsigned char storage[256] = {};
    Form* form = reinterpret_cast<Form*>(storage);
    dialogs.queueAnswer(mrOk);
    EXPECT_EQ(dialogs.showModal(*form), mrOk);
    EXPECT_TRUE(dialogs.unexpected().empty());
    EXPECT_EQ(dialogs.showModal(*form), mrCancel);
    EXPECT_EQ(dialogs.unexpected().size(), 1u);
    dialogs.clear();
    int ran = 0;
    dialogs.onShowModal = [&ran](Form&, int queued) {
        ++ran;
        return queued == mrCancel ? mrNo : queued;
    };
    EXPECT_EQ(dialogs.showModal(*form), mrNo);
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(dialogs.unexpected().empty());
}

}  // namespace
}  // namespace corvane::ui
