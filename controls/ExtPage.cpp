#include "controls/ExtPage.h"

#include <algorithm>

namespace corvane {

CORVANE_DEFINE_CLASS(ExtPageControl, "TExtPageControl", ui::PageControl, p.event("OnDrawTab", &ExtPageControl::OnDrawTab))

ExtPageControl::ExtPageControl() { setOwnerDraw(true); }

bool ExtPageControl::drawTab(int tabIndex, bool active, const ui::Rect& rect, TabPaint& out) {
    if (OnDrawTab) {
        OnDrawTab(this, tabIndex, active, rect);
        return false;
    }
    ui::TabSheet* page = pageForTab(tabIndex);
    out = TabPaint();
    out.caption = page ? page->caption() : std::string();
    if (active) {
        out.background = ui::Rect{rect.left + 2, rect.top + 2, rect.width - 4, rect.height - 4};
        out.textRect = out.background;
        out.brush = ui::clActiveCaption;
        out.fontColor = ui::clCaptionText;
        out.bold = true;
    } else {
        out.background = rect;
        out.textRect = ui::Rect{rect.left, rect.top + 2, rect.width, rect.height};
        out.brush = ui::clInactiveCaption;
        out.fontColor = ui::clInactiveCaptionText;
    }
    return true;
}

void FirstControlsOfPages(const ui::PageControl& pages, std::vector<std::string>& names, ui::Control*& last) {
    int count = pages.pageCount();
    if (count > 0 && ui::sameText(pages.page(count - 1)->name(), "TbsBrowse")) --count;
    if (count > 0 && ui::sameText(pages.page(count - 1)->name(), "TbsUDF")) --count;
    count = std::min(count, 16);
    for (int i = 0; i < count; ++i) {
        ui::Control* best = nullptr;
        for (ui::Control* c : pages.page(i)->controls()) {
            if (!c->isWindowed() || !c->visible() || !c->enabled() || c->owner() != pages.owner()) continue;
            if (!best || c->tabOrder() > best->tabOrder()) best = c;
        }
        if (best) {
            names.push_back(best->name());
            last = best;
        }
    }
}

}  // namespace corvane
