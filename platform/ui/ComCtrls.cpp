#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

namespace corvane::ui {

CORVANE_DEFINE_CLASS(ImageList, "TImageList", Component,
    p.integer("Width", &ImageList::width, &ImageList::setWidth)
        .integer("Height", &ImageList::height, &ImageList::setHeight))

int ImageList::add(Picture picture) {
    images_.push_back(std::move(picture));
    return count() - 1;
}

const Picture* ImageList::picture(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return &images_[static_cast<std::size_t>(index)];
}

CORVANE_DEFINE_CLASS(ToolButton, "TToolButton", Control,
    p.str("Caption", &ToolButton::caption, &ToolButton::setCaption)
        .enumeration("Style", {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"},
                     &ToolButton::style, &ToolButton::setStyle)
        .integer("ImageIndex", &ToolButton::imageIndex, &ToolButton::setImageIndex)
        .boolean("Down", &ToolButton::down, &ToolButton::setDown)
        .object("DropdownMenu", &ToolButton::dropdownMenuObject, &ToolButton::setDropdownMenuObject))

void ToolButton::setStyle(ToolButtonStyle s) {
    if (style_ == s) return;
    style_ = s;
    changed();
}
void ToolButton::setImageIndex(int i) {
    if (imageIndex_ == i) return;
    imageIndex_ = i;
    changed();
}
void ToolButton::setDown(bool d) {
    if (down_ == d) return;
    down_ = d;
    changed();
}
PopupMenu* ToolButton::dropdownMenu() const {
    Component* m = dropdownMenu_.get();
    return m && m->isA("TPopupMenu") ? static_cast<PopupMenu*>(m) : nullptr;
}
void ToolButton::setDropdownMenuObject(Component* menu) {
    dropdownMenu_ = menu && menu->isA("TPopupMenu") ? menu : nullptr;
    changed();
}

void ToolButton::click() {
    if (!isEffectivelyEnabled() || style_ == ToolButtonStyle::tbsSeparator || style_ == ToolButtonStyle::tbsDivider)
        return;
    // A plain button with a menu opens the menu; a drop-down button clicks
    // and opens its menu from the arrow only.
    if (style_ != ToolButtonStyle::tbsDropDown && dropdownMenu()) {
        dropDown();
        return;
    }
    if (style_ == ToolButtonStyle::tbsCheck) setDown(!down_);
    Control::click();
}

void ToolButton::dropDown() {
    if (!isEffectivelyEnabled()) return;
    if (PopupMenu* menu = dropdownMenu()) {
        menu->setPopupComponent(this);
        menu->popup(left(), top() + height());
    }
}

CORVANE_DEFINE_CLASS(ToolBar, "TToolBar", Control,
    p.object("Images", &ToolBar::imagesObject, &ToolBar::setImagesObject)
        .boolean("Flat", &ToolBar::flat, &ToolBar::setFlat)
        .boolean("ShowCaptions", &ToolBar::showCaptions, &ToolBar::setShowCaptions))

std::vector<ToolButton*> ToolBar::buttons() const {
    std::vector<ToolButton*> list;
    for (Control* c : controls())
        if (c->isA("TToolButton")) list.push_back(static_cast<ToolButton*>(c));
    std::stable_sort(list.begin(), list.end(), [](ToolButton* a, ToolButton* b) { return a->left() < b->left(); });
    return list;
}

ImageList* ToolBar::images() const {
    Component* c = images_.get();
    return c && c->isA("TImageList") ? static_cast<ImageList*>(c) : nullptr;
}

CORVANE_DEFINE_CLASS(TabSheet, "TTabSheet", Control,
    p.str("Caption", &TabSheet::caption, &TabSheet::setCaption)
        .object("PageControl", &TabSheet::pageControlObject, &TabSheet::setPageControlObject)
        .boolean("TabVisible", &TabSheet::tabVisible, &TabSheet::setTabVisible)
        .integer("PageIndex", &TabSheet::pageIndex, &TabSheet::setPageIndex)
        .integer("ImageIndex", &TabSheet::imageIndex, &TabSheet::setImageIndex))

PageControl* TabSheet::pageControl() const {
    Control* p = parent();
    return p && p->isA("TPageControl") ? static_cast<PageControl*>(p) : nullptr;
}

void TabSheet::setPageControl(PageControl* control) {
    if (pageControl() == control && (control || !parent())) return;
    if (PageControl* old = pageControl()) old->removePage(this);
    setParent(control);
    if (control) control->insertPage(this);
}

Component* TabSheet::pageControlObject() const { return pageControl(); }

void TabSheet::setPageControlObject(Component* control) {
    setPageControl(control && control->isA("TPageControl") ? static_cast<PageControl*>(control) : nullptr);
}

void TabSheet::setTabVisible(bool v) {
    if (tabVisible_ == v) return;
    tabVisible_ = v;
    changed();
    if (PageControl* pc = pageControl()) pc->structureChanged();
}

int TabSheet::pageIndex() const {
    PageControl* pc = pageControl();
    if (!pc) return -1;
    auto it = std::find(pc->pages_.begin(), pc->pages_.end(), this);
    return it == pc->pages_.end() ? -1 : static_cast<int>(it - pc->pages_.begin());
}

void TabSheet::setPageIndex(int index) {
    PageControl* pc = pageControl();
    if (!pc || index == pageIndex()) return;
    std::erase(pc->pages_, this);
    index = std::clamp(index, 0, pc->pageCount());
    pc->pages_.insert(pc->pages_.begin() + index, this);
    pc->structureChanged();
}

int TabSheet::tabIndex() const {
    PageControl* pc = pageControl();
    if (!pc || !tabVisible_) return -1;
    int tab = 0;
    for (TabSheet* page : pc->pages_) {
        if (page == this) return tab;
        if (page->tabVisible_) ++tab;
    }
    return -1;
}

bool TabSheet::isShowing() const {
    PageControl* pc = pageControl();
    return visible() && pc && pc->activePage() == this && pc->isShowing();
}

CORVANE_DEFINE_CLASS(PageControl, "TPageControl", Control,
    p.object("ActivePage", &PageControl::activePageObject, &PageControl::setActivePageObject)
        .integer("ActivePageIndex", &PageControl::activePageIndex, &PageControl::setActivePageIndex)
        .integer("TabIndex", &PageControl::tabIndex, [](PageControl& pc, int t) { pc.setActivePage(pc.pageForTab(t)); })
        .integer("TabWidth", &PageControl::tabWidth, &PageControl::setTabWidth)
        .integer("TabHeight", &PageControl::tabHeight, &PageControl::setTabHeight)
        .boolean("OwnerDraw", &PageControl::ownerDraw, &PageControl::setOwnerDraw)
        .object("Images", &PageControl::imagesObject, &PageControl::setImagesObject)
        .event("OnChange", &PageControl::OnChange)
        .event("OnChanging", &PageControl::OnChanging))

Rect PageControl::displayRect() const {
    const int tabs = tabHeight_ > 0 ? tabHeight_ : 20;
    return Rect{4, tabs + 4, std::max(0, width() - 8), std::max(0, height() - tabs - 8)};
}

void PageControl::realign() {
    const Rect r = displayRect();
    for (TabSheet* page : pages_) page->setBounds(r.left, r.top, r.width, r.height);
    Control::realign();
}

void PageControl::insertPage(TabSheet* page) {
    pages_.push_back(page);
    const Rect r = displayRect();
    page->setBounds(r.left, r.top, r.width, r.height);
    if (!activePage()) activePage_ = page;
    structureChanged();
}

void PageControl::removePage(TabSheet* page) {
    if (activePage() == page) activePage_ = findNextPage(page, true, false) == page ? nullptr : findNextPage(page, true, false);
    std::erase(pages_, page);
    structureChanged();
}

void PageControl::setActivePage(TabSheet* page) {
    if (page && page->pageControl() != this) return;
    TabSheet* old = activePage();
    if (old == page) return;
    // The focus leaves the page being hidden first; a refusal keeps the page.
    if (Form* form = parentForm(); form && old && form->visible())
        for (Control* c = form->activeControl(); c; c = c->parent())
            if (c == old) {
                form->setActiveControl(canFocus() ? this : nullptr);
                break;
            }
    activePage_ = page;
    changed();
}

void PageControl::setActivePageObject(Component* page) {
    setActivePage(page && page->isA("TTabSheet") ? static_cast<TabSheet*>(page) : nullptr);
}

int PageControl::activePageIndex() const {
    TabSheet* page = activePage();
    return page ? page->pageIndex() : -1;
}

void PageControl::setActivePageIndex(int index) {
    setActivePage(index >= 0 && index < pageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr);
}

int PageControl::tabIndex() const {
    TabSheet* page = activePage();
    return page ? page->tabIndex() : -1;
}

int PageControl::tabCount() const {
    return static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](TabSheet* p) { return p->tabVisible(); }));
}

