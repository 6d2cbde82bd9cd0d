// COlap2Page: the console's "多次元集計" tab. The item list and the X, Y and aggregation lists
// (drag item lists), the three copy buttons, the total radios of each axis, the five kind
// radios of the current aggregation row, the decimals combo, "実行" and "クリア". The controls
// only show the page's model, MolapSettings; the user's choices and the macro players change
// it. "実行" hands the ten parameters to the main frame, which opens the aggregation window;
// the page records nothing of its own: the window's build writes the settings it was given.
//
// The date menu (right click on an axis row of a Date item) and the unit menu (right click on a
// 合計 or 平均 aggregation row, with the unit dialog) go through a chooser that tests replace.
// Refusals are message boxes "ZEBRINE" with the exclamation icon. User-interface thread only.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

#include "console/molap_settings.h"

class CKWApp;
class COlapItemList;
class QComboBox;
class QMenu;
class QPushButton;
class QRadioButton;

class COlap2Page : public QWidget {
    Q_OBJECT

public:
    // Menu entries of the date menu and the unit menu.
    enum MenuId : std::int32_t {
        kMenuNoGrouping = 32850,
        kMenuYearMonth = 32851,
        kMenuYear = 32852,
        kMenuMonth = 32853,
        kMenuDay = 32854,
        kMenuUnitSet = 32855,
        kMenuUnitClear = 32856,
        kMenuQuarter = 32857,
        kMenuHalf = 32858,
    };
    // Shows the menu (226 date, 227 unit) and returns the id chosen, 0 for none.
    using MenuChooser = std::function<std::int32_t(QMenu& menu, std::int32_t menuNumber)>;

    explicit COlap2Page(CKWApp& app, QWidget* parent = nullptr);

    MolapSettings& settings() { return settings_; }
    const MolapSettings& settings() const { return settings_; }
    void setMenuChooser(MenuChooser chooser) { chooser_ = std::move(chooser); }

    // --- The application's and the players' calls ---
    void FillItemList();
    void ResetLists();
    void EnableExecute(bool enable);
    // "実行": the checks, then the aggregation window through the main frame.
    void OnExecute();
    // "クリア".
    void OnClear();
    // The controls show the model again (after a player set it).
    void sync();

    // --- The user's actions, as the controls call them ---
    void OnCopyTo(MolapList target);
    void OnKind(std::int32_t kind);
    void OnContextMenu(MolapList list);

    COlapItemList* list(MolapList list) const { return lists_[static_cast<std::size_t>(list)]; }
    QPushButton* copyButton(MolapList target) const;
    // Axis X or Y, mode 0 to 2.
    QRadioButton* totalRadio(MolapList axis, std::int32_t mode) const;
    QRadioButton* kindRadio(std::int32_t kind) const {
        return kinds_[static_cast<std::size_t>(kind)];
    }
    QComboBox* decimalsCombo() const { return decimals_; }
    QPushButton* executeButton() const { return execute_; }
    QPushButton* clearButton() const { return clear_; }

private:
    void connectList(COlapItemList* list);
    void showRefusal(const char* message);
    void syncRadios();
    std::int32_t choose(QMenu& menu, std::int32_t menuNumber);
    void dateMenu(MolapList list, int row);
    void unitMenu(int row);

    CKWApp& app_;
    MolapSettings settings_;
    bool updating_ = false;
    MenuChooser chooser_;
    std::array<COlapItemList*, 4> lists_{};
    QPushButton* toX_;
    QPushButton* toY_;
    QPushButton* toSum_;
    std::array<QRadioButton*, 3> xTotals_{};
    std::array<QRadioButton*, 3> yTotals_{};
    std::array<QRadioButton*, MolapSettings::kKindCount> kinds_{};
    QComboBox* decimals_;
    QPushButton* execute_;
    QPushButton* clear_;
};
