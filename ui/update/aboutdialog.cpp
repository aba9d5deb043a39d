// The about box: picture, version, credits, links and an update button.
#include "ui/window/mainwindow.h"

#include "core/update/aboutcontent.h"
#include "ui/common/screenfit.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTextBrowser>
#include <QTransform>
#include <QVBoxLayout>

void MainWindow::showAboutDialog()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("关于"));
    ScreenFit::resizeWithinScreen(&dialog, QSize(500, 400));
    auto *layout = new QVBoxLayout(&dialog);

    // A missing picture leaves the label empty in its place.
    auto *pictureLabel = new QLabel;
    pictureLabel->setObjectName(QStringLiteral("aboutPictureLabel"));
    QPixmap picture;
    if (picture.load(aboutImagePath())) {
        picture = picture.transformed(QTransform().rotate(270), Qt::FastTransformation)
                      .scaled(120, 300, Qt::KeepAspectRatio, Qt::FastTransformation);
        pictureLabel->setPixmap(picture);
    }

    auto *textBrowser = new QTextBrowser;
    textBrowser->setObjectName(QStringLiteral("aboutTextBrowser"));
    textBrowser->setOpenExternalLinks(true);
    textBrowser->setHtml(aboutHtml());

    auto *contentRow = new QHBoxLayout;
    contentRow->addWidget(pictureLabel);
    contentRow->addWidget(textBrowser);
    layout->addLayout(contentRow);

    auto *updateButton = new QPushButton(QStringLiteral("检查更新"));
    auto *closeButton = new QPushButton(QStringLiteral("关闭"));
    closeButton->setObjectName(QStringLiteral("aboutCloseButton"));
    closeButton->setDefault(true);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(updateButton);
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    connect(updateButton, &QPushButton::clicked, &dialog, [this, &dialog] {
        dialog.accept();
        checkForUpdates(false);
    });
    connect(closeButton, &QPushButton::clicked, &dialog, &QDialog::accept);

    dialog.exec();
}
