#pragma once

// The page control of the maintenance forms: fixed-size, owner-drawn tabs
// (the active tab on the active-caption colour in bold, the others on the
// inactive-caption colour, shifted down), an OnDrawTab event that replaces
// the standard drawing, and the search for each data page's last control.

#include <string>
#include <vector>

#include "platform/ui/ComCtrls.h"

namespace corvane {

using ui::TabPaint;

using DrawTabEvent = ui::Event<void(ui::Component* sender, int tabIndex, bool active, const ui::Rect& rect)>;

class ExtPageControl : public ui::PageControl {
    CORVANE_COMPONENT()
public:
    ExtPageControl();

    // Draws tab tabIndex (visible tabs only): OnDrawTab when set (then
    // false: nothing left to paint), else the standard paint in out.
    bool drawTab(int tabIndex, bool active, const ui::Rect& rect, TabPaint& out);
    bool paintTab(int tabIndex, bool active, const ui::Rect& rect, TabPaint& out) override {
        return drawTab(tabIndex, active, rect, out);
    }

    DrawTabEvent OnDrawTab;
};

// For each of the first 16 pages (a last page named "TbsBrowse" and a
// "TbsUDF" page before it, or last, left out): the visible, enabled
// windowed control placed directly on the page and owned by the page
// control's owner with the highest tab order. Their names go to names in
// page order; last is set to the control of the last page with one.
void FirstControlsOfPages(const ui::PageControl& pages, std::vector<std::string>& names, ui::Control*& last);

}  // namespace corvane
