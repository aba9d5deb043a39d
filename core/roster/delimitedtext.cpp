#include "core/roster/delimitedtext.h"

#include <array>

namespace {

constexpr int kSampleLines = 20;
// Tab first: a tab never turns up inside a name by accident.
constexpr std::array<char16_t, 3> kSeparators = {u'\t', u',', u';'};

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

QChar detectSeparator(const QString &text)
{
    std::array<int, kSeparators.size()> lines{};
    std::array<int, kSeparators.size()> total{};
    std::array<bool, kSeparators.size()> onLine{};
    bool quoted = false;
    int lineCount = 0;
    for (qsizetype i = 0; i <= text.size() && lineCount < kSampleLines; ++i) {
        const QChar c = i < text.size() ? text.at(i) : QChar(u'\n');
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && isLineBreak(c)) {
            for (size_t k = 0; k < kSeparators.size(); ++k) {
                lines[k] += onLine[k] ? 1 : 0;
                onLine[k] = false;
            }
            ++lineCount;
        } else if (!quoted) {
            for (size_t k = 0; k < kSeparators.size(); ++k) {
                if (c == kSeparators[k]) {
                    onLine[k] = true;
                    ++total[k];
                }
            }
        }
    }
    size_t best = 0;
    for (size_t k = 1; k < kSeparators.size(); ++k) {
        if (lines[k] > lines[best] || (lines[k] == lines[best] && total[k] > total[best]))
            best = k;
    }
    return lines[best] > 0 ? QChar(kSeparators[best]) : QChar();
}

DelimitedText parseDelimitedText(const QString &text, QChar separator)
{
    DelimitedText result;
    TableRow row;
    row.number = 1;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    int quoteRow = 0;

    const auto endField = [&] {
        row.cells.append(field);
        field.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endField();
        result.rows.append(row);
        row = TableRow{row.number + 1, {}};
    };

    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"') {
                field.append(c);
            } else if (i + 1 < size && text.at(i + 1) == u'"') {
                field.append(c);
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            quoteRow = row.number;
        } else if (!separator.isNull() && c == separator) {
            endField();
        } else if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else {
            field.append(c);
        }
    }
    if (quoted) {
        result.unterminatedRow = quoteRow;
        return result;
    }
    // A final line break ends the last record; it does not start another.
    if (!field.isEmpty() || !row.cells.isEmpty() || wasQuoted)
        endRow();
    return result;
}
