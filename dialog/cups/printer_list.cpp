#include "dialog/cups/printer_list.hpp"

#include "dialog/script/reports.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kNoModel = "-";
constexpr std::string_view kPaneApplies = "pane";
constexpr std::string_view kNoPane = "no pane";
constexpr std::string_view kDefaultMark = "\tdefault";

}  // namespace

std::string FormatPrinterList(const std::vector<PrinterDestination> &printers) {
    std::string text;
    for (const PrinterDestination &printer : printers) {
        text += printer.name + '\t';
        text += printer.modelName.empty() ? std::string(kNoModel) : printer.modelName;
        text += '\t';
        text += printer.paneApplies ? kPaneApplies : kNoPane;
        if (printer.isDefault) text += kDefaultMark;
        text += '\n';
    }
    return text;
}

std::string FormatPrinterListJson(const std::vector<PrinterDestination> &printers) {
    Json list = Json::array();
    for (const PrinterDestination &printer : printers) {
        list.push_back(Json{{"name", printer.name},
                            {"model", printer.modelName.empty() ? Json(nullptr) : Json(printer.modelName)},
                            {"default", printer.isDefault},
                            {"pane", printer.paneApplies}});
    }
    return FormatJson(list) + '\n';
}

}  // namespace kvx::dialog
