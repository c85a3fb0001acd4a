#include "dialog/window/window_trace.hpp"

#include <iostream>

#include "dialog/script/reports.hpp"

namespace kvx::dialog {

void WindowTrace::Printers(const std::vector<PrinterChoice> &choices, size_t chosen) const {
    if (!enabled_) return;
    Json labels = Json::array();
    for (const PrinterChoice &choice : choices) labels.push_back(choice.label);
    const Json printers{{"labels", std::move(labels)}, {"chosen", chosen}};
    std::cout << FormatJson(Json{{"printers", printers}}) << std::endl;
}

void WindowTrace::Controls(WindowRef paneWindow) const {
    if (enabled_) std::cout << MakeControlsReport(paneWindow) << std::endl;
}

void WindowTrace::Layout(GtkWidget *window, GtkWidget *pane) {
    if (!enabled_) return;
    gint x = 0;
    gint y = 0;
    const bool paneShown = pane != nullptr && gtk_widget_translate_coordinates(pane, window, 0, 0, &x, &y);
    const Placement placement{gtk_widget_get_allocated_width(window), gtk_widget_get_allocated_height(window),
                              paneShown, x, y};
    if (placement == reported_) return;
    reported_ = placement;
    const Json paneAt = paneShown ? Json::array({x, y}) : Json(nullptr);
    const Json json{{"title", gtk_window_get_title(GTK_WINDOW(window))},
                    {"width", placement.width},
                    {"height", placement.height},
                    {"pane", paneAt}};
    std::cout << FormatJson(Json{{"window", json}}) << std::endl;
}

}  // namespace kvx::dialog
