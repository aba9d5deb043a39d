#include "common/modaldriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

QWidget *waitForModal(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible())
            return modal;
        QTest::qWait(5);
    }
    return nullptr;
}

void chooseInFileDialog(QFileDialog *dialog, const QString &path)
{
    if (!QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); }, 5000))
        qWarning("chooseInFileDialog: the dialog never became active");
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!edit) {
        qWarning("chooseInFileDialog: the dialog has no name field");
        dialog->reject();
        return;
    }
    edit->setText(path);
    static_cast<QDialog *>(dialog)->accept();
}

ModalDriver::Seen describe(QWidget *widget)
{
    ModalDriver::Seen seen;
    if (!widget)
        return seen;
    seen.className = QString::fromLatin1(widget->metaObject()->className());
    seen.title = widget->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        seen.text = box->text();
        seen.icon = box->icon();
    }
    return seen;
}

void ModalDriver::arm(std::function<void(QWidget *)> callback)
{
    // Poll from the event loop the command is blocked in.
    auto *timer = new QTimer;
    m_timers.append(timer);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, callback] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        m_seen.append(describe(modal));
        callback(modal);
    });
    timer->start();
}

void ModalDriver::answer(QMessageBox::StandardButton button)
{
    arm([button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            qWarning("ModalDriver: expected a message box, got %s", modal->metaObject()->className());
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        QAbstractButton *target = box->button(button);
        if (!target) {
            qWarning("ModalDriver: the message box has no such button");
            box->reject();
            return;
        }
        target->click();
    });
}

void ModalDriver::handle(std::function<void(QWidget *)> callback)
{
    arm(std::move(callback));
}

ModalDriver::~ModalDriver()
{
    for (const QPointer<QTimer> &timer : std::as_const(m_timers))
        delete timer.data();
}
