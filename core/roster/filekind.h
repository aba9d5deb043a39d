#pragma once

#include <QString>

// What a file given as a class list is, by its content rather than its name.
enum class ListFormat {
    Xlsx,  // Office Open XML workbook
    Xls,   // Excel 97-2003 and WPS .et (compound document)
    Ods,   // OpenDocument spreadsheet
    Text,  // or anything else that may decode as text
    Other, // something no class list is kept in: see otherKind
};

struct FileKind
{
    ListFormat format = ListFormat::Text;
    QString otherKind; // for Other: what the file is, as a refusal names it ("PDF 文档")
};

FileKind identifyListFile(const QString &path);

// The file chooser's filter for class lists: every readable type, then all files.
inline const QString kClassListFilter =
    QStringLiteral("名单文件 (*.xlsx *.xls *.et *.ods *.csv *.txt);;所有文件 (*)");
