// Image cache over the resource file.
#include "diagram/QBImages.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>

// The resources live in a static library: register them explicitly before first use.
static void InitImageResources() { Q_INIT_RESOURCE(korvel); }

namespace {

QHash<QString, QPixmap>& Cache() {
    static QHash<QString, QPixmap> cache;
    return cache;
}

// Pixmaps must not outlive the application object: empty the cache when it goes.
void ClearCache() { Cache().clear(); }

}  // namespace

QPixmap QBImage(const char* name, qreal devicePixelRatio) {
    static const bool registered = (InitImageResources(), true);
    (void)registered;
    QHash<QString, QPixmap>& cache = Cache();
    if (cache.isEmpty()) qAddPostRoutine(ClearCache);
    const bool dense = devicePixelRatio > 1.0;
    const QString key = QString::fromLatin1(name) + (dense ? QStringLiteral("@2x") : QString());
    auto it = cache.find(key);
    if (it == cache.end()) {
        QPixmap pixmap(QStringLiteral(":/korvel/images/") + key + QStringLiteral(".png"));
        if (dense) pixmap.setDevicePixelRatio(2.0);
        it = cache.insert(key, pixmap);
    }
    return it.value();
}
