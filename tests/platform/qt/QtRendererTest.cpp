// The renderer mirrors a form with every control kind into widgets, both
// ways, routes keys through the model, and saves the window as PNG.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QPointer>
#include <filesystem>

#include "controls/ExtPage.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/qt/GridTableModel.h"
#include "platform/qt/QtDialogService.h"
#include "platform/qt/QtRenderer.h"
#include "platform/qt/QtText.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdCtrls.h"
#include "tests/platform/qt/QtTestApp.h"

namespace corvane::qt {
namespace {

class Pictures : public ui::PictureStore {
public:
    int maxPictureId() const override { return 64; }
    bool loadPicture(int id, ui::Picture& p) const override {
        p.width = 32;
        p.height = 16;
        p.argb.assign(32 * 16, 0xFF2060C0u + static_cast<unsigned>(id));
        return true;
    }
};

ui::Picture square(std::uint32_t argb) {
    ui::Picture p;
    p.width = p.height = 16;
    p.argb.assign(256, argb);
    return p;
}

// A resource-master-like window with every control kind of the model.
struct MasterForm {
    ui::Application app;
    Pictures pictures;
    DataSet cds{"cdsMain"};
    DataSource ds{"dsMain"};
    ui::Form* form = nullptr;
    ui::MainMenu* menu = nullptr;
    ui::MenuItem *miAdd = nullptr, *miDelete = nullptr, *miExit = nullptr;
    ui::ToolBar* bar = nullptr;
    ui::ToolButton *btnAdd = nullptr, *btnQuery = nullptr;
    ui::PopupMenu* conditions = nullptr;
    ui::PageControl* pages = nullptr;
    ui::TabSheet *head = nullptr, *udf = nullptr, *browse = nullptr;
    ui::Panel* panel = nullptr;
    ui::Label* label = nullptr;
    ui::DBLabel* dbLabel = nullptr;
    ui::DBText* dbText = nullptr;
    ui::Edit* edit = nullptr;
    ui::DBEdit* edName = nullptr;
    ui::MaskEdit* mask = nullptr;
    ui::ComboBox* combo = nullptr;
    ui::CheckBox* check = nullptr;
    ui::RadioButton *radioA = nullptr, *radioB = nullptr;
    ui::RadioGroup* group = nullptr;
    ui::Button* button = nullptr;
    ui::SpeedButton* speed = nullptr;
    ui::StatusBar* status = nullptr;
    ui::DBGrid* grid = nullptr;
    ui::ListView* list = nullptr;
    ui::ImageList* images = nullptr;
    std::vector<std::string> log;

    template <class T>
    T& make(const std::string& name, ui::Control* parent) {
        T& c = form->create<T>();
        c.setName(name);
        c.setParent(parent);
        return c;
    }

