#include "common/pdfreadback.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

QString run(const QString &program, const QStringList &arguments, QString &complaints)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        complaints += program + QStringLiteral(" failed. ");
    complaints += QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

PdfText readPdf(const QString &path)
{
    PdfText text;
    text.plain = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}, text.complaints);
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")},
                             text.complaints);
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        if (!text.words.contains(m.captured(5)))
            text.words.insert(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                                    QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    text.pages = pages.match(run(QStringLiteral("pdfinfo"), {path}, text.complaints)).captured(1).toInt();
    return text;
}

bool renderPng(const QString &pdfPath, int dpi)
{
    const QFileInfo info(pdfPath);
    const QString base = info.absolutePath() + u'/' + info.completeBaseName();
    QString complaints;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"), QString::number(dpi), pdfPath, base},
        complaints);
    return complaints.isEmpty() && QFileInfo::exists(base + QStringLiteral(".png"));
}
