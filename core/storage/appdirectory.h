#pragma once

#include <QString>

// Where Quorvane keeps its files; nothing else computes these paths.
//
// Portable use: config.ini already stands beside the executable, or the
// executable's directory is the user's to write to. Everything then stays
// beside the executable: config.ini, the templates, the plans of "保存".
//
// Installed use: the executable sits in <prefix>/bin of an installed tree
// (<prefix>/share/quorvane exists), or its directory is not writable. Then
// config.ini lives in the user's configuration folder, the templates come from
// the installed data folder unless the user's data folder holds one of the
// same name, and "保存" writes into a folder under the user's documents.
// An installed tree counts as installed even for a user who could write to it
// (root under /usr, a home-directory prefix), so nothing lands in bin/.

// The name of the per-user folders (~/.config/Quorvane, ~/.local/share/Quorvane).
inline const QString kApplicationName = QStringLiteral("Quorvane");
// The folder under the documents folder that "保存" writes into when installed.
inline const QString kPlanFolderName = QStringLiteral("座位表");

// The directory that holds the executable. Tests point it at a temporary
// directory so that no test touches another's files or the build tree.
QString appDirectory();
void setAppDirectoryForTesting(const QString &directory);

enum class DataMode { Portable, Installed };
DataMode dataMode();

// Absolute path of config.ini (its folder may not exist yet; the first write
// creates it).
QString configFilePath();

// Where the two built-in templates are looked for: the first directory, then
// the fallback (the installed data folder, else the executable's directory).
QString templateDirectory();
QString fallbackTemplateDirectory();

// Where "保存" writes; in installed use created by the caller on demand.
QString saveDirectory();
// Where the save dialogs of "另存为" and "新建座位表" start: empty for the
// toolkit's default (portable use), else the save folder or, until it exists,
// the documents folder.
QString saveDialogDirectory();
// Where the other file dialogs start ("浏览..." for a custom template, the
// PDF export): beside the executable in portable use, else as above.
QString fileDialogDirectory();

// The demo class the installed program ships (<prefix>/share/quorvane/examples/config.ini);
// empty when there is none.
QString demoClassPath();
// A first start of the installed program: no config.ini yet, and a demo class to offer.
bool isFirstRun();
