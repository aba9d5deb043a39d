#include "updatetesting.h"

#include "ui/window/mainwindow.h"
#include "common/testenvironment.h"
#include "core/update/updateendpoint.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QNetworkReply>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

ReleaseServer::ReleaseServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
    });
}

QUrl ReleaseServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/repos/quorvane-classroom/quorvane-desk/releases/latest")
                    .arg(m_server.serverPort()));
}

void ReleaseServer::answer(int status, const QByteArray &body, bool withContentLength)
{
    m_silent = false;
    m_response = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error")
        + "\r\nContent-Type: application/json\r\nConnection: close\r\n";
    if (withContentLength)
        m_response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    m_response += "\r\n" + body;
}

void ReleaseServer::answerRelease(const QString &tag, const QString &pageUrl, const QString &notes)
{
    const QJsonObject release{{QStringLiteral("tag_name"), tag},
                              {QStringLiteral("html_url"), pageUrl},
                              {QStringLiteral("body"), notes}};
    answer(200, QJsonDocument(release).toJson(QJsonDocument::Compact));
}

void ReleaseServer::neverAnswer()
{
    m_silent = true;
}

void ReleaseServer::serve(QTcpSocket *socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n") || socket->property("served").toBool())
        return;
    socket->setProperty("served", true);
    m_requests.append(head);
    if (m_silent)
        return;
    socket->write(m_response);
    socket->disconnectFromHost();
}

namespace {
const char *const kSchemes[] = {"https", "http", ""};
}

UrlCatcher::UrlCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

UrlCatcher::~UrlCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

UpdateTestSetup::UpdateTestSetup(const ReleaseServer &server, int replyTimeoutMs, int startupDelayMs)
{
    UpdateEndpoint::setLatestReleaseApiUrlForTesting(server.url());
    UpdateEndpoint::setTimeLimitsForTesting(replyTimeoutMs, startupDelayMs);
}

UpdateTestSetup::~UpdateTestSetup()
{
    UpdateEndpoint::setLatestReleaseApiUrlForTesting(QUrl());
    UpdateEndpoint::setTimeLimitsForTesting(0, 0);
}

QStringList logTextsSince(MainWindow *window, int from)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d - "));
    QStringList texts = logLines(window).mid(from);
    for (QString &text : texts)
        text.remove(stamp);
    return texts;
}

bool checksEnded(MainWindow *window)
{
    return window->findChildren<QNetworkReply *>().isEmpty()
        && window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly).isEmpty();
}

ModalSweeper::ModalSweeper()
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_titles << dialog->windowTitle();
        dialog->reject();
    });
    m_timer.start();
}

QPushButton *buttonWithText(QWidget *dialog, const QString &text)
{
    const QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}
