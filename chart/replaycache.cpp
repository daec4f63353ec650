#include "chart/replaycache.h"

namespace {

bool SameMapping(const TLineRasterizer::TMapping &a, const TLineRasterizer::TMapping &b)
{
    return a.OriginX == b.OriginX && a.ScaleX == b.ScaleX && a.BaseX == b.BaseX &&
           a.OriginY == b.OriginY && a.ScaleY == b.ScaleY && a.BaseY == b.BaseY;
}

}  // namespace

TReplayCache::TEntry *TReplayCache::Find(const TKey &key)
{
    const auto it = FEntries.find(key.Start);
    if (it == FEntries.end())
        return nullptr;
    const TKey &k = it->second.Key;
    if (k.Pen != key.Pen || !SameMapping(k.Mapping, key.Mapping) || k.Clip != key.Clip ||
        k.Image != key.Image)
        return nullptr;
    return &it->second;
}

bool TReplayCache::Keep(const TKey &key, qsizetype end, QPoint endPen,
                        std::vector<TLineRasterizer::TOp> &&ops)
{
    const auto old = FEntries.find(key.Start);
    if (old != FEntries.end()) {
        FOps -= old->second.Ops.size();
        FEntries.erase(old);
    }
    if (FOps + ops.size() > kMaxOps)
        return false;
    FOps += ops.size();
    FEntries.emplace(key.Start, TEntry{key, end, endPen, std::move(ops)});
    return true;
}

void TReplayCache::Extend(TEntry &entry, qsizetype end, QPoint endPen,
                          const std::vector<TLineRasterizer::TOp> &ops)
{
    if (FOps + ops.size() > kMaxOps) {
        FOps -= entry.Ops.size();
        FEntries.erase(entry.Key.Start);
        return;
    }
    FOps += ops.size();
    entry.Ops.insert(entry.Ops.end(), ops.begin(), ops.end());
    entry.End = end;
    entry.EndPen = endPen;
}

void TReplayCache::Clear()
{
    FEntries.clear();
    FOps = 0;
}
