#pragma once

// The common controls: image lists, tool bars with their buttons, page
// controls with tab sheets, status bars with panels, and list views.

#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::ui {

class PopupMenu;

class ImageList : public Component {
    CORVANE_COMPONENT()
public:
    int width() const { return width_; }
    void setWidth(int w) { width_ = w; }
    int height() const { return height_; }
    void setHeight(int h) { height_ = h; }
    int count() const { return static_cast<int>(images_.size()); }
    int add(Picture picture);
    const Picture* picture(int index) const;
    void clear() { images_.clear(); }
private:
    int width_ = 16, height_ = 16;
    std::vector<Picture> images_;
};

enum class ToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class ToolButton : public Control {
    CORVANE_COMPONENT()
public:
    ToolButton() { setBounds(0, 0, 23, 22); }
    bool isWindowed() const override { return false; }
    ToolButtonStyle style() const { return style_; }
    void setStyle(ToolButtonStyle s);
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int i);
    bool down() const { return down_; }
    void setDown(bool d);
    PopupMenu* dropdownMenu() const;
    Component* dropdownMenuObject() const { return dropdownMenu_.get(); }
    void setDropdownMenuObject(Component* menu);
    void click() override;
    // The arrow of a drop-down button: opens its menu.
    void dropDown();
private:
    ToolButtonStyle style_ = ToolButtonStyle::tbsButton;
    int imageIndex_ = -1;
    bool down_ = false;
    ComponentRef<Component> dropdownMenu_;
};

class ToolBar : public Control {
    CORVANE_COMPONENT()
public:
    ToolBar() { setBounds(0, 0, 150, 29); }
    // The buttons in the order they sit (by left edge).
    std::vector<ToolButton*> buttons() const;
    Component* imagesObject() const { return images_.get(); }
    void setImagesObject(Component* images) { images_ = images; changed(); }
    ImageList* images() const;
    bool flat() const { return flat_; }
    void setFlat(bool f) { flat_ = f; changed(); }
    bool showCaptions() const { return showCaptions_; }
    void setShowCaptions(bool s) { showCaptions_ = s; changed(); }
private:
    ComponentRef<Component> images_;
    bool flat_ = false;
    bool showCaptions_ = false;
};

class PageControl;

// A page of a page control. Its Enabled state enables its controls; its
// tab stays selectable either way. TabVisible shows or hides its tab.
class TabSheet : public Control {
    CORVANE_COMPONENT()
public:
    TabSheet() = default;
    PageControl* pageControl() const;
    void setPageControl(PageControl* control);
    Component* pageControlObject() const;
    void setPageControlObject(Component* control);
    bool tabVisible() const { return tabVisible_; }
    void setTabVisible(bool v);
    int pageIndex() const;
    void setPageIndex(int index);
    int tabIndex() const;
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int i) { imageIndex_ = i; changed(); }
    // Only the active page shows.
    bool isShowing() const override;
private:
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TabChangingEvent = Event<void(Component* sender, bool& allowChange)>;

// How an owner-drawn tab is painted: background, caption (centred on one
// line), font colour and weight.
struct TabPaint {
    Rect background;  // filled with brush
    Rect textRect;    // the caption is centred in it
    Color brush = clBtnFace;
    Color fontColor = clBtnText;
    bool bold = false;
    std::string caption;
};

