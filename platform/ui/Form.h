#pragma once

// Forms: top-level windows with key preview and key routing, showing,
// modal runs through the dialog service, closing with the close query and
// close action, release, and messages posted through the application.

#include <functional>
#include <utility>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

namespace corvane::ui {

class MainMenu;

enum class CloseAction { caNone, caHide, caFree, caMinimize };

// Posted by Release(): frees the form when messages are processed.
constexpr unsigned CM_RELEASE = 0xB000 + 33;

using CloseEvent = Event<void(Component* sender, CloseAction& action)>;
using CloseQueryEvent = Event<void(Component* sender, bool& canClose)>;

class Form : public Control {
    CORVANE_COMPONENT()
public:
    explicit Form(Application* application = nullptr);
    ~Form() override;

    Application* application() const { return application_.get(); }
    void setApplication(Application* application) { application_ = application; }
    // Runs OnCreate once; Application::createForm calls it.
    void doCreate();

    bool isShowing() const override { return visible(); }
    bool canFocus() const override { return visible() && enabled(); }
    void setVisible(bool visible) override;
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool preview) { keyPreview_ = preview; }
    MainMenu* menu() const;
    void setMenu(MainMenu* menu);
    Component* menuObject() const { return menu_.get(); }
    void setMenuObject(Component* menu);

    // Focus.
    Control* activeControl() const { return activeControl_.get(); }
    Component* activeControlObject() const { return activeControl_.get(); }
    void setActiveControlObject(Component* control);
    // Moves the focus (exit of the old control, enter of the new); an error
    // raised by the old control's exit keeps the focus where it was.
    void setActiveControl(Control* control);
    // The control after (or before) current in tab order that can take the
    // focus; with checkTabStop only tab stops, with checkParent only
    // siblings of current. Null when there is none.
    Control* findNextControl(Control* current, bool goForward, bool checkTabStop, bool checkParent) const;
    void selectNext(Control* current, bool goForward, bool checkTabStop);
    void selectFirst();

    // Keys as the window receives them: the form first when it previews
    // keys, then menu shortcuts (a disabled item never fires), then the
    // focused control. Returns true when something took the key.
    bool dispatchKeyDown(int key, unsigned shift);
    bool dispatchKeyPress(char key);

    // Modal runs and closing.
    int showModal();
    bool isModal() const { return modal_; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int result);
    // Asked by the dialog service's modal loop after each event: true when
    // the modal run may end (the modal result is set, the close query
    // agrees and the close action is not caNone).
    bool modalRunMayEnd();
    void close();
    bool closeQuery();
    void release();

    // Posted messages: handlers by message number.
    void onMessage(unsigned msg, std::function<void(Message&)> handler);
    void postMessage(unsigned msg, std::int64_t wParam = 0, Control* control = nullptr);
    void dispatchMessage(Message& message) override;

    void resize(int width, int height);

    NotifyEvent OnCreate, OnShow, OnHide, OnDestroy, OnResize, OnActivate, OnPaint;
    CloseEvent OnClose;
    CloseQueryEvent OnCloseQuery;

protected:
    void beforeDestruction() override;
    virtual void doClose(CloseAction& action) { OnClose(this, action); }

private:
    bool menuShortCut(int key, unsigned shift);
    void collectTabOrder(const Control& parent, std::vector<Control*>& list) const;

    ComponentRef<Application> application_;
    bool created_ = false;
    bool keyPreview_ = false;
    ComponentRef<Component> menu_;
    ComponentRef<Control> activeControl_;
    bool modal_ = false;
    int modalResult_ = 0;
    CloseAction modalCloseAction_ = CloseAction::caHide;
    bool destroyed_ = false;
    std::vector<std::pair<unsigned, std::function<void(Message&)>>> messageHandlers_;
};

}  // namespace corvane::ui

namespace corvane::ui {
// The application a component belongs to: its form's, or the one that owns it.
Application* applicationOf(const Component& component);
}  // namespace corvane::ui
