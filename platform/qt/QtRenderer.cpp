#include "platform/qt/QtRenderer.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/qt/GridTableModel.h"
#include "platform/qt/PageTabWidget.h"
#include "platform/qt/QtText.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::qt {

namespace {

// Syncing guard: widget signals raised while the model is copied into the
// widgets are not user input.
struct Syncing {
    int& depth;
    explicit Syncing(int& d) : depth(d) { ++depth; }
    ~Syncing() { --depth; }
};

QString menuText(const ui::MenuItem& item) {
    QString text = toQt(item.caption());
    if (item.shortCut() != 0) {
        const int key = item.shortCut() & 0xFF;
        QString keyText;
        if (key >= ui::VK_F1 && key <= ui::VK_F12) keyText = QStringLiteral("F%1").arg(key - ui::VK_F1 + 1);
        else if (key == ui::VK_DELETE) keyText = QStringLiteral("Del");
        else keyText = QChar(key);
        if (item.shortCut() & ui::scAlt) keyText.prepend(QStringLiteral("Alt+"));
        if (item.shortCut() & ui::scShift) keyText.prepend(QStringLiteral("Shift+"));
        if (item.shortCut() & ui::scCtrl) keyText.prepend(QStringLiteral("Ctrl+"));
        text += QLatin1Char('\t') + keyText;
    }
    return text;
}

QPixmap pixmapOf(const ui::Picture& picture, int slices = 1) {
    if (picture.isEmpty()) return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            image.setPixel(x, y, picture.argb[static_cast<std::size_t>(y * picture.width + x)]);
    const int width = picture.width / std::max(1, slices);
    return QPixmap::fromImage(image.copy(0, 0, width, picture.height));
}

QFont fontOf(const ui::Font& f) {
    QFont font;
    font.setFamilies({toQt(f.fontName()), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(std::max(1, f.size()));
    font.setBold(f.style() & ui::fsBold);
    font.setItalic(f.style() & ui::fsItalic);
    font.setUnderline(f.style() & ui::fsUnderline);
    font.setStrikeOut(f.style() & ui::fsStrikeOut);
    return font;
}

int virtualKeyOf(const QKeyEvent& e) {
    const int k = e.key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return ui::VK_F1 + (k - Qt::Key_F1);
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
    switch (k) {
    case Qt::Key_Tab: case Qt::Key_Backtab: return ui::VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return ui::VK_RETURN;
    case Qt::Key_Escape: return ui::VK_ESCAPE;
    case Qt::Key_Space: return ui::VK_SPACE;
    case Qt::Key_Backspace: return ui::VK_BACK;
    case Qt::Key_PageUp: return ui::VK_PRIOR;
    case Qt::Key_PageDown: return ui::VK_NEXT;
    case Qt::Key_Home: return ui::VK_HOME;
    case Qt::Key_End: return ui::VK_END;
    case Qt::Key_Left: return ui::VK_LEFT;
    case Qt::Key_Right: return ui::VK_RIGHT;
    case Qt::Key_Up: return ui::VK_UP;
    case Qt::Key_Down: return ui::VK_DOWN;
    case Qt::Key_Insert: return ui::VK_INSERT;
    case Qt::Key_Delete: return ui::VK_DELETE;
    default: return 0;
    }
}

unsigned shiftOf(const QKeyEvent& e) {
    unsigned shift = 0;
    if (e.modifiers() & Qt::ShiftModifier || e.key() == Qt::Key_Backtab) shift |= ui::ssShift;
    if (e.modifiers() & Qt::ControlModifier) shift |= ui::ssCtrl;
    if (e.modifiers() & Qt::AltModifier) shift |= ui::ssAlt;
    return shift;
}

template <class T>
T* as(ui::Component& c) {
    return static_cast<T*>(&c);
}

}  // namespace

QtRenderer::QtRenderer(ui::Application& application) : app_(&application) {
    application.setPresenter(this);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &QtRenderer::onFocusChanged);
}

QtRenderer::~QtRenderer() {
    qApp->removeEventFilter(this);
    if (ui::Application* app = app_.get(); app && app->presenter() == this) app->setPresenter(nullptr);
    for (auto& ref : observed_)
        if (ui::Component* c = ref.get(); c && c->observer() == this) c->setObserver(nullptr);
    for (auto& view : forms_) delete view->window.data();
    std::vector<QMenu*> parentless;
    for (const auto& [component, menu] : menus_)
        if (menu && !menu->parent() && std::find(parentless.begin(), parentless.end(), menu.data()) == parentless.end())
            parentless.push_back(menu.data());
    qDeleteAll(parentless);
}

// ------------------------------------------------------------------ lookups

QWidget* QtRenderer::windowOf(const ui::Form& form) const {
    for (const auto& view : forms_)
        if (view->form.get() == &form) return view->window;
    return nullptr;
}

QWidget* QtRenderer::widgetOf(const ui::Component& component) const {
    auto it = widgets_.find(&component);
    return it == widgets_.end() ? nullptr : it->second.data();
}

QAction* QtRenderer::actionOf(const ui::Component& item) const {
    auto it = actions_.find(&item);
    return it == actions_.end() ? nullptr : it->second.data();
}

QMenu* QtRenderer::menuOf(const ui::Component& menu) const {
    auto it = menus_.find(&menu);
    return it == menus_.end() ? nullptr : it->second.data();
}

QtRenderer::FormView* QtRenderer::viewOf(const ui::Form& form) {
    for (auto& view : forms_)
        if (view->form.get() == &form) return view.get();
    return nullptr;
}

QtRenderer::FormView* QtRenderer::viewOfWindow(const QWidget* window) {
    for (auto& view : forms_)
        if (view->window == window) return view.get();
    return nullptr;
}

ui::Control* QtRenderer::controlOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        auto it = controls_.find(w);
        if (it != controls_.end() && it->second->isA("TControl")) return static_cast<ui::Control*>(it->second);
        if (w->isWindow()) break;
    }
    return nullptr;
}

