#include "core/roster/filekind.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/package.h"

#include <QFile>

#include <array>

namespace {

struct Signature
{
    const char *bytes;
    int size;
    const char *kind;
};

// Files a teacher may pick by mistake, told by their first bytes.
constexpr std::array<Signature, 8> kSignatures = {{
    {"%PDF", 4, "PDF 文档"},
    {"\x89PNG", 4, "PNG 图片"},
    {"\xFF\xD8\xFF", 3, "JPEG 图片"},
    {"GIF8", 4, "GIF 图片"},
    {"Rar!", 4, "RAR 压缩包"},
    {"7z\xBC\xAF", 4, "7z 压缩包"},
    {"{\\rtf", 5, "RTF 文档"},
    {"MZ", 2, "程序文件"},
}};

QString zipKind(const QString &path, ListFormat &format)
{
    try {
        const Xlsx::Package package(path);
        if (package.contains(QStringLiteral("mimetype"))) {
            const QByteArray mime = package.read(QStringLiteral("mimetype")).trimmed();
            if (mime == "application/vnd.oasis.opendocument.spreadsheet") {
                format = ListFormat::Ods;
                return QString();
            }
            if (mime.startsWith("application/vnd.oasis.opendocument.text"))
                return QStringLiteral("OpenDocument 文本文档（.odt）");
            if (mime.startsWith("application/vnd.oasis.opendocument.presentation"))
                return QStringLiteral("OpenDocument 演示文稿（.odp）");
        }
        if (package.contains(QStringLiteral("word/document.xml")))
            return QStringLiteral("Word 文档（.docx）");
        if (package.contains(QStringLiteral("ppt/presentation.xml")))
            return QStringLiteral("PowerPoint 演示文稿（.pptx）");
        if (!package.contains(QStringLiteral("xl/workbook.xml")) && !package.contains(QStringLiteral("[Content_Types].xml")))
            return QStringLiteral("ZIP 压缩包");
    } catch (const Automation::Error &) {
        // A damaged archive: the workbook reader says so.
    }
    format = ListFormat::Xlsx;
    return QString();
}

// Office 97-2003 files share one container; the directory names the content.
QString compoundKind(const QByteArray &bytes)
{
    const auto holds = [&bytes](const char *name) {
        QByteArray wide;
        for (const char *c = name; *c; ++c)
            wide.append(*c).append('\0');
        return bytes.contains(wide);
    };
    if (holds("Workbook") || holds("Book"))
        return QString();
    if (holds("WordDocument"))
        return QStringLiteral("Word 97-2003 文档（.doc）");
    if (holds("PowerPoint Document"))
        return QStringLiteral("PowerPoint 97-2003 演示文稿（.ppt）");
    return QString();
}

} // namespace

FileKind identifyListFile(const QString &path)
{
    FileKind kind;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return kind;
    const QByteArray head = file.peek(4096);
    if (head.startsWith("PK\x03\x04")) {
        file.close();
        kind.otherKind = zipKind(path, kind.format);
        if (!kind.otherKind.isEmpty())
            kind.format = ListFormat::Other;
        return kind;
    }
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        // A class list of this kind is small; the directory may lie anywhere in it.
        kind.otherKind = compoundKind(file.read(8 * 1024 * 1024));
        kind.format = kind.otherKind.isEmpty() ? ListFormat::Xls : ListFormat::Other;
        return kind;
    }
    for (const Signature &signature : kSignatures) {
        if (head.startsWith(QByteArray(signature.bytes, signature.size))) {
            kind.format = ListFormat::Other;
            kind.otherKind = QString::fromUtf8(signature.kind);
            return kind;
        }
    }
    // School systems often save a web page or an Excel 2003 XML table under .xls.
    const QByteArray lower = head.toLower();
    if (lower.contains("urn:schemas-microsoft-com:office:spreadsheet")) {
        kind.format = ListFormat::Other;
        kind.otherKind = QStringLiteral("Excel 2003 XML 表格");
    } else if (lower.contains("<html") || lower.contains("<!doctype html") || lower.contains("<table")) {
        kind.format = ListFormat::Other;
        kind.otherKind = QStringLiteral("网页（HTML）文件");
    }
    return kind;
}
