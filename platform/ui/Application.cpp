#include "platform/ui/Application.h"

#include "platform/ui/Form.h"

namespace corvane::ui {

CORVANE_DEFINE_CLASS(Application, "TApplication", Component,
    p.integer("HintPause", [](const Application& a) { return a.hintPause; }, [](Application& a, int v) { a.hintPause = v; }))

Application::~Application() {
    queue_.clear();
    destroyOwned();  // forms reach the active form and the queue while they go
}

Form* Application::activeForm() const { return activeForm_.get(); }

void Application::setActiveForm(Form* form) { activeForm_ = form; }

void Application::adoptForm(Form& form) {
    form.setApplication(this);
    form.doCreate();
}

void Application::postMessage(Component& target, Message message) {
    queue_.push_back(Posted{ComponentRef<Component>(&target), std::move(message)});
}

int Application::processMessages() {
    int handled = 0;
    while (!queue_.empty()) {
        Posted next = std::move(queue_.front());
        queue_.pop_front();
        // A message to a freed component is dropped.
        if (Component* target = next.target.get()) {
            target->dispatchMessage(next.message);
            ++handled;
        }
    }
    return handled;
}

}  // namespace corvane::ui
