// COlapPage: the console's cross-tab axis page ("ﾘｱﾙﾀｲﾑOLAP"), which lives without a tab: the
// macro steps set its controls and run its display. Along the top the X, Y and Z items, the X
// and Y categories with their level controls (0 to 3, one position per page step), the two
// check buttons, the aggregate kind and, for kind 7, the percentage with its spin; below, the
// category frame COlapFrm. The controls only show the page's model, OlapAxisSettings; the
// user's choices go to it and it records them. The category combos refill as they open.
//
// The category frame (COlapFrm: the category list over the category editor) stands below the
// controls, from 114 pixels at 96 dots per inch. User-interface thread only.
#pragma once

#include <QComboBox>
#include <QWidget>

#include <functional>
#include <memory>

#include "console/olap_axis.h"

class CKWApp;
class COlapFrm;
class CategoryClassDialogs;
class ClassDialogsForEditor;
class CUpDownEdit;
class QCheckBox;
class QPushButton;
class QSlider;
class QToolButton;

// A combo that asks to be refilled each time it drops down.
class RefillingCombo : public QComboBox {
    Q_OBJECT

public:
    explicit RefillingCombo(std::function<void()> refill, QWidget* parent = nullptr)
        : QComboBox(parent), refill_(std::move(refill)) {}
    void showPopup() override;

private:
    std::function<void()> refill_;
};

class COlapPage : public QWidget {
    Q_OBJECT

public:
    using Axis = OlapAxisSettings::Axis;

    // The page opens the category editor's class dialogs for as long as it lives.
    explicit COlapPage(CKWApp& app, QWidget* parent = nullptr);
    ~COlapPage() override;

    OlapAxisSettings& settings() { return settings_; }
    const OlapAxisSettings& settings() const { return settings_; }
    COlapFrm* frame() const { return frame_; }

    // --- The application's calls ---
    void FillItemCombos();
    void ClearCategoryCombos();
    // The screen reset: the fresh page with the data set's items.
    void ResetPage();
    // The category combo of an axis refilled for its item (the drop-down and the players).
    void FillCategoryCombo(Axis axis);
    // "OLAP表示": the checks, the block, the cross-tab window through the main frame.
    void OnOlapDisplay();
    // The controls show the model again (after a player set it).
    void sync();

    QComboBox* itemCombo(Axis axis) const { return axis == Axis::X ? xItem_ : yItem_; }
    QComboBox* categoryCombo(Axis axis) const { return axis == Axis::X ? xCateg_ : yCateg_; }
    QComboBox* zCombo() const { return zItem_; }
    QComboBox* kindCombo() const { return kind_; }
    QCheckBox* checkBox(Axis axis) const { return axis == Axis::X ? xCheck_ : yCheck_; }
    QSlider* levelSlider(Axis axis) const { return axis == Axis::X ? xLevel_ : yLevel_; }
    CUpDownEdit* percentEdit() const { return percent_; }
    QToolButton* spinButton(bool up) const { return up ? spinUp_ : spinDown_; }
    QPushButton* displayButton() const { return display_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildAxis(Axis axis);
    void syncCombo(QComboBox& combo, const OlapAxisSettings::Combo& model);

    CKWApp& app_;
    OlapAxisSettings settings_;
    bool updating_ = false;
    QPushButton* display_;
    QCheckBox* xCheck_;
    QCheckBox* yCheck_;
    QComboBox* xItem_;
    QComboBox* yItem_;
    RefillingCombo* xCateg_;
    RefillingCombo* yCateg_;
    QSlider* xLevel_;
    QSlider* yLevel_;
    QComboBox* zItem_;
    QComboBox* kind_;
    CUpDownEdit* percent_;
    QToolButton* spinUp_;
    QToolButton* spinDown_;
    COlapFrm* frame_;
    std::unique_ptr<ClassDialogsForEditor> classDialogs_;
    CategoryClassDialogs* previousDialogs_ = nullptr;
};
