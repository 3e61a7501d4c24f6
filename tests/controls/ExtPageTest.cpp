// The maintenance forms' page control: tab painting and the last control
// of every data page.

#include <gtest/gtest.h>

#include "controls/ExtPage.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdCtrls.h"

namespace corvane {
namespace {

struct Pages {
    ui::ComponentPtr<ui::Form> form = ui::makeComponent<ui::Form>();
    ExtPageControl& pages = form->create<ExtPageControl>();

    Pages() { pages.setParent(form.get()); }
    ui::TabSheet& page(const std::string& name, const std::string& caption) {
        ui::TabSheet& p = form->create<ui::TabSheet>();
        p.setName(name);
        p.setCaption(caption);
        p.setPageControl(&pages);
        return p;
    }
    ui::Edit& edit(const std::string& name, ui::Control& parent, int tabOrder) {
        ui::Edit& e = form->create<ui::Edit>();
        e.setName(name);
        e.setParent(&parent);
        e.setTabOrder(tabOrder);
        return e;
    }
};

TEST(ExtPageControl, ActiveAndInactiveTabsAndHiddenTabsSkipped) {
    Pages p;
    p.page("tbsHead1", "详细字段");
    p.page("tbsUDF", "自定义信息").setTabVisible(false);
    p.page("tbsBrowse", "信息浏览");
    EXPECT_TRUE(p.pages.ownerDraw());
    EXPECT_EQ(p.pages.className(), "TExtPageControl");
    EXPECT_TRUE(p.pages.isA("TPageControl"));

    TabPaint active, inactive;
    ASSERT_TRUE(p.pages.drawTab(0, true, ui::Rect{0, 0, 80, 20}, active));
    EXPECT_EQ(active.caption, "详细字段");
    EXPECT_EQ(active.background, (ui::Rect{2, 2, 76, 16}));
    EXPECT_EQ(active.brush, ui::clActiveCaption);
    EXPECT_EQ(active.fontColor, ui::clCaptionText);
    EXPECT_TRUE(active.bold);

    ASSERT_TRUE(p.pages.drawTab(1, false, ui::Rect{80, 0, 80, 20}, inactive));
    EXPECT_EQ(inactive.caption, "信息浏览");  // tab 1 is the third page: the second is hidden
    EXPECT_EQ(inactive.background, (ui::Rect{80, 0, 80, 20}));
    EXPECT_EQ(inactive.textRect, (ui::Rect{80, 2, 80, 20}));
    EXPECT_EQ(inactive.brush, ui::clInactiveCaption);
    EXPECT_EQ(inactive.fontColor, ui::clInactiveCaptionText);
    EXPECT_FALSE(inactive.bold);
}

TEST(ExtPageControl, OnDrawTabReplacesTheStandardPainting) {
    Pages p;
    p.page("tbsHead1", "详细字段");
    int drawn = -1;
    p.pages.OnDrawTab = [&](ui::Component*, int tab, bool active, const ui::Rect&) { drawn = active ? tab : -2; };
    TabPaint paint;
    EXPECT_FALSE(p.pages.drawTab(0, true, ui::Rect{0, 0, 80, 20}, paint));
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(p.pages.hasProp("OnDrawTab"));
}

TEST(FirstControlsOfPages, LastTabOrderPerDataPageLeavingOutUdfAndBrowse) {
    Pages p;
    ui::TabSheet& head1 = p.page("tbsHead1", "一");
    ui::TabSheet& head2 = p.page("tbsHead2", "二");
    ui::TabSheet& empty = p.page("tbsHead3", "三");
    ui::TabSheet& udf = p.page("TBSUDF", "自定义信息");
    ui::TabSheet& browse = p.page("tbsBrowse", "信息浏览");
    p.edit("edMB001", head1, 0);
    p.edit("edMB002", head1, 1);
    p.edit("edMB007", head1, 2).setVisible(false);
    p.edit("edMB004", head2, 0);
    p.edit("edMB005", head2, 1).setEnabled(false);
    ui::Panel& panel = p.form->create<ui::Panel>();
    panel.setParent(&head2);
    panel.setTabOrder(0);
    p.edit("edInPanel", panel, 5);  // not directly on the page
    ui::Label& label = p.form->create<ui::Label>();
    label.setParent(&empty);  // not windowed
    p.edit("edUDF01", udf, 0);
    p.edit("gdHead", browse, 0);

    std::vector<std::string> names;
    ui::Control* last = nullptr;
    FirstControlsOfPages(p.pages, names, last);
    EXPECT_EQ(names, (std::vector<std::string>{"edMB002", "edMB004"}));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->name(), "edMB004");
}

TEST(FirstControlsOfPages, OnlyControlsOwnedByThePageControlsOwner) {
    Pages p;
    ui::TabSheet& head1 = p.page("tbsHead1", "一");
    ui::Panel& owner = p.form->create<ui::Panel>();
    ui::Edit& foreign = owner.create<ui::Edit>();
    foreign.setName("edForeign");
    foreign.setParent(&head1);
    std::vector<std::string> names;
    ui::Control* last = nullptr;
    FirstControlsOfPages(p.pages, names, last);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(last, nullptr);
}

}  // namespace
}  // namespace corvane
