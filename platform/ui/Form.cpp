#include "platform/ui/Form.h"

#include <algorithm>

#include "platform/ui/DialogService.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::ui {

CORVANE_DEFINE_CLASS(Form, "TForm", Control,
    p.str("Caption", &Form::caption, &Form::setCaption)
        .boolean("KeyPreview", &Form::keyPreview, &Form::setKeyPreview)
        .object("Menu", &Form::menuObject, &Form::setMenuObject)
        .object("ActiveControl", &Form::activeControlObject, &Form::setActiveControlObject)
        .integer("ModalResult", &Form::modalResult, &Form::setModalResult)
        .event("OnCreate", &Form::OnCreate)
        .event("OnShow", &Form::OnShow)
        .event("OnHide", &Form::OnHide)
        .event("OnClose", &Form::OnClose)
        .event("OnCloseQuery", &Form::OnCloseQuery)
        .event("OnDestroy", &Form::OnDestroy)
        .event("OnResize", &Form::OnResize)
        .event("OnActivate", &Form::OnActivate)
        .event("OnPaint", &Form::OnPaint))

Form::Form(Application* application) : application_(application) {
    Control::setVisible(false);
    setTabStop(false);
}

Form::~Form() { destroyOwned(); }

void Form::doCreate() {
    if (created_) return;
    created_ = true;
    OnCreate(this);
}

void Form::beforeDestruction() {
    if (!destroyed_) {
        destroyed_ = true;
        if (visible()) Control::setVisible(false);
        if (Application* app = application(); app && app->activeForm() == this) app->setActiveForm(nullptr);
        OnDestroy(this);
    }
    Control::beforeDestruction();
}

void Form::setVisible(bool visible) {
    if (visible == this->visible()) return;
    Application* app = application();
    if (visible) {
        OnShow(this);
        Control::setVisible(true);
        if (app) {
            app->setActiveForm(this);
            if (app->presenter()) app->presenter()->formShown(*this);
        }
        // The remembered control takes the focus, else the first tab stop.
        if (Control* remembered = activeControl(); remembered && remembered->canFocus()) {
            remembered->doEnter();
        } else {
            activeControl_ = nullptr;
            selectFirst();
        }
        OnActivate(this);
    } else {
        OnHide(this);
        Control::setVisible(false);
        if (app) {
            if (app->activeForm() == this) app->setActiveForm(nullptr);
            if (app->presenter()) app->presenter()->formHidden(*this);
        }
    }
}

MainMenu* Form::menu() const {
    Component* m = menu_.get();
    return m && m->isA("TMainMenu") ? static_cast<MainMenu*>(m) : nullptr;
}
void Form::setMenu(MainMenu* menu) {
    menu_ = menu;
    changed();
}
void Form::setMenuObject(Component* menu) {
    menu_ = menu && menu->isA("TMainMenu") ? menu : nullptr;
    changed();
}

void Form::setActiveControlObject(Component* control) {
    setActiveControl(control && control->isA("TControl") ? static_cast<Control*>(control) : nullptr);
}

void Form::setActiveControl(Control* control) {
    Control* old = activeControl();
    if (old == control) return;
    if (control) {
        if (control->parentForm() != this) throw EInvalidOperation("The control is not on this form");
        if (visible() && !control->canFocus())
            throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
    if (!visible()) {  // remembered; focused when the form shows
        activeControl_ = control;
        return;
    }
    if (old) old->doExit();  // may raise: the focus stays
    activeControl_ = control;
    if (control) control->doEnter();
    changed();
}

void Form::collectTabOrder(const Control& parent, std::vector<Control*>& list) const {
    for (Control* child : parent.tabList()) {
        list.push_back(child);
        collectTabOrder(*child, list);
    }
}

Control* Form::findNextControl(Control* current, bool goForward, bool checkTabStop, bool checkParent) const {
    std::vector<Control*> list;
    collectTabOrder(*this, list);
    const int n = static_cast<int>(list.size());
    if (n == 0) return nullptr;
    auto at = std::find(list.begin(), list.end(), current);
    int start = at == list.end() ? (goForward ? n - 1 : 0) : static_cast<int>(at - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        Control* c = list[static_cast<std::size_t>(i)];
        if (c == current) break;
        if (checkTabStop && !c->tabStop()) continue;
        if (checkParent && current && c->parent() != current->parent()) continue;
        if (c->canFocus()) return c;
    }
    return nullptr;
}

void Form::selectNext(Control* current, bool goForward, bool checkTabStop) {
    if (Control* next = findNextControl(current, goForward, checkTabStop, false)) next->setFocus();
}

void Form::selectFirst() {
    if (Control* first = findNextControl(nullptr, true, true, false)) setActiveControl(first);
}

namespace {
// The visible, enabled default (or cancel) button of the form, if any.
Button* dialogButton(const Control& parent, bool isDefault) {
    for (Control* c : parent.controls()) {
        if (c->isA("TButton")) {
            auto* b = static_cast<Button*>(c);
            if ((isDefault ? b->isDefault() : b->cancel()) && b->canFocus()) return b;
        }
        if (Button* below = dialogButton(*c, isDefault)) return below;
    }
    return nullptr;
}
}  // namespace

bool Form::menuShortCut(int key, unsigned shift) {
    const ShortCut sc = shortCut(key, shift);
    if (MainMenu* m = menu(); m && m->dispatchShortCut(sc)) return true;
    for (Control* c = activeControl(); c; c = c->parent())
        if (PopupMenu* p = c->popupMenu(); p && p->dispatchShortCut(sc)) return true;
    return false;
}

bool Form::dispatchKeyDown(int key, unsigned shift) {
    if (keyPreview_) {
        OnKeyDown(this, key, shift);
        if (key == 0) return true;
    }
    if (menuShortCut(key, shift)) return true;
    Control* target = activeControl();
    if (target) {
        target->keyDown(key, shift);
        if (key == 0) return true;
    }
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        selectNext(target, !(shift & ssShift), true);
        return true;
    }
    // Dialog keys: Enter presses the default button (unless a button has
    // the focus and takes Enter itself), Esc the cancel button.
    if ((key == VK_RETURN || key == VK_ESCAPE) && shift == 0) {
        if (key == VK_RETURN && target && target->isA("TButton")) {
            target->click();
            return true;
        }
        if (Button* button = dialogButton(*this, key == VK_RETURN)) {
            button->click();
            return true;
        }
    }
    return false;
}