TabSheet* PageControl::pageForTab(int tab) const {
    if (tab < 0) return nullptr;
    for (TabSheet* page : pages_)
        if (page->tabVisible() && tab-- == 0) return page;
    return nullptr;
}

bool PageControl::changePage(TabSheet* page) {
    bool allow = true;
    OnChanging(this, allow);
    if (!allow) return false;
    setActivePage(page);
    OnChange(this);
    return true;
}

bool PageControl::selectTab(int tab) {
    TabSheet* page = pageForTab(tab);
    if (!page || !isEffectivelyEnabled()) return false;
    if (page == activePage()) return true;
    return changePage(page);
}

TabSheet* PageControl::findNextPage(TabSheet* current, bool goForward, bool checkTabVisible) const {
    const int n = pageCount();
    if (n == 0) return nullptr;
    auto at = std::find(pages_.begin(), pages_.end(), current);
    int i = at == pages_.end() ? (goForward ? n - 1 : 0) : static_cast<int>(at - pages_.begin());
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TabSheet* page = pages_[static_cast<std::size_t>(i)];
        if (!checkTabVisible || page->tabVisible()) return page;
    }
    return nullptr;
}

void PageControl::selectNextPage(bool goForward, bool checkTabVisible) {
    TabSheet* page = findNextPage(activePage(), goForward, checkTabVisible);
    if (page && page != activePage()) changePage(page);
}

