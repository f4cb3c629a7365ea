// params: every parameter name with its codes and units; needs no file.
#include <cstdio>
#include <memory>

#include "cli/ExitStatus.h"
#include "cli/ParamName.h"
#include "cli/ParamValue.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

std::string ParamsText() {
    std::string text;
    for (const ParamRef& ref : AllParams()) {
        text += FormatParamName(ref);
        if (ref.kind == ParamKind::PresetName) {
            text += "\ttext, at most 32 characters\n";
            continue;
        }
        const ParamCodes codes = CodesOfParam(ref);
        text += "\t" + std::to_string(codes.lowest) + ".." + std::to_string(codes.highest);
        const Scale scale = ScaleOfParam(ref);
        const std::string units = UnitsOfScale(scale);
        if (!units.empty()) {
            text += "\t" + FormatParamValue(scale, codes.lowest) + ".." +
                    FormatParamValue(scale, codes.highest) + "\t" + units;
        }
        text += "\n";
    }
    return text;
}

}  // namespace

void AddParamsVerb(CLI::App& app, VerbList& verbs) {
    CLI::App* command =
        app.add_subcommand("params", "List every parameter name with its codes and units");
    command->footer(
        "Tab-separated: name, codes, and where the parameter has them its value "
        "range and units.\n\nExample:\n  arvestra-cli params | grep lp.");
    verbs.push_back({command, [] {
                         std::fputs(ParamsText().c_str(), stdout);
                         return kExitSuccess;
                     }});
}

void AddAllVerbs(CLI::App& app, VerbList& verbs) {
    AddNewVerb(app, verbs);
    AddInfoVerb(app, verbs);
    AddScanVerb(app, verbs);
    AddCreateVerb(app, verbs);
    AddUploadVerb(app, verbs);
    AddDownloadVerb(app, verbs);
    AddRecallVerb(app, verbs);
    AddGetVerb(app, verbs);
    AddSetVerb(app, verbs);
    AddCopyVerb(app, verbs);
    AddExportVerb(app, verbs);
    AddImportVerb(app, verbs);
    AddResponseVerb(app, verbs);
    AddEqImportVerb(app, verbs);
    AddEqExportVerb(app, verbs);
    AddAutoEqVerb(app, verbs);
    AddParamsVerb(app, verbs);
}

}  // namespace arvestra::cli
