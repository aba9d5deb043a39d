#pragma once

#include "core/rules/settingsfinding.h"

#include <QList>

class QWidget;

// The "检查设置" dialog: every finding, most severe first, each with its
// severity, its sentence and what to change. Modal; returns when closed.
void showSettingsFindings(QWidget *parent, const QList<Finding> &findings);
