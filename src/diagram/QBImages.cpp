// Image cache over the resource file.
#include "diagram/QBImages.h"

#include <QHash>
#include <QString>

// The resources live in a static library: register them explicitly before first use.
static void InitImageResources() { Q_INIT_RESOURCE(korvel); }

const QPixmap& QBImage(const char* name, qreal devicePixelRatio) {
    static QHash<QString, QPixmap> cache;
    static const bool registered = (InitImageResources(), true);
    (void)registered;
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
