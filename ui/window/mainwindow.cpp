#include "ui/window/mainwindow.h"

#include "ui/window/appicon.h"
#include "ui/window/logbatch.h"
#include "ui/common/screenfit.h"
#include "core/storage/appdirectory.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/storage/historybook.h"
#include "core/update/updateendpoint.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &text, const char *objectName)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

QGroupBox *boxAround(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowIcon(appIcon());
    setWindowTitle(QStringLiteral("Quorvane"));
    // The specified minimum, or the screen's available area where that is smaller.
    ScreenFit::limitMinimumSize(this, QSize(1004, 753));

    createCentralWidget();
    // Asked before anything writes config.ini, shown once the window is.
    if (isFirstRun())
        QTimer::singleShot(0, this, &MainWindow::offerDemoClass);
    const LogBatch::Scope startUpLines(logBatch);
    loadConfig();
    initGroupConfigs();
    loadGroupConfig();
    refreshConstraintTable();
    connectSignals();
    createMenus();
    networkManager = new QNetworkAccessManager(this);
    scheduleUpdateCheck();
    appendLog(QStringLiteral("系统初始化完成"));
    // Installed, the class data is not where a portable user would look.
    if (dataMode() == DataMode::Installed)
        appendPlainLog(QStringLiteral("配置文件: %1").arg(QDir::toNativeSeparators(configPath)));
    // A damaged history is set aside now, so the log tells at once.
    openHistory();
}

MainWindow::~MainWindow()
{
    // Nothing else reports a failed write at shutdown: the window is going away.
    if (!saveConfig())
        qWarning("Quorvane: could not write %s", qPrintable(configPath));
}

void MainWindow::createCentralWidget()
{
    auto *central = new QWidget(this);
    mainLayout = new QVBoxLayout(central);

    resultTable = new QTableWidget(0, 7);
    resultTable->setObjectName(QStringLiteral("resultTable"));
    resultTable->setHorizontalHeaderLabels({QStringLiteral("组号"), QStringLiteral("成员1"),
                                            QStringLiteral("成员2"), QStringLiteral("成员3"),
                                            QStringLiteral("成员4"), QStringLiteral("成员5"),
                                            QStringLiteral("成员6")});
    resultTable->verticalHeader()->setVisible(false);
    resultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab moves on to the next field instead of from cell to cell.
    resultTable->setTabKeyNavigation(false);
    resultTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    logView = new QTextEdit;
    logView->setObjectName(QStringLiteral("logView"));
    logView->setReadOnly(true);
    logView->setTabChangesFocus(true);
    // Read-only: nothing can be undone, so no undo history grows with the log.
    logView->document()->setUndoRedoEnabled(false);
    logBatch = new LogBatch(logView);

    auto *topRow = new QHBoxLayout;
    topRow->addWidget(boxAround(QStringLiteral("分组结果"), resultTable), 2);
    topRow->addWidget(boxAround(QStringLiteral("系统日志"), logView), 1);
    mainLayout->addLayout(topRow, 0);

    generateButton = makeButton(QStringLiteral("生成分组"), "generateButton");
    checkPersonnelButton = makeButton(QStringLiteral("人员检查"), "checkPersonnelButton");
    checkConstraintsButton = makeButton(QStringLiteral("要求检查"), "checkConstraintsButton");
    resetButton = makeButton(QStringLiteral("重置"), "resetButton");
    auto *buttonRow = new QHBoxLayout;
    for (QPushButton *button : {generateButton, checkPersonnelButton, checkConstraintsButton, resetButton})
        buttonRow->addWidget(button, 0);
    mainLayout->addLayout(buttonRow, 0);

    constraintTypeCombo = new QComboBox;
    constraintTypeCombo->setObjectName(QStringLiteral("constraintTypeCombo"));
    constraintTypeCombo->addItem(constraintKindText(ConstraintKind::MustTogether));
    constraintTypeCombo->addItem(constraintKindText(ConstraintKind::MustSeparate));
    constraintNameEdit = new QLineEdit;
    constraintNameEdit->setObjectName(QStringLiteral("constraintNameEdit"));
    addConstraintButton = makeButton(QStringLiteral("添加要求"), "addConstraintButton");
    removeConstraintButton = makeButton(QStringLiteral("移除选中"), "removeConstraintButton");

    constraintTable = new QTableWidget(0, 3);
    constraintTable->setObjectName(QStringLiteral("constraintTable"));
    constraintTable->setHorizontalHeaderLabels(
        {QStringLiteral("类型"), QStringLiteral("人员列表"), QStringLiteral("状态")});
    constraintTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    constraintTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    constraintTable->setTabKeyNavigation(false);
    constraintTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    constraintTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    constraintTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    auto *constraintBox = new QGroupBox(QStringLiteral("要求条件管理"));
    auto *grid = new QGridLayout(constraintBox);
    grid->addWidget(new QLabel(QStringLiteral("要求类型:")), 0, 0);
    grid->addWidget(constraintTypeCombo, 0, 1);
    grid->addWidget(addConstraintButton, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("姓名(多个用空格分隔):")), 1, 0);
    grid->addWidget(constraintNameEdit, 1, 1);
    grid->addWidget(removeConstraintButton, 1, 2);
    grid->addWidget(constraintTable, 2, 0, 1, 3);
    mainLayout->addWidget(constraintBox, 0);

    setCentralWidget(central);

    statusLabel = new QLabel(QStringLiteral("就绪"));
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusBar()->addWidget(statusLabel, 0);
}

