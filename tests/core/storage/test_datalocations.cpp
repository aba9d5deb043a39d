// Where config.ini, the templates and saved plans live, portable and
// installed, with the user's folders in a temporary home.
#include "common/modaldriver.h"
#include "common/testenvironment.h"

#include "ui/window/mainwindow.h"
#include "core/storage/appdirectory.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/workbook/seatplanexport.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestDataLocations : public QObject
{
    Q_OBJECT

public slots:
    void openFile(const QUrl &url) { m_opened.append(url); }

private slots:
    void init();
    void cleanup();

    void locations_data();
    void locations();
    void userTemplateHidesTheInstalledOne();
    void installedWindowUsesTheUsersFolders();

private:
    // <root>/prefix/bin with <root>/prefix/share/quorvane/templates.
    QString makeInstalledTree(bool withTemplates = false) const;
    QString expand(QString text) const;

    std::unique_ptr<QTemporaryDir> m_root;
    QList<QUrl> m_opened;
};

namespace {
const char *const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
QByteArray g_saved[3];

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}
} // namespace

void TestDataLocations::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    for (int i = 0; i < 3; ++i)
        g_saved[i] = qgetenv(kVariables[i]);
    qputenv("HOME", QFile::encodeName(m_root->filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root->filePath(QStringLiteral("xdg-config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->filePath(QStringLiteral("xdg-data"))));
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
    setClockForTesting([] { return QDateTime(QDate(2025, 10, 8), QTime(9, 5, 3)); });
}

void TestDataLocations::cleanup()
{
    setClockForTesting(nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    setAppDirectoryForTesting(QString());
    for (int i = 0; i < 3; ++i)
        qputenv(kVariables[i], g_saved[i]);
    QFile::setPermissions(m_root->filePath(QStringLiteral("readonly")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_root.reset();
}

QString TestDataLocations::makeInstalledTree(bool withTemplates) const
{
    const QString prefix = m_root->filePath(QStringLiteral("prefix"));
    QDir().mkpath(prefix + QStringLiteral("/bin"));
    QDir().mkpath(prefix + QStringLiteral("/share/quorvane/templates"));
    if (withTemplates) {
        for (const QString &name : {SeatPlan::kStyle1File, SeatPlan::kStyle2File})
            QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/") + name,
                        prefix + QStringLiteral("/share/quorvane/templates/") + name);
    }
    return prefix + QStringLiteral("/bin");
}

QString TestDataLocations::expand(QString text) const
{
    return text.replace(QStringLiteral("@root"), m_root->path());
}

void TestDataLocations::locations_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("templates");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("save");
    QTest::addColumn<QString>("saveDialog");

    const QString installedTemplates = QStringLiteral("@root/prefix/share/quorvane/templates");
    QTest::newRow("build directory") << "build" << false << "@root/build/config.ini" << "@root/build"
                                     << "@root/build" << "@root/build" << "";
    QTest::newRow("installed tree") << "installed" << true << "@root/xdg-config/Quorvane/config.ini"
                                    << "@root/xdg-data/Quorvane/templates" << installedTemplates
                                    << "@root/home/Documents/座位表" << "@root/home/Documents";
    QTest::newRow("installed tree with config.ini beside") << "installed+config" << false
                                                           << "@root/prefix/bin/config.ini" << "@root/prefix/bin"
                                                           << installedTemplates << "@root/prefix/bin" << "";
    QTest::newRow("read-only folder") << "readonly" << true << "@root/xdg-config/Quorvane/config.ini"
                                      << "@root/xdg-data/Quorvane/templates" << "@root/readonly"
                                      << "@root/home/Documents/座位表" << "@root/home/Documents";
}

void TestDataLocations::locations()
{
    QFETCH(QString, layout);
    QFETCH(bool, installed);

    QString program = m_root->filePath(layout);
    if (layout.startsWith(QStringLiteral("installed")))
        program = makeInstalledTree();
    else
        QDir().mkpath(program);
    if (layout.endsWith(QStringLiteral("+config")))
        touch(program + QStringLiteral("/config.ini"));
    if (layout == QStringLiteral("readonly")) {
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(program).isWritable())
            QSKIP("a read-only folder is still writable for this user (root)");
    }
    setAppDirectoryForTesting(program);

    QCOMPARE(dataMode() == DataMode::Installed, installed);
    QFETCH(QString, config);
    QFETCH(QString, templates);
    QFETCH(QString, fallback);
    QFETCH(QString, save);
    QFETCH(QString, saveDialog);
    QCOMPARE(configFilePath(), expand(config));
    QCOMPARE(templateDirectory(), expand(templates));
    QCOMPARE(fallbackTemplateDirectory(), expand(fallback));
    QCOMPARE(saveDirectory(), expand(save));
    QCOMPARE(saveDialogDirectory(), expand(saveDialog));
    QCOMPARE(fileDialogDirectory(), installed ? expand(saveDialog) : program);
}

void TestDataLocations::userTemplateHidesTheInstalledOne()
{
    setAppDirectoryForTesting(makeInstalledTree(true));
    const QString installed = fallbackTemplateDirectory() + u'/' + SeatPlan::kStyle2File;
    QCOMPARE(SeatPlan::chooseTemplate(QStringLiteral("样式2"), configFilePath(), templateDirectory(),
                                      fallbackTemplateDirectory())
                 .path,
             installed);

    const QString own = templateDirectory() + u'/' + SeatPlan::kStyle2File;
    touch(own);
    QCOMPARE(SeatPlan::chooseTemplate(QStringLiteral("样式2"), configFilePath(), templateDirectory(),
                                      fallbackTemplateDirectory())
                 .path,
             own);
}

void TestDataLocations::installedWindowUsesTheUsersFolders()
{
    const QString program = makeInstalledTree(true);
    setAppDirectoryForTesting(program);
    const QString config = m_root->filePath(QStringLiteral("xdg-config/Quorvane/config.ini"));
    touch(config);
    QFile demo(config);
    QVERIFY(demo.open(QIODevice::WriteOnly));
    demo.write(demoConfigText());
    demo.close();

    auto window = std::make_unique<MainWindow>();
    QCOMPARE(logLines(window.get()).first(), QStringLiteral("加载了 24 名男生和 30 名女生"));
    QCOMPARE(logLines(window.get()).last(), QStringLiteral("配置文件: ") + QDir::toNativeSeparators(config));

    window->setSeedSourceForTesting([] { return 7u; });
    QMetaObject::invokeMethod(window.get(), "generateGroups");
    window->findChild<QAction *>(QStringLiteral("saveAction"))->trigger();
    const QString saved = m_root->filePath(QStringLiteral("home/Documents/座位表/20251008_090503_座位表.xlsx"));
    QVERIFY(QFile::exists(saved));
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(saved)});
    QCOMPARE(logLines(window.get()).last(), QStringLiteral("09:05:03 - 座位表已保存到: ") + saved);

    // "另存为" starts in the folder "保存" writes into.
    QString startedIn;
    ModalDriver driver;
    driver.handle([&startedIn](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            startedIn = dialog->directory().absolutePath();
        modal->close();
    });
    window->findChild<QAction *>(QStringLiteral("saveAsAction"))->trigger();
    QCOMPARE(startedIn, QFileInfo(saved).absolutePath());

    window.reset();
    QVERIFY(QSettings(config, QSettings::IniFormat).contains(QStringLiteral("GroupConfig_0/total")));
    QCOMPARE(QDir(program).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_MAIN(TestDataLocations)
#include "test_datalocations.moc"
