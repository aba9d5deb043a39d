#pragma once

#include "core/roster/rosterimport.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// The preview of a class list file: who will be imported, in the order they
// will get their numbers, and every problem by row. Accepting it changes
// nothing by itself; the settings dialog fills its editors from result().
class RosterImportDialog : public QDialog
{
    Q_OBJECT

public:
    // existingBoys and existingGirls: the editors' names, for the numbers and
    // the duplicates when the import is appended.
    RosterImportDialog(const QString &path, const TableFile &table, const QStringList &existingBoys,
                       const QStringList &existingGirls, QWidget *parent);

    const RosterImport &result() const { return m_import; }
    bool appendsToExisting() const;

private:
    QWidget *createChoiceRow();
    void chooseSheet(int index);
    void chooseGender();
    void reinterpret();
    void fillGenderChoices();
    void showImport();
    void fillPreviewTable();

    QString m_path;
    TableFile m_table;
    QStringList m_existingBoys;
    QStringList m_existingGirls;
    RosterImport m_import;
    GenderChoice m_choice;

    QLabel *m_fileLabel = nullptr;
    QComboBox *m_sheetCombo = nullptr;
    QComboBox *m_genderCombo = nullptr;
    QLabel *m_summaryLabel = nullptr;
    QTableWidget *m_previewTable = nullptr;
    QLabel *m_duplicateLabel = nullptr;
    QLabel *m_problemTitle = nullptr;
    QListWidget *m_problemList = nullptr;
    QCheckBox *m_appendCheck = nullptr;
    QCheckBox *m_hiddenCheck = nullptr;
    QPushButton *m_importButton = nullptr;
};
