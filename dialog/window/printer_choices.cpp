#include "dialog/window/printer_choices.hpp"

#include <filesystem>

#include "dialog/cli/default_locations.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kSampleLabel = "Korvane RM-4750 (sample PPD)";
constexpr std::string_view kPPDFilePrefix = "PPD file ";
constexpr std::string_view kModelSeparator = " \u2014 ";
constexpr std::string_view kAwaitingQueues = "Looking for CUPS printers\u2026";
constexpr std::string_view kNoQueues = "No CUPS printers";
constexpr std::string_view kNoQueuesBecause = "No CUPS printers: ";

PrinterChoice MakeQueueChoice(const PrinterDestination &destination) {
    std::string label = destination.name;
    if (!destination.modelName.empty()) label += std::string(kModelSeparator) + destination.modelName;
    return PrinterChoice{label, {}, destination.name, destination.paneApplies};
}

PrinterChoice MakeNote(std::string text) {
    return PrinterChoice{std::move(text), {}, {}};
}

}  // namespace

PrinterChoice MakePPDFileChoice(const std::string &ppdPath) {
    return PrinterChoice{std::string(kPPDFilePrefix) + std::filesystem::path(ppdPath).filename().string(), ppdPath, {}};
}

std::vector<PrinterChoice> InitialPrinterChoices(const Options &options) {
    std::vector<PrinterChoice> choices;
    if (options.printerQueue) choices.push_back(PrinterChoice{*options.printerQueue, {}, *options.printerQueue});
    const std::string samplePPD = GetDefaultLocations().ppdPath;
    choices.push_back(PrinterChoice{std::string(kSampleLabel), samplePPD, {}});
    if (options.ppdPath != samplePPD) choices.push_back(MakePPDFileChoice(options.ppdPath));
    choices.push_back(MakeNote(std::string(kAwaitingQueues)));
    return choices;
}

std::vector<PrinterChoice> QueueChoices(const std::vector<PrinterDestination> &printers, const std::string &failure) {
    if (!failure.empty()) return {MakeNote(std::string(kNoQueuesBecause) + failure)};
    if (printers.empty()) return {MakeNote(std::string(kNoQueues))};
    std::vector<PrinterChoice> choices;
    for (const PrinterDestination &printer : printers) choices.push_back(MakeQueueChoice(printer));
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
