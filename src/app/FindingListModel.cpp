#include "app/FindingListModel.h"

#include "app/Orchestrator.h"
#include "app/WindowText.h"

namespace travonix {

QColor findingForeground() {
    return {255, 150, 60};
}

FindingListModel::FindingListModel(const std::vector<ShownFinding>& findings, QObject* parent)
    : QAbstractListModel(parent), findings_(findings) {}

void FindingListModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(findings_.size());
    endResetModel();
}

int FindingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant FindingListModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= findings_.size())
        return {};
    const check::Finding& finding = findings_[row].finding;
    switch (role) {
    case Qt::DisplayRole:
        return shown(findingText(finding));
    case Qt::ToolTipRole:
        return shown(finding.sentence());
    case Qt::DecorationRole:
        return icon_.isNull() ? QVariant() : QVariant(icon_);
    default:
        return {};
    }
}

} // namespace travonix
