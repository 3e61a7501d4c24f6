// Forms: key routing, focus and tab order, page controls, posted messages,
// closing and modal runs through the application's dialog service.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::ui {
namespace {

// A dialog service whose modal loop ends when the test's script says so.
class LoopDialogs : public DialogService {
public:
    std::function<void(Form&)> duringModal;
    int modalRuns = 0;
    int messageDialog(const MessageDialogRequest&) override { return mrOk; }
    int showModal(Form& form) override {
        ++modalRuns;
        for (int turn = 0; turn < 10; ++turn) {
            if (duringModal) duringModal(form);
            if (form.modalRunMayEnd()) return form.modalResult();
        }
        return mrNone;
    }
};

// A form with a menu, a page control of three pages and a few edits.
struct TestForm {
    Application app;
    LoopDialogs dialogs;
    Form* form = nullptr;
    MainMenu* menu = nullptr;
    MenuItem *data = nullptr, *miAdd = nullptr, *miSave = nullptr;
    PageControl* pages = nullptr;
    TabSheet *page1 = nullptr, *page2 = nullptr, *browse = nullptr;
    Edit *ed1 = nullptr, *ed2 = nullptr, *ed3 = nullptr, *ed4 = nullptr;
    std::vector<std::string> log;

    TestForm() {
        app.setDialogService(&dialogs);
        form = &app.createForm<Form>();
        form->setName("frmTest");
        menu = &form->create<MainMenu>();
        form->setMenu(menu);
        data = &menu->items().addNew("MenuItem1", "资料(&D)");
        miAdd = &data->addNew("miAdd", "新增(&A)");
        miAdd->setShortCut(VK_F5);
        miSave = &data->addNew("miSave", "确定");
        miSave->setShortCut(shortCut('S', ssCtrl));
        miAdd->OnClick = [this](Component*) { log.push_back("miAdd"); };
        miSave->OnClick = [this](Component*) { log.push_back("miSave"); };

        pages = &form->create<PageControl>();
        pages->setParent(form);
        page1 = &addPage("tbsHead1");
        page2 = &addPage("tbsUDF");
        browse = &addPage("tbsBrowse");
        ed1 = &addEdit("ed1", page1);
        ed2 = &addEdit("ed2", page1);
        ed3 = &addEdit("ed3", page1);
        ed4 = &addEdit("ed4", page2);
        for (Edit* e : {ed1, ed2, ed3, ed4}) {
            e->OnKeyDown = [this](Component* c, int& key, unsigned) { log.push_back(c->name() + ":" + std::to_string(key)); };
            e->OnEnter = [this](Component* c) { log.push_back("enter " + c->name()); };
            e->OnExit = [this](Component* c) { log.push_back("exit " + c->name()); };
        }
        form->setActiveControl(ed1);  // focused when the form shows
    }
    TabSheet& addPage(const std::string& name) {
        TabSheet& page = form->create<TabSheet>();
        page.setName(name);
        page.setPageControl(pages);
        return page;
    }
    Edit& addEdit(const std::string& name, Control* parent) {
        Edit& edit = form->create<Edit>();
        edit.setName(name);
        edit.setParent(parent);
        return edit;
    }
};

struct KeyCase {
    const char* name;
    bool preview;
    bool formEatsKey;
    bool addEnabled;
    bool menuEnabled;
    int key;
    std::vector<std::string> expected;
};

class KeyRouting : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyRouting, FormThenMenuShortcutsThenFocusedControl) {
    const KeyCase& c = GetParam();
    TestForm t;
    t.form->setKeyPreview(c.preview);
    t.form->OnKeyDown = [&](Component*, int& key, unsigned) {
        t.log.push_back("form:" + std::to_string(key));
        if (c.formEatsKey) key = 0;
    };
    t.miAdd->setEnabled(c.addEnabled);
    t.data->setEnabled(c.menuEnabled);
    t.form->show();
    t.log.clear();
    t.form->dispatchKeyDown(c.key, 0);
    EXPECT_EQ(t.log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyRouting,
    ::testing::Values(
        KeyCase{"PreviewThenShortcut", true, false, true, true, VK_F5, {"form:116", "miAdd"}},
        KeyCase{"PreviewEatsKey", true, true, true, true, VK_F5, {"form:116"}},
        KeyCase{"NoPreview", false, true, true, true, VK_F5, {"miAdd"}},
        KeyCase{"DisabledItemGoesToControl", true, false, false, true, VK_F5, {"form:116", "ed1:116"}},
        KeyCase{"DisabledMenuGoesToControl", false, false, true, false, VK_F5, {"ed1:116"}},
        KeyCase{"PlainKeyToControl", true, false, true, true, VK_F2, {"form:113", "ed1:113"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyRouting, ShortcutWithModifiersAndTabMovesFocus) {
    TestForm t;
    t.form->show();
    t.log.clear();
    t.form->dispatchKeyDown('S', 0);
    EXPECT_EQ(t.log, (std::vector<std::string>{"ed1:83"}));
    EXPECT_TRUE(t.form->dispatchKeyDown('S', ssCtrl));
    EXPECT_EQ(t.log.back(), "miSave");
    t.form->dispatchKeyDown(VK_TAB, 0);
    EXPECT_EQ(t.form->activeControl(), t.ed2);
    t.form->dispatchKeyDown(VK_TAB, ssShift);
    EXPECT_EQ(t.form->activeControl(), t.ed1);
}

TEST(KeyRouting, EnterAndEscPressTheDialogButtons) {
    TestForm t;
    Button& ok = t.form->create<Button>();
    Button& cancel = t.form->create<Button>();
    for (Button* b : {&ok, &cancel}) b->setParent(t.form);
    ok.setDefault(true);
    ok.setModalResult(mrOk);
    cancel.setCancel(true);
    cancel.setModalResult(mrCancel);
    int results = 0;
    t.dialogs.duringModal = [&](Form& f) {
        f.dispatchKeyDown(results++ == 0 ? VK_ESCAPE : VK_RETURN, 0);
    };
    EXPECT_EQ(t.form->showModal(), mrCancel);
    EXPECT_EQ(t.form->showModal(), mrOk);
    // A key the focused control takes never reaches the buttons.
    t.form->show();
    t.ed1->OnKeyDown = [](Component*, int& key, unsigned) { key = 0; };
    t.form->setModalResult(0);
    EXPECT_TRUE(t.form->dispatchKeyDown(VK_RETURN, 0));
    EXPECT_EQ(t.form->modalResult(), 0);
    ok.setEnabled(false);
    t.ed1->OnKeyDown.clear();
    EXPECT_FALSE(t.form->dispatchKeyDown(VK_RETURN, 0));  // no usable default button
}

TEST(Focus, TabOrderSkipsWhatCannotTakeFocus) {
    TestForm t;
    t.form->show();
    EXPECT_EQ(t.form->activeControl(), t.ed1);  // the remembered control
    t.ed3->setTabOrder(0);                       // ed3, ed1, ed2 on page 1
    EXPECT_EQ(t.ed3->tabOrder(), 0);
    EXPECT_EQ(t.ed1->tabOrder(), 1);
    EXPECT_EQ(t.form->findNextControl(t.ed1, true, true, false), t.ed2);
    EXPECT_EQ(t.form->findNextControl(t.ed2, true, true, false), t.pages);  // wraps to the page control
    EXPECT_EQ(t.form->findNextControl(t.ed1, false, true, false), t.ed3);

    t.ed2->setEnabled(false);
    EXPECT_FALSE(t.ed2->canFocus());
    EXPECT_EQ(t.form->findNextControl(t.ed1, true, true, true), t.ed3);  // siblings only, wrapping
    t.ed3->setVisible(false);
    EXPECT_EQ(t.form->findNextControl(t.ed1, true, true, true), nullptr);
    EXPECT_FALSE(t.ed4->canFocus());  // on a page that is not shown
    EXPECT_THROW(t.ed4->setFocus(), EInvalidOperation);
}

TEST(Focus, EnterAndExitRunAndARefusedExitKeepsTheFocus) {
    TestForm t;
    t.form->show();
    t.log.clear();
    t.ed2->setFocus();
    EXPECT_EQ(t.log, (std::vector<std::string>{"exit ed1", "enter ed2"}));
    EXPECT_TRUE(t.ed2->focused());
    t.ed2->OnExit = [](Component*) { throw EAbort(); };
    EXPECT_THROW(t.ed3->setFocus(), EAbort);
    EXPECT_EQ(t.form->activeControl(), t.ed2);
}

TEST(PageControl, TabIndexesCountVisibleTabsOnly) {
    TestForm t;
    t.page2->setTabVisible(false);
    EXPECT_EQ(t.pages->tabCount(), 2);
    EXPECT_EQ(t.browse->tabIndex(), 1);
    EXPECT_EQ(t.page2->tabIndex(), -1);
    EXPECT_EQ(t.pages->pageForTab(1), t.browse);
    EXPECT_EQ(t.pages->pageForTab(2), nullptr);
    t.pages->selectNextPage(true);
    EXPECT_EQ(t.pages->activePage(), t.browse);
    t.pages->selectNextPage(true);
    EXPECT_EQ(t.pages->activePage(), t.page1);  // wraps
    t.pages->setActivePage(t.page2);             // a hidden tab's page can still be shown by the program
    EXPECT_EQ(t.pages->tabIndex(), -1);
}

TEST(PageControl, DisabledPageIsSelectableButItsControlsAreNot) {
    TestForm t;
    t.form->show();
    t.page2->setEnabled(false);
    EXPECT_TRUE(t.pages->selectTab(1));
    EXPECT_EQ(t.pages->activePage(), t.page2);
    EXPECT_TRUE(t.ed4->isShowing());
    EXPECT_FALSE(t.ed4->canFocus());
    t.page2->setEnabled(true);
    EXPECT_TRUE(t.ed4->canFocus());
}

TEST(PageControl, ChangingMayRefuseAndFocusLeavesTheHiddenPage) {
    TestForm t;
    t.form->show();
    int changes = 0;
    bool allow = false;
    t.pages->OnChanging = [&](Component*, bool& a) { a = allow; };
    t.pages->OnChange = [&](Component*) { ++changes; };
    EXPECT_FALSE(t.pages->selectTab(2));
    EXPECT_EQ(t.pages->activePage(), t.page1);
    allow = true;
    EXPECT_TRUE(t.pages->selectTab(2));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(t.form->activeControl(), t.pages);  // ed1 went with its page
    t.pages->setActivePage(t.page1);              // a program's change fires nothing
    EXPECT_EQ(changes, 1);
}

TEST(Messages, PostedMessagesRunWhenProcessedInOrder) {
    TestForm t;
    std::vector<std::string> seen;
    t.form->onMessage(WM_USER + 10, [&](Message& m) {
        seen.push_back("F2 " + (m.control ? m.control->name() : std::string("none")));
        if (m.wParam == 1) t.form->postMessage(WM_USER + 11, 0, nullptr);  // posted while draining
    });
    t.form->onMessage(WM_USER + 11, [&](Message&) { seen.push_back("F3"); });
    t.form->postMessage(WM_USER + 10, 1, t.ed2);
    t.form->postMessage(WM_USER + 10, 0, t.ed3);
    t.ed3->free();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(t.app.processMessages(), 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"F2 ed2", "F2 none", "F3"}));
    EXPECT_EQ(t.app.pendingMessages(), 0u);
}

TEST(Messages, ReleaseFreesTheFormWhenMessagesAreProcessed) {
    TestForm t;
    ComponentRef<Form> ref(t.form);
    bool destroyed = false;
    t.form->OnDestroy = [&](Component*) { destroyed = true; };
    t.form->show();
    t.form->release();
    t.form->postMessage(WM_USER + 12);  // a message to the freed form is dropped
    EXPECT_TRUE(ref);
    t.app.processMessages();
    EXPECT_FALSE(ref);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(t.app.activeForm(), nullptr);
}

struct CloseCase {
    const char* name;
    bool canClose;
    CloseAction action;
    bool visibleAfter;
    bool freedAfter;
};

class Closing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(Closing, CloseQueryThenCloseAction) {
    const CloseCase& c = GetParam();
    TestForm t;
    ComponentRef<Form> ref(t.form);
    std::vector<std::string> events;
    t.form->OnCloseQuery = [&](Component*, bool& can) { events.push_back("query"); can = c.canClose; };
    t.form->OnClose = [&](Component*, CloseAction& a) { events.push_back("close"); a = c.action; };
    t.form->OnHide = [&](Component*) { events.push_back("hide"); };
    t.form->show();
    t.form->close();
    t.app.processMessages();
    EXPECT_EQ(ref ? ref->visible() : false, c.visibleAfter);
    EXPECT_EQ(!ref, c.freedAfter);
    EXPECT_EQ(events.front(), "query");
    EXPECT_EQ(events.size() > 1, c.canClose);
}

INSTANTIATE_TEST_SUITE_P(Cases, Closing,
                         ::testing::Values(CloseCase{"Refused", false, CloseAction::caHide, true, false},
                                           CloseCase{"Hide", true, CloseAction::caHide, false, false},
                                           CloseCase{"None", true, CloseAction::caNone, true, false},
                                           CloseCase{"Free", true, CloseAction::caFree, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModalRun, GoesThroughTheApplicationsDialogService) {
    TestForm t;
    std::vector<std::string> events;
    t.form->OnShow = [&](Component*) { events.push_back("show"); };
    t.form->OnHide = [&](Component*) { events.push_back("hide"); };
    int queries = 0;
    t.form->OnCloseQuery = [&](Component*, bool& can) { can = ++queries > 1; };  // the first close is refused
    Button& ok = t.form->create<Button>();
    ok.setParent(t.form);
    ok.setModalResult(mrOk);
    t.dialogs.duringModal = [&](Form& f) {
        EXPECT_TRUE(f.isModal());
        ok.click();
    };
    EXPECT_EQ(t.form->showModal(), mrOk);
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(t.dialogs.modalRuns, 1);
    EXPECT_FALSE(t.form->visible());
    EXPECT_FALSE(t.form->isModal());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));

    // Closing a modal form ends the run with Cancel.
    t.form->OnCloseQuery.clear();
    t.dialogs.duringModal = [](Form& f) { f.close(); };
    EXPECT_EQ(t.form->showModal(), mrCancel);
}

TEST(ModalRun, NeedsADialogServiceAndAHiddenForm) {
    Application app;
    Form& form = app.createForm<Form>();
    EXPECT_THROW(form.showModal(), EInvalidOperation);
    LoopDialogs dialogs;
    app.setDialogService(&dialogs);
    form.show();
    EXPECT_THROW(form.showModal(), EInvalidOperation);
    EXPECT_EQ(dialogs.modalRuns, 0);
}

TEST(Focus, ShowingFocusesTheFirstTabStopWithoutARememberedControl) {
    TestForm t;
    t.form->setActiveControl(nullptr);
    t.pages->setTabStop(false);
    t.ed1->setEnabled(false);
    t.form->show();
    EXPECT_EQ(t.form->activeControl(), t.ed2);
    EXPECT_EQ(t.log, (std::vector<std::string>{"enter ed2"}));
}

TEST(ApplicationHandOver, FormsCreatedElsewhereUseTheGivenApplication) {
    Application app;
    LoopDialogs dialogs;
    app.setDialogService(&dialogs);
    auto form = makeComponent<Form>();
    int created = 0;
    form->OnCreate = [&](Component*) { ++created; };
    app.adoptForm(*form);
    app.adoptForm(*form);
    EXPECT_EQ(created, 1);
    Edit& edit = form->create<Edit>();
    edit.setParent(form.get());
    EXPECT_EQ(applicationOf(edit), &app);
    form->show();
    EXPECT_EQ(app.activeForm(), form.get());
    form->hide();
    EXPECT_EQ(app.activeForm(), nullptr);
}

}  // namespace
}  // namespace corvane::ui
