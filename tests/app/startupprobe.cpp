// Linked into a program beside its own main(): measures its start-up as the
// user sees it and ends it. When the first frame of the main window has been
// painted it takes the CPU time used since exec; in Quorvane's window it then
// presses "生成分组" once and waits for the repaint; finally it prints
//   cpu_ms=<CPU time to the first frame> rss_kb=<peak resident set>
//   first_frame_rss_kb=<peak resident set at the first frame>
// on one line of standard output and quits the event loop.
// QUORVANE_PROBE_DIR, when set, is the directory the window reads config.ini
// from (the one beside the executable otherwise).
#include "core/storage/appdirectory.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double microseconds(const timeval &time)
{
    return double(time.tv_sec) * 1e6 + double(time.tv_usec);
}

class StartupProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_painted && event->type() == QEvent::Paint && watched->isWidgetType()
            && qobject_cast<QMainWindow *>(static_cast<QWidget *>(watched)->window())) {
            m_painted = true;
            // Queued: the rest of the frame is painted and flushed first.
            QTimer::singleShot(0, this, [this, watched] {
                firstFrame(static_cast<QWidget *>(watched)->window());
            });
        }
        return false;
    }

private:
    void firstFrame(QWidget *window)
    {
        QCoreApplication::instance()->removeEventFilter(this);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double cpuMs = (microseconds(usage.ru_utime) + microseconds(usage.ru_stime)) / 1000.0;
        const long firstFrameRssKb = usage.ru_maxrss;
        if (auto *generate = window->findChild<QPushButton *>(QStringLiteral("generateButton")))
            generate->click();
        QTimer::singleShot(0, this, [cpuMs, firstFrameRssKb] {
            rusage after{};
            getrusage(RUSAGE_SELF, &after);
            std::printf("cpu_ms=%.2f rss_kb=%ld first_frame_rss_kb=%ld\n", cpuMs, after.ru_maxrss, firstFrameRssKb);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }

    bool m_painted = false;
};

void installProbe()
{
    const QString directory = qEnvironmentVariable("QUORVANE_PROBE_DIR");
    if (!directory.isEmpty())
        setAppDirectoryForTesting(directory);
    QCoreApplication::instance()->installEventFilter(new StartupProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
