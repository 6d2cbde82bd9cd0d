// The console's progress animation: while something long runs, the thin bar along the top of the
// console jumps to a new random position every 200 ms. It measures nothing; it shows that work
// goes on. It runs on a timer of the user-interface thread (no thread of its own), so a second
// start restarts the one animation and never adds another. User-interface thread only.
#pragma once

#include <QObject>
#include <QPointer>

#include <random>

class QProgressBar;
class QTimer;

class ProgressAnimation : public QObject {
    Q_OBJECT

public:
    static constexpr int kStepMs = 200;
    static constexpr int kMaximum = 32767;
    static constexpr int kFirstPosition = 10922;  // a third of the bar

    // Sets the bar's range to 0..kMaximum. The bar is not owned.
    ProgressAnimation(QProgressBar* bar, QObject* parent = nullptr);

    // Starts (or restarts) the animation at a third of the bar; 1.
    int start();
    // Stops it and empties the bar; harmless when it is not running.
    void stop();
    bool isRunning() const;

private:
    void step();

    QPointer<QProgressBar> bar_;
    QTimer* timer_;
    std::minstd_rand random_;
};