// ------------------------------------------------------------------ building

void QtRenderer::observe(ui::Component& component) {
    if (component.observer() == this) return;
    component.setObserver(this);
    observed_.emplace_back(&component);
}

void QtRenderer::observeTree(ui::Component& root) {
    observe(root);
    for (int i = 0; i < root.componentCount(); ++i) observeTree(*root.component(i));
}

void QtRenderer::build(ui::Form& form) {
    auto view = std::make_unique<FormView>();
    view->form = &form;
    QWidget* client = new QWidget;
    client->setAutoFillBackground(true);
    QMenuBar* menuBar = new QMenuBar;
    if (form.isModal()) {
        auto* dialog = new QDialog;
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->setMenuBar(menuBar);
        layout->addWidget(client);
        view->window = dialog;
    } else {
        auto* window = new QMainWindow;
        window->setMenuBar(menuBar);
        window->setCentralWidget(client);
        view->window = window;
    }
    view->client = client;
    view->menuBar = menuBar;
    view->window->installEventFilter(this);
    client->installEventFilter(this);
    widgets_[&form] = client;
    controls_[client] = &form;
    FormView& v = *view;
    forms_.push_back(std::move(view));
    observeTree(form);
    buildChildren(form, client);
    rebuildMenuBar(v);
    apply(form);
}

void QtRenderer::buildChildren(ui::Control& control, QWidget* container) {
    if (control.isA("TToolBar")) return rebuildToolBar(control);
    if (control.isA("TPageControl")) return rebuildPages(control);
    for (ui::Control* child : control.controls()) {
        if (widgetOf(*child)) continue;
        QWidget* w = createWidget(*child, container);
        buildChildren(*child, w);
        apply(*child);
    }
}

