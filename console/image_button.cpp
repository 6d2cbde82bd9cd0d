#include "console/image_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

namespace {

constexpr int kLeftMargin = 4;
constexpr int kImageGap = 8;
constexpr int kCornerMarkLines = 8;

int centred(int room, int size) {
    return (room - size) / 2;
}

}  // namespace

ImageButtonLayout imageButtonLayout(const ImageButtonLayoutInput& in) {
    const bool hasImage = !in.image.isEmpty();
    const bool hasCaption = !in.caption.isEmpty();
    const int cw = in.client.width();
    const int ch = in.client.height();
    ImageButtonLayout out;

    if (in.automatic) {
        out.image = hasCaption
                        ? QPoint(kLeftMargin, centred(ch, in.image.height()))
                        : QPoint(centred(cw, in.image.width()), centred(ch, in.image.height()));
        const int captionY = centred(ch, in.caption.height()) - 1;
        if (hasImage) {
            const int room = cw - kImageGap - in.image.width() - kLeftMargin - in.caption.width();
            out.caption = QPoint(std::max(0, room) / 2 + kImageGap + in.image.width() + kLeftMargin,
                                 captionY);
        } else {
            out.caption = QPoint(centred(cw, in.caption.width()), captionY);
        }
    } else {
        out.image =
            QPoint(in.imagePos.x() == -1 ? centred(cw, in.image.width()) : in.imagePos.x(),
                   in.imagePos.y() == -1 ? centred(ch, in.image.height()) : in.imagePos.y());
        out.caption = QPoint(
            in.captionPos.x() == -1 ? centred(cw, in.caption.width()) : in.captionPos.x(),
            in.captionPos.y() == -1 ? centred(ch, in.caption.height()) - 1 : in.captionPos.y());
    }
    if (in.pushed) {
        out.image += QPoint(1, 1);
        out.caption += QPoint(1, 1);
    }
    return out;
}

CImageButton::CImageButton(QWidget* parent) : QPushButton(parent) {}

int CImageButton::SetBitmap(const QIcon& icon, int width, int height) {
    icon_ = icon;
    imageSize_ = icon.isNull() ? QSize() : QSize(width, height);
    update();
    return icon.isNull() ? 0 : 1;
}

QPoint CImageButton::SetImagePos(int x, int y) {
    const QPoint previous = imagePos_;
    imagePos_ = QPoint(x, y);
    automatic_ = false;
    update();
    return previous;
}

QPoint CImageButton::SetTextPos(int x, int y) {
    const QPoint previous = captionPos_;
    captionPos_ = QPoint(x, y);
    automatic_ = false;
    update();
    return previous;
}

void CImageButton::SetCornerMark(bool shown, const QColor& colour) {
    cornerMark_ = shown;
    markColour_ = colour;
    update();
}

void CImageButton::SetFramed(bool framed) {
    framed_ = framed;
    update();
}

ImageButtonLayout CImageButton::currentLayout() const {
    QRect client = rect();
    if (framed_) client.adjust(1, 1, -1, -1);
    ImageButtonLayoutInput in;
    in.client = client.size();
    in.image = imageSize_;
    // Measured as drawn: "&" prefixes take no room.
    in.caption = text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text());
    in.automatic = automatic_;
    in.imagePos = imagePos_;
    in.captionPos = captionPos_;
    in.pushed = isDown();
    return imageButtonLayout(in);
}

void CImageButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QRect client = rect();
    if (framed_) {
        painter.setPen(Qt::black);
        painter.drawRect(client.adjusted(0, 0, -1, -1));
        client.adjust(1, 1, -1, -1);
    }

    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = client;
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    if (cornerMark_) {
        painter.setPen(QPen(markColour_, 1));
        for (int i = 0; i < kCornerMarkLines; ++i) {
            const QPoint start = client.topLeft() + QPoint(1, 1 + i);
            painter.drawLine(start, start + QPoint(kCornerMarkLines - 1 - i, 0));
        }
    }

    const ImageButtonLayout layout = currentLayout();
    const QPoint origin = client.topLeft();
    if (!icon_.isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        painter.drawPixmap(origin + layout.image, icon_.pixmap(imageSize_, mode));
    }
    if (!text().isEmpty()) {
        const QSize size = fontMetrics().size(Qt::TextShowMnemonic, text());
        painter.drawItemText(QRect(origin + layout.caption, size), Qt::TextShowMnemonic, palette(),
                             isEnabled(), text(), QPalette::ButtonText);
    }

    if (hasFocus()) {
        const int side = std::min(client.width(), client.height());
        const int inset = side < 16 ? side / 4 : 3;
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = client.adjusted(inset, inset, -inset, -inset);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
