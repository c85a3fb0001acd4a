#include "print-dialogs/qt/pane-part/qt_tab_content.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "print-dialogs/qt/pane-view/qt_pane_view.hpp"

namespace kvx::qt_print {
namespace {

constexpr int kSummarySpacing = 4;
constexpr int kSummaryColumnSpacing = 12;

}  // namespace

QtTabContent::QtTabContent(session::PaneSession &session, QWidget *parent, std::function<void()> afterAction)
    : box_(new QWidget(parent)), summary_(new QWidget(box_)) {
    auto *layout = new QVBoxLayout(box_);
    view_ = std::make_unique<QtPaneView>(session.PaneWindow(), box_, std::move(afterAction));
    layout->addWidget(view_->Widget());
    layout->addWidget(summary_);
    layout->addStretch();
    auto *grid = new QGridLayout(summary_);
    grid->setVerticalSpacing(kSummarySpacing);
    grid->setHorizontalSpacing(kSummaryColumnSpacing);
}

// The view lets its widgets go before their box does.
QtTabContent::~QtTabContent() {
    view_.reset();
    delete box_.data();
}

void QtTabContent::Draw(const session::SummaryRows &summary) {
    view_->Redraw();
    auto *grid = static_cast<QGridLayout *>(summary_->layout());
    while (QLayoutItem *cell = grid->takeAt(0)) {
        delete cell->widget();
        delete cell;
    }
    for (int row = 0; const auto &[title, value] : summary) {
        grid->addWidget(new QLabel(QString::fromStdString(title)), row, 0);
        grid->addWidget(new QLabel(QString::fromStdString(value)), row++, 1);
    }
}

}  // namespace kvx::qt_print
