#include "app/FindingTableModel.h"

#include "app/WindowText.h"
#include "check/Finding.h"
#include "check/InstructionLine.h"

namespace travonix {

QColor findingForeground() {
    return {255, 150, 60};
}

FindingTableModel::FindingTableModel(const std::vector<ShownFinding>& findings, QObject* parent)
    : QAbstractTableModel(parent), findings_(findings) {}

void FindingTableModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(findings_.size());
    endResetModel();
}

int FindingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FindingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingTableModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= findings_.size())
        return {};
    const check::Finding& finding = findings_[row].finding;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case FunctionColumn:
            return shown(finding.function);
        case AddressColumn:
            return shown(check::hexAddress(finding.address));
        case KindColumn:
            return shown(check::findingKindName(finding.kind));
        case SentenceColumn:
            return shown(finding.sentence());
        default:
            return {};
        }
    case Qt::ToolTipRole:
        return shown(finding.sentence());
    case Qt::DecorationRole:
        return index.column() == FunctionColumn && !icon_.isNull() ? QVariant(icon_) : QVariant();
    default:
        return {};
    }
}

QVariant FindingTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case FunctionColumn:
        return QStringLiteral("Function");
    case AddressColumn:
        return QStringLiteral("Address");
    case KindColumn:
        return QStringLiteral("Kind");
    case SentenceColumn:
        return QStringLiteral("Finding");
    default:
        return {};
    }
}

} // namespace travonix
