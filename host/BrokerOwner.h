#pragma once

// What the broker asks of the form that owns it: caption, window handle,
// the code converter's settings, the rights set, the lookup-control
// exchange and the dialog service. The kernel form implements it; a broker
// without an owner behaves as under a plain simplified-Chinese form.

#include <cstdint>
#include <string>

#include "platform/core/Variant.h"

namespace corvane::ui {
class DialogService;
}

namespace corvane::host {

class BrokerOwner {
public:
    virtual ~BrokerOwner() = default;

    virtual std::string caption() const { return {}; }
    virtual std::int64_t windowHandle() { return 0; }

    // The code converter's settings: code pages as decimal text ("936",
    // "950", "437") and the conversion mode (0 none, 1 BIG5 to GB, 2 GB to
    // BIG5, 3, 4).
    virtual std::string uiCodePage() const { return "936"; }
    virtual std::string sysCodePage() const { return "936"; }
    virtual int uiConvertMode() const { return 0; }
    // Simplified/traditional conversion of GBK texts. The conversion tables
    // are not part of the module yet, so the defaults pass texts through.
    virtual std::string gbToBig5(const std::string& text) const { return text; }
    virtual std::string big5ToGb(const std::string& text) const { return text; }
    // Design-time text to the interface code page.
    virtual std::string toUI(const std::string& text) const { return text; }

    // Element n of the form's rights set.
    virtual bool hasRight(int /*element*/) const { return false; }

    // The lookup-control exchange: 0 normal, 1 collecting the lookup's
    // parameters, 2 delivering the rows the control returned.
    virtual int f2State() const { return 0; }
    virtual void setLookupOpenParams(const Variant& /*params*/) {}
    virtual Variant returnedRows() const { return {}; }

    // Where the broker's message dialogs go; null when none was handed over.
    virtual ui::DialogService* dialogService() const { return nullptr; }
    // Called after every message dialog the broker showed.
    virtual void afterMessageDialog() {}
};

}  // namespace corvane::host
