// The main window's filter tree and the rebuild of its device list: the four categories with their
// counted groups, re-selection by text after every rebuild, and the active filter.
#include "app/DeviceListView.h"
#include "app/FilterGroups.h"
#include "app/MainForm.h"
#include "inventory/SessionState.h"
#include "windows/DisplayText.h"

#include <QAction>
#include <QStandardItemModel>
#include <QTreeView>

namespace orvelle {

namespace {

// Where a filter node keeps its record's fields.
enum TFilterNodeRole : int {
    fnIsCategory = Qt::UserRole + 1,
    fnText,
    fnKind,
    fnValue,
    fnGroupCount,
};

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// FilterTreeGetText and FilterTreePaintText: a group shows its count after its text, a category is
// bold.
QStandardItem* NewFilterNode(const TFilterNodeData& node) {
    QString text = CodePageToQString(node.Text);
    if (!node.IsCategory)
        text += QStringLiteral(" (%1)").arg(node.GroupCount);
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(node.IsCategory, fnIsCategory);
    item->setData(Bytes(node.Text), fnText);
    item->setData(node.Kind, fnKind);
    item->setData(Bytes(node.Value), fnValue);
    item->setData(node.GroupCount, fnGroupCount);
    if (node.IsCategory) {
        QFont bold;
        bold.setBold(true);
        item->setFont(bold);
    }
    return item;
}

} // namespace

void TMainForm::BuildDeviceList() {
    FDeviceTree->BuildDeviceList(TDeviceFilter(FFilterKind, FFilterValue, Session->HideInactive));
}

void TMainForm::BuildFilterTree() {
    const QModelIndexList selected = FFilterTree->selectionModel()->selectedIndexes();
    const bool hadSelection = !selected.isEmpty();
    const QByteArray remembered = hadSelection ? selected.first().data(fnText).toByteArray() : QByteArray();

    // Removing the nodes is no selection change: the active filter stays as it is.
    FRebuildingFilterTree = true;
    FFilterModel->clear();
    FRebuildingFilterTree = false;

    const auto groups = BuildGroups(Session->DeviceList(), Session->HideInactive);
    for (std::size_t category = 0; category < FilterCategories.size(); ++category) {
        QStandardItem* categoryNode =
            NewFilterNode({true, FilterCategories[category].Text, fkNone, std::string(), 0});
        for (const TFilterNodeData& group : groups[category])
            categoryNode->appendRow(NewFilterNode(group));
        FFilterModel->appendRow(categoryNode);
    }
    FFilterTree->expandAll();

    if (!hadSelection)
        return;
    // The first node in display order with the remembered text, whichever category it is in.
    for (int row = 0; row < FFilterModel->rowCount(); ++row) {
        const QModelIndex category = FFilterModel->index(row, 0);
        QModelIndex match;
        if (category.data(fnText).toByteArray() == remembered)
            match = category;
        for (int child = 0; !match.isValid() && child < FFilterModel->rowCount(category); ++child) {
            const QModelIndex group = FFilterModel->index(child, 0, category);
            if (group.data(fnText).toByteArray() == remembered)
                match = group;
        }
        if (match.isValid()) {
            FFilterTree->selectionModel()->setCurrentIndex(match, QItemSelectionModel::ClearAndSelect);
            return;
        }
    }
}

void TMainForm::FilterTreeChange() {
    if (FRebuildingFilterTree)
        return;
    const QModelIndexList selected = FFilterTree->selectionModel()->selectedIndexes();
    if (FApplyFilter->isChecked() && !selected.isEmpty()) {
        FFilterKind = selected.first().data(fnKind).toInt();
        FFilterValue = selected.first().data(fnValue).toByteArray().toStdString();
    } else {
        FFilterKind = fkNone;
    }
    BuildDeviceList();
}

} // namespace orvelle
