// The update check: ask the release service, compare, and offer the download.
#include "ui/window/mainwindow.h"

#include "core/update/releasecheck.h"
#include "core/update/releaseinfo.h"
#include "core/update/updateendpoint.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Set on a reply whose body grew past kMaxReleaseReplyBytes and was cut off.
constexpr char kOversizedProperty[] = "quorvaneOversized";

} // namespace

void MainWindow::checkForUpdates(bool silent)
{
    if (!silent)
        logMessage(QStringLiteral("正在检查更新..."));

    QNetworkRequest request(UpdateEndpoint::latestReleaseApiUrl());
    request.setHeader(QNetworkRequest::UserAgentHeader, ReleaseInfo::kUserAgent);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    QNetworkReply *reply = networkManager->get(request);

    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->start(UpdateEndpoint::replyTimeoutMs());

    // Aborting makes the reply finish with a cancelled-operation error, so
    // the completion below makes the one offer; the timeout makes none.
    connect(timer, &QTimer::timeout, this, [timer, reply] {
        timer->deleteLater();
        if (reply->isRunning())
            reply->abort();
    });

    // Stop a runaway body early instead of buffering all of it. The abort is
    // queued so that it never runs inside the reply's own signal.
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64 total) {
        if (received <= kMaxReleaseReplyBytes && total <= kMaxReleaseReplyBytes)
            return;
        if (reply->property(kOversizedProperty).toBool())
            return;
        reply->setProperty(kOversizedProperty, true);
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    });

    connect(reply, &QNetworkReply::finished, this, [this, silent, reply, timer] {
        timer->stop();
        timer->deleteLater();
        if (reply->error() == QNetworkReply::NoError || reply->property(kOversizedProperty).toBool()) {
            handleUpdateReply(silent, reply);
        } else {
            manualUpdateCheck(silent);
            reply->deleteLater();
        }
    });
}

void MainWindow::handleUpdateReply(bool silent, QNetworkReply *reply)
{
    std::optional<LatestRelease> release;
    const bool oversized =
        reply->property(kOversizedProperty).toBool() || reply->bytesAvailable() > kMaxReleaseReplyBytes;
    if (oversized) {
        qDebug().noquote() << "GitHub API Response:" << "(body larger than" << kMaxReleaseReplyBytes
                           << "bytes, not read)";
    } else {
        const QByteArray body = reply->readAll();
        qDebug().noquote() << "GitHub API Response:" << QString::fromUtf8(body);
        release = parseLatestRelease(body);
    }

    if (!release) {
        const QString message = QStringLiteral("无法解析更新信息，可能是API限制或仓库不存在");
        logMessage(QStringLiteral("检查更新失败"));
        if (!silent)
            QMessageBox::warning(this, QStringLiteral("检查更新"), message);
        qDebug().noquote() << "Update check failed:" << message;
        const QString rest = oversized ? QStringLiteral("(not read)") : QString::fromUtf8(reply->readAll());
        qDebug().noquote() << "Response:" << rest;
        reply->deleteLater();
        return;
    }

    if (isNewerRelease(release->tag, ReleaseInfo::kCurrentVersion)) {
        showNewVersionDialog(normalizedReleaseTag(release->tag), release->pageUrl, release->notes);
    } else {
        logMessage(QStringLiteral("当前已是最新版本"));
        if (!silent)
            QMessageBox::information(this, QStringLiteral("检查更新"), QStringLiteral("当前已是最新版本！"));
    }
    reply->deleteLater();
}

void MainWindow::manualUpdateCheck(bool silent)
{
    if (!silent)
        offerReleasesPage(QStringLiteral("是否要打开项目页面手动检查更新？"));
}

void MainWindow::offerReleasesPage(const QString &question)
{
    const QString text = QStringLiteral("当前版本: %1\n\n%2").arg(ReleaseInfo::kCurrentVersion, question);
    if (QMessageBox::information(this, QStringLiteral("检查更新"), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes) {
        QDesktopServices::openUrl(QUrl(ReleaseInfo::kReleasesPageUrl));
        logMessage(QStringLiteral("已打开更新页面"));
    } else {
        logMessage(QStringLiteral("取消检查更新"));
    }
}

void MainWindow::showNewVersionDialog(const QString &tag, const QString &url, const QString &notes)
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("发现新版本"));
    dialog.setMinimumWidth(500);
    auto *layout = new QVBoxLayout(&dialog);

    // The tag comes from the network: it is shown as text, never as markup.
    auto *versionLabel = new QLabel(
        QStringLiteral("发现新版本: <b>%1</b><br>当前版本: %2").arg(tag.toHtmlEscaped(), ReleaseInfo::kCurrentVersion));
    versionLabel->setTextFormat(Qt::RichText);
    layout->addWidget(versionLabel);

    if (!notes.isEmpty()) {
        layout->addWidget(new QLabel(QStringLiteral("更新说明:")));
        auto *notesView = new QTextEdit;
        notesView->setReadOnly(true);
        notesView->setTabChangesFocus(true);
        notesView->setPlainText(notes);
        notesView->setMaximumHeight(150);
        layout->addWidget(notesView);
    }

    auto *downloadButton = new QPushButton(QStringLiteral("前往下载"));
    auto *laterButton = new QPushButton(QStringLiteral("稍后提醒"));
    auto *ignoreButton = new QPushButton(QStringLiteral("忽略此版本"));
    downloadButton->setDefault(true);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(downloadButton);
    buttonRow->addWidget(laterButton);
    buttonRow->addWidget(ignoreButton);
    layout->addLayout(buttonRow);

    connect(downloadButton, &QPushButton::clicked, &dialog, [&dialog, url] {
        QDesktopServices::openUrl(QUrl(url));
        dialog.accept();
    });
    connect(laterButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    connect(ignoreButton, &QPushButton::clicked, &dialog, &QDialog::reject);

    // The answer is not kept: a later check offers the same release again.
    dialog.exec();
}
