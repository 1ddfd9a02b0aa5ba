// The last good recommendation list with its icons and previews, kept for starts without network.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

struct SavedPromotions
{
    QByteArray list;                    // the promotions.xml body
    QHash<QString, QByteArray> pictures; // picture address -> image bytes
};

namespace PromotionCache {

// The list and its pictures together stay within this many bytes; pictures beyond are not kept.
constexpr qint64 MaxBytes = 5 * 1024 * 1024;

// The saved list; its list is empty when the file is missing, oversized or broken.
SavedPromotions load(const QString &path);
// Writes list and pictures atomically; false (old file intact) when it cannot be written.
bool save(const QString &path, const SavedPromotions &saved);

} // namespace PromotionCache
