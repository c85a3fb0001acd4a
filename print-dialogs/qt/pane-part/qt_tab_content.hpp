// What the Qt tab shows for one Korvane queue: the queue's pane session
// drawn by the Qt pane view, with the summary's rows underneath.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "session/tab/pane_session.hpp"
#include "session/tab/tab_toolkit.hpp"

namespace kvx::qt_print {

class QtPaneView;

class QtTabContent final : public session::TabContent {
public:
    // The widgets inside `parent`; afterAction runs after each of the
    // person's actions in the pane.
    QtTabContent(session::PaneSession &session, QWidget *parent, std::function<void()> afterAction);
    ~QtTabContent() override;
    QtTabContent(const QtTabContent &) = delete;
    QtTabContent &operator=(const QtTabContent &) = delete;

    QWidget *Widget() const { return box_; }
    void Draw(const session::SummaryRows &summary) override;

private:
    QPointer<QWidget> box_;  // gone already when the dialog deleted it first
    QWidget *summary_;
    std::unique_ptr<QtPaneView> view_;
};

}  // namespace kvx::qt_print
