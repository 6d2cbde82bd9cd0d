// CImageButton: a push button drawn by itself with an icon, an optional corner mark (a small
// triangle in the top-left corner in a colour of the caller's), an optional black frame and the
// caption. The analysis windows' pages use it.
//
// Layout, automatic until a position is fixed: with an image and a caption the image stands 4
// pixels from the left, vertically centred, and the caption is centred in the room right of it
// (8 pixels after the image); either alone is centred. A fixed coordinate of -1 means centred.
// A centred caption stands one pixel above the middle. Pushed, both move one pixel right and
// down. imageButtonLayout() is that rule as a plain function.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPoint>
#include <QPushButton>
#include <QSize>

struct ImageButtonLayoutInput {
    QSize client;
    QSize image;    // empty: no image
    QSize caption;  // empty: no caption
    bool automatic = true;
    QPoint imagePos{-1, -1};
    QPoint captionPos{-1, -1};
    bool pushed = false;
};

struct ImageButtonLayout {
    QPoint image;    // top-left corner
    QPoint caption;  // top-left corner
    bool operator==(const ImageButtonLayout&) const = default;
};

ImageButtonLayout imageButtonLayout(const ImageButtonLayoutInput& in);

class CImageButton : public QPushButton {
    Q_OBJECT

public:
    explicit CImageButton(QWidget* parent = nullptr);

    // The icon to draw at that size; 1 when there is one, else 0 (nothing is drawn).
    int SetBitmap(const QIcon& icon, int width, int height);
    // Fix a position (automatic layout off); each returns the previous one.
    QPoint SetImagePos(int x, int y);
    QPoint SetTextPos(int x, int y);
    void SetCornerMark(bool shown, const QColor& colour);
    void SetFramed(bool framed);

    // What the next painting lays out, for the current size, caption and state.
    ImageButtonLayout currentLayout() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool automatic_ = true;
    QPoint imagePos_{-1, -1};
    QPoint captionPos_{-1, -1};
    QIcon icon_;
    QSize imageSize_;
    bool cornerMark_ = false;
    QColor markColour_;
    bool framed_ = false;
};
