#pragma once

#include "core/model/classmodel.h"
#include "core/model/rosterupdate.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class FixedPositionEditor;
struct RosterImport;

// The "设置" dialog. Roster, group and style edits live only in its widgets
// until "保存" (saveRequested); the fixed-position tab edits the model at once.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(ClassModel &model, const QString &currentStyle, const QString &customPath,
                   std::function<void(QTableWidget *)> refillFixedTable, QWidget *parent);

    QString maleText() const;
    QString femaleText() const;
    QString leaderText() const;
    QString boarderText() const;
    // The ten records as the group grid shows them.
    QList<GroupConfig> groupConfigs() const;
    int generationTries() const;
    bool useSolver() const;
    QString selectedStyle() const;
    QString customPath() const;
    bool avoidLastGroupmates() const;
    QTableWidget *fixedPositionTable() const;
    // Everything above as one set of edits, for checking before a save.
    SettingsEdits edits() const;

signals:
    void saveRequested();

private:
    struct GroupRow
    {
        QComboBox *enabled = nullptr;
        QSpinBox *total = nullptr;
        QSpinBox *males = nullptr;
        QSpinBox *females = nullptr;
    };

    QWidget *createRosterTab(const ClassModel &model);
    QWidget *createPeopleTab(const ClassModel &model);
    QWidget *createGroupTab(const ClassModel &model);
    QWidget *createStyleTab(const QString &currentStyle, const QString &customPath);
    void linkGroupRow(const GroupRow &row);
    void showCustomRow(bool visible);
    void browseTemplate();
    void importRoster();
    void applyImport(const RosterImport &import, bool append);
    QLayout *createCheckRow();
    void connectSummary();
    void updateSummary();
    void checkSettingsNow();

    QPlainTextEdit *m_maleEdit = nullptr;
    QPlainTextEdit *m_femaleEdit = nullptr;
    QPlainTextEdit *m_leaderEdit = nullptr;
    QPlainTextEdit *m_boarderEdit = nullptr;
    QList<GroupRow> m_groupRows;
    QCheckBox *m_avoidLastGroupmates = nullptr;
    QSpinBox *m_triesSpin = nullptr;
    QCheckBox *m_solverCheck = nullptr;
    QComboBox *m_styleCombo = nullptr;
    QLabel *m_customLabel = nullptr;
    QLineEdit *m_customPathEdit = nullptr;
    QPushButton *m_browseButton = nullptr;
    FixedPositionEditor *m_fixedEditor = nullptr;
    const ClassModel &m_model;
    QLabel *m_summaryLabel = nullptr;
};