    MasterForm() {
        cds.addField("MB001", FieldType::String, 10).setDisplayLabel("资源编号");
        cds.addField("MB002", FieldType::String, 20).setDisplayLabel("资源名称");
        cds.addField("MB005", FieldType::Float).setDisplayLabel("正常产能");
        cds.open();
        for (auto [code, name, cap] : {std::tuple{"R01", "车床一号", 8.0}, {"R02", "铣床", 16.0}, {"R03", "钻床", 4.5}}) {
            cds.append();
            cds.fieldByName("MB001").setAsString(code);
            cds.fieldByName("MB002").setAsString(name);
            cds.fieldByName("MB005").setAsFloat(cap);
            cds.post();
        }
        cds.first();
        ds.setDataSet(&cds);
        app.setPictureStore(&pictures);

        form = &app.createForm<ui::Form>();
        form->setName("frmResi01");
        form->setCaption("资源资料维护[演示公司]");
        form->setBounds(0, 0, 640, 440);
        form->setKeyPreview(true);

        menu = &form->create<ui::MainMenu>();
        ui::MenuItem& data = menu->items().addNew("MenuItem1", "资料(&D)");
        miAdd = &data.addNew("miAdd", "新增(&A)");
        miAdd->setShortCut(ui::VK_F5);
        miDelete = &data.addNew("miDelete", "删除(&D)");
        miDelete->setShortCut(ui::VK_F8);
        miDelete->setEnabled(false);
        data.addNew("N1", "-");
        miExit = &data.addNew("miExit", "退出(&X)");
        miAdd->OnClick = [this](ui::Component*) { log.push_back("add"); };
        miDelete->OnClick = [this](ui::Component*) { log.push_back("delete"); };
        form->setMenu(menu);

        images = &form->create<ui::ImageList>();
        images->add(square(0xFF20A040));
        images->add(square(0xFFC04020));
        bar = &make<ui::ToolBar>("ToolBar1", form);
        bar->setAlign(ui::Align::alTop);
        bar->setImagesObject(images);
        btnAdd = &make<ui::ToolButton>("btnAdd", bar);
        btnAdd->setHint("新增");
        btnAdd->setImageIndex(0);
        btnAdd->OnClick = [this](ui::Component*) { log.push_back("btnAdd"); };
        btnQuery = &make<ui::ToolButton>("btnQuery", bar);
        btnQuery->setLeft(23);
        btnQuery->setHint("查询");
        btnQuery->setImageIndex(1);
        btnQuery->setStyle(ui::ToolButtonStyle::tbsDropDown);
        conditions = &form->create<ui::PopupMenu>();
        conditions->items().addNew("mnu0", "本厂资源");
        btnQuery->setDropdownMenuObject(conditions);

        status = &make<ui::StatusBar>("Status", form);
        status->setAlign(ui::Align::alBottom);
        status->addPanel("浏览", 60);
        status->addPanel("", 120);
        status->addPanel("单据笔数", 80);
        status->addPanel("1/3", 80);

        panel = &make<ui::Panel>("pnlHead", form);
        panel->setHeight(34);
        panel->setAlign(ui::Align::alTop);
        panel->setCaption("资源主档");
        pages = &make<ui::PageControl>("pgHead", form);
        pages->setAlign(ui::Align::alClient);
        head = &page("tbsHead1", "详细字段");
        udf = &page("tbsUDF", "自定义信息");
        browse = &page("tbsBrowse", "信息浏览");

        label = &make<ui::Label>("lblCode", head);
        label->setCaption("资源编号");
        label->setBounds(16, 14, 60, 16);
        edit = &make<ui::Edit>("edMB001", head);
        edit->setBounds(90, 12, 120, 22);
        edit->setText("R01");
        edName = &make<ui::DBEdit>("edMB002", head);
        edName->setBounds(90, 42, 160, 22);
        edName->setDataField("MB002");
        edName->setDataSource(&ds);
        dbLabel = &make<ui::DBLabel>("lblMB002", head);
        dbLabel->setCaption("资源名称");
        dbLabel->setBounds(0, 0, 60, 16);
        dbLabel->setFocusControl(edName);
        dbText = &make<ui::DBText>("txtMB005", head);
        dbText->setBounds(290, 44, 80, 16);
        dbText->setDataField("MB005");
        dbText->setDataSource(&ds);
        mask = &make<ui::MaskEdit>("edTime", head);
        mask->setEditMask("99:99;1; ");
        mask->setBounds(90, 72, 80, 22);
        mask->setText("08:30");
        combo = &make<ui::ComboBox>("cboUnit", head);
        combo->setItems({"小时", "件", "台"});
        combo->setItemIndex(0);
        combo->setStyle(ui::ComboStyle::csDropDownList);
        combo->setBounds(90, 102, 100, 22);
        check = &make<ui::CheckBox>("chkActive", head);
        check->setCaption("有效");
        check->setBounds(270, 12, 80, 20);
        radioA = &make<ui::RadioButton>("rbMachine", head);
        radioA->setCaption("机器");
        radioA->setBounds(270, 72, 80, 20);
        radioA->setChecked(true);
        radioB = &make<ui::RadioButton>("rbLabour", head);
        radioB->setCaption("人力");
        radioB->setBounds(350, 72, 80, 20);
        group = &make<ui::RadioGroup>("rgType", head);
        group->setCaption("资源类型");
        group->setItems({"自有", "外包"});
        group->setItemIndex(1);
        group->setBounds(270, 100, 160, 70);
        button = &make<ui::Button>("btnLookup", head);
        button->setCaption("查询工厂");
        button->setBounds(16, 140, 90, 26);
        button->OnClick = [this](ui::Component*) { log.push_back("lookup"); };
        speed = &make<ui::SpeedButton>("sbF2", head);
        speed->setBounds(254, 42, 22, 22);
        speed->setGlyphIndex(63);
        list = &make<ui::ListView>("lvFields", head);
        list->setViewStyle(ui::ViewStyle::vsReport);
        list->addColumn("栏位", 80);
        list->addColumn("说明", 120);
        list->addItem("MB001", {"资源编号"});
        list->addItem("MB002", {"资源名称"});
        list->setBounds(440, 12, 180, 150);

        ui::Edit& udfEdit = make<ui::Edit>("edUDF01", udf);
        udfEdit.setBounds(16, 16, 120, 22);
        udf->setTabVisible(false);

        grid = &make<ui::DBGrid>("gdHead", browse);
        grid->setAlign(ui::Align::alClient);
        grid->setDataSource(&ds);
        grid->OnCalcCellColors = [](ui::Component*, const std::string& field, int, bool, ui::CellStyle& s) {
            if (field == "MB001") s.brush = ui::rgb(0, 200, 200);
        };
        form->setActiveControl(edit);
    }

