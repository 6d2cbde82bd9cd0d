// CDataSelPage: the console's data-selection tab. For now it lists the application's record sets,
// one line each ("No.<n> <caption> / <records>"), the marked one in bold; conditions, filters and
// the set tree with its algebra come with their own work. User-interface thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "app/shared_records.h"

class QListWidget;

class CDataSelPage : public QWidget {
    Q_OBJECT

public:
    explicit CDataSelPage(QWidget* parent = nullptr);

    // Lists the sets again, keeping the mark where its set still is.
    void RebuildSetList(const std::vector<SetRecord>& sets);
    void MarkCurrentSet(std::int32_t setNo);
    // The marked set; -1 before any was marked.
    std::int32_t CurrentSetNo() const { return currentSetNo_; }
    // The lines listed, CP932.
    std::vector<std::string> SetLines() const { return lines_; }

    QListWidget* setList() const { return list_; }

private:
    void showMark();

    std::vector<std::int32_t> numbers_;
    std::vector<std::string> lines_;
    std::int32_t currentSetNo_ = -1;
    QListWidget* list_;
};
