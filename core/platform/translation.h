#pragma once

class QCoreApplication;

// Loads Qt's own Chinese strings so that standard buttons read 确定/是/否 like
// the rest of the interface. Returns false (and changes nothing) when the
// translation is not installed; the program works either way.
bool installQtChineseTranslation(QCoreApplication *app);