QWidget* QtRenderer::createWidget(ui::Control& c, QWidget* parent) {
    QWidget* w = nullptr;
    ui::Control* control = &c;
    if (c.isA("TPageControl")) {
        auto* tabs = new PageTabWidget(*as<ui::PageControl>(c), parent);
        connect(tabs, &QTabWidget::currentChanged, this, [this, control, tabs](int index) {
            if (syncing_) return;
            auto* pc = as<ui::PageControl>(*control);
            guarded([&] {
                if (index >= 0 && index < pc->pageCount() && pc->page(index) != pc->activePage())
                    pc->selectTab(pc->page(index)->tabIndex());
            });
            Syncing s(syncing_);
            tabs->setCurrentIndex(pc->activePageIndex());  // a refused change goes back
        });
        w = tabs;
    } else if (c.isA("TDBGrid")) {
        auto* grid = as<ui::DBGrid>(c);
        auto* view = new QTableView(parent);
        auto* model = new GridTableModel(*grid, view);
        view->setModel(model);
        view->setSelectionBehavior((grid->options() & ui::dgRowSelect) ? QAbstractItemView::SelectRows
                                                                       : QAbstractItemView::SelectItems);
        connect(view, &QTableView::clicked, this, [this, grid](const QModelIndex& i) {
            if (!syncing_) guarded([&] { grid->cellClick(i.row(), i.column()); });
        });
        connect(view, &QTableView::doubleClicked, this, [this, grid](const QModelIndex&) {
            if (!syncing_) guarded([&] { grid->dblClick(); });
        });
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, grid](int column) {
            if (!syncing_) guarded([&] { grid->titleClick(column); });
        });
        w = view;
    } else if (c.isA("TToolBar")) {
        auto* bar = new QToolBar(parent);
        bar->setMovable(false);
        w = bar;
    } else if (c.isA("TStatusBar")) {
        auto* bar = new QStatusBar(parent);
        bar->setSizeGripEnabled(false);
        w = bar;
    } else if (c.isA("TListView")) {
        auto* tree = new QTreeWidget(parent);
        tree->setRootIsDecorated(false);
        auto* list = as<ui::ListView>(c);
        connect(tree, &QTreeWidget::itemSelectionChanged, this, [this, list, tree] {
            if (syncing_) return;
            guarded([&] {
                for (int i = 0; i < tree->topLevelItemCount() && i < list->itemCount(); ++i)
                    list->item(i).selected = tree->topLevelItem(i)->isSelected();
                list->itemsChanged();
            });
        });
        connect(tree, &QTreeWidget::itemChanged, this, [this, list, tree](QTreeWidgetItem* item, int) {
            if (syncing_) return;
            const int i = tree->indexOfTopLevelItem(item);
            if (i >= 0 && i < list->itemCount()) list->item(i).checked = item->checkState(0) == Qt::Checked;
        });
        w = tree;
    } else if (c.isA("TComboBox")) {
        auto* combo = new QComboBox(parent);
        auto* model = as<ui::ComboBox>(c);
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, model](int index) {
            if (!syncing_) guarded([&] { model->pick(index); });
            apply(*model);
        });
        w = combo;
    } else if (c.isA("TEdit")) {
        auto* edit = new QLineEdit(parent);
        auto* model = as<ui::Edit>(c);
        connect(edit, &QLineEdit::textEdited, this, [this, model, edit](const QString& text) {
            if (syncing_) return;
            bool taken = false;
            guarded([&] { taken = model->typeText(fromQt(text)); });
            if (!taken) {
                Syncing s(syncing_);
                edit->setText(toQt(model->text()));
            }
        });
        w = edit;
    } else if (c.isA("TCheckBox")) {
        auto* box = new QCheckBox(parent);
        connect(box, &QCheckBox::clicked, this, [this, control] {
            if (!syncing_) guarded([&] { control->click(); });
            apply(*control);  // the model decides the state
        });
        w = box;
    } else if (c.isA("TRadioButton")) {
        auto* radio = new QRadioButton(parent);
        radio->setAutoExclusive(false);  // the model unchecks the siblings
        connect(radio, &QRadioButton::clicked, this, [this, control] {
            if (!syncing_) guarded([&] { control->click(); });
            apply(*control);
        });
        w = radio;
    } else if (c.isA("TRadioGroup")) {
        w = new QGroupBox(parent);
    } else if (c.isA("TButton")) {
        auto* button = new QPushButton(parent);
        connect(button, &QPushButton::clicked, this, [this, control] {
            if (!syncing_) guarded([&] { control->click(); });
        });
        w = button;
    } else if (c.isA("TSpeedButton")) {
        auto* button = new QToolButton(parent);
        connect(button, &QToolButton::clicked, this, [this, control] {
            if (!syncing_) guarded([&] { control->click(); });
        });
        w = button;
    } else if (c.isA("TLabel") || c.isA("TPanel")) {
        auto* label = new QLabel(parent);
        if (c.isA("TPanel")) {
            label->setFrameStyle(QFrame::Panel | QFrame::Raised);
            label->setAlignment(Qt::AlignCenter);
        }
        w = label;
    } else {
        w = new QWidget(parent);
    }
    w->setAutoFillBackground(!c.isA("TLabel"));
    widgets_[&c] = w;
    controls_[w] = &c;
    observe(c);
    return w;
}

void QtRenderer::rebuildToolBar(ui::Control& control) {
    auto* bar = qobject_cast<QToolBar*>(widgetOf(control));
    if (!bar) return;
    Syncing s(syncing_);
    bar->clear();
    auto* toolBar = as<ui::ToolBar>(control);
    for (ui::ToolButton* button : toolBar->buttons()) {
        observe(*button);
        if (button->style() == ui::ToolButtonStyle::tbsSeparator || button->style() == ui::ToolButtonStyle::tbsDivider) {
            QAction* separator = bar->addSeparator();
            actions_[button] = separator;
            continue;
        }
        auto* tb = new QToolButton(bar);
        ui::Control* model = button;
        connect(tb, &QToolButton::clicked, this, [this, model] {
            if (!syncing_) guarded([&] { model->click(); });
        });
        if (QMenu* menu = popupMenuFor(button->dropdownMenuObject(), tb)) {
            tb->setMenu(menu);
            tb->setPopupMode(button->style() == ui::ToolButtonStyle::tbsDropDown ? QToolButton::MenuButtonPopup
                                                                                 : QToolButton::InstantPopup);
        }
        QAction* action = bar->addWidget(tb);
        actions_[button] = action;
        widgets_[button] = tb;
        controls_[tb] = button;
        applyToolButton(*button);
    }
}

