#pragma once

#include <QMap>
#include <QRectF>
#include <QString>

// A PDF read back with poppler's tools, independently of the toolkit that wrote it.
struct PdfText
{
    QString plain;               // pdftotext
    QMap<QString, QRectF> words; // pdftotext -bbox: first box of each word, in points
    QString complaints;          // anything the tools wrote to stderr
    int pages = 0;               // pdfinfo
};

PdfText readPdf(const QString &path);
// Renders the first page to a PNG beside the PDF (same base name).
bool renderPng(const QString &pdfPath, int dpi = 100);
