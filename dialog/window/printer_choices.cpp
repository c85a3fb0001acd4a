#include "window/printer_choices.hpp"

#include <algorithm>
#include <filesystem>

#include "cli/default_locations.hpp"
#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/printers.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kSampleLabel = "Korvane RM-4750 (sample PPD)";
constexpr std::string_view kPPDFilePrefix = "PPD file ";
constexpr std::string_view kModelSeparator = " \u2014 ";

PrinterChoice MakeQueueChoice(const PrinterDestination &destination) {
    std::string label = destination.name;
    if (!destination.modelName.empty()) label += std::string(kModelSeparator) + destination.modelName;
    return PrinterChoice{label, {}, destination.name};
}

}  // namespace

PrinterChoice MakePPDFileChoice(const std::string &ppdPath) {
    return PrinterChoice{std::string(kPPDFilePrefix) + std::filesystem::path(ppdPath).filename().string(), ppdPath, {}};
}

std::vector<PrinterChoice> ListPrinterChoices(const Options &options) {
    std::vector<PrinterChoice> choices;
    try {
        for (const PrinterDestination &destination : ListPrinters()) choices.push_back(MakeQueueChoice(destination));
    } catch (const DialogError &error) {
        ReportMessage(std::string("no CUPS printers to choose from: ") + error.what());
    }
    if (options.printerQueue && std::none_of(choices.begin(), choices.end(), [&](const PrinterChoice &choice) {
            return choice.queue == *options.printerQueue;
        })) {
        choices.push_back(PrinterChoice{*options.printerQueue, {}, *options.printerQueue});
    }
    const std::string samplePPD = GetDefaultLocations().ppdPath;
    choices.push_back(PrinterChoice{std::string(kSampleLabel), samplePPD, {}});
    if (options.ppdPath != samplePPD) choices.push_back(MakePPDFileChoice(options.ppdPath));
    return choices;
}

Options OptionsForChoice(const PrinterChoice &choice, Options options) {
    if (choice.queue.empty()) {
        options.ppdPath = choice.ppdPath;
        options.printerQueue.reset();
    } else {
        options.printerQueue = choice.queue;
    }
    return options;
}

}  // namespace kvx::dialog