bool Form::dispatchKeyPress(char key) {
    if (keyPreview_) {
        OnKeyPress(this, key);
        if (key == 0) return true;
    }
    if (Control* target = activeControl()) {
        target->keyPress(key);
        if (key == 0) return true;
    }
    return false;
}

int Form::showModal() {
    if (visible() || !enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    Application* app = application();
    if (!app || !app->dialogService()) throw EInvalidOperation("No dialog service to run a modal window");
    modal_ = true;
    modalResult_ = 0;
    modalCloseAction_ = CloseAction::caHide;
    struct ModalEnd {
        Form& form;
        ~ModalEnd() {
            form.modal_ = false;
            if (form.visible()) form.hide();
        }
    };
    int result = 0;
    {
        ModalEnd end{*this};
        show();
        result = app->dialogService()->showModal(*this);
        if (modalResult_ != 0) result = modalResult_;
        modalResult_ = result;
    }
    if (modalCloseAction_ == CloseAction::caFree) release();
    return result;
}

void Form::setModalResult(int result) {
    if (modalResult_ == result) return;
    modalResult_ = result;
    changed();
}

bool Form::modalRunMayEnd() {
    if (modalResult_ == 0) return false;
    if (!closeQuery()) {
        modalResult_ = 0;
        return false;
    }
    CloseAction action = CloseAction::caHide;
    doClose(action);
    if (action == CloseAction::caNone) {
        modalResult_ = 0;
        return false;
    }
    modalCloseAction_ = action;
    return true;
}

bool Form::closeQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void Form::close() {
    if (modal_) {
        setModalResult(mrCancel);
        return;
    }
    if (!closeQuery()) return;
    CloseAction action = CloseAction::caHide;
    doClose(action);
    switch (action) {
    case CloseAction::caNone: break;
    case CloseAction::caHide:
    case CloseAction::caMinimize: hide(); break;
    case CloseAction::caFree:
        hide();
        release();
        break;
    }
}

void Form::release() {
    Application* app = application();
    if (!app) throw EInvalidOperation("Release needs the application's message queue");
    app->postMessage(*this, Message{CM_RELEASE, 0, 0, {}});
}

void Form::onMessage(unsigned msg, std::function<void(Message&)> handler) {
    messageHandlers_.emplace_back(msg, std::move(handler));
}

void Form::postMessage(unsigned msg, std::int64_t wParam, Control* control) {
    Application* app = application();
    if (!app) throw EInvalidOperation("Posting a message needs the application's message queue");
    app->postMessage(*this, Message{msg, wParam, 0, ComponentRef<Component>(control)});
}

void Form::dispatchMessage(Message& message) {
    if (message.msg == CM_RELEASE) {
        free();
        return;
    }
    for (auto& [msg, handler] : messageHandlers_)
        if (msg == message.msg) {
            handler(message);
            return;
        }
}

void Form::resize(int width, int height) {
    if (width == this->width() && height == this->height()) return;
    setBounds(left(), top(), width, height);
    OnResize(this);
}

}  // namespace corvane::ui

namespace corvane::ui {

Application* applicationOf(const Component& component) {
    for (const Component* c = &component; c; c = c->owner()) {
        if (c->isA("TApplication")) return static_cast<Application*>(const_cast<Component*>(c));
        if (c->isA("TForm")) {
            if (Application* app = static_cast<const Form*>(c)->application()) return app;
        }
        if (c->isA("TControl"))
            if (Form* form = static_cast<const Control*>(c)->parentForm(); form && form->application())
                return form->application();
    }
    return nullptr;
}

}  // namespace corvane::ui
