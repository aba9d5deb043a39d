#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QFileDialog;
class QWidget;

// Answers the modal widgets a command opens, as a user would: waits for the
// active modal widget, records what it shows and presses a button.
// Arm it before triggering the command; the command blocks in its own event
// loop while the driver's timer acts.
class ModalDriver
{
public:
    struct Seen
    {
        QString className;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    // Answer the next message box with the given standard button.
    void answer(QMessageBox::StandardButton button);
    // Hand the next modal widget (any dialog) to a callback, which must close it.
    void handle(std::function<void(QWidget *)> callback);
    // Stops waiting for boxes that never came, so a failed test cannot have a
    // stale driver act on a later test's boxes.
    ~ModalDriver();

    const QList<Seen> &seen() const { return m_seen; }
    // The last box seen; empty when none was shown.
    Seen last() const { return m_seen.isEmpty() ? Seen() : m_seen.last(); }
    int count() const { return int(m_seen.size()); }

private:
    void arm(std::function<void(QWidget *)> callback);
    QList<Seen> m_seen;
    QList<QPointer<QTimer>> m_timers;
};

// Answers a file dialog as a user would: once it is the active window, puts
// the path into its name field and accepts. (selectFile() leaves the field
// alone while it has focus, so the dialog would return the name it proposed.)
// It runs the event loop while it waits: arm drivers for what the choice
// opens after it returns.
void chooseInFileDialog(QFileDialog *dialog, const QString &path);

// The modal widget currently active, waiting up to timeoutMs for one.
QWidget *waitForModal(int timeoutMs = 5000);
ModalDriver::Seen describe(QWidget *widget);
