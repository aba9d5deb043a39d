#pragma once

#include "core/model/classmodel.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class MainWindow;
class QTableWidget;

// A private program directory for one test: config.ini and templates live in
// a temporary directory, never in the build or source tree.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString dir() const { return m_dir.path(); }
    QString configPath() const;
    // Writes config.ini from INI text (UTF-8).
    void writeConfig(const QByteArray &iniText) const;
    QByteArray readConfig() const;
    // Copies the shipped seating-plan templates into the directory.
    void copyTemplates() const;
    // A fresh window reading this directory's config.ini.
    std::unique_ptr<MainWindow> makeWindow() const;

private:
    QTemporaryDir m_dir;
};

// Plain text of the log view, one line per paragraph.
QStringList logLines(MainWindow *window);

// A table's cells, one "a|b|c" string per row.
QStringList tableRows(QTableWidget *table);

// The demo class of examples/config.ini: its text, and the model it loads.
QByteArray demoConfigText();
ClassModel loadDemoClass();
// The demo class seated in roster order, six to a group (nine groups).
ClassModel loadDemoClassSeated();