void QtRenderer::rebuildPages(ui::Control& control) {
    auto* tabs = qobject_cast<QTabWidget*>(widgetOf(control));
    if (!tabs) return;
    auto* pc = as<ui::PageControl>(control);
    {
        Syncing s(syncing_);
        while (tabs->count() > 0) tabs->removeTab(0);
        for (ui::TabSheet* page : pc->pages()) {
            QWidget* pageWidget = widgetOf(*page);
            if (!pageWidget) {
                pageWidget = new QWidget;
                pageWidget->setAutoFillBackground(true);
                widgets_[page] = pageWidget;
                controls_[pageWidget] = page;
                observe(*page);
            }
            tabs->addTab(pageWidget, toQt(page->caption()));
        }
    }
    for (ui::TabSheet* page : pc->pages()) {
        buildChildren(*page, widgetOf(*page));
        apply(*page);
    }
    apply(control);
}

void QtRenderer::rebuildStatusBar(ui::Control& control) {
    auto* bar = qobject_cast<QStatusBar*>(widgetOf(control));
    if (!bar) return;
    for (QLabel* label : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        bar->removeWidget(label);
        delete label;
    }
    auto* status = as<ui::StatusBar>(control);
    for (int i = 0; i < status->panelCount(); ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(label, i + 1 == status->panelCount() ? 1 : 0);
    }
    apply(control);
}

QMenu* QtRenderer::popupMenuFor(ui::Component* popup, QWidget* parent) {
    if (!popup || !popup->isA("TPopupMenu")) return nullptr;
    auto* menu = as<ui::PopupMenu>(*popup);
    observe(*menu);
    QMenu* qmenu = menuOf(*menu);
    if (!qmenu) {
        qmenu = new QMenu(parent);
        menus_[menu] = qmenu;
        menus_[&menu->items()] = qmenu;  // items added at run time refill it
        observe(menu->items());
        ui::ComponentRef<ui::PopupMenu> ref(menu);
        connect(qmenu, &QMenu::aboutToShow, this, [this, ref, qmenu] {
            if (ui::PopupMenu* m = ref.get()) {
                guarded([&] { m->OnPopup(m); });
                qmenu->clear();
                fillMenu(*qmenu, m->items());
            }
        });
    }
    qmenu->clear();
    fillMenu(*qmenu, menu->items());
    return qmenu;
}

void QtRenderer::rebuildMenuBar(FormView& view) {
    ui::Form* form = view.form.get();
    if (!form || !view.menuBar) return;
    view.menuBar->clear();
    ui::MainMenu* menu = form->menu();
    view.builtMenu = menu;
    view.menuBar->setVisible(menu != nullptr);
    if (!menu) return;
    view.builtMenu = menu;
    observe(*menu);
    observe(menu->items());
    for (ui::MenuItem* top : menu->items().items()) {
        observe(*top);
        QMenu* sub = view.menuBar->addMenu(toQt(top->caption()));
        menus_[top] = sub;
        actions_[top] = sub->menuAction();
        ui::ComponentRef<ui::MenuItem> ref(top);
        connect(sub, &QMenu::aboutToShow, this, [this, ref, sub] {
            if (ui::MenuItem* item = ref.get()) {
                guarded([&] { item->OnClick(item); });  // a menu opening updates its items
                sub->clear();
                fillMenu(*sub, *item);
            }
        });
        fillMenu(*sub, *top);
        applyMenuItem(*top);
    }
}

