// The program's start as far as its window showing, in a process of its own: prints the
// milliseconds from the time given (the launcher's clock just before it started this process,
// in nanoseconds since the epoch) to the dialog's first exposure, then ends.
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CSonavistApp.h"
#include "CSonavistDlg.h"
#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"

namespace {

long long NowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class ExposureWatch : public QObject {
public:
    explicit ExposureWatch(long long started) : m_Started(started) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !m_Reported) {
            m_Reported = true;
            std::printf("%.1f\n", (NowNanoseconds() - m_Started) / 1e6);
            std::fflush(stdout);
            // At once: the identification launched at start-up may still be running.
            QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    long long m_Started;
    bool m_Reported = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_probe START_NS\n");
        return 2;
    }
    const long long started = std::atoll(argv[1]);
    MidiSystem::Install(MidiBackends::CreateDefault());
    CSonavistApp app(argc, argv);
    CSonavistDlg dialog;
    ExposureWatch watch(started);
    dialog.winId();
    dialog.windowHandle()->installEventFilter(&watch);
    dialog.DoModal();
    return 0;
}