    ui::TabSheet& page(const std::string& name, const std::string& caption) {
        ui::TabSheet& p = form->create<ui::TabSheet>();
        p.setName(name);
        p.setCaption(caption);
        p.setPageControl(pages);
        return p;
    }
};

class Renderer : public ::testing::Test {
protected:
    template <class W>
    W* widget(const ui::Component& c) {
        return qobject_cast<W*>(renderer.widgetOf(c));
    }
    QApplication& qapp = test::qtApp();
    MasterForm m;
    QtRenderer renderer{m.app};
    QtDialogService dialogs{renderer};
};

TEST_F(Renderer, WidgetTreeMirrorsTheModel) {
    m.app.setDialogService(&dialogs);
    m.form->show();
    auto* window = qobject_cast<QMainWindow*>(renderer.windowOf(*m.form));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(fromQt(window->windowTitle()), "资源资料维护[演示公司]");

    // Menus: captions, shortcut texts, enabled states.
    ASSERT_EQ(window->menuBar()->actions().size(), 1);
    EXPECT_EQ(fromQt(window->menuBar()->actions()[0]->text()), "资料(&D)");
    QAction* add = renderer.actionOf(*m.miAdd);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->text(), toQt("新增(&A)") + QStringLiteral("\tF5"));
    EXPECT_FALSE(renderer.actionOf(*m.miDelete)->isEnabled());

    // Tool bar: the buttons with their hints and the drop-down menu.
    auto* toolbar = widget<QToolBar>(*m.bar);
    ASSERT_NE(toolbar, nullptr);
    auto* query = widget<QToolButton>(*m.btnQuery);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(fromQt(query->toolTip()), "查询");
    EXPECT_EQ(query->popupMode(), QToolButton::MenuButtonPopup);
    ASSERT_NE(query->menu(), nullptr);
    EXPECT_EQ(fromQt(query->menu()->actions()[0]->text()), "本厂资源");

    // Pages: all pages, the hidden tab hidden.
    auto* tabs = widget<QTabWidget>(*m.pages);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 3);
    EXPECT_EQ(fromQt(tabs->tabText(2)), "信息浏览");
    EXPECT_FALSE(tabs->isTabVisible(1));
    EXPECT_EQ(tabs->currentIndex(), 0);

