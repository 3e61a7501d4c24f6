#include "platform/qt/PageTabWidget.h"

#include <QPainter>

#include "platform/qt/GridTableModel.h"
#include "platform/qt/QtText.h"

namespace corvane::qt {

PageTabBar::PageTabBar(ui::PageControl& pages, QWidget* parent) : QTabBar(parent), pages_(&pages) {}

QSize PageTabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    if (ui::PageControl* pages = pages_.get()) {
        if (pages->tabWidth() > 0) size.setWidth(pages->tabWidth());
        if (pages->tabHeight() > 0) size.setHeight(pages->tabHeight());
    }
    return size;
}

void PageTabBar::paintEvent(QPaintEvent* event) {
    ui::PageControl* pages = pages_.get();
    if (!pages || !pages->ownerDraw()) return QTabBar::paintEvent(event);
    struct Tab {
        QRect rect;
        ui::TabPaint paint;
    };
    std::vector<Tab> tabs;
    for (int i = 0; i < count() && i < pages->pageCount(); ++i) {
        if (!isTabVisible(i)) continue;
        const QRect r = tabRect(i);
        Tab tab{r, {}};
        const int tabIndex = pages->page(i)->tabIndex();
        if (!pages->paintTab(tabIndex, i == currentIndex(), ui::Rect{r.x(), r.y(), r.width(), r.height()}, tab.paint))
            return QTabBar::paintEvent(event);  // the program draws its tabs itself
        tabs.push_back(tab);
    }
    QPainter painter(this);
    for (const Tab& tab : tabs) {
        const ui::TabPaint& p = tab.paint;
        painter.fillRect(QRect(p.background.left, p.background.top, p.background.width, p.background.height),
                         toQColor(p.brush));
        QFont font = this->font();
        font.setBold(p.bold);
        painter.setFont(font);
        painter.setPen(toQColor(p.fontColor));
        painter.drawText(QRect(p.textRect.left, p.textRect.top, p.textRect.width, p.textRect.height),
                         Qt::AlignCenter | Qt::TextSingleLine, toQt(p.caption));
    }
}

PageTabWidget::PageTabWidget(ui::PageControl& pages, QWidget* parent) : QTabWidget(parent) {
    setTabBar(new PageTabBar(pages, this));
}

}  // namespace corvane::qt
