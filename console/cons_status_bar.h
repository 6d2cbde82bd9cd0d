// The console's status bar: three parts whose right edges follow the console window's width
// (the width the window was given, not the bar's own): a third, two thirds, and the rest. Part 0
// carries the status text of long operations ("読込み中", "書き込み中").
#pragma once

#include <QFrame>

#include <array>

class QLabel;

// Right edges of the three parts for a window that wide; -1 runs to the right edge.
std::array<int, 3> statusPartEdges(int windowWidth);

class CConsStatusBar : public QFrame {
    Q_OBJECT

public:
    explicit CConsStatusBar(QWidget* parent = nullptr);

    // Lays the parts out again for a console window that wide.
    void setWindowWidth(int windowWidth);
    std::array<int, 3> edges() const { return edges_; }
    void setPartText(int part, const QString& text);
    QString partText(int part) const;
    // The part's rectangle inside the bar.
    QRect partRect(int part) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutParts();

    std::array<int, 3> edges_{0, 0, -1};
    std::array<QLabel*, 3> parts_{};
};