void QtRenderer::fillMenu(QMenu& menu, ui::MenuItem& parent) {
    observe(parent);
    for (ui::MenuItem* item : parent.items()) {
        observe(*item);
        if (item->isSeparator()) {
            actions_[item] = menu.addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (item->count() > 0) {
            QMenu* sub = menu.addMenu(toQt(item->caption()));
            menus_[item] = sub;
            fillMenu(*sub, *item);
            action = sub->menuAction();
        } else {
            action = menu.addAction(menuText(*item));
            ui::ComponentRef<ui::MenuItem> ref(item);
            connect(action, &QAction::triggered, this, [this, ref] {
                if (ui::MenuItem* i = ref.get(); i && !syncing_) guarded([&] { i->click(); });
            });
        }
        actions_[item] = action;
        applyMenuItem(*item);
    }
}

// ------------------------------------------------------------------ model to widgets

void QtRenderer::apply(ui::Component& component) {
    Syncing s(syncing_);
    if (component.isA("TMenuItem")) return applyMenuItem(*as<ui::MenuItem>(component));
    if (component.isA("TToolButton")) return applyToolButton(*as<ui::Control>(component));
    if (component.isA("TForm")) return applyForm(*as<ui::Form>(component));
    if (!component.isA("TControl")) return;
    auto& c = *as<ui::Control>(component);
    QWidget* w = widgetOf(c);
    if (!w) return;
    applyCommon(c, *w);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(toQt(c.caption()));
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() != toQt(c.text())) edit->setText(toQt(c.text()));
        const bool readOnly = c.isA("TDBEdit") ? as<ui::DBEdit>(c)->isReadOnly() : c.readOnly();
        edit->setReadOnly(readOnly);
        if (c.isA("TMaskEdit")) edit->setPlaceholderText(QString());
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        auto* model = as<ui::ComboBox>(c);
        QStringList items;
        for (const auto& item : model->items()) items << toQt(item);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setEditable(model->style() != ui::ComboStyle::csDropDownList);
        combo->setCurrentIndex(model->itemIndex());
        if (combo->isEditable()) combo->setEditText(toQt(model->text()));
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        auto* model = as<ui::CheckBox>(c);
        box->setText(toQt(c.caption()));
        box->setTristate(model->allowGrayed() || model->state() == ui::CheckState::cbGrayed);
        box->setCheckState(model->state() == ui::CheckState::cbChecked   ? Qt::Checked
                           : model->state() == ui::CheckState::cbGrayed ? Qt::PartiallyChecked
                                                                          : Qt::Unchecked);
    } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        radio->setText(toQt(c.caption()));
        radio->setChecked(as<ui::RadioButton>(c)->checked());
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        auto* model = as<ui::RadioGroup>(c);
        group->setTitle(toQt(c.caption()));
        const auto buttons = group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
        if (buttons.size() != static_cast<qsizetype>(model->items().size())) {
            qDeleteAll(buttons);
            for (std::size_t i = 0; i < model->items().size(); ++i) {
                auto* radio = new QRadioButton(toQt(model->items()[i]), group);
                radio->setAutoExclusive(false);
                radio->setGeometry(8, 18 + static_cast<int>(i) * 20, std::max(20, c.width() - 16), 18);
                radio->show();
                const int index = static_cast<int>(i);
                connect(radio, &QRadioButton::clicked, this, [this, model, index] {
                    if (!syncing_) {
                        guarded([&] {
                            if (model->isA("TDBRadioGroup")) as<ui::DBRadioGroup>(*model)->pick(index);
                            else model->setItemIndex(index);
                        });
                    }
                    apply(*model);
                });
            }
        }
        const auto all = group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < all.size(); ++i) all[i]->setChecked(i == model->itemIndex());
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(toQt(c.caption()));
        button->setDefault(as<ui::Button>(c)->isDefault());
    } else if (auto* tool = qobject_cast<QToolButton*>(w)) {
        auto* model = as<ui::SpeedButton>(c);
        tool->setText(toQt(c.caption()));
        tool->setAutoRaise(model->flat());
        tool->setCheckable(model->groupIndex() != 0);
        tool->setChecked(model->down());
        QPixmap pixmap = pixmapOf(model->glyph(), model->numGlyphs());
        tool->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
        tool->setToolButtonStyle(pixmap.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        auto* pc = as<ui::PageControl>(c);
        for (int i = 0; i < pc->pageCount() && i < tabs->count(); ++i) {
            ui::TabSheet* page = pc->page(i);
            tabs->setTabText(i, toQt(page->caption()));
            tabs->setTabVisible(i, page->tabVisible());
            if (QWidget* pw = widgetOf(*page)) pw->setEnabled(page->enabled());
        }
        tabs->setCurrentIndex(pc->activePageIndex());
        tabs->tabBar()->update();
    } else if (auto* status = qobject_cast<QStatusBar*>(w)) {
        auto* model = as<ui::StatusBar>(c);
        const auto labels = status->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        if (labels.size() != model->panelCount()) {
            Syncing again(syncing_);
            return rebuildStatusBar(c);
        }
        for (int i = 0; i < model->panelCount(); ++i) {
            labels[i]->setText(toQt(model->panel(i).text));
            if (i + 1 < model->panelCount()) labels[i]->setFixedWidth(model->panel(i).width);
        }
        if (model->simplePanel()) status->showMessage(toQt(model->simpleText()));
        else status->clearMessage();
    } else if (auto* table = qobject_cast<QTableView*>(w)) {
        auto* grid = as<ui::DBGrid>(c);
        if (auto* model = qobject_cast<GridTableModel*>(table->model())) model->refresh();
        for (std::size_t i = 0; i < grid->columns().size(); ++i) {
            table->setColumnWidth(static_cast<int>(i), grid->columns()[i].width);
            table->setColumnHidden(static_cast<int>(i), !grid->columns()[i].visible);
        }
        table->horizontalHeader()->setVisible(grid->options() & ui::dgTitles);
        table->verticalHeader()->setVisible(grid->options() & ui::dgIndicator);
        table->setEditTriggers(grid->readOnly() ? QAbstractItemView::NoEditTriggers
                                                : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
        if (ui::GridRowSource* rows = grid->rowSource(); rows && rows->isActive() && rows->currentRow() >= 0)
            table->setCurrentIndex(table->model()->index(rows->currentRow(), grid->selectedIndex()));
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        auto* list = as<ui::ListView>(c);
        tree->clear();
        QStringList headers;
        for (const auto& column : list->columns()) headers << toQt(column.caption);
        tree->setColumnCount(std::max<qsizetype>(1, headers.size()));
        tree->setHeaderLabels(headers);
        tree->setHeaderHidden(!list->showColumnHeaders() || headers.isEmpty());
        tree->setSelectionMode(list->multiSelect() ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
        for (std::size_t i = 0; i < list->columns().size(); ++i)
            tree->setColumnWidth(static_cast<int>(i), list->columns()[i].width);
        for (int i = 0; i < list->itemCount(); ++i) {
            const ui::ListItem& item = list->item(i);
            QStringList texts{toQt(item.caption)};
            for (const auto& sub : item.subItems) texts << toQt(sub);
            auto* row = new QTreeWidgetItem(tree, texts);
            if (list->checkBoxes()) row->setCheckState(0, item.checked ? Qt::Checked : Qt::Unchecked);
            row->setSelected(item.selected);
        }
    } else if (auto* bar = qobject_cast<QToolBar*>(w)) {
        bar->setToolButtonStyle(as<ui::ToolBar>(c)->showCaptions() ? Qt::ToolButtonTextUnderIcon
                                                                   : Qt::ToolButtonIconOnly);
    }
}

void QtRenderer::applyCommon(ui::Control& c, QWidget& w) {
    const bool onPage = c.isA("TTabSheet");
    if (!onPage) {
        const ui::Rect& r = c.bounds();
        w.setGeometry(r.left, r.top, r.width, r.height);
        w.setVisible(c.visible());
    }
    w.setEnabled(c.enabled());
    w.setToolTip(toQt(c.hint()));
    w.setFont(fontOf(c.font()));
    if (!c.isA("TLabel")) {
        QPalette palette = w.palette();
        const QColor color = toQColor(c.color());
        palette.setColor(c.isA("TEdit") || c.isA("TComboBox") || c.isA("TDBGrid") || c.isA("TListView")
                             ? QPalette::Base
                             : QPalette::Window,
                         color);
        palette.setColor(QPalette::Text, toQColor(c.font().color()));
        palette.setColor(QPalette::WindowText, toQColor(c.font().color()));
        w.setPalette(palette);
    }
}

void QtRenderer::applyForm(ui::Form& form) {
    FormView* view = viewOf(form);
    if (!view || !view->window) return;
    view->window->setWindowTitle(toQt(form.caption()));
    if (view->client) {
        QPalette palette = view->client->palette();
        palette.setColor(QPalette::Window, toQColor(form.color()));
        view->client->setPalette(palette);
        view->client->setFont(fontOf(form.font()));
        const QSize wanted(form.width(), form.height());
        if (view->client->size() != wanted) {
            // The designed size is the least the window gives the form.
            view->client->setMinimumSize(wanted);
            view->client->resize(wanted);
            view->window->adjustSize();
        }
    }
    view->window->setEnabled(form.enabled());
    if (ui::Control* active = form.activeControl())
        if (QWidget* w = widgetOf(*active); w && !w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
}

void QtRenderer::applyToolButton(ui::Control& c) {
    Syncing s(syncing_);
    auto* button = as<ui::ToolButton>(c);
    if (QAction* action = actionOf(c)) action->setVisible(c.visible());
    auto* tb = qobject_cast<QToolButton*>(widgetOf(c));
    if (!tb) return;
    tb->setEnabled(c.isEffectivelyEnabled());
    tb->setToolTip(toQt(c.hint()));
    tb->setText(toQt(c.caption().empty() ? c.hint() : c.caption()));
    tb->setCheckable(button->style() == ui::ToolButtonStyle::tbsCheck);
    tb->setChecked(button->down());
    QPixmap pixmap;
    if (c.parent() && c.parent()->isA("TToolBar"))
        if (ui::ImageList* images = as<ui::ToolBar>(*c.parent())->images())
            if (const ui::Picture* picture = images->picture(button->imageIndex())) pixmap = pixmapOf(*picture);
    tb->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
    tb->setToolButtonStyle(pixmap.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
}

void QtRenderer::applyMenuItem(ui::MenuItem& item) {
    QAction* action = actionOf(item);
    if (!action) return;
    Syncing s(syncing_);
    if (!action->isSeparator()) action->setText(item.count() > 0 ? toQt(item.caption()) : menuText(item));
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
    action->setCheckable(item.checked() || item.radioItem());
    action->setChecked(item.checked());
}

// ------------------------------------------------------------------ observer

void QtRenderer::componentChanged(ui::Component& component) {
    if (component.isA("TForm")) {
        auto* form = as<ui::Form>(component);
        if (FormView* view = viewOf(*form); view && view->builtMenu != form->menu()) rebuildMenuBar(*view);
        if (form->isModal()) scheduleModalCheck(*form);
    }
    if (component.isA("TPopupMenu")) {
        // Shown by the program (popup()): open it at the pointer.
        if (QMenu* menu = popupMenuFor(&component, nullptr); menu && !syncing_ && !menu->isVisible())
            menu->popup(QCursor::pos());
        return;
    }
    apply(component);
}

void QtRenderer::structureChanged(ui::Component& component) {
    if (component.isA("TMenuItem")) {
        auto* item = as<ui::MenuItem>(component);
        if (QMenu* menu = menuOf(*item)) {
            menu->clear();
            fillMenu(*menu, *item);
            return;
        }
        // The root of a main menu (or an item that now has sub-items).
        for (auto& view : forms_)
            if (ui::Form* f = view->form.get(); f && f->menu()) rebuildMenuBar(*view);
        return;
    }
    if (!component.isA("TControl")) return;
    auto& c = *as<ui::Control>(component);
    QWidget* w = widgetOf(c);
    if (!w) return;
    if (c.isA("TStatusBar")) return rebuildStatusBar(c);
    if (c.isA("TDBGrid")) return apply(c);
    buildChildren(c, w);
    apply(c);
}

void QtRenderer::componentDestroyed(ui::Component& component) {
    const ui::Component* key = &component;
    // No reference may outlive its component: a form made inside a program
    // module keeps its reference counts in code that goes when the module
    // is unloaded.
    std::erase_if(observed_, [key](const ui::ComponentRef<ui::Component>& ref) {
        const ui::Component* target = ref.get();
        return target == nullptr || target == key;
    });
    if (auto it = widgets_.find(key); it != widgets_.end()) {
        if (QWidget* w = it->second.data()) {
            controls_.erase(w);
            bool isWindow = false;
            for (auto& view : forms_)
                if (view->client == w) isWindow = true;
            if (!isWindow) w->deleteLater();
        }
        widgets_.erase(it);
    }
    actions_.erase(key);
    if (auto it = menus_.find(key); it != menus_.end()) {
        QMenu* menu = it->second.data();
        menus_.erase(it);
        // A popup menu's own Qt menu (no parent) goes with it; the map may
        // hold it twice (menu and root item).
        bool stillUsed = false;
        for (const auto& [other, qmenu] : menus_) stillUsed |= qmenu == menu;
        if (menu && !menu->parent() && !stillUsed) menu->deleteLater();
    }
    for (auto it = forms_.begin(); it != forms_.end(); ++it)
        if ((*it)->form.get() == nullptr || (*it)->form.get() == &component) {
            if ((*it)->modalLoop) (*it)->modalLoop->quit();
            if ((*it)->window) (*it)->window->deleteLater();
            forms_.erase(it);
            break;
        }
}

// ------------------------------------------------------------------ forms

void QtRenderer::formShown(ui::Form& form) {
    if (!viewOf(form)) build(form);
    FormView* view = viewOf(form);
    if (!view || !view->window) return;
    apply(form);
    view->window->show();
    view->window->activateWindow();
    if (ui::Control* active = form.activeControl())
        if (QWidget* w = widgetOf(*active)) w->setFocus(Qt::OtherFocusReason);
}

void QtRenderer::formHidden(ui::Form& form) {
    if (FormView* view = viewOf(form); view && view->window) view->window->hide();
}

bool QtRenderer::saveScreenshot(const ui::Form& form, const QString& path) {
    QWidget* window = windowOf(form);
    if (!window) return false;
    QApplication::processEvents();
    return window->grab().save(path, "PNG");
}

int QtRenderer::runModal(ui::Form& form) {
    if (!viewOf(form)) build(form);
    FormView* view = viewOf(form);
    if (!view || !view->window) return ui::mrCancel;
    ui::ComponentRef<ui::Form> ref(&form);
    view->window->setWindowModality(Qt::ApplicationModal);
    view->window->show();
    QEventLoop loop;
    view->modalLoop = &loop;
    scheduleModalCheck(form);
    loop.exec();
    if (FormView* still = ref ? viewOf(form) : nullptr) {
        still->modalLoop = nullptr;
        if (still->window) still->window->setWindowModality(Qt::NonModal);
    }
    return ref ? form.modalResult() : ui::mrCancel;
}

void QtRenderer::scheduleModalCheck(ui::Form& form) {
    ui::ComponentRef<ui::Form> ref(&form);
    QMetaObject::invokeMethod(
        this,
        [this, ref] {
            ui::Form* f = ref.get();
            FormView* view = f ? viewOf(*f) : nullptr;
            if (!view || !view->modalLoop || f->modalResult() == 0) return;
            bool ends = false;
            guarded([&] { ends = f->modalRunMayEnd(); });
            if (ends && view->modalLoop) view->modalLoop->quit();
        },
        Qt::QueuedConnection);
}

// ------------------------------------------------------------------ input

void QtRenderer::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const EAbort&) {
        // the silent abort: the operation ends without a message
    } catch (const std::exception& e) {
        if (ui::DialogService* dialogs = app_ ? app_->dialogService() : nullptr) {
            ui::MessageDialogRequest request;
            request.type = ui::MsgDlgType::Error;
            request.text = e.what();
            dialogs->messageDialog(request);
        }
    }
    if (app_ && app_->pendingMessages() > 0)
        QMetaObject::invokeMethod(
            this, [this] { guarded([this] { if (app_) app_->processMessages(); }); }, Qt::QueuedConnection);
}

void QtRenderer::onFocusChanged(QWidget* old, QWidget* now) {
    if (syncing_ || !now) return;
    ui::Control* control = controlOf(now);
    if (!control || control->isA("TForm")) return;
    ui::Form* form = control->parentForm();
    if (!form || form->activeControl() == control || !control->canFocus()) return;
    bool refused = true;
    guarded([&] {
        form->setActiveControl(control);
        refused = false;
    });
    if (refused && old) {
        Syncing s(syncing_);
        old->setFocus(Qt::OtherFocusReason);
    }
}

bool QtRenderer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        FormView* view = viewOfWindow(qobject_cast<QWidget*>(watched));
        if (view && view->form) {
            event->ignore();
            ui::Form* form = view->form.get();
            guarded([&] { form->close(); });
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Resize && !syncing_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        for (auto& view : forms_)
            if (view->client == widget && view->form) {
                const QSize size = widget->size();
                ui::Form* form = view->form.get();
                if (size.width() != form->width() || size.height() != form->height()) {
                    Syncing s(syncing_);
                    guarded([&] { form->resize(size.width(), size.height()); });
                }
            }
        return false;
    }
    if (event->type() == QEvent::ContextMenu) {
        // The control's popup menu (or its parent's) at the pointer.
        auto* widget = qobject_cast<QWidget*>(watched);
        ui::Control* control = widget ? controlOf(widget) : nullptr;
        for (ui::Control* c = control; c; c = c->parent())
            if (ui::PopupMenu* popup = c->popupMenu()) {
                QMenu* menu = popupMenuFor(popup, nullptr);
                if (!menu) return false;
                popup->setPopupComponent(control);
                menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
                return true;
            }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    FormView* view = viewOfWindow(widget->window());
    if (!view || !view->form) return false;
    // A key is offered to the focused widget first and then to its parents:
    // route it once.
    if (widget != QApplication::focusWidget() && widget != widget->window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    ui::Form* form = view->form.get();
    bool taken = false;
    if (const int vk = virtualKeyOf(*key)) guarded([&] { taken = form->dispatchKeyDown(vk, shiftOf(*key)); });
    if (taken) return true;
    const QString text = key->text();
    if (text.size() == 1 && text[0].unicode() < 0x80 && text[0].unicode() != 0) {
        char ch = static_cast<char>(text[0].unicode());
        guarded([&] { taken = form->dispatchKeyPress(ch); });
    }
    return taken;
}

}  // namespace corvane::qt
