#include "printer_list.hpp"

#include "json.hpp"

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
    JsonWriter json;
    json.BeginArray();
    for (const PrinterDestination &printer : printers) {
        json.BeginObject();
        json.Key("name").String(printer.name);
        json.Key("model");
        if (printer.modelName.empty()) {
            json.Null();
        } else {
            json.String(printer.modelName);
        }
        json.Key("default").Boolean(printer.isDefault);
        json.Key("pane").Boolean(printer.paneApplies);
        json.EndObject();
    }
    json.EndArray();
    return json.Text() + '\n';
}

}  // namespace kvx::dialog
