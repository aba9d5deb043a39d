// A history.json text -> its records. Text in the layout written here is read
// twice, without and with Qt's JSON classes, and both must agree.
#include "core/storage/arrangementhistory.h"
#include "core/storage/compacthistory.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<ArrangementRecord> compact, library;
    QList<QByteArrayView> spans;
    QString problem;
    if (!readCompactHistory(text, compact, &spans)) {
        ArrangementHistory::fromAnyJson(text, library, problem);
        return 0;
    }
    if (!ArrangementHistory::fromAnyJson(text, library, problem) || compact != library)
        std::abort();
    // Each record's span is that record again, and writing them back reads the same.
    for (qsizetype i = 0; i < spans.size(); ++i) {
        QList<ArrangementRecord> one;
        const QByteArray alone = "{\"arrangements\":[" + spans[i].toByteArray() + "],\"version\":1}";
        if (!readCompactHistory(alone, one) || one != QList<ArrangementRecord>{compact[i]})
            std::abort();
    }
    return 0;
}
