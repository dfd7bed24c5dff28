#include "run_options.h"

namespace tolvane::run {

const char* const kUsage =
    "usage: tolvane-run --save-at DEST [--date-copy] [--compress] [--read-only]\n"
    "                   [--stamp Y M D h m s] [--] [TARGET...]\n"
    "       tolvane-run --settings DIR [options as above] [--] [TARGET...]\n"
    "Performs one copy run of the TARGETs to DEST and exits.\n"
    "  --settings DIR  load DIR/Tolvane.Ini and the list in DIR/Tolvane.dat as the\n"
    "                program does at start-up (a missing list file is created and\n"
    "                ends the program); options given override single values and\n"
    "                TARGETs given replace the list\n"
    "  --date-copy   copy into a day folder YYYYMMDD under DEST\n"
    "  --compress    archive earlier day folders after the run\n"
    "  --read-only   mark copied files read-only\n"
    "  --stamp ...   give copied files this local date-time\n"
    "Each message is printed followed by a line \"--\" and answered with its first\n"
    "button; a run that returns prints \"CAPTION: \" and the window caption.\n"
    "Exit status: 0 run returned, 10 program ended, 11 ended immediately,\n"
    "12 ended on a termination signal before the next file, 2 bad arguments.\n";

std::optional<RunOptions> parseArguments(const std::vector<std::string>& arguments,
                                         std::string& error) {
    RunOptions options;
    bool haveSaveAt = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= arguments.size()) {
                error = std::string(option) + " needs a value";
                return nullptr;
            }
            return &arguments[++i];
        };
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            options.targets.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--save-at") {
            const std::string* text = value("--save-at");
            if (text == nullptr) {
                return std::nullopt;
            }
            options.saveAt = *text;
            haveSaveAt = true;
        } else if (argument == "--settings") {
            const std::string* text = value("--settings");
            if (text == nullptr) {
                return std::nullopt;
            }
            options.settingsFolder = *text;
        } else if (argument == "--date-copy") {
            options.dateCopy = true;
        } else if (argument == "--compress") {
            options.compress = true;
        } else if (argument == "--read-only") {
            options.readOnly = true;
        } else if (argument == "--stamp") {
            if (i + 6 >= arguments.size()) {
                error = "--stamp needs six values: Y M D h m s";
                return std::nullopt;
            }
            std::array<std::string, 6> fields;
            for (auto& field : fields) {
                field = arguments[++i];
            }
            options.stamp = fields;
        } else {
            error = "unknown option " + argument;
            return std::nullopt;
        }
    }
    options.saveAtGiven = haveSaveAt;
    if (!haveSaveAt && !options.settingsFolder) {
        error = "--save-at or --settings is required";
        return std::nullopt;
    }
    return options;
}

} // namespace tolvane::run
