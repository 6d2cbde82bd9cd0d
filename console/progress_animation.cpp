#include "console/progress_animation.h"

#include <QProgressBar>
#include <QTimer>

ProgressAnimation::ProgressAnimation(QProgressBar* bar, QObject* parent)
    : QObject(parent), bar_(bar), timer_(new QTimer(this)) {
    if (bar_) bar_->setRange(0, kMaximum);
    timer_->setInterval(kStepMs);
    connect(timer_, &QTimer::timeout, this, &ProgressAnimation::step);
}

int ProgressAnimation::start() {
    if (bar_) bar_->setValue(kFirstPosition);
    timer_->start();
    return 1;
}

void ProgressAnimation::stop() {
    timer_->stop();
    if (bar_) bar_->setValue(0);
}

bool ProgressAnimation::isRunning() const {
    return timer_->isActive();
}

void ProgressAnimation::step() {
    if (bar_) bar_->setValue(static_cast<int>(random_() % (kMaximum + 1)));
}
