#pragma once

#include "core/storage/arrangementhistory.h"
#include "core/model/classmodel.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>

class HistoryBook;
namespace Engine {
struct GenerationResult;
struct SolverReport;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTableWidget;
class QTextEdit;
class QVBoxLayout;
class LogBatch;
class SettingsDialog;

// The one window: it owns the class model and every widget, and each user
// command is one of its slots. The slots gather state, call the plain logic
// in model/, engine/, config/, requirements/ and export/, and show the outcome.
// Slots that belong to a subsystem are defined in that subsystem's directory.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // For tests: the state the window owns.
    ClassModel &modelForTesting() { return model; }
    const QString &currentStyleForTesting() const { return currentStyle; }

private slots:
    void addConstraint();
    void removeConstraint();
    void generateGroups();
    void exportSeatingPlan();
    void checkPersonnel();
    void checkConstraints();
    void resetAll();
    void showGroupDetails(int row, int column);
    void showSettingsDialog();
    void showAboutDialog();
    void newFile();
    void saveFile();
    void saveAs();
    void addFixedPosition();
    void clearFixedPositions();
    void updateFixedPositionTable(QTableWidget *table = nullptr);
    void checkForUpdates(bool silent = false);
    void manualUpdateCheck(bool silent);
    void manualUpdateCheck();
    void printSeatingPlan();
    void exportSeatingPlanPdf();
    void showHistoryDialog();
    void importClass();
    void exportClass();

private:
    // Construction (app/)
    void createCentralWidget();
    void connectSignals();
    void createMenus();
    void scheduleUpdateCheck();
    // The installed program's first start: the demo class, or the settings.
    void offerDemoClass();
    void useDemoClass();

    // Event log (app/)
    void logMessage(const QString &text);
    void appendLog(const QString &text);
    // A line that is never read as markup, for lines that carry names or paths.
    void appendPlainLog(const QString &text);
    void clearWorkingState();

    // Configuration (config/)
    void loadConfig();
    void initGroupConfigs();
    void loadGroupConfig();
    bool saveConfig();
    void updateNameMapping();

    // Settings dialog (settings/)
    void saveSettings(SettingsDialog &dialog);

    // Generation and results (requirements/)
    // The class's tries with fresh seeds, or the one try of `seed` alone.
    Engine::GenerationResult buildGroups(std::optional<quint32> seed, const Grouping &previous);
    // A generation: the class's tries, keeping apart the arrangement in use
    // last when the class asks for it; or a repeat of a recorded run, its
    // seed alone keeping apart what that run kept apart.
    void generateWith(const std::optional<ArrangementRecord> &repeat);
    void showSettingsNotice();
    void refreshResultTable();
    QMap<PersonId, int> buildPersonGroupMap() const;
    std::function<quint32()> seedSource; // one seed per try; empty: the platform's random device

public:
    // For tests: where each generation draws its one seed; a fixed seed
    // replays a generation exactly.
    void setSeedSourceForTesting(std::function<quint32()> source) { seedSource = std::move(source); }

private:

    // History of arrangements (requirements/)
    HistoryBook openHistory();
    // Records into `history`, opening it when the command has not yet.
    void recordGeneration(std::optional<HistoryBook> &history, quint32 seed, int avoidedRecord,
                          const Engine::SolverReport &solver);
    void restoreArrangement(int record);
    void noteExport(const QString &savePath);
    // The history record of the arrangement on show; 0 when it has none.
    int currentRecord = 0;

    // Requirements (requirements/)
    void refreshConstraintTable();
    void validateConstraints();

    // Export (export/)
    bool writeSeatTable(const QString &fileName);
    // False, after the refusal box, when there is no grouping to write.
    bool hasGroupingToSave();

    // Update check (update/)
    void offerReleasesPage(const QString &question);
    void handleUpdateReply(bool silent, QNetworkReply *reply);
    void showNewVersionDialog(const QString &tag, const QString &url, const QString &notes);

    ClassModel model;
    QString configPath;
    QString currentStyle;

    QTableWidget *resultTable = nullptr;
    QTableWidget *constraintTable = nullptr;
    QTextEdit *logView = nullptr;
    LogBatch *logBatch = nullptr; // lays out each command's lines at once
    QComboBox *constraintTypeCombo = nullptr;
    QLineEdit *constraintNameEdit = nullptr;
    QPushButton *addConstraintButton = nullptr;
    QPushButton *removeConstraintButton = nullptr;
    QPushButton *generateButton = nullptr;
    QPushButton *checkPersonnelButton = nullptr;
    QPushButton *checkConstraintsButton = nullptr;
    QPushButton *resetButton = nullptr;
    QLabel *statusLabel = nullptr;
    QMenu *fileMenu = nullptr;
    QVBoxLayout *mainLayout = nullptr;
    QNetworkAccessManager *networkManager = nullptr;
};
