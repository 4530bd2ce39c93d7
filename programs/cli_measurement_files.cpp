// --format vit, vst or json: the figure as the pattern-making programs' measurement files.
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <optional>
#include <charconv>
#include <set>
#include <string>
#include <vector>

#include "programs/cli_command.h"
#include "app/figure_dialog.h"
#include "figures/group_registry.h"
#include "figures/client_measurements.h"
#include "figures/nearest_figure.h"
#include "figures/size_chart_walk.h"
#include "figures/table_check.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/headless/headless_window.h"
#include "platform/page_canvas.h"
#include "programs/cli_pdf.h"
#include "res/resource.h"
#include "res/version.h"
#include "results/export.h"
#include "results/list_text.h"
#include "tables/feature_table.h"
#include "tables/table_source.h"
#include "results/measurement_files.h"
#include "results/match_text.h"
#include "results/print_pages.h"

namespace kelvo::cli {

// The figure shown as a measurement file, to `output` or to stdout; the exit code.
int WriteMeasurements(const kelvo::app::FigureDialog& dialog, results::MeasurementFormat format,
                      const std::optional<std::string>& output) {
    std::string path;
    if (output && !CommandLinePath(*output, path)) return UnusablePath(*output);
    std::string bytes, message;
    if (!results::BuildMeasurementFile(format, dialog.ShownFigure(), dialog.Results(), bytes, message))
        return Fail(1, AnsiToUtf8(message));
    if (!output) return Emit(bytes);
    return WriteOutputFile(path, bytes, message) ? 0 : Fail(1, AnsiToUtf8(message));
}

}  // namespace kelvo::cli
