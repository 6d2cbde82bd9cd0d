// CWorkListDlg: "作業リスト", the thin widget over WorkListModel. Each row is a step: its
// command's caption and its whole text, the arrow on the step that runs next. ステップ plays one
// step; after it the arrow and the selection move to the next row, the row just run is scrolled
// into view and the list stands above the other windows again; the last step or a stopping one
// closes it. 中止, Escape and the close box close it at once. A resize keeps both buttons at their
// distance from the lower right corner. Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QIcon>

#include "macro/work_list_model.h"

class QPushButton;
class QTreeView;

// The rows as the list view reads them; a move of the arrow changes two rows.
class WorkListRows : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit WorkListRows(const WorkListModel& model, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The arrow left `from` for the current row.
    void arrowMoved(int from);

private:
    const WorkListModel& model_;
    QIcon arrow_;
    QIcon blank_;
};

class CWorkListDlg : public QDialog {
    Q_OBJECT

public:
    CWorkListDlg(CMacro& macro, int index, QWidget* parent = nullptr);

    const WorkListModel& model() const { return model_; }
    QTreeView* list() const { return list_; }
    WorkListRows* rows() const { return rows_; }
    QPushButton* stepButton() const { return step_; }
    QPushButton* abortButton() const { return abort_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onStep();
    void placeControls(QSize client);

    WorkListModel model_;
    WorkListRows* rows_;
    QTreeView* list_;
    QPushButton* step_;
    QPushButton* abort_;
};
