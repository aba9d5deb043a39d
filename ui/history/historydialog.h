#pragma once

#include "core/storage/arrangementhistory.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTableWidget;

// "历史分组": the recorded arrangements, newest first, with the selected one
// shown read-only in the colours of the results table. The dialog only
// chooses; the window restores or generates after it closes.
class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Choice { None, Restore, Regenerate };

    HistoryDialog(const QList<ArrangementRecord> &records, QWidget *parent);

    Choice choice() const { return m_choice; }
    // The id of the chosen record.
    int chosenRecord() const { return m_chosen; }

private:
    void fillList();
    void showSelected();
    void choose(Choice choice);
    const ArrangementRecord *selected() const;

    QList<ArrangementRecord> m_records; // newest first
    QTableWidget *m_list = nullptr;
    QTableWidget *m_preview = nullptr;
    QPushButton *m_regenerateButton = nullptr;
    QPushButton *m_restoreButton = nullptr;
    Choice m_choice = Choice::None;
    int m_chosen = 0;
};
