// Start-up to the first figure shown. The probe starts itself again as a child that opens
// kelvo's window as kelvo does (offscreen unless QT_QPA_PLATFORM says otherwise) and
// reports the moment the result list first paints rows; the parent times each run from
// just before it starts the child to that moment, and to the child's exit.
//   kelvo_startup_probe [--runs N] [argument text, e.g. 4 for men]

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QDialog>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/figure_app.h"
#include "platform/codepage.h"
#include "platform/dialog.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_window.h"

extern char** environ;

namespace {

constexpr double kTargetMs = 500;

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Sees every event of the application: the first paint of a list view's viewport while its
// model has rows is the first figure shown. Reports it and ends the window.
class FirstFigure : public QObject {
public:
    explicit FirstFigure(int reportFd) : reportFd_(reportFd) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (done_ || event->type() != QEvent::Paint) return false;
        auto* viewport = qobject_cast<QWidget*>(watched);
        auto* view = viewport ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
        if (!view || view->viewport() != viewport || !view->model() || view->model()->rowCount() == 0)
            return false;
        done_ = true;
        // Once this paint is through: the rows are on the window's backing store.
        QTimer::singleShot(0, view, [this, view] {
            const std::int64_t shown = MonotonicNs();
            if (::write(reportFd_, &shown, sizeof shown) != sizeof shown) std::_Exit(3);
            if (auto* dialog = qobject_cast<QDialog*>(view->window())) dialog->done(kelvo::platform::kIdCancel);
        });
        return false;
    }

private:
    int reportFd_;
    bool done_ = false;
};

int RunChild(int argc, char** argv, int reportFd) {
    kelvo::platform::qt::QtApplication application(argc, argv);
    FirstFigure watch(reportFd);
    application.installEventFilter(&watch);
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
    kelvo::platform::qt::QtFrontEnd frontEnd;
    kelvo::app::FigureApp().InitInstance(frontEnd, kelvo::platform::Utf8ToAnsi(arguments));
    return 0;
}

struct Run {
    double shownMs, exitMs;
};

// Starts the child and times it; false when it failed or never showed a figure.
bool TimeOneRun(const std::vector<std::string>& passOn, Run& run) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    std::vector<std::string> args{"kelvo_startup_probe", "--child", std::to_string(fds[1])};
    args.insert(args.end(), passOn.begin(), passOn.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t child = 0;
    const std::int64_t start = MonotonicNs();
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        return false;
    }
    std::int64_t shown = 0;
    const bool reported = ::read(fds[0], &shown, sizeof shown) == sizeof shown;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::int64_t end = MonotonicNs();
    run = {static_cast<double>(shown - start) / 1e6, static_cast<double>(end - start) / 1e6};
    return reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        const int fd = std::atoi(argv[2]);
        // The child's own arguments are what follows the descriptor.
        argv[2] = argv[0];
        int childArgc = argc - 2;
        return RunChild(childArgc, argv + 2, fd);
    }

    int runs = 30;
    std::vector<std::string> passOn;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            passOn.emplace_back(argv[i]);
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    Run warm{};
    TimeOneRun(passOn, warm);  // the first run loads the libraries from disk
    std::vector<double> shown, exited;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!TimeOneRun(passOn, run)) {
            std::fprintf(stderr, "kelvo_startup_probe: run %d showed no figure\n", i + 1);
            return 1;
        }
        shown.push_back(run.shownMs);
        exited.push_back(run.exitMs);
    }
    const double median = Median(shown);
    std::printf("start-up to the first figure shown, %d runs: median %.1f ms, min %.1f, max %.1f"
                " (to exit: median %.1f ms)  target < %.0f ms: %s\n",
                runs, median, *std::min_element(shown.begin(), shown.end()),
                *std::max_element(shown.begin(), shown.end()), Median(exited), kTargetMs,
                median < kTargetMs ? "met" : "MISSED");
    return 0;
}