    // Controls: captions and values.
    EXPECT_EQ(fromQt(widget<QLabel>(*m.label)->text()), "资源编号");
    EXPECT_EQ(fromQt(widget<QLabel>(*m.panel)->text()), "资源主档");
    EXPECT_EQ(fromQt(widget<QLineEdit>(*m.edit)->text()), "R01");
    EXPECT_EQ(fromQt(widget<QLineEdit>(*m.edName)->text()), "车床一号");
    EXPECT_EQ(fromQt(widget<QLabel>(*m.dbText)->text()), "8");
    EXPECT_EQ(widget<QLabel>(*m.dbLabel)->geometry().right(), 90 - 4 - 1);
    EXPECT_EQ(fromQt(widget<QComboBox>(*m.combo)->currentText()), "小时");
    EXPECT_EQ(widget<QCheckBox>(*m.check)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(widget<QRadioButton>(*m.radioA)->isChecked());
    auto groupButtons = widget<QGroupBox>(*m.group)->findChildren<QRadioButton*>();
    ASSERT_EQ(groupButtons.size(), 2);
    EXPECT_TRUE(groupButtons[1]->isChecked());
    EXPECT_EQ(fromQt(widget<QPushButton>(*m.button)->text()), "查询工厂");
    EXPECT_FALSE(widget<QToolButton>(*m.speed)->icon().isNull());
    EXPECT_EQ(widget<QTreeWidget>(*m.list)->topLevelItemCount(), 2);
    auto* statusBar = widget<QStatusBar>(*m.status);
    ASSERT_NE(statusBar, nullptr);
    auto panels = statusBar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panels.size(), 4);
    EXPECT_EQ(fromQt(panels[0]->text()), "浏览");
    EXPECT_EQ(fromQt(panels[3]->text()), "1/3");

    // Grid: rows of the data set, titles, the colour callback.
    auto* table = widget<QTableView>(*m.grid);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(fromQt(table->model()->headerData(1, Qt::Horizontal).toString()), "资源名称");
    EXPECT_EQ(fromQt(table->model()->index(1, 1).data().toString()), "铣床");
    EXPECT_EQ(table->model()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 200, 200));

    // Geometry of docked controls follows the model.
    EXPECT_EQ(widget<QWidget>(*m.pages)->geometry(), QRect(0, 29 + 34, 640, 440 - 29 - 34 - 19));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), widget<QLineEdit>(*m.edit));
}

TEST_F(Renderer, ModelChangesReachTheWidgets) {
    m.form->show();
    m.edit->setText("R09");
    m.edit->setEnabled(false);
    m.check->setChecked(true);
    m.radioB->click();
    m.button->setVisible(false);
    m.status->setPanelText(0, "更改");
    m.miDelete->setEnabled(true);
    m.pages->setActivePage(m.browse);
    m.cds.next();
    m.group->setItemIndex(0);
    ui::MenuItem& runtime = m.conditions->items().addNew("mnu1", "外厂资源");
    (void)runtime;
    m.btnAdd->setEnabled(false);

    EXPECT_EQ(fromQt(widget<QLineEdit>(*m.edit)->text()), "R09");
    EXPECT_FALSE(widget<QLineEdit>(*m.edit)->isEnabled());
    EXPECT_EQ(widget<QCheckBox>(*m.check)->checkState(), Qt::Checked);
    EXPECT_FALSE(widget<QRadioButton>(*m.radioA)->isChecked());
    EXPECT_TRUE(widget<QRadioButton>(*m.radioB)->isChecked());
    EXPECT_TRUE(widget<QPushButton>(*m.button)->isHidden());
    EXPECT_EQ(fromQt(widget<QStatusBar>(*m.status)->findChildren<QLabel*>()[0]->text()), "更改");
    EXPECT_TRUE(renderer.actionOf(*m.miDelete)->isEnabled());
    EXPECT_EQ(widget<QTabWidget>(*m.pages)->currentIndex(), 2);
    EXPECT_EQ(fromQt(widget<QLineEdit>(*m.edName)->text()), "铣床");
    EXPECT_EQ(widget<QTableView>(*m.grid)->currentIndex().row(), 1);
    EXPECT_TRUE(widget<QGroupBox>(*m.group)->findChildren<QRadioButton*>()[0]->isChecked());
    ASSERT_EQ(widget<QToolButton>(*m.btnQuery)->menu()->actions().size(), 2);
    EXPECT_FALSE(widget<QToolButton>(*m.btnAdd)->isEnabled());
}

