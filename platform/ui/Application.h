#pragma once

// The process's application object: the posted-message queue, the forms it
// owns, the active form, the dialog service and the presenter that puts
// forms on a screen. The host creates one and hands it to the module; the
// module never keeps its own in a global.

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/ui/Component.h"

namespace corvane::ui {

class DialogService;
class Form;

// The first user message number.
constexpr unsigned WM_USER = 0x0400;

struct Message {
    unsigned msg = 0;
    std::int64_t wParam = 0;
    std::int64_t lParam = 0;
    ComponentRef<Component> control;  // the control a user message carries
};

// Shows forms on a screen (the Qt renderer); without one forms stay headless.
class FormPresenter {
public:
    virtual ~FormPresenter() = default;
    virtual void formShown(Form& form) = 0;
    virtual void formHidden(Form& form) = 0;
};

// Numbered pictures of speed buttons, from the host's picture store.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // row by row
    bool isEmpty() const { return width <= 0 || height <= 0; }
};

class PictureStore {
public:
    virtual ~PictureStore() = default;
    virtual int maxPictureId() const = 0;
    // False when the picture cannot be read.
    virtual bool loadPicture(int id, Picture& picture) const = 0;
};

class Application : public Component {
    CORVANE_COMPONENT()
public:
    Application() = default;
    ~Application() override;

    DialogService* dialogService() const { return dialogService_; }
    void setDialogService(DialogService* service) { dialogService_ = service; }
    FormPresenter* presenter() const { return presenter_; }
    void setPresenter(FormPresenter* presenter) { presenter_ = presenter; }
    const PictureStore* pictureStore() const { return pictureStore_; }
    void setPictureStore(const PictureStore* store) { pictureStore_ = store; }

    template <class T, class... Args>
    T& createForm(Args&&... args) {
        T& form = create<T>(std::forward<Args>(args)...);
        adoptForm(form);
        return form;
    }
    // Makes an existing form use this application (forms created elsewhere).
    void adoptForm(Form& form);

    Form* activeForm() const;
    void setActiveForm(Form* form);

    // Queues a message for target; it is handled by processMessages().
    void postMessage(Component& target, Message message);
    // Handles queued messages, including those posted meanwhile, until the
    // queue is empty. Returns how many were handled.
    int processMessages();
    std::size_t pendingMessages() const { return queue_.size(); }

    // Hint timing the forms set (kept, not acted on headless).
    int hintPause = 500;
    int hintHidePause = 2500;

private:
    struct Posted {
        ComponentRef<Component> target;
        Message message;
    };
    DialogService* dialogService_ = nullptr;
    FormPresenter* presenter_ = nullptr;
    const PictureStore* pictureStore_ = nullptr;
    ComponentRef<Form> activeForm_;
    std::deque<Posted> queue_;
};

}  // namespace corvane::ui
