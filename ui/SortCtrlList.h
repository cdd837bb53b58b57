#pragma once
/// A report list that carries its owner's sort state; the owner supplies the comparison.

#include <QTreeWidget>

class CSortCtrlList : public QTreeWidget
{
public:
    explicit CSortCtrlList(QWidget* parent = nullptr);
    ~CSortCtrlList() override;

    int m_bSortAscending = 1; ///< 1 ascending, 0 descending
    int m_nSortColumn = -1;   ///< -1: no column
};

namespace ui {
/// Makes a tree widget look and act like a report list: one row per item, no root
/// decoration, whole rows selected, fixed column widths.
void ConfigureReportList(QTreeWidget* list, unsigned style);
} // namespace ui
