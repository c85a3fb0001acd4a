// The pane as Qt widgets, drawn from the print session's presenter
// (session/controls/pane_presenter.hpp): one widget per control, placed
// where the plug-in laid it out. The widgets only show the presenter's
// state and hand it the person's input; every widget is redrawn from the
// model afterwards.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "Carbon.h"
#include "session/controls/pane_presenter.hpp"

class QKeyEvent;

namespace kvx::qt_print {

class QtPaneView final : public QObject {
public:
    // Builds a widget for each control embedded in the window, inside
    // `parent`. afterAction runs after each user action that reached the host.
    QtPaneView(WindowRef window, QWidget *parent, std::function<void()> afterAction);
    ~QtPaneView() override;
    QtPaneView(const QtPaneView &) = delete;
    QtPaneView &operator=(const QtPaneView &) = delete;

    // The pane's widget, sized as the window's content.
    QWidget *Widget() const { return pane_; }

    // Sets every widget's value, text, selection and enabled state from the
    // model; the widgets' own signals are ignored meanwhile.
    void Redraw();

private:
    struct ControlView {
        size_t index;  // into the presenter's controls
        session::ControlKind kind;
        QWidget *widget;
    };

    bool eventFilter(QObject *watched, QEvent *event) override;
    void Connect(const ControlView &view);
    const ControlView *ViewOf(QObject *widget) const;
    bool OnFieldKey(const ControlView &view, const QKeyEvent &key);
    void OnFieldSelectionMoved(const ControlView &view);

    session::PanePresenter presenter_;
    QWidget *pane_;  // owned by its parent, deleted with this view
    std::function<void()> afterAction_;
    std::vector<ControlView> views_;
    bool redrawing_ = false;
};

}  // namespace kvx::qt_print
