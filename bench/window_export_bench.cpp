// SPDX-License-Identifier: GPL-2.0-or-later
// Export through the window against the engine alone, on the same inputs in the same run.
//   QT_QPA_PLATFORM=offscreen nice build/release/bench/window_export_bench [runs] [large|small]
// or on a display (Xvfb, with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and an accessibility bus to see
// what a screen reader costs). The window's time runs from the click on Create (its save dialog
// answered at once) until the window is idle again with "Done" shown; the engine's is the one
// call the window makes. Pending writes are flushed and the previous output removed before each
// timing; window and engine take turns. Prints medians and the ratio window / engine (target 1.2).
// Exits with 1 when the target is missed.
#include "BenchInputs.h"
#include "ErrorHandler.h"
#include "FileDialogRunner.h"
#include "FileDrop.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "frmMain.h"

#include <jpeg2pdf.h>

#include <QDeadlineTimer>
#include <QFileDialog>
#include <QToolButton>
#include <QWindow>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kTarget = 1.2;

// Answers every dialog with the output path at once.
class ChooseOutput : public FileDialogRunner {
public:
    explicit ChooseOutput(std::string output) : output_(std::move(output)) { }
    QStringList Run(QFileDialog&) override { return {QString::fromStdString(output_)}; }

private:
    std::string output_;
};

double Median(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

double Timed(const std::string& output, const std::function<bool()>& run)
{
    sync();
    unlink(output.c_str());
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
        std::fprintf(stderr, "window_export_bench: an export failed\n");
        std::exit(2);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Scenario {
    const char* name;
    int files;
    int64_t bytesEach;
    JpegRecipe header;
};

bool RunScenario(const TempDir& dir, const Scenario& scenario, const std::vector<char>& noise, int runs)
{
    const std::string jpeg = MakeJpeg(scenario.header);
    DroppedPaths inputs;
    std::vector<std::string> paths;
    for (int i = 0; i < scenario.files; ++i) {
        paths.push_back(dir.File("in" + std::to_string(i) + ".jpg"));
        if (!WriteJpegOfSize(paths.back(), jpeg, noise, scenario.bytesEach, static_cast<size_t>(i))) {
            std::fprintf(stderr, "window_export_bench: cannot write %s\n", paths.back().c_str());
            std::exit(2);
        }
        inputs.paths.push_back(QByteArray::fromStdString(paths.back()));
    }
    const std::string output = dir.File("out.pdf");

    TForm1 form(std::make_shared<ChooseOutput>(output));
    form.show();
    for (QDeadlineTimer deadline(5000); !form.windowHandle()->isExposed() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    form.FilesDropped(0, inputs);
    QCoreApplication::processEvents();

    const QString done = QStringLiteral("Done, PDF saved as: ") + QString::fromStdString(output);
    auto throughWindow = [&] {
        form.btn3->click();
        QCoreApplication::processEvents();
        return form.StatusText() == done;
    };
    auto engineAlone = [&] { return jpeg2pdf::ConvertJpegListToPdf(paths, output) == jpeg2pdf::kExportSaved; };

    Timed(output, engineAlone);  // warms the page cache with every input
    std::vector<double> window, engine;
    for (int run = 0; run < runs; ++run) {
        engine.push_back(Timed(output, engineAlone));
        window.push_back(Timed(output, throughWindow));
        if (std::getenv("EXPORT_BENCH_TRACE"))
            std::fprintf(stderr, "engine %.3f s  window %.3f s\n", engine.back(), window.back());
    }
    const double ratio = Median(window) / Median(engine);
    std::printf("%-24s window %7.3f s  engine %7.3f s  window / engine %.2f (target %.1f)%s\n", scenario.name,
                Median(window), Median(engine), ratio, kTarget, ratio <= kTarget ? "" : "  MISSED");
    for (const std::string& path : paths)
        unlink(path.c_str());
    unlink(output.c_str());
    return ratio <= kTarget;
}

}  // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    LeafbindApplication app(argc, argv);
    TempDir dir;
    std::printf("platform %s; median of %d runs, warm page cache, sync before each run\n",
                qPrintable(QGuiApplication::platformName()), runs);
    const std::vector<char> noise = Noise(16 << 20);
    bool met = true;
    const std::string only = argc > 2 ? argv[2] : "";
    if (only != "small")
        met &= RunScenario(dir, {"200 JPEGs of 5 MB", 200, 5'000'000, {.width = 4000, .height = 3000}}, noise, runs);
    if (only != "large")
        met &= RunScenario(dir, {"10,000 JPEGs of 2 KB", 10'000, 2'000, {}}, noise, runs);
    return met ? 0 : 1;
}