CORVANE_DEFINE_CLASS(StatusBar, "TStatusBar", Control,
    p.boolean("SimplePanel", &StatusBar::simplePanel, &StatusBar::setSimplePanel)
        .str("SimpleText", &StatusBar::simpleText, &StatusBar::setSimpleText))

void StatusBar::setPanelCount(int count) {
    panels_.resize(static_cast<std::size_t>(std::max(0, count)));
    structureChanged();
}

StatusPanel& StatusBar::addPanel(const std::string& text, int width) {
    panels_.push_back(StatusPanel{text, width, Alignment::taLeftJustify});
    structureChanged();
    return panels_.back();
}

void StatusBar::setPanelText(int index, const std::string& text) {
    StatusPanel& p = panels_.at(static_cast<std::size_t>(index));
    if (p.text == text) return;
    p.text = text;
    changed();
}

void StatusBar::setPanelWidth(int index, int width) {
    StatusPanel& p = panels_.at(static_cast<std::size_t>(index));
    if (p.width == width) return;
    p.width = width;
    changed();
}

CORVANE_DEFINE_CLASS(ListView, "TListView", Control,
    p.enumeration("ViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}, &ListView::viewStyle, &ListView::setViewStyle)
        .boolean("MultiSelect", &ListView::multiSelect, &ListView::setMultiSelect)
        .boolean("ReadOnly", &ListView::readOnly, &ListView::setReadOnly)
        .boolean("ShowColumnHeaders", &ListView::showColumnHeaders, &ListView::setShowColumnHeaders)
        .boolean("Checkboxes", &ListView::checkBoxes, &ListView::setCheckBoxes))

ListColumn& ListView::addColumn(const std::string& caption, int width) {
    columns_.push_back(ListColumn{caption, width});
    changed();
    return columns_.back();
}

ListItem& ListView::addItem(const std::string& caption, std::vector<std::string> subItems) {
    items_.push_back(ListItem{caption, std::move(subItems), false, false, -1});
    changed();
    return items_.back();
}

void ListView::deleteItem(int index) {
    if (index < 0 || index >= itemCount()) return;
    items_.erase(items_.begin() + index);
    changed();
}

void ListView::clearItems() {
    items_.clear();
    changed();
}

void ListView::setSelected(int index, bool selected) {
    if (index < 0 || index >= itemCount()) return;
    if (selected && !multiSelect_)
        for (auto& i : items_) i.selected = false;
    items_[static_cast<std::size_t>(index)].selected = selected;
    changed();
}

void ListView::setItemCaption(int index, const std::string& caption) {
    item(index).caption = caption;
    changed();
}

int ListView::selCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const ListItem& i) { return i.selected; }));
}

}  // namespace corvane::ui
