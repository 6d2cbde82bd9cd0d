#include "console/data_sel_page.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/ui/qt_cp932.h"

CDataSelPage::CDataSelPage(QWidget* parent) : QWidget(parent), list_(new QListWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
}

void CDataSelPage::RebuildSetList(const std::vector<SetRecord>& sets) {
    list_->clear();
    numbers_.clear();
    lines_.clear();
    for (const SetRecord& set : sets) {
        // Deeper sets are indented as the tree will nest them.
        const QString indent(std::max(0, set.level) * 2, QLatin1Char(' '));
        list_->addItem(indent + zbq::ui::fromCp932(set.text2));
        numbers_.push_back(set.number);
        lines_.push_back(set.text2);
    }
    showMark();
}

void CDataSelPage::MarkCurrentSet(std::int32_t setNo) {
    currentSetNo_ = setNo;
    showMark();
}

void CDataSelPage::showMark() {
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        QFont font = item->font();
        font.setBold(numbers_[static_cast<std::size_t>(row)] == currentSetNo_);
        item->setFont(font);
    }
}
