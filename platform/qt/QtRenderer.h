#pragma once

// Mirrors forms of the component model into Qt 6 Widgets and feeds what a
// person does back into the model: keys go through the form's routing,
// clicks and typing through the controls' own operations, focus changes
// through the form (a refused exit puts the focus back). The model stays
// the truth; widgets follow its changes through the observer interface.
//
// Kinds are told apart by the class-name chain and reached through the
// model's own members, so forms made inside the program module render the
// same as forms made in the host.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

class QAction;
class QEventLoop;
class QMenu;
class QMenuBar;
class QWidget;

namespace corvane::ui {
class MenuItem;
class Menu;
}  // namespace corvane::ui

namespace corvane::qt {

class QtRenderer : public QObject, public ui::FormPresenter, public ui::ComponentObserver {
    Q_OBJECT
public:
    // Becomes the application's presenter (and leaves it on destruction,
    // when the application is still there).
    explicit QtRenderer(ui::Application& application);
    ~QtRenderer() override;

    void formShown(ui::Form& form) override;
    void formHidden(ui::Form& form) override;
    void componentChanged(ui::Component& component) override;
    void structureChanged(ui::Component& component) override;
    void componentDestroyed(ui::Component& component) override;

    // The top-level window of a form (built on first show); null if none.
    QWidget* windowOf(const ui::Form& form) const;
    // The widget mirroring a control, or the action mirroring a menu item.
    QWidget* widgetOf(const ui::Component& component) const;
    QAction* actionOf(const ui::Component& item) const;
    // The Qt menu of a popup menu or of a menu item with sub-items.
    QMenu* menuOf(const ui::Component& menu) const;
    // Saves the form's window as a PNG file; false when it cannot.
    bool saveScreenshot(const ui::Form& form, const QString& path);
    // Runs a shown form modally until its modal run may end.
    int runModal(ui::Form& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FormView {
        ui::ComponentRef<ui::Form> form;
        QPointer<QWidget> window;
        QPointer<QWidget> client;
        QPointer<QMenuBar> menuBar;
        const ui::Component* builtMenu = nullptr;  // the main menu the menu bar shows
        QEventLoop* modalLoop = nullptr;
    };

    FormView* viewOf(const ui::Form& form);
    FormView* viewOfWindow(const QWidget* window);
    void build(ui::Form& form);
    QWidget* createWidget(ui::Control& control, QWidget* parent);
    void buildChildren(ui::Control& control, QWidget* container);
    void observe(ui::Component& component);
    void observeTree(ui::Component& root);
    void apply(ui::Component& component);
    void applyCommon(ui::Control& control, QWidget& widget);
    void applyForm(ui::Form& form);
    void applyToolButton(ui::Control& button);
    void applyMenuItem(ui::MenuItem& item);
    void rebuildToolBar(ui::Control& bar);
    void rebuildPages(ui::Control& pages);
    void rebuildStatusBar(ui::Control& bar);
    void rebuildMenuBar(FormView& view);
    void fillMenu(QMenu& menu, ui::MenuItem& parent);
    QMenu* popupMenuFor(ui::Component* popup, QWidget* parent);
    // Runs a handler of user input: the silent abort ends it quietly, other
    // errors are shown; posted messages are drained afterwards.
    void guarded(const std::function<void()>& handler);
    void scheduleModalCheck(ui::Form& form);
    void onFocusChanged(QWidget* old, QWidget* now);
    ui::Control* controlOf(const QWidget* widget) const;

    ui::ComponentRef<ui::Application> app_;  // may go before the renderer
    std::vector<std::unique_ptr<FormView>> forms_;
    std::unordered_map<const ui::Component*, QPointer<QWidget>> widgets_;
    std::unordered_map<const QWidget*, ui::Component*> controls_;
    std::unordered_map<const ui::Component*, QPointer<QAction>> actions_;
    std::unordered_map<const ui::Component*, QPointer<QMenu>> menus_;
    std::vector<ui::ComponentRef<ui::Component>> observed_;
    int syncing_ = 0;  // model-to-widget updates in progress: widget signals are not user input
};

}  // namespace corvane::qt
