#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <unordered_map>
#include <vector>

#include "chart/linerasterizer.h"

// The pixel operations of the runs of thin line records a chart last replayed on an image
// (internal to the chart library). A run's operations depend only on its records, the mapping,
// the pen where the run starts, the clip and the image size; when all of these are unchanged a
// repaint sets the same pixels from the operations without reading the records again. A layout
// change gives another mapping or clip, so the entry no longer matches. The store may grow
// (a run may then continue past its entry); the chart clears the cache when the store is
// emptied, replaced or cut.
class TReplayCache {
public:
    struct TKey {
        qsizetype Start = 0;  // position of the run's first record
        QPoint Pen;           // the pen where the run starts
        TLineRasterizer::TMapping Mapping{};
        QRect Clip;
        QSize Image;
    };
    struct TEntry {
        TKey Key;
        qsizetype End = 0;  // position after the run's last record
        QPoint EndPen;
        std::vector<TLineRasterizer::TOp> Ops;
    };

    // Operations kept at most (a few tens of megabytes).
    static constexpr size_t kMaxOps = size_t(1) << 20;

    // The entry for key, or nullptr.
    TEntry *Find(const TKey &key);
    // Keeps the operations of a run when they fit the budget; returns whether they were kept.
    bool Keep(const TKey &key, qsizetype end, QPoint endPen,
              std::vector<TLineRasterizer::TOp> &&ops);
    // Adds to an entry the operations of the records appended after it.
    void Extend(TEntry &entry, qsizetype end, QPoint endPen,
                const std::vector<TLineRasterizer::TOp> &ops);
    void Clear();
    bool IsEmpty() const { return FEntries.empty(); }

private:
    std::unordered_map<qsizetype, TEntry> FEntries;
    size_t FOps = 0;
};
