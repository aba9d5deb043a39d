#include "common/zipfixture.h"

#include <zip.h>

bool writeZip(const QString &path, const ZipEntries &entries)
{
    int error = 0;
    zip_t *archive = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, data] : entries) {
        zip_source_t *source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

ZipEntries readZip(const QString &path)
{
    ZipEntries entries;
    int error = 0;
    zip_t *archive = zip_open(path.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file) {
            zip_fread(file, data.data(), stat.size);
            zip_fclose(file);
        }
        entries.append({QString::fromUtf8(stat.name), data});
    }
    zip_discard(archive);
    return entries;
}

QByteArray zipEntry(const ZipEntries &entries, const QString &name)
{
    for (const auto &[entryName, data] : entries) {
        if (entryName == name)
            return data;
    }
    return {};
}

ZipEntries workbookParts(const QList<FixtureSheet> &sheets, const QByteArray &sharedStrings, const QByteArray &styles,
                         bool calcChain)
{
    const QByteArray declaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray relType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QByteArray contentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.";

    QByteArray types = declaration + R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/xl/workbook.xml" ContentType=")" + contentType + R"(sheet.main+xml"/>)";
    QByteArray workbook = declaration + "<workbook xmlns=\"" + main
        + R"(" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
    QByteArray rels = declaration + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    ZipEntries parts;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        const FixtureSheet &sheet = sheets.at(i);
        const QByteArray folder = sheet.relationship == "worksheet" ? "worksheets" : "chartsheets";
        const QByteArray root = sheet.relationship == "worksheet" ? "worksheet" : "chartsheet";
        types += "<Override PartName=\"/xl/" + folder + "/sheet" + n + ".xml\" ContentType=\"" + contentType
            + (root == "worksheet" ? "worksheet+xml" : "chartsheet+xml") + "\"/>";
        workbook += "<sheet name=\"" + sheet.name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + relType + sheet.relationship + "\" Target=\"" + folder
            + "/sheet" + n + ".xml\"/>";
        parts.append({QStringLiteral("xl/%1/sheet%2.xml").arg(QString::fromLatin1(folder)).arg(i + 1),
                      declaration + "<" + root + " xmlns=\"" + main + "\">" + sheet.body + "</" + root + ">"});
    }
    workbook += "</sheets></workbook>";
    auto addPart = [&](const QByteArray &kind, const QByteArray &file, const QByteArray &xml) {
        types += "<Override PartName=\"/xl/" + file + "\" ContentType=\"" + contentType + kind + "+xml\"/>";
        rels += "<Relationship Id=\"rId" + kind + "\" Type=\"" + relType + kind + "\" Target=\"" + file + "\"/>";
        parts.append({QString::fromLatin1("xl/" + file), declaration + xml});
    };
    if (!sharedStrings.isEmpty())
        addPart("sharedStrings", "sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + sharedStrings + "</sst>");
    if (!styles.isEmpty())
        addPart("styles", "styles.xml", "<styleSheet xmlns=\"" + main + "\">" + styles + "</styleSheet>");
    if (calcChain)
        addPart("calcChain", "calcChain.xml", "<calcChain xmlns=\"" + main + "\"><c r=\"A1\" i=\"1\"/></calcChain>");
    types += "</Types>";
    rels += "</Relationships>";

    ZipEntries entries{{QStringLiteral("[Content_Types].xml"), types},
                       {QStringLiteral("_rels/.rels"),
                        declaration + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                            R"(<Relationship Id="rId1" Type=")" + relType + R"(officeDocument" Target="xl/workbook.xml"/>)"
                            "</Relationships>"},
                       {QStringLiteral("xl/workbook.xml"), workbook},
                       {QStringLiteral("xl/_rels/workbook.xml.rels"), rels},
                       {QStringLiteral("docProps/app.xml"), declaration + "<Properties/>"}};
    return entries + parts;
}
