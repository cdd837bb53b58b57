#include "ui/SortCtrlList.h"

#include "ui/DialogTemplate.h"

#include <QHeaderView>

CSortCtrlList::CSortCtrlList(QWidget* parent) : QTreeWidget(parent)
{
    ui::ConfigureReportList(this, ui::LVS_REPORT);
}

CSortCtrlList::~CSortCtrlList() = default;

namespace ui {

void ConfigureReportList(QTreeWidget* list, unsigned style)
{
    list->setColumnCount(0);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(false);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable((style & LVS_NOSORTHEADER) == 0);
    header->setVisible((style & LVS_NOCOLUMNHEADER) == 0);
    if (style & LVS_NOSCROLL) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

} // namespace ui
