#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// Reading a PDF back with poppler's tools (pdftotext, pdfinfo, pdftoppm),
// independently of the toolkit that wrote it.
struct PdfWord
{
    QString text;
    QRectF box; // points, y downwards
};

struct PdfText
{
    QString plain;        // pdftotext's text
    QList<PdfWord> words; // pdftotext -bbox
    QString complaints;   // anything the tools wrote to stderr
    int pages = 0;
};

PdfText readPdf(const QString &path);
// Renders the first page to a PNG beside the PDF (same base name).
bool renderPng(const QString &pdfPath, int dpi = 100);

// The first word with this text; an empty box when there is none.
QRectF wordBox(const PdfText &text, const QString &word);
