#include "app/FunctionListModel.h"

#include "app/WindowText.h"

namespace travonix {

FunctionListModel::FunctionListModel(const std::vector<FunctionEntry>& functions, QObject* parent)
    : QAbstractListModel(parent), functions_(functions) {}

void FunctionListModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(functions_.size());
    endResetModel();
}

int FunctionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant FunctionListModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= functions_.size())
        return {};
    const FunctionEntry& entry = functions_[row];
    if (role == Qt::DisplayRole)
        return shown(entry.name);
    if (role == Qt::ToolTipRole)
        return entry.readOnlyData ? QStringLiteral("Read-only data: becomes a DATA CFunction")
                                  : QStringLiteral("Code: becomes a CFunction");
    return {};
}

} // namespace travonix
