#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <QUrl>

class MainWindow;
class QPushButton;
class QTcpSocket;
class QWidget;

// A stand-in for the release service on 127.0.0.1: answers every GET with
// one canned response, or holds the connection open without a word.
class ReleaseServer : public QObject
{
public:
    ReleaseServer();

    // The address to hand to the update check.
    QUrl url() const;

    void answer(int status, const QByteArray &body, bool withContentLength = true);
    // A JSON release description, 200 OK.
    void answerRelease(const QString &tag, const QString &pageUrl = QString(), const QString &notes = QString());
    void neverAnswer();

    int requestCount() const { return int(m_requests.size()); }
    QByteArray lastRequest() const { return m_requests.isEmpty() ? QByteArray() : m_requests.last(); }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QList<QByteArray> m_requests;
    QByteArray m_response;
    bool m_silent = false;
};

// Takes the addresses the program would open in a browser, for as long as it
// lives; nothing is ever launched.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// Points the update check at the server with short time limits, and back.
// The reply timeout stays generous so that a loaded machine never times out
// a server that does answer; tests of the timeout shorten it.
class UpdateTestSetup
{
public:
    static constexpr int kShortTimeoutMs = 300;
    explicit UpdateTestSetup(const ReleaseServer &server, int replyTimeoutMs = 4000, int startupDelayMs = 50);
    ~UpdateTestSetup();
};

// Log lines added since the first `from` lines, without their "hh:mm:ss - " stamp.
QStringList logTextsSince(MainWindow *window, int from);
// True once no check of the window has a reply or timer left.
bool checksEnded(MainWindow *window);
// For its lifetime, closes (rejects) every modal widget that shows up and
// counts them, so an unexpected box fails a test instead of blocking it.
class ModalSweeper
{
public:
    ModalSweeper();
    int count() const { return int(m_titles.size()); }
    QStringList titles() const { return m_titles; }

private:
    QTimer m_timer;
    QStringList m_titles;
};
// The push button of a dialog with this text, or null.
QPushButton *buttonWithText(QWidget *dialog, const QString &text);
