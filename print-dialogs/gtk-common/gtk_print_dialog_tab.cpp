#include "print-dialogs/gtk-common/gtk_print_dialog_tab.hpp"

#include "print-dialogs/glib/main_loop.hpp"
#include "print-dialogs/gtk-common/gtk_tab_content.hpp"
#include "session/tab/report.hpp"

namespace kvx::gtk_print {

using session::Guarded;

namespace {

constexpr const char *kTabDataKey = "kvx-print-tab";
constexpr const char *kCupsBackendTypeName = "GtkPrintBackendCups";
constexpr gint kTabMargin = 12;

bool IsCupsPrinter(GtkPrinter *printer) {
    GtkPrintBackend *backend = printer != nullptr ? gtk_printer_get_backend(printer) : nullptr;
    return backend != nullptr && g_strcmp0(G_OBJECT_TYPE_NAME(backend), kCupsBackendTypeName) == 0;
}

}  // namespace

GtkPrintDialogTab::GtkPrintDialogTab(GtkPrintUnixDialog *dialog, session::QueueChecker &checker)
    : dialog_(dialog),
      tab_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      tabLabel_(gtk_label_new("")),
      ticker_([this] { Guarded([this] { lifecycle_.OnRunLoopTick(); }); }),
      options_(dialog,
               [this](const std::string &key, const std::optional<std::string> &choice) {
                   Guarded([&] { lifecycle_.OnOptionChanged(key, choice); });
               }),
      lifecycle_(*this, checker, PostToGLibMainLoop) {
    for (auto side : {gtk_widget_set_margin_start, gtk_widget_set_margin_end, gtk_widget_set_margin_top,
                      gtk_widget_set_margin_bottom}) {
        side(tab_, kTabMargin);
    }
    gtk_print_unix_dialog_add_custom_tab(dialog_, tab_, tabLabel_);
    gtk_widget_set_visible(tab_, FALSE);
    g_signal_connect(dialog_, "notify::selected-printer", G_CALLBACK(OnSelectedPrinterNotify), this);
    g_signal_connect(dialog_, "destroy", G_CALLBACK(OnDialogDestroy), this);
    g_signal_connect(dialog_, "hide", G_CALLBACK(OnDialogHidden), this);
    lifecycle_.OnPrinterSelected();
}

GtkPrintDialogTab::~GtkPrintDialogTab() {
    lifecycle_.Destroy();
}

GtkPrintDialogTab *GtkPrintDialogTab::Of(GtkWidget *dialog) {
    return static_cast<GtkPrintDialogTab *>(g_object_get_data(G_OBJECT(dialog), kTabDataKey));
}

void GtkPrintDialogTab::Keep(std::unique_ptr<GtkPrintDialogTab> tab) {
    GObject *dialog = G_OBJECT(tab->dialog_);
    g_object_set_data_full(dialog, kTabDataKey, tab.release(), [](gpointer data) {
        std::unique_ptr<GtkPrintDialogTab>(static_cast<GtkPrintDialogTab *>(data));
    });
}

void GtkPrintDialogTab::PaneAt(std::pair<gint, gint> position) {
    if (position != std::exchange(panePosition_, position)) {
        g_debug("pane of %s at %d,%d in the dialog", lifecycle_.SelectedQueue().c_str(), position.first,
                position.second);
    }
}

GtkPrintDialogTab::SelectedPrinter GtkPrintDialogTab::Selected() {
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
    if (!IsCupsPrinter(printer)) return {};
    return {gtk_printer_get_name(printer), gtk_printer_has_details(printer) != FALSE};
}

std::unique_ptr<session::TabContent> GtkPrintDialogTab::MakeContent(session::PaneSession &session,
                                                                    std::function<void()> afterAction) {
    auto content = std::make_unique<GtkTabContent>(session, std::move(afterAction));
    FollowPanePosition(content->Widget());
    return content;
}

void GtkPrintDialogTab::ShowInTab(session::TabContent &content, const std::string &title) {
    GtkWidget *widget = static_cast<GtkTabContent &>(content).Widget();
#if GTK_MAJOR_VERSION == 3
    gtk_container_foreach(
        GTK_CONTAINER(tab_), [](GtkWidget *child, gpointer tab) { gtk_container_remove(GTK_CONTAINER(tab), child); },
        tab_);
    gtk_box_pack_start(GTK_BOX(tab_), widget, FALSE, FALSE, 0);
#else
    while (GtkWidget *child = gtk_widget_get_first_child(tab_)) gtk_box_remove(GTK_BOX(tab_), child);
    gtk_box_append(GTK_BOX(tab_), widget);
#endif
    gtk_label_set_text(GTK_LABEL(tabLabel_), title.c_str());
    gtk_widget_set_visible(tab_, TRUE);
}

void GtkPrintDialogTab::HideTab() {
    gtk_widget_set_visible(tab_, FALSE);
}

void GtkPrintDialogTab::OnSelectedPrinterNotify(GObject *, GParamSpec *, GtkPrintDialogTab *tab) {
    Guarded([tab] { tab->lifecycle_.OnPrinterSelected(); });
}

void GtkPrintDialogTab::OnDialogHidden(GtkWidget *, GtkPrintDialogTab *tab) {
    tab->lifecycle_.OnHidden();
}

void GtkPrintDialogTab::OnDialogDestroy(GtkWidget *, GtkPrintDialogTab *tab) {
    Guarded([tab] {
        tab->destroyed_ = true;
        tab->lifecycle_.Destroy();
    });
}

}  // namespace kvx::gtk_print
