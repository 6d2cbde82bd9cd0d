#include "macro/var_cond_model.h"

#include <QFileInfo>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

std::optional<VarCondBrowse> varCondBrowse(int browseMode) {
    using zbq::ui::ChooserKind;
    const auto make = [](ChooserKind kind, const char* filter, const char* suffix) {
        VarCondBrowse b;
        b.chooser.kind = kind;
        // The file types' names in the language in force.
        b.chooser.filter = zbq::ui::shownText(QString::fromUtf8(filter));
        if (*suffix) b.chooser.start = QStringLiteral("*.") + QString::fromUtf8(suffix);
        b.defaultSuffix = QString::fromUtf8(suffix);
        return b;
    };
    switch (browseMode) {
        case 1: {
            // A CSV file is written under the name the user gives; no pattern is proposed.
            VarCondBrowse b = make(ChooserKind::SaveFile,
                                   ZBQ_SHOWN("CSVファイル(*.csv);;TEXTファイル(*.txt)"), "csv");
            b.chooser.start.clear();
            return b;
        }
        case 2:
            return make(ChooserKind::SaveFile, ZBQ_SHOWN("ZBQﾌｧｲﾙ (*.zbq)"), "zbq");
        case 3:
            return make(ChooserKind::OpenFile, ZBQ_SHOWN("Excelファイル (*.xls *.xlsx)"), "");
        case 4:
            return make(ChooserKind::OpenFile, ZBQ_SHOWN("ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)"), "ctg");
        case 5:
            return make(ChooserKind::SaveFile, ZBQ_SHOWN("ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)"), "ctg");
        default:
            return std::nullopt;
    }
}

std::optional<std::string> storedChoice(QString path, const QString& defaultSuffix) {
    if (!defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultSuffix;
    return zbq::cp932::pathToStored(path.toStdString());
}

QValidator::State VarCondValidator::validate(QString& input, int&) const {
    if (input.size() > kMaxVarCondChars) return Invalid;
    return zbq::ui::toCp932(input) ? Acceptable : Invalid;
}
