#include "ui/common/screenfit.h"

#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace ScreenFit {
namespace {

// Keeps one window within its screen: at every show and screen change.
class Fitter : public QObject
{
public:
    Fitter(QWidget *window, QSize minimum, QSize size)
        : QObject(window)
        , m_window(window)
        , m_minimum(minimum)
        , m_size(size)
    {
        window->installEventFilter(this);
        fit(true);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            fit(false);
            if (QWindow *handle = m_window->windowHandle(); handle && !m_connected) {
                connect(handle, &QWindow::screenChanged, this, [this] { fit(false); });
                m_connected = true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void fit(bool first)
    {
        const QSize available = availableClientSize(m_window);
        if (m_minimum.isValid())
            m_window->setMinimumSize(m_minimum.boundedTo(available));
        // A layout that needs more than the area would be squeezed: the
        // minimum never asks more than the area either.
        if (const QLayout *layout = m_window->layout(); layout && !m_minimum.isValid()) {
            const QSize needed = layout->totalMinimumSize();
            if (needed.width() > available.width() || needed.height() > available.height())
                m_window->setMinimumSize(needed.boundedTo(available));
        }
        if (first && m_size.isValid())
            m_window->resize(m_size.boundedTo(available));
        else if (m_window->width() > available.width() || m_window->height() > available.height())
            m_window->resize(m_window->size().boundedTo(available));
        if (!first && m_window->isWindow())
            moveInside();
    }

    // The frame's top-left corner inside the available area.
    void moveInside()
    {
        const QScreen *screen = m_window->screen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QRect frame = m_window->frameGeometry();
        QPoint corner = frame.topLeft();
        corner.setX(qBound(area.left(), corner.x(), qMax(area.left(), area.right() - frame.width() + 1)));
        corner.setY(qBound(area.top(), corner.y(), qMax(area.top(), area.bottom() - frame.height() + 1)));
        if (corner != frame.topLeft())
            m_window->move(corner);
    }

    QPointer<QWidget> m_window;
    QSize m_minimum;
    QSize m_size;
    bool m_connected = false;
};

} // namespace

QSize availableClientSize(const QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (!window->isVisible() || (frame.width() <= 0 && frame.height() <= 0)) {
        // Before the window system has framed the window: a title bar and borders.
        const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
        frame = QSize(2 * border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
    }
    return screen->availableGeometry().size() - frame;
}

void limitMinimumSize(QWidget *window, QSize minimum)
{
    new Fitter(window, minimum, QSize());
}

void resizeWithinScreen(QWidget *window, QSize size)
{
    new Fitter(window, QSize(), size);
}

} // namespace ScreenFit