TEST_F(Renderer, UserInputGoesThroughTheModel) {
    m.app.setDialogService(&dialogs);
    m.form->show();
    QApplication::processEvents();

    // Typing into a data-aware edit edits the record; leaving it writes the field.
    m.edName->setFocus();
    auto* name = widget<QLineEdit>(*m.edName);
    ASSERT_TRUE(name->hasFocus());
    name->selectAll();
    QTest::keyClicks(name, "ABC");
    EXPECT_EQ(m.edName->text(), "ABC");
    EXPECT_EQ(m.cds.state(), DataSetState::Edit);
    QTest::keyClick(name, Qt::Key_Tab);  // the model's tab order moves the focus
    EXPECT_EQ(m.form->activeControl(), m.mask);
    EXPECT_EQ(m.cds.fieldByName("MB002").asString(), "ABC");
    m.cds.cancel();

    // Function keys: the form's menu shortcut; a disabled item never fires.
    QTest::keyClick(widget<QLineEdit>(*m.mask), Qt::Key_F5);
    QTest::keyClick(widget<QLineEdit>(*m.mask), Qt::Key_F8);
    EXPECT_EQ(m.log, (std::vector<std::string>{"add"}));

    // Clicks.
    widget<QPushButton>(*m.button)->click();
    widget<QCheckBox>(*m.check)->click();
    widget<QRadioButton>(*m.radioB)->click();
    widget<QToolButton>(*m.btnAdd)->click();
    widget<QGroupBox>(*m.group)->findChildren<QRadioButton*>()[0]->click();
    emit widget<QComboBox>(*m.combo)->activated(2);
    renderer.actionOf(*m.miAdd)->trigger();
    EXPECT_EQ(m.log, (std::vector<std::string>{"add", "lookup", "btnAdd", "add"}));
    EXPECT_TRUE(m.check->checked());
    EXPECT_TRUE(m.radioB->checked());
    EXPECT_FALSE(m.radioA->checked());
    EXPECT_EQ(m.group->itemIndex(), 0);
    EXPECT_EQ(m.combo->text(), "台");

    // Tabs: the page changes in the model; a refusal puts the tab back.
    auto* tabs = widget<QTabWidget>(*m.pages);
    bool allow = false;
    m.pages->OnChanging = [&](ui::Component*, bool& a) { a = allow; };
    tabs->setCurrentIndex(2);
    EXPECT_EQ(m.pages->activePage(), m.head);
    EXPECT_EQ(tabs->currentIndex(), 0);
    allow = true;
    tabs->setCurrentIndex(2);
    EXPECT_EQ(m.pages->activePage(), m.browse);

    // Grid: a click moves the data set; a title click reaches the form.
    std::string titled;
    m.grid->OnTitleButtonClick = [&](ui::Component*, const std::string& f) { titled = f; };
    auto* table = widget<QTableView>(*m.grid);
    emit table->clicked(table->model()->index(2, 1));
    EXPECT_EQ(m.cds.recNo(), 3);
    emit table->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(titled, "MB001");

    // A right click opens the control's popup menu, which the model fills.
    ui::PopupMenu& popup = m.form->create<ui::PopupMenu>();
    popup.OnPopup = [&](ui::Component*) {
        popup.items().clear();
        popup.items().addNew("mnuSelectAll", "全选").OnClick = [&](ui::Component*) { m.log.push_back("selectAll"); };
    };
    m.grid->setPopupMenu(&popup);
    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(5, 5), table->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(table, &context);
    QMenu* shown = renderer.menuOf(popup);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->actions().size(), 1);
    EXPECT_EQ(fromQt(shown->actions()[0]->text()), "全选");
    shown->actions()[0]->trigger();
    EXPECT_EQ(m.log.back(), "selectAll");
    EXPECT_EQ(popup.popupComponent(), m.grid);
    shown->close();

    // Closing the window asks the form.
    bool asked = false;
    m.form->OnCloseQuery = [&](ui::Component*, bool& can) {
        asked = true;
        can = false;
    };
    renderer.windowOf(*m.form)->close();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(m.form->visible());
}

