#include "app/FunctionListModel.h"

#include "app/FindingTableModel.h"
#include "app/WindowText.h"

#include <cstdio>

namespace travonix {

namespace {

// "9d000010 absolute-address: Builds the absolute address ..."
QString tipLine(const check::Finding& finding) {
    char address[16];
    std::snprintf(address, sizeof address, "%08x ", finding.address);
    std::string line = address;
    line += check::findingKindName(finding.kind);
    return shown(line + ": " + finding.sentence());
}

} // namespace

FunctionListModel::FunctionListModel(const std::vector<FunctionEntry>& functions,
                                     const std::vector<ShownFinding>& findings, QObject* parent)
    : QAbstractListModel(parent), functions_(functions), findings_(findings) {}

void FunctionListModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(functions_.size());
    findingTips_.assign(functions_.size(), QString());
    for (const ShownFinding& shownFinding : findings_) {
        if (shownFinding.function < 0 || shownFinding.function >= rows_)
            continue;
        QString& tip = findingTips_[static_cast<std::size_t>(shownFinding.function)];
        tip += QStringLiteral("\n") + tipLine(shownFinding.finding);
    }
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
    const QString tip = row < findingTips_.size() ? findingTips_[row] : QString();
    const bool marked = !tip.isEmpty();
    switch (role) {
    case Qt::DisplayRole:
        return shown(entry.name);
    case Qt::ToolTipRole:
        return (entry.readOnlyData ? QStringLiteral("Read-only data: becomes a DATA CFunction")
                                   : QStringLiteral("Code: becomes a CFunction")) +
               tip;
    case Qt::DecorationRole:
        return marked && !findingIcon_.isNull() ? QVariant(findingIcon_) : QVariant();
    case Qt::ForegroundRole:
        return marked ? QVariant(findingForeground()) : QVariant();
    default:
        return {};
    }
}

} // namespace travonix
