#pragma once

#include "core/model/classmodel.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QSpinBox;
class QTableWidget;

// The "固定位置" tab. It edits the window's fixedPositions in place, so every
// change holds whether the settings dialog is saved or cancelled.
class FixedPositionEditor : public QWidget
{
    Q_OBJECT

public:
    // refillTable fills the given table from the model's fixed positions.
    FixedPositionEditor(ClassModel &model, std::function<void(QTableWidget *)> refillTable,
                        QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }

private slots:
    void addPosition();
    void removeSelected();
    void clearAll();

private:
    ClassModel &m_model;
    std::function<void(QTableWidget *)> m_refillTable;
    QLineEdit *m_nameEdit = nullptr;
    QSpinBox *m_groupSpin = nullptr;
    QSpinBox *m_seatSpin = nullptr;
    QTableWidget *m_table = nullptr;
};