class PageControl : public Control {
    CORVANE_COMPONENT()
public:
    PageControl() { setTabStop(true); setBounds(0, 0, 289, 193); }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    const std::vector<TabSheet*>& pages() const { return pages_; }
    TabSheet* activePage() const { return activePage_.get(); }
    // Shows the page (no OnChanging/OnChange, as for a program).
    void setActivePage(TabSheet* page);
    Component* activePageObject() const { return activePage_.get(); }
    void setActivePageObject(Component* page);
    int activePageIndex() const;
    void setActivePageIndex(int index);
    // Tab indexes count visible tabs only.
    int tabIndex() const;
    int tabCount() const;
    TabSheet* pageForTab(int tabIndex) const;
    // As a person selecting a tab: OnChanging may refuse, then OnChange.
    // False when refused or there is no such tab.
    bool selectTab(int tabIndex);
    // The page after (or before) current whose tab shows, wrapping; null if none.
    TabSheet* findNextPage(TabSheet* current, bool goForward, bool checkTabVisible) const;
    // Moves to the next page as Ctrl+Tab does (with OnChanging and OnChange).
    void selectNextPage(bool goForward, bool checkTabVisible = true);
    int tabWidth() const { return tabWidth_; }
    void setTabWidth(int w) { tabWidth_ = w; changed(); }
    int tabHeight() const { return tabHeight_; }
    void setTabHeight(int h) { tabHeight_ = h; realign(); changed(); }
    bool ownerDraw() const { return ownerDraw_; }
    void setOwnerDraw(bool o) { ownerDraw_ = o; changed(); }
    Component* imagesObject() const { return images_.get(); }
    void setImagesObject(Component* images) { images_ = images; }
    // Paints an owner-drawn tab (tab indexes count visible tabs): true with
    // out filled, false when the control drew it itself or draws nothing.
    // Plain page controls leave their tabs to the platform.
    virtual bool paintTab(int tabIndex, bool active, const Rect& rect, TabPaint& out) {
        (void)tabIndex; (void)active; (void)rect; (void)out;
        return false;
    }
    // The area every page fills: inside the frame, below the tabs.
    Rect displayRect() const;
    void realign() override;

    NotifyEvent OnChange;
    TabChangingEvent OnChanging;

private:
    friend class TabSheet;
    void insertPage(TabSheet* page);
    void removePage(TabSheet* page);
    bool changePage(TabSheet* page);

    std::vector<TabSheet*> pages_;
    ComponentRef<TabSheet> activePage_;
    int tabWidth_ = 0, tabHeight_ = 0;
    bool ownerDraw_ = false;
    ComponentRef<Component> images_;
};

struct StatusPanel {
    std::string text;
    int width = 50;
    Alignment alignment = Alignment::taLeftJustify;
};

class StatusBar : public Control {
    CORVANE_COMPONENT()
public:
    StatusBar() { setBounds(0, 0, 0, 19); }
    int panelCount() const { return static_cast<int>(panels_.size()); }
    void setPanelCount(int count);
    StatusPanel& addPanel(const std::string& text, int width);
    const StatusPanel& panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    void setPanelText(int index, const std::string& text);
    void setPanelWidth(int index, int width);
    bool simplePanel() const { return simplePanel_; }
    void setSimplePanel(bool s) { simplePanel_ = s; changed(); }
    const std::string& simpleText() const { return simpleText_; }
    void setSimpleText(const std::string& t) { simpleText_ = t; changed(); }
private:
    std::vector<StatusPanel> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
};

struct ListColumn {
    std::string caption;
    int width = 50;
};

struct ListItem {
    std::string caption;
    std::vector<std::string> subItems;
    bool selected = false;
    bool checked = false;
    int imageIndex = -1;
};

enum class ViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class ListView : public Control {
    CORVANE_COMPONENT()
public:
    ListView() { setTabStop(true); setColor(clWindow); setBounds(0, 0, 250, 150); }
    std::vector<ListColumn>& columns() { return columns_; }
    const std::vector<ListColumn>& columns() const { return columns_; }
    ListColumn& addColumn(const std::string& caption, int width);
    int itemCount() const { return static_cast<int>(items_.size()); }
    ListItem& addItem(const std::string& caption, std::vector<std::string> subItems = {});
    ListItem& item(int index) { return items_.at(static_cast<std::size_t>(index)); }
    const ListItem& item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    void deleteItem(int index);
    void clearItems();
    void setSelected(int index, bool selected);
    void setItemCaption(int index, const std::string& caption);
    int selCount() const;
    ViewStyle viewStyle() const { return viewStyle_; }
    void setViewStyle(ViewStyle v) { viewStyle_ = v; changed(); }
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool m) { multiSelect_ = m; }
    bool showColumnHeaders() const { return showColumnHeaders_; }
    void setShowColumnHeaders(bool s) { showColumnHeaders_ = s; changed(); }
    bool checkBoxes() const { return checkBoxes_; }
    void setCheckBoxes(bool c) { checkBoxes_ = c; changed(); }
    void itemsChanged() { changed(); }
private:
    std::vector<ListColumn> columns_;
    std::vector<ListItem> items_;
    ViewStyle viewStyle_ = ViewStyle::vsIcon;
    bool multiSelect_ = false;
    bool showColumnHeaders_ = true;
    bool checkBoxes_ = false;
};

}  // namespace corvane::ui
