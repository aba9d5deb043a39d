#include "pdfreadback.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

QByteArray run(const QString &program, const QStringList &arguments, QString &complaints)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        complaints += program + QStringLiteral(" failed. ");
    complaints += QString::fromUtf8(process.readAllStandardError());
    return process.readAllStandardOutput();
}

QString unescaped(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    return text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

} // namespace

PdfText readPdf(const QString &path)
{
    PdfText text;
    text.plain = QString::fromUtf8(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}, text.complaints));
    const QString html =
        QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")},
                              text.complaints));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        text.words.append({unescaped(m.captured(5)), QRectF(topLeft, bottomRight)});
    }
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    text.pages =
        pages.match(QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}, text.complaints))).captured(1).toInt();
    return text;
}

bool renderPng(const QString &pdfPath, int dpi)
{
    const QFileInfo info(pdfPath);
    QString complaints;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"), QString::number(dpi), pdfPath,
         info.absolutePath() + u'/' + info.completeBaseName()},
        complaints);
    return complaints.isEmpty() && QFileInfo::exists(info.absolutePath() + u'/' + info.completeBaseName() + ".png");
}

QRectF wordBox(const PdfText &text, const QString &word)
{
    for (const PdfWord &candidate : text.words) {
        if (candidate.text == word)
            return candidate.box;
    }
    return {};
}