void MainWindow::connectSignals()
{
    connect(addConstraintButton, &QPushButton::clicked, this, &MainWindow::addConstraint);
    connect(removeConstraintButton, &QPushButton::clicked, this, &MainWindow::removeConstraint);
    connect(generateButton, &QPushButton::clicked, this, &MainWindow::generateGroups);
    connect(checkPersonnelButton, &QPushButton::clicked, this, &MainWindow::checkPersonnel);
    connect(checkConstraintsButton, &QPushButton::clicked, this, &MainWindow::checkConstraints);
    connect(resetButton, &QPushButton::clicked, this, &MainWindow::resetAll);
    connect(resultTable, &QTableWidget::cellClicked, this, &MainWindow::showGroupDetails);
}

void MainWindow::createMenus()
{
    auto *bar = new QMenuBar(this);
    auto addAction = [this](QWidget *container, const QString &text, const char *objectName) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(objectName));
        container->addAction(action);
        return action;
    };

    fileMenu = bar->addMenu(QStringLiteral("文件"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    QAction *newAction = addAction(fileMenu, QStringLiteral("新建座位表"), "newFileAction");
    QAction *saveAction = addAction(fileMenu, QStringLiteral("保存"), "saveAction");
    QAction *saveAsAction = addAction(fileMenu, QStringLiteral("另存为"), "saveAsAction");
    QAction *printAction = addAction(fileMenu, QStringLiteral("打印..."), "printAction");
    QAction *exportPdfAction = addAction(fileMenu, QStringLiteral("导出PDF..."), "exportPdfAction");
    QAction *historyAction = addAction(fileMenu, QStringLiteral("历史分组..."), "historyAction");
    QAction *importClassAction = addAction(fileMenu, QStringLiteral("导入班级..."), "importClassAction");
    QAction *exportClassAction = addAction(fileMenu, QStringLiteral("导出班级..."), "exportClassAction");
    fileMenu->addSeparator();
    QAction *exitAction = addAction(fileMenu, QStringLiteral("退出"), "exitAction");

    QAction *settingsAction = addAction(bar, QStringLiteral("设置"), "settingsAction");

    QMenu *helpMenu = bar->addMenu(QStringLiteral("帮助"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction *updateAction = addAction(helpMenu, QStringLiteral("检查更新"), "checkUpdateAction");
    helpMenu->addSeparator();
    QAction *aboutAction = addAction(helpMenu, QStringLiteral("关于"), "aboutAction");

    connect(newAction, &QAction::triggered, this, &MainWindow::newFile);
    connect(saveAction, &QAction::triggered, this, &MainWindow::saveFile);
    connect(saveAsAction, &QAction::triggered, this, &MainWindow::saveAs);
    connect(printAction, &QAction::triggered, this, &MainWindow::printSeatingPlan);
    connect(exportPdfAction, &QAction::triggered, this, &MainWindow::exportSeatingPlanPdf);
    connect(historyAction, &QAction::triggered, this, &MainWindow::showHistoryDialog);
    connect(importClassAction, &QAction::triggered, this, &MainWindow::importClass);
    connect(exportClassAction, &QAction::triggered, this, &MainWindow::exportClass);
    connect(exitAction, &QAction::triggered, this, &MainWindow::close);
    connect(settingsAction, &QAction::triggered, this, &MainWindow::showSettingsDialog);
    connect(updateAction, &QAction::triggered, this, [this] { checkForUpdates(false); });
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAboutDialog);

    setMenuBar(bar);
}

void MainWindow::scheduleUpdateCheck()
{
    const QDate today = currentDateTime().date();
    if (!ConfigStore::isUpdateCheckDue(ConfigStore::readLastUpdateCheck(configPath), today))
        return;
    QTimer::singleShot(UpdateEndpoint::startupDelayMs(), this, [this] { checkForUpdates(true); });
    ConfigStore::writeLastUpdateCheck(configPath, today);
}
