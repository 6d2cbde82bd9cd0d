// COlapListView: the list of registered category definitions, one row per definition of the
// frame's set, and its popup menu ("定義を表示", "削除", "定義のｲﾝﾎﾟｰﾄ", "定義のｴｸｽﾎﾟｰﾄ").
//
// Every change of the set ends with FillList, which also hands the set to the application. The
// menu's actions are public methods on an explicit row (-1: none selected, nothing happens);
// each records its step. A right click on a list without a selection only selects; from then on
// it selects the row under the cursor alone and opens the menu (through the chooser when a
// test set one). User-interface thread only.
#pragma once

#include <QTreeWidget>

#include <cstdint>
#include <functional>

class COlapFrm;

class COlapListView : public QTreeWidget {
    Q_OBJECT

public:
    enum Command : std::int32_t {
        kShowDefinition = 32798,
        kDelete = 32801,
        kImport = 32794,
        kExport = 32795,
    };
    // Picks a menu command at a point; 0 for none.
    using MenuChooser = std::function<std::int32_t(const QPoint&)>;

    explicit COlapListView(COlapFrm& frame, QWidget* parent = nullptr);

    void FillList();
    std::int32_t SelectedRow() const;
    void SelectRow(std::int32_t row);

    void OnShowDefinition(std::int32_t row);
    void OnDelete(std::int32_t row);
    void OnImport();
    void OnExport(std::int32_t row);
    void RunCommand(std::int32_t command);

    // The right button pressed at a point of the viewport.
    void OnRightButtonDown(const QPoint& at);
    void SetMenuChooser(MenuChooser chooser) { chooser_ = std::move(chooser); }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    COlapFrm& frame_;
    MenuChooser chooser_;
};
