#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "tests/support/molap_page_snapshot.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "console/drag_item_list.h"
#include "console/molap_page.h"

namespace zbq::test {

void snapshotMolapPage(const COlap2Page& page, std::ostream& out) {
    static const char* const names[] = {"items", "X", "Y", "sum"};
    for (MolapList role : {MolapList::Items, MolapList::X, MolapList::Y, MolapList::Sum}) {
        const COlapItemList& list = *page.list(role);
        out << "molap " << names[static_cast<int>(role)] << ":";
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            const QTreeWidgetItem& item = *list.topLevelItem(row);
            out << " [" << item.data(0, Qt::UserRole).toInt() << " \""
                << item.text(0).replace(QChar('\t'), QStringLiteral("\\t")).toStdString() << "\"";
            if (role == MolapList::Sum) out << " " << item.text(1).toStdString();
            out << "]";
        }
        out << "\n";
    }
    auto checkedOf = [](auto radio, int count) {
        for (int i = 0; i < count; ++i)
            if (radio(i)->isChecked()) return i;
        return -1;
    };
    out << "molap totals: X "
        << checkedOf([&](int m) { return page.totalRadio(MolapList::X, m); }, 3) << " Y "
        << checkedOf([&](int m) { return page.totalRadio(MolapList::Y, m); }, 3) << " decimals "
        << page.decimalsCombo()->currentText().toStdString() << " execute "
        << (page.executeButton()->isEnabled() ? "enabled" : "disabled") << "\n";
    out << "molap kinds: checked "
        << checkedOf([&](int k) { return page.kindRadio(k); }, MolapSettings::kKindCount)
        << " enabled";
    for (int k = 0; k < MolapSettings::kKindCount; ++k)
        out << " " << page.kindRadio(k)->isEnabled();
    out << "\n";
}

}  // namespace zbq::test
