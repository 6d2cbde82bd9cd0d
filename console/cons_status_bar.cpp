#include "console/cons_status_bar.h"

#include <QLabel>

#include <algorithm>

namespace {

constexpr int kMinimumHeight = 15;

}  // namespace

std::array<int, 3> statusPartEdges(int windowWidth) {
    const int third = windowWidth / 3;
    return {third, 2 * third, -1};
}

CConsStatusBar::CConsStatusBar(QWidget* parent) : QFrame(parent) {
    for (QLabel*& part : parts_) {
        part = new QLabel(this);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part->setTextFormat(Qt::PlainText);
    }
    setMinimumHeight(std::max(kMinimumHeight, parts_[0]->sizeHint().height()));
}

void CConsStatusBar::setWindowWidth(int windowWidth) {
    edges_ = statusPartEdges(windowWidth);
    layoutParts();
}

void CConsStatusBar::setPartText(int part, const QString& text) {
    if (part >= 0 && part < 3) parts_[static_cast<std::size_t>(part)]->setText(text);
}

QString CConsStatusBar::partText(int part) const {
    return part >= 0 && part < 3 ? parts_[static_cast<std::size_t>(part)]->text() : QString();
}

QRect CConsStatusBar::partRect(int part) const {
    return part >= 0 && part < 3 ? parts_[static_cast<std::size_t>(part)]->geometry() : QRect();
}

void CConsStatusBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layoutParts();
}

void CConsStatusBar::layoutParts() {
    int left = 0;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const int right = edges_[i] < 0 ? width() : std::min(edges_[i], width());
        parts_[i]->setGeometry(left, 0, std::max(0, right - left), height());
        left = std::max(left, right);
    }
}
