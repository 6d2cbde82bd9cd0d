// CBitmapPushButton: a push button with a small picture beside its caption. The pictures are
// drawn on magenta, which the button shows as transparent; the disabled look comes from the
// style, as for every other button.
#pragma once

#include <QPushButton>

namespace zbq::settings {

class CBitmapPushButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // `resource`: a picture such as ":/icons/add.xpm".
    void setBitmap(const QString& resource);
};

// A picture with its magenta pixels made transparent.
QPixmap keyedBitmap(const QString& resource);

}  // namespace zbq::settings
