// CWorkListDlg: "作業リスト", the thin widget over WorkListModel. Each row is a step: its
// command's caption and its whole text, the arrow on the step that runs next. ステップ plays one
// step; after it the arrow and the selection move to the next row, the row just run is scrolled
// into view and the list stands above the other windows again; the last step or a stopping one
// closes it. 中止, Escape and the close box close it at once. A resize keeps both buttons at their
// distance from the lower right corner. While the list is on the screen it owns every window the
// program opens (zbq::ui::ScopedDialogOwner): the steps' dialogs, the "???" question, message
// boxes, choosers, so that each opens above the list and takes clicks while the list's own loop
// runs. Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QIcon>

#include <memory>

#include "macro/work_list_model.h"
#include "platform/ui/modal_runner.h"

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

    ~CWorkListDlg() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onStep();
    void placeControls(QSize client);

    // While the list is on the screen, the windows of the steps it plays are its own.
    std::unique_ptr<zbq::ui::ScopedDialogOwner> owning_;
    WorkListModel model_;
    WorkListRows* rows_;
    QTreeView* list_;
    QPushButton* step_;
    QPushButton* abort_;
};
