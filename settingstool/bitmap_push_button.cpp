#include "settingstool/bitmap_push_button.h"

#include <QBitmap>
#include <QPixmap>

namespace zbq::settings {

QPixmap keyedBitmap(const QString& resource) {
    QPixmap pixmap(resource);
    if (!pixmap.isNull())
        pixmap.setMask(pixmap.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    return pixmap;
}

void CBitmapPushButton::setBitmap(const QString& resource) {
    const QPixmap pixmap = keyedBitmap(resource);
    setIcon(QIcon(pixmap));
    setIconSize(pixmap.size());
}

}  // namespace zbq::settings
