#include "platform/ui/ClassInfo.h"

#include <algorithm>
#include <cctype>

namespace corvane::ui {

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

const PropInfo* ClassInfo::find(std::string_view propName) const {
    if (propName.empty()) return nullptr;
    for (const ClassInfo* c = this; c; c = c->parent_)
        for (const PropInfo& p : c->props_)
            if (sameText(p.name, propName)) return &p;
    return nullptr;
}

std::vector<const PropInfo*> ClassInfo::allProps() const {
    std::vector<const ClassInfo*> chain;
    for (const ClassInfo* c = this; c; c = c->parent_) chain.push_back(c);
    std::vector<const PropInfo*> props;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const PropInfo& p : (*it)->props_)
            if (std::none_of(props.begin(), props.end(), [&](const PropInfo* q) { return sameText(q->name, p.name); }))
                props.push_back(&p);
    return props;
}

bool ClassInfo::inheritsFrom(std::string_view className) const {
    for (const ClassInfo* c = this; c; c = c->parent_)
        if (sameText(c->name_, className)) return true;
    return false;
}

}  // namespace corvane::ui
