#pragma once

#include <QSize>
#include <QString>

class QWidget;

// A modal report: rich text in a read-only view and "关闭" at the bottom
// right. Returns when the dialog is closed; the dialog is discarded.
struct ReportDialog
{
    QString objectName;
    QString viewObjectName;
    QString title;
    QSize size;
    QString html;
};

void showReportDialog(QWidget *parent, const ReportDialog &report);
