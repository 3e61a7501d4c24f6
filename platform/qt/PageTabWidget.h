#pragma once

// The tab widget of a page control: tabs of the model's fixed size, and
// owner-drawn tabs painted as the page control says.

#include <QTabBar>
#include <QTabWidget>

#include "platform/ui/ComCtrls.h"

namespace corvane::qt {

class PageTabBar : public QTabBar {
public:
    PageTabBar(ui::PageControl& pages, QWidget* parent);

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    ui::ComponentRef<ui::PageControl> pages_;
};

class PageTabWidget : public QTabWidget {
public:
    PageTabWidget(ui::PageControl& pages, QWidget* parent);
};

}  // namespace corvane::qt