TEST_F(Renderer, ScreenshotShowsChineseAsGlyphs) {
    m.form->show();
    m.status->setPanelText(1, "服务器 127.0.0.1");
    const std::filesystem::path file = std::filesystem::current_path() / "RendererForm.png";
    ASSERT_TRUE(renderer.saveScreenshot(*m.form, QString::fromStdString(file.string())));
    QImage image(QString::fromStdString(file.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 640);
    EXPECT_GE(image.height(), 440);
    // The font the labels use has real glyphs for the Chinese captions.
    QRawFont raw = QRawFont::fromFont(widget<QLabel>(*m.label)->font());
    for (char32_t ch : {U'\u8D44', U'\u6E90', U'\u7F16', U'\u53F7'}) EXPECT_TRUE(raw.supportsCharacter(ch));
    // Ink where the label's caption is.
    const QRect caption = widget<QLabel>(*m.label)->geometry().translated(
        widget<QLabel>(*m.label)->parentWidget()->mapTo(renderer.windowOf(*m.form), QPoint(0, 0)));
    int dark = 0;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 20);

    // The browse page: the grid with its coloured key column.
    m.pages->setActivePage(m.browse);
    const std::filesystem::path gridFile = std::filesystem::current_path() / "RendererGrid.png";
    ASSERT_TRUE(renderer.saveScreenshot(*m.form, QString::fromStdString(gridFile.string())));
}

TEST(ExtPageTabs, OwnerDrawnTabsUseTheCaptionColours) {
    test::qtApp();
    ui::Application app;
    QtRenderer renderer(app);
    ui::Form& form = app.createForm<ui::Form>();
    form.setBounds(0, 0, 400, 160);
    ExtPageControl& pages = form.create<ExtPageControl>();
    pages.setParent(&form);
    pages.setAlign(ui::Align::alClient);
    pages.setTabWidth(80);
    pages.setTabHeight(20);
    for (const char* caption : {"详细字段", "自定义信息", "信息浏览"}) {
        ui::TabSheet& page = form.create<ui::TabSheet>();
        page.setCaption(caption);
        page.setPageControl(&pages);
    }
    pages.page(1)->setTabVisible(false);
    form.show();
    const std::filesystem::path file = std::filesystem::current_path() / "ExtPageTabs.png";
    ASSERT_TRUE(renderer.saveScreenshot(form, QString::fromStdString(file.string())));
    QImage image(QString::fromStdString(file.string()));
    auto* tabs = qobject_cast<QTabWidget*>(renderer.widgetOf(pages));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabBar()->tabRect(0).size(), QSize(80, 20));
    const QPoint origin = tabs->tabBar()->mapTo(renderer.windowOf(form), QPoint(0, 0));
    // Active tab: inset by 2 on the active-caption colour; the other on the inactive one.
    const QPoint active = origin + tabs->tabBar()->tabRect(0).topLeft() + QPoint(4, 4);
    const QPoint inactive = origin + tabs->tabBar()->tabRect(2).topLeft() + QPoint(1, 1);
    EXPECT_EQ(image.pixel(active), toQColor(ui::clActiveCaption).rgb());
    EXPECT_EQ(image.pixel(inactive), toQColor(ui::clInactiveCaption).rgb());
}

TEST(RendererLifetime, TheApplicationAndItsFormsMayGoFirst) {
    test::qtApp();
    auto app = std::make_unique<ui::Application>();
    auto renderer = std::make_unique<QtRenderer>(*app);
    ui::Form& form = app->createForm<ui::Form>();
    ui::Edit& edit = form.create<ui::Edit>();
    edit.setParent(&form);
    form.show();
    QPointer<QWidget> window = renderer->windowOf(form);
    ASSERT_TRUE(window);
    edit.free();
    EXPECT_EQ(renderer->widgetOf(edit), nullptr);
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);  // the window went with its form
    renderer.reset();
}

}  // namespace
}  // namespace corvane::qt
